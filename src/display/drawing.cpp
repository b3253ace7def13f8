// Loading a picture into pic_moto and drawing it into pic.
#include "app/main_fm.h"
#include "app/module2.h"
#include "display/layout.h"
#include "platform/picture_io.h"
#include "toolkit/error.h"
#include "toolkit/rounding.h"
#include "toolkit/scope_guard.h"

using namespace Module2;

static PicLayout layout_or_throw(double box_w, double box_h, double pic_w, double pic_h,
                                 bool keep_size) {
    PicLayout r;
    const std::int32_t W = tk::to_int32(box_w), H = tk::to_int32(box_h);
    const std::int32_t W2 = tk::to_int32(W / 2.0), H2 = tk::to_int32(H / 2.0);
    const std::int32_t w = tk::to_int32(pic_w), h = tk::to_int32(pic_h);
    const std::int32_t w2 = tk::to_int32(w / 2.0), h2 = tk::to_int32(h / 2.0);
    if (!keep_size) {
        if (w == 0 || h == 0) return r;
        double ratio = static_cast<double>(W) / w;
        const std::int32_t t = tk::to_int32(h * ratio);
        if (t < H) {
            r.dx = 0;
            r.dw = W;
            r.dy = H2 - tk::to_int32(t / 2.0);
            r.dh = t;
        } else {
            ratio = static_cast<double>(H) / h;
            const std::int32_t u = tk::to_int32(w * ratio);
            r.dy = 0;
            r.dh = H;
            r.dx = W2 - tk::to_int32(u / 2.0);
            r.dw = u;
        }
        r.sx = 0;
        r.sy = 0;
        r.sw = w;
        r.sh = h;
    } else {
        if (w > W) {
            r.dx = 0, r.dw = W, r.sx = w2 - W2, r.sw = W;
        } else {
            r.dx = W2 - w2, r.dw = w, r.sx = 0, r.sw = w;
        }
        if (h > H) {
            r.dy = 0, r.dh = H, r.sy = h2 - H2, r.sh = H;
        } else {
            r.dy = H2 - h2, r.dh = h, r.sy = 0, r.sh = h;
        }
    }
    r.valid = !(r.dx < 0 || r.dx > W || r.dw < 1 || r.sx < 0 || r.sx > w || r.sw < 1 || r.dy < 0 ||
                r.dy > H || r.dh < 1 || r.sy < 0 || r.sy > h || r.sh < 1);
    return r;
}

PicLayout compute_layout(double box_w, double box_h, double pic_w, double pic_h, bool keep_size) {
    try {
        return layout_or_throw(box_w, box_h, pic_w, pic_h, keep_size);
    } catch (const tk::Error&) {
        return {}; // sizes beyond whole-number range draw nothing
    }
}

void MainForm::load_picture() {
    // Only a current entry can be loaded: a delayed load that outlived a rebuilt list has
    // nothing to show.
    if (play_no < 0 || play_no >= List1.listCount()) return;
    const QString path = List1.list(play_no);
    if (pic_ok == 0) {
        pic_ok = 1;
        tk::attempt([&] { setWidth(8895); });
        tk::attempt([&] { setHeight(7140); });
    }
    copy_ok = 0;
    QImage image = prefetch.take(path);
    if (image.isNull()) image = platform::read_picture(path);
    if (!image.isNull()) {
        pic_moto.setPicture(image);
        image = QImage(); // pic_moto holds the only copy
        copy_ok = 1;
        pic_layout();
    }
    Label7.setCaption(path);
    // While this picture is looked at, the next one is read.
    if (const int next = upcoming_entry(); next >= 0 && List1.list(next) != path)
        prefetch.start(List1.list(next));
}

void MainForm::pic_layout() {
    if (windowState() == tk::Minimized) {
        Timer1.setEnabled(false);
        Timer2.setEnabled(false);
        return;
    }
    const PicLayout l = compute_layout(pic.scaleWidth(), pic.scaleHeight(), pic_moto.scaleWidth(),
                                       pic_moto.scaleHeight(), moto_flag != 0);
    pic.Cls();
    if (!l.valid) return;
    pic.PaintPicture(pic_moto.picture(), l.dx, l.dy, l.dw, l.dh, l.sx, l.sy, l.sw, l.sh);
    if (hyouji_mode != 0)
        pic.Print(QString::number(play_no + 1) + QLatin1Char(' ') + List1.list(play_no));
}

void MainForm::sai_hyouji() {
    if (busy_flag == 1) return;
    const auto busy = tk::hold<std::uint8_t>(busy_flag, 1, 0);
    if (loupe_flag == 1)
        draw_picture();
    else
        pic_layout();
}

void MainForm::timed_load() {
    if (busy_flag == 1) return;
    const auto busy = tk::hold<std::uint8_t>(busy_flag, 1, 0);
    if (play_ok == 1) load_picture();
}
