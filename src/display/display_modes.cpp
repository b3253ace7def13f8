// The display modes of the main window and the popup menu that chooses them.
#include "display/display.h"

#include "app/forms.h"
#include "app/main_fm.h"
#include "app/menu_fm.h"
#include "app/module2.h"
#include "toolkit/rounding.h"
#include "toolkit/units.h"

using namespace Module2;

namespace {
constexpr std::int32_t kNormalWidth = 8880;
constexpr std::int32_t kNormalClientHeight = 6765; // below the title bar and borders
const QColor kPanelGrey(0xC0, 0xC0, 0xC0);
} // namespace

void MenuForm::hyouji_set(std::uint8_t mode) {
    if (mode == placement.hyouji_mode) return;
    MainForm& m = *main_fm;
    const std::int32_t fh = m.frame_height();
    // Remember where the mode being left had the window; modes 1 and 9 have nothing to keep.
    if (placement.hyouji_mode == 0) {
        placement.n_left = tk::to_int32(m.left());
        placement.n_top = tk::to_int32(m.top());
    } else if (placement.hyouji_mode == 2) {
        placement.w_left = tk::to_int32(m.left());
        placement.w_top = tk::to_int32(m.top());
        placement.w_width = tk::to_int32(m.width());
        placement.w_height = tk::to_int32(m.height());
    }
    switch (mode) {
    case 0:
        placement.hyouji_mode = 0;
        m.show_panels(true);
        m.setBackColor(kPanelGrey);
        m.pic.move(3000, 3120, 5655, 3495);
        m.setWindowState(tk::Normal);
        m.move_window(placement.n_left, placement.n_top, kNormalWidth, fh + kNormalClientHeight);
        break;
    case 1:
        placement.hyouji_mode = 1;
        m.show_panels(false);
        m.setBackColor(Qt::black);
        m.setWindowState(tk::Maximized);
        m.fill_with_pic();
        break;
    case 2:
        placement.hyouji_mode = 2;
        m.show_panels(false);
        m.setBackColor(Qt::black);
        m.setWindowState(tk::Normal);
        m.move_window(placement.w_left, placement.w_top, placement.w_width, placement.w_height);
        break;
    default:
        break;
    }
    m.Form_Resize();
}

void MenuForm::m1_Click() {
    hyouji_set(0);
}
void MenuForm::m2_Click() {
    hyouji_set(1);
}
void MenuForm::m3_Click() {
    hyouji_set(2);
}

void MenuForm::moto_Click() {
    options.moto_flag = options.moto_flag != 0 ? 0 : 1;
    moto.setChecked(options.moto_flag != 0);
    main_fm->sai_hyouji();
}

void MenuForm::defolt_Click() {
    const std::int32_t fh = main_fm->frame_height();
    const byte mode = placement.hyouji_mode;
    placement.n_left = 0;
    placement.n_top = 0;
    placement.w_left = 0;
    placement.w_top = 0;
    placement.w_width = kNormalWidth;
    placement.w_height = fh + kNormalClientHeight;
    // A mode with nothing to record, so that the defaults survive the switch back.
    placement.hyouji_mode = 9;
    hyouji_set(mode);
}

void MainForm::show_panels(bool on) {
    Frame4.setVisible(on);
    Frame1.setVisible(on);
    Frame3.setVisible(on);
}

void MainForm::fill_with_pic() {
    // The whole client area, whatever the window manager's borders and title bar take.
    pic.move(0, 0, scaleWidth(), scaleHeight());
}

void MainForm::popup_menu(double x, double y) {
    // The screen point under the click: the client area's corner lies inside the window's
    // real frame, then pic's place in it, then the point inside pic.
    const double tx = tk::twips_per_pixel_x(), ty = tk::twips_per_pixel_y();
    const QMargins frame = frame_px();
    const std::int32_t sx = tk::to_int32((pic.left() + left() + frame.left() * tx) / tx + x);
    const std::int32_t sy = tk::to_int32((pic.top() + top() + frame.top() * ty) / ty + y);
    menu_fm->menyu.popup(QPoint(sx, sy));
}
