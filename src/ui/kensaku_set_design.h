#pragma once
#include "toolkit/check_box.h"
#include "toolkit/command_button.h"
#include "toolkit/form.h"
#include "toolkit/frame.h"
#include "toolkit/label.h"
#include "toolkit/picture_box.h"
#include "toolkit/timer.h"

// The search window's make-up: a search panel (Frame3) and a file-type settings panel
// (Frame1) in the same place. The window's code is KensakuSet.
class KensakuSetDesign : public tk::Form {
  public:
    KensakuSetDesign();

    tk::PictureBox Picture1{*this, "Picture1"}; // hidden strip docked left: measures the frame
    tk::Timer Timer1{330, this};                // search animation step
    tk::Frame Frame3{*this, "Frame3", QStringLiteral("検索")}; // the search panel
    tk::PictureBox pic{Frame3, "pic"};                         // animation while searching
    tk::CommandButton Command7{Frame3, "Command7"};            // SEARCH
    tk::CommandButton Command2{Frame3, "Command2"};            // CLOSE
    tk::CommandButton Command3{Frame3, "Command3"};            // SETTINGS
    tk::Label Label1{Frame3, "Label1"};                        // search progress
    tk::ImageControl img1{Frame3, "img1"};                     // mascot
    tk::PictureBox pic2{*this, "pic2"};                        // hidden: the animation strip
    tk::Frame Frame1{*this, "Frame1", QStringLiteral("表示ファイルの指定")}; // file types
    tk::CommandButton Command5{Frame1, "Command5"};                          // CANCEL
    tk::CommandButton Command4{Frame1, "Command4"};                          // DEFAULTS
    tk::CommandButton Command1{Frame1, "Command1"};                          // OK
    tk::CheckBox Check3{Frame1, "Check3", QStringLiteral("その他のそれらしき ファイル ？")}; // GIF
    tk::CheckBox Check2{Frame1, "Check2", QStringLiteral("JPG ファイル")};                   // JPEG
    tk::CheckBox Check1{Frame1, "Check1",
                        QStringLiteral("BMP WMF EMFファイル")}; // bitmaps, metafiles
    tk::CheckBox Check4{Frame1, "Check4", QStringLiteral("バルーンヘルプを表示")}; // balloon help
    tk::Line Line1{Frame1, "Line1", 120, 1020, 2760, 1020};
};
