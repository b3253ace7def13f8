// The placement of the main window inside the screen, and the height of a window's frame.
#include "app/main_fm.h"
#include "app/module2.h"
#include "toolkit/rounding.h"
#include "toolkit/scope_guard.h"
#include "toolkit/units.h"

std::int32_t Module2::frame_height(tk::Form& window, tk::PictureBox& ruler) {
    ruler.setAlign(tk::AlignNone);
    ruler.setAlign(tk::AlignLeft);
    return tk::to_int32(window.height() - ruler.height());
}

std::int32_t MainForm::frame_height() {
    return Module2::frame_height(*this, Picture1);
}

void MainForm::move_window(std::int32_t left, std::int32_t top, std::int32_t width,
                           std::int32_t height) {
    const auto moving = tk::hold<std::int32_t>(placing.moving_flag, 1, 0);
    // The screen is the monitor the window is asked onto, without its panels; a place on no
    // monitor (one that was unplugged) goes to the primary one.
    const QRectF screen = tk::work_area(QRectF(left, top, width, height));
    const double sx = screen.left(), sy = screen.top();
    const double sw = screen.width(), sh = screen.height();
    const double w = width < 1800 ? 1800 : (sw >= width ? width : sw);
    const double h = height < 1800 ? 1800 : (sh >= height ? height : sh);
    const double l = left < sx ? sx : (left > sx + sw - w ? sx + sw - w : left);
    const double t = top < sy ? sy : (top > sy + sh - h ? sy + sh - h : top);
    move(l, t, w, h);
}
