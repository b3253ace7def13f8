// The main window's resize handling: it keeps the layout of the display mode in force.
#include "app/main_fm.h"
#include "app/module2.h"
#include "toolkit/rounding.h"

using namespace Module2;

void MainForm::Form_Resize() {
    const std::int32_t fh = frame_height();
    Timer1.setEnabled(false);
    Timer2.setEnabled(false);
    if (windowState() == tk::Minimized) return;
    if (pic_ok == 0 && moving_flag == 0) {
        // Until a picture has been asked for, only the top band of controls is shown.
        move_window(tk::to_int32(left()), tk::to_int32(top()), 8880, fh + 2925);
        return;
    }
    if (hyouji_mode == 0 && moving_flag == 0)
        move_window(tk::to_int32(left()), tk::to_int32(top()), 8880, fh + 6765);
    if (pic_ok == 1) sai_hyouji();
    if (loupe_flag == 0 && play_flag == 1) Timer1.setEnabled(true);
}
