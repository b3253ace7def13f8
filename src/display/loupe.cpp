// The loupe: magnifying the picture step by step around the clicked point, and the mouse
// handling of the picture area as a whole (loupe corner, control strip, hints).
#include "display/display.h"

#include "app/main_fm.h"
#include "app/module2.h"
#include "toolkit/error.h"
#include "toolkit/rounding.h"
#include "ui/texts.h"

#include <algorithm>

using namespace Module2;

double zoom_rate(const std::uint8_t& index) {
    static constexpr double kFactors[] = {1.0 / 32, 1.0 / 16, 1.0 / 8, 1.0 / 4, 1.0 / 2, 1,  2,
                                          4,        6,        10,      20,      26,      34, 42};
    return index >= 5 && index <= 18 ? kFactors[index - 5] : 1.0;
}

namespace {

// One axis of the view: where the centred part of the scaled picture goes, in scaled pixels.
struct Span {
    std::int32_t d, s, w;
};
Span centred_span(std::int32_t centre, std::int32_t half, std::int32_t scaled) {
    Span r = centre < half ? Span{half - centre, 0, centre} : Span{0, centre - half, half};
    r.w += std::min(scaled - centre, half);
    return r;
}

std::int32_t quarter(double size) {
    return tk::to_int32(size) / 4;
}

} // namespace

LoupeView loupe_view(double pic_w, double pic_h, double moto_w, double moto_h, double f_new,
                     double f_old, std::int32_t loupe_x, std::int32_t loupe_y) {
    using tk::to_int32;
    LoupeView v;
    const std::int32_t pw = to_int32(pic_w), ph = to_int32(pic_h);
    const std::int32_t hw = to_int32(pw / 2.0), hh = to_int32(ph / 2.0);
    const std::int32_t zw = to_int32(moto_w * f_new), zh = to_int32(moto_h * f_new);
    v.loupe_x = to_int32(loupe_x * f_new / f_old);
    v.loupe_y = to_int32(loupe_y * f_new / f_old);
    // Keep the centre on the picture. The right edge is tested one pixel early and the
    // bottom edge is not: both as the loupe has always behaved.
    if (v.loupe_x < 1) v.loupe_x = 1;
    if (v.loupe_x >= zw - 1) v.loupe_x = zw;
    if (v.loupe_y < 1) v.loupe_y = 1;
    if (v.loupe_y >= zh) v.loupe_y = zh;
    const Span x = centred_span(v.loupe_x, hw, zw);
    const Span y = centred_span(v.loupe_y, hh, zh);
    v.dx = x.d, v.dw = x.w, v.dy = y.d, v.dh = y.w;
    v.sx = to_int32(x.s / f_new), v.sw = to_int32(x.w / f_new);
    v.sy = to_int32(y.s / f_new), v.sh = to_int32(y.w / f_new);
    const std::int32_t ow = to_int32(moto_w), oh = to_int32(moto_h);
    v.valid = !(v.dx < 0 || v.dx > pw || v.dw < 1 || v.sx < 0 || v.sx > ow || v.sw < 1 ||
                v.dy < 0 || v.dy > ph || v.dh < 1 || v.sy < 0 || v.sy > oh || v.sh < 1);
    return v;
}

PicSpot pic_spot(double sw, double sh, double x, double y, bool strip) {
    const std::int32_t qw = quarter(sw), qh = quarter(sh);
    if (strip && sh - qh < y && y < sh) {
        if (0 < x && x < qw) return PicSpot::StripBack;
        if (0.375 * sw < x && x < sw - 0.375 * sw) return PicSpot::StripPlay;
        if (sw - qw < x && x < sw) return PicSpot::StripNext;
        return PicSpot::StripGap;
    }
    if (sw - qw < x && x < sw && 0 < y && y < qh) return PicSpot::LoupeCorner;
    return PicSpot::Elsewhere;
}

bool outside_loupe_corner(double sw, double sh, double x, double y) {
    return x < sw - quarter(sw) || y > quarter(sh);
}

void MainForm::loupe_switch() {
    if (loupe.loupe_flag == 1) {
        loupe.loupe_flag = 0;
        pic.setMousePointer(0);
        if (play.play_flag == 1) Timer1.setEnabled(true);
    } else {
        Timer1.setEnabled(false);
        loupe.loupe_flag = 1;
        pic.setMousePointer(99);
        loupe.zoom_no = 10;
        loupe.zoom_old = 10;
        loupe.loupe_x = tk::to_int32(picture_size().width() / 2.0);
        loupe.loupe_y = tk::to_int32(picture_size().height() / 2.0);
    }
    sai_hyouji();
}

void MainForm::draw_picture() {
    if (windowState() == tk::Minimized) {
        Timer1.setEnabled(false);
        Timer2.setEnabled(false);
        return;
    }
    const double f_new = zoom_rate(loupe.zoom_no);
    const double f_old = zoom_rate(loupe.zoom_old);
    loupe.zoom_old = loupe.zoom_no;
    // The loupe shows the picture's own pixels.
    const QSize own = picture_size();
    read_more_if_needed(own);
    const LoupeView v = loupe_view(pic.scaleWidth(), pic.scaleHeight(), own.width(), own.height(),
                                   f_new, f_old, loupe.loupe_x, loupe.loupe_y);
    loupe.loupe_x = v.loupe_x;
    loupe.loupe_y = v.loupe_y;
    pic.Cls();
    if (!v.valid) return;
    tk::attempt([&] { paint_held(v.dx, v.dy, v.dw, v.dh, v.sx, v.sy, v.sw, v.sh); });
}

void MainForm::pic_MouseDown(int button, int /*shift*/, double x, double y) {
    Timer1.setEnabled(false);
    Timer2.setEnabled(false);
    Timer3.setEnabled(false);
    const double sw = pic.scaleWidth(), sh = pic.scaleHeight();
    if (loupe.loupe_flag == 1 && outside_loupe_corner(sw, sh, x, y)) {
        // The clicked point becomes the centre, then one zoom step in or out.
        loupe.loupe_x += tk::to_int32(x - sw / 2);
        loupe.loupe_y += tk::to_int32(y - sh / 2);
        if (button == tk::LeftButton) {
            if (loupe.zoom_no < 15) {
                ++loupe.zoom_no;
                draw_picture();
            }
        } else if (loupe.zoom_no > 6) {
            --loupe.zoom_no;
            draw_picture();
        }
    }
    if (loupe.loupe_flag == 0 && button == tk::RightButton) popup_menu(x, y);
    if (button == tk::LeftButton) {
        switch (pic_spot(sw, sh, x, y, placement.hyouji_mode != 0 && loupe.loupe_flag == 0)) {
        case PicSpot::StripBack:
            Command1_Click();
            break;
        case PicSpot::StripPlay:
            if (play.play_flag == 0)
                play.play_flag = 1;
            else
                Command4_Click();
            break;
        case PicSpot::StripNext:
            Command2_Click();
            break;
        case PicSpot::LoupeCorner:
            loupe_switch();
            break;
        default:
            break;
        }
    }
    if (loupe.loupe_flag == 0 && play.play_flag == 1) Timer1.setEnabled(true);
}

void MainForm::pic_MouseMove(double x, double y) {
    QString hint;
    if (options.opc4_flag != 0) {
        const double sw = pic.scaleWidth(), sh = pic.scaleHeight();
        const PicSpot spot =
            pic_spot(sw, sh, x, y, placement.hyouji_mode != 0 && loupe.loupe_flag == 0);
        if (loupe.loupe_flag == 1)
            hint = spot == PicSpot::LoupeCorner ? texts::kLoupeEndHint : texts::kLoupeZoomHint;
        else
            switch (spot) {
            case PicSpot::StripBack:
                hint = texts::kStripBackHint;
                break;
            case PicSpot::StripPlay:
                hint = play.play_flag == 0 ? texts::kStripPlayHint : texts::kStripStopHint;
                break;
            case PicSpot::StripNext:
                hint = texts::kStripNextHint;
                break;
            case PicSpot::StripGap:
                break;
            case PicSpot::LoupeCorner:
                hint = texts::kLoupeStartHint;
                break;
            case PicSpot::Elsewhere:
                hint = texts::kMenuHint;
                break;
            }
    }
    if (pic.toolTipText() != hint) pic.setToolTipText(hint);
}
