#pragma once
#include "toolkit/form.h"
#include "toolkit/picture_box.h"
#include "toolkit/timer.h"

#include <cstdint>

// The search window: a search panel and a file-type settings panel in the same place.
class KensakuSet : public tk::Form {
  public:
    KensakuSet();

    tk::PictureBox Picture1{*this, "Picture1"};
    tk::Timer Timer1{330, this};
    tk::Frame Frame3{*this, "Frame3", QStringLiteral("検索")};
    tk::PictureBox pic{Frame3, "pic"};
    tk::CommandButton Command7{Frame3, "Command7"};
    tk::CommandButton Command2{Frame3, "Command2"};
    tk::CommandButton Command3{Frame3, "Command3"};
    tk::Label Label1{Frame3, "Label1"};
    tk::ImageControl img1{Frame3, "img1"};
    tk::PictureBox pic2{*this, "pic2"};
    tk::Frame Frame1{*this, "Frame1", QStringLiteral("表示ファイルの指定")};
    tk::CommandButton Command5{Frame1, "Command5"};
    tk::CommandButton Command4{Frame1, "Command4"};
    tk::CommandButton Command1{Frame1, "Command1"};
    tk::CheckBox Check3{Frame1, "Check3", QStringLiteral("その他のそれらしき ファイル ？")};
    tk::CheckBox Check2{Frame1, "Check2", QStringLiteral("JPG ファイル")};
    tk::CheckBox Check1{Frame1, "Check1", QStringLiteral("BMP WMF EMFファイル")};
    tk::CheckBox Check4{Frame1, "Check4", QStringLiteral("バルーンヘルプを表示")};
    tk::Line Line1{Frame1, "Line1", 120, 1020, 2760, 1020};

    std::int32_t anime_x = 0; // left edge of the part of the strip in pic2 that pic shows

    void Form_Load() override;
    void Form_QueryUnload(int& cancel, int unload_mode) override;

    // Search panel
    void Command7_Click(); // search / stop
    void Command7_MouseMove();
    void Command2_Click(); // close
    void Command3_Click(); // to the settings panel
    void Timer1_Timer();   // animation
    // Settings panel
    void Command1_Click(); // OK
    void Command4_Click(); // defaults
    void Command5_Click(); // cancel
    std::uint8_t opc_set();

  private:
    void wire_events();
    void show_panel(bool search, std::int32_t frame);
};
