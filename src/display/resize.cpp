// The main window's resize handling: it keeps the layout of the display mode in force.
#include "display/display.h"

#include "app/forms.h"
#include "app/main_fm.h"
#include "app/menu_fm.h"
#include "app/module2.h"
#include "toolkit/rounding.h"

using namespace Module2;

void MainForm::Form_Resize() {
    const std::int32_t fh = frame_height();
    Timer1.setEnabled(false);
    Timer2.setEnabled(false);
    // Minimised, the slideshow waits; the resize that follows the restore starts it again.
    if (windowState() == tk::Minimized) return;
    // Only the full-screen mode is maximised: a maximise offered by a window manager that
    // shows the button anyway is undone, and the resize that the restore raises lays the
    // window out again where it was (the fit-to-window rectangle is the user's, kept).
    if (windowState() == tk::Maximized && placement.hyouji_mode != 1) {
        setWindowState(tk::Normal);
        return;
    }
    if (picture.pic_ok == 0 && placing.moving_flag == 0) {
        // Until a picture has been asked for, only the top band of controls is shown, down to
        // the bottom of its frames.
        move_window(tk::to_int32(left()), tk::to_int32(top()), 8880, fh + 2895);
        return;
    }
    switch (placement.hyouji_mode) {
    case 0:
        // The normal window keeps its size: a user's resize snaps back.
        if (placing.moving_flag == 0)
            move_window(tk::to_int32(left()), tk::to_int32(top()), 8880, fh + 6765);
        break;
    case 1:
        if (windowState() == tk::Normal)
            menu_fm->hyouji_set(2); // restored from maximised: the resizable window
        else
            fill_with_pic(); // the client area is known once the window manager has framed it
        break;
    case 2:
        if (placing.moving_flag == 0)
            move_window(tk::to_int32(left()), tk::to_int32(top()), tk::to_int32(width()),
                        tk::to_int32(height()));
        fill_with_pic();
        break;
    default:
        break;
    }
    if (picture.pic_ok == 1) sai_hyouji();
    if (loupe.loupe_flag == 0 && play.play_flag == 1) Timer1.setEnabled(true);
}
