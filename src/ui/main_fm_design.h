#pragma once
#include "toolkit/command_button.h"
#include "toolkit/dir_list_box.h"
#include "toolkit/drive_list_box.h"
#include "toolkit/file_list_box.h"
#include "toolkit/form.h"
#include "toolkit/frame.h"
#include "toolkit/label.h"
#include "toolkit/list_box.h"
#include "toolkit/picture_box.h"
#include "toolkit/scroll_bar.h"
#include "toolkit/timer.h"
#include "ui/speed.h"

// The main window's make-up: folder choice, the play list, playback, speed and the picture
// area. The window's code is MainForm.
class MainFmDesign : public tk::Form {
  public:
    MainFmDesign();

    // The title that identifies the main window, and a running instance by it.
    static inline const QString kTitle = QStringLiteral("PIKUTA (*.BMP) (*.DIB) (*.JPG) (*.EMF)");

    // Controls, bottom to top of the stacking order; containers before what they hold.
    tk::PictureBox Picture1{*this, "Picture1"};      // hidden strip docked left: measures the frame
    tk::PictureBox pic{*this, "pic"};                // the picture area
    tk::PictureBox pic_clp{*this, "pic_clp"};        // hidden: the picture for the clipboard
    tk::Timer Timer1{speed::kStartIntervalMs, this}; // slideshow step
    tk::DirListBox Dir2{*this, "Dir2", false};       // hidden: folders visited by the search
    tk::FileListBox File1{*this, "File1"};           // hidden: the picture files of a folder
    tk::Frame Frame1{*this, "Frame1"};               // the play list
    tk::Frame Frame4{*this, "Frame4"};               // drive and folder
    tk::Frame Frame3{*this, "Frame3"};               // export, speed and help
    // Frame1: the play list
    tk::PictureBox pic_moto{Frame1, "pic_moto"};    // hidden: the picture at its own size
    tk::Timer Timer2{1000, this};                   // delayed load after BACK or NEXT
    tk::Timer Timer3{1000, this};                   // auto-repeat of a held BACK or NEXT
    tk::CommandButton Command6{Frame1, "Command6"}; // SELECT ALL
    tk::CommandButton Command1{Frame1, "Command1"}; // BACK
    tk::CommandButton Command2{Frame1, "Command2"}; // NEXT
    tk::CommandButton Command3{Frame1, "Command3"}; // PLAY
    tk::CommandButton Command4{Frame1, "Command4"}; // STOP
    tk::ListBox List1{Frame1, "List1"};             // the play list
    tk::Label Label5{Frame1, "Label5"};             // status line: the file shown or a message
    tk::Label Label2{Frame1, "Label2"};             // number of the picture shown
    // Frame4: drive and folder
    tk::CommandButton Command7{Frame4, "Command7"}; // SEARCH
    tk::DriveListBox Drive1{Frame4, "Drive1"};      // drive choice
    tk::DirListBox Dir1{Frame4, "Dir1"};            // folder choice
    // Frame3: export, speed and help
    tk::CommandButton Command9{Frame3, "Command9"}; // WALLPAPER
    tk::CommandButton Command8{Frame3, "Command8"}; // COPY to the clipboard
    tk::Frame Frame2{Frame3, "Frame2"};             // speed
    tk::Label Label6{Frame3, "Label6"};             // help text
    tk::Label Label7{Frame3, "Label7"};             // path of the picture shown
    // Frame2: speed
    tk::CommandButton Command5{Frame2, "Command5"}; // DEFAULT SPEED
    tk::HScrollBar HScroll1{Frame2, "HScroll1"};    // speed 1 (fast) to 10 (slow)
    tk::Label Label3{Frame2, "Label3"};             // "表示速度："
    tk::Label Label4{Frame2, "Label4"};             // the speed as a number
};
