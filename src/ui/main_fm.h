#pragma once
#include "toolkit/form.h"
#include "toolkit/lists.h"
#include "toolkit/picture_box.h"
#include "toolkit/timer.h"

#include <cstdint>

// The main window: folder choice, the play list, playback, speed and the picture area.
class MainForm : public tk::Form {
  public:
    MainForm();

    // Controls, bottom to top of the stacking order; containers before what they hold.
    tk::PictureBox Picture1{*this, "Picture1"};
    tk::PictureBox pic{*this, "pic"};
    tk::PictureBox pic_clp{*this, "pic_clp"};
    tk::Timer Timer1{1500, this};
    tk::DirListBox Dir2{*this, "Dir2", false};
    tk::FileListBox File1{*this, "File1"};
    tk::Frame Frame1{*this, "Frame1"};
    tk::Frame Frame4{*this, "Frame4"};
    tk::Frame Frame3{*this, "Frame3"};
    // Frame1: the play list
    tk::PictureBox pic_moto{Frame1, "pic_moto"};
    tk::Timer Timer2{1000, this};
    tk::Timer Timer3{1000, this};
    tk::CommandButton Command6{Frame1, "Command6"};
    tk::CommandButton Command1{Frame1, "Command1"};
    tk::CommandButton Command2{Frame1, "Command2"};
    tk::CommandButton Command3{Frame1, "Command3"};
    tk::CommandButton Command4{Frame1, "Command4"};
    tk::ListBox List1{Frame1, "List1"};
    tk::Label Label5{Frame1, "Label5"};
    tk::Label Label2{Frame1, "Label2"};
    // Frame4: drive and folder
    tk::CommandButton Command7{Frame4, "Command7"};
    tk::DriveListBox Drive1{Frame4, "Drive1"};
    tk::DirListBox Dir1{Frame4, "Dir1"};
    // Frame3: export, speed and help
    tk::CommandButton Command9{Frame3, "Command9"};
    tk::CommandButton Command8{Frame3, "Command8"};
    tk::Frame Frame2{Frame3, "Frame2"};
    tk::Label Label6{Frame3, "Label6"};
    tk::Label Label7{Frame3, "Label7"};
    // Frame2: speed
    tk::CommandButton Command5{Frame2, "Command5"};
    tk::HScrollBar HScroll1{Frame2, "HScroll1"};
    tk::Label Label3{Frame2, "Label3"};
    tk::Label Label4{Frame2, "Label4"};

    // Members shared with other windows (all 0 when the window is created).
    std::uint8_t pic_ok = 0;    // a picture load has been attempted
    std::uint8_t copy_ok = 0;   // the last load succeeded
    std::uint8_t play_ok = 0;   // the sequencer found a marked entry
    std::uint8_t busy_flag = 0; // a load or redisplay is in progress
    std::uint8_t loupe_flag = 0;
    std::uint8_t zoom_no = 0;  // loupe zoom index, 6..15 by clicks
    std::uint8_t zoom_old = 0; // the index loupe_x and loupe_y are scaled by
    std::int32_t loupe_x = 0;  // loupe centre in pixels of the scaled picture
    std::int32_t loupe_y = 0;
    std::int32_t moving_flag = 0; // move_window is moving the window
    std::uint8_t repeat_back = 0; // auto-repeat direction: 1 BACK, 0 NEXT
    QString old_drive;            // the drive to return to when a chosen one can't be read
    QString old_path;             // folder of the last listing, with a trailing separator

    // Lifecycle
    void Form_Load() override;
    void Form_Activate() override;
    void Form_KeyPress(int& key_ascii) override;
    void Form_QueryUnload(int& cancel, int unload_mode) override;
    void Form_Unload(int& cancel) override;
    void Form_Resize() override;

    // Settings and placement
    void load_settings();
    void save_settings();
    void move_window(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
    std::int32_t frame_height();

    // Folder listing
    void Drive1_Change();
    void Dir1_Change();
    void Dir2_Change();

    // Sequencer and playback
    void play_next();
    void play_back();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command1_MouseDown();
    void Command2_MouseDown();
    void Command1_MouseUp();
    void Command2_MouseUp();
    void HScroll1_Change();
    void HScroll1_Scroll();
    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();

    // Selection and hints
    void Command6_Click();
    void List1_Click();
    void List1_DblClick();
    void List1_MouseMove();
    void Label5_MouseMove();
    void List1_KeyPress(int& key_ascii);

    // Picture loading and drawing
    void load_picture();
    void pic_layout();
    void sai_hyouji();
    void timed_load();

    // Display modes and the popup menu
    void show_panels(bool on);
    void fill_with_pic();
    void popup_menu(double x, double y);

    // Loupe and the mouse on the picture
    void loupe_switch();
    void draw_picture();
    void pic_MouseDown(int button, int shift, double x, double y);
    void pic_MouseMove(double x, double y);

    // Search and export (their windows and routines come with those features)
    void Command7_Click();
    void Command8_Click();
    void Command9_Click();

  private:
    void wire_events();
    void press_step(std::uint8_t back);
};
