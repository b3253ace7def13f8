// Loading a picture into pic_moto and drawing it into pic.
#include "display/display.h"

#include "app/main_fm.h"
#include "app/module2.h"
#include "platform/picture_io.h"
#include "toolkit/error.h"
#include "toolkit/rounding.h"
#include "toolkit/scope_guard.h"

#include <QFileInfo>
#include <algorithm>
#include <optional>

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
    if (play.play_no < 0 || play.play_no >= List1.listCount()) return;
    const QString path = List1.list(play.play_no);
    if (picture.pic_ok == 0) {
        picture.pic_ok = 1;
        tk::attempt([&] { setWidth(8895); });
        tk::attempt([&] { setHeight(7140); });
    }
    picture.copy_ok = 0;
    std::optional<platform::HeldPicture> held = picture.prefetch.take(path);
    if (!held) held = platform::read_held_picture(path, screen_read());
    if (!held->image.isNull()) {
        hold_picture(std::move(*held));
        held.reset(); // pic_moto holds the only copy
        pic.setAccessibleDetail(QFileInfo(path).fileName());
        picture.copy_ok = 1;
        pic_layout();
    } else {
        // Nothing of the picture before may stay on show under this entry's name, now or at
        // a later redisplay.
        hold_picture({QImage(), QSize(0, 0), {}});
        pic.setAccessibleDetail({});
        pic_layout();
    }
    Label7.setCaption(path);
    // While this picture is looked at, the next ones are read.
    read_ahead();
}

QSize MainForm::fitted_area() const {
    if (options.moto_flag != 0 || loupe.loupe_flag == 1) return {};
    return {tk::to_int32(pic.scaleWidth()), tk::to_int32(pic.scaleHeight())};
}

void MainForm::read_ahead() {
    // Pictures read for another picture area or view are read again for this one.
    if (fitted_area() != picture.ahead_area) picture.prefetch.drop();
    picture.ahead_area = fitted_area();
    const QStringList paths = entries_ahead();
    picture.prefetch.keep_only(paths);
    for (const QString& path : paths)
        picture.prefetch.start(path, screen_read());
}

void MainForm::forget_stale_reads() {
    picture.prefetch.keep_only(entries_ahead());
}

QSize MainForm::picture_size() const {
    if (pic_moto.picture().isNull()) return {0, 0}; // nothing loaded yet, or the last load failed
    if (picture.moto_reduced != 0 && pic_moto.picture().cacheKey() == picture.moto_reduced)
        return picture.moto_own;
    return {tk::to_int32(pic_moto.scaleWidth()), tk::to_int32(pic_moto.scaleHeight())};
}

platform::SizeNeeded MainForm::screen_need() const {
    if (!fitted_area().isValid()) return {};
    const double W = pic.scaleWidth(), H = pic.scaleHeight();
    return [W, H](QSize own) {
        const PicLayout l = compute_layout(W, H, own.width(), own.height(), false);
        return l.valid ? QSize(l.dw, l.dh) : own;
    };
}

platform::ReadOptions MainForm::screen_read() const {
    platform::ReadOptions options;
    options.needed = screen_need();
    options.exact = true;
    return options;
}

void MainForm::hold_picture(platform::HeldPicture held) {
    pic_moto.setPicture(held.image);
    picture.moto_own = held.own;
    picture.moto_data = std::move(held.data);
    picture.moto_reduced =
        pic_moto.picture().size() != held.own ? pic_moto.picture().cacheKey() : 0;
}

void MainForm::read_more_if_needed(QSize shown) {
    const QSize held = pic_moto.picture().size();
    if (picture_size() == held ||
        (held.width() >= shown.width() && held.height() >= shown.height()))
        return;
    platform::HeldPicture again{pic_moto.picture(), picture.moto_own, picture.moto_data};
    if (platform::decode_again(again, screen_read())) hold_picture(std::move(again));
}

void MainForm::paint_held(int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh) {
    const QImage& held = pic_moto.picture();
    const QSize own = picture_size();
    if (held.size() != own) {
        const double fx = double(held.width()) / own.width();
        const double fy = double(held.height()) / own.height();
        const int x = tk::to_int32(sx * fx), y = tk::to_int32(sy * fy);
        sw = std::max(1, tk::to_int32((sx + sw) * fx) - x);
        sh = std::max(1, tk::to_int32((sy + sh) * fy) - y);
        sx = x;
        sy = y;
    }
    pic.PaintPicture(held, dx, dy, dw, dh, sx, sy, sw, sh);
}

void MainForm::pic_layout() {
    if (windowState() == tk::Minimized) {
        Timer1.setEnabled(false);
        Timer2.setEnabled(false);
        return;
    }
    const QSize own = picture_size();
    const PicLayout l = compute_layout(pic.scaleWidth(), pic.scaleHeight(), own.width(),
                                       own.height(), options.moto_flag != 0);
    pic.Cls();
    if (!l.valid) return;
    read_more_if_needed(options.moto_flag != 0 ? own : QSize(l.dw, l.dh));
    paint_held(l.dx, l.dy, l.dw, l.dh, l.sx, l.sy, l.sw, l.sh);
    // Without a current entry (the list was replaced) there is no number or path to give.
    if (placement.hyouji_mode != 0 && play.play_no >= 0) {
        const QString number = QString::number(play.play_no + 1) + QLatin1Char(' ');
        pic.Print(number + List1.list(play.play_no), number.size());
    }
}

void MainForm::sai_hyouji() {
    if (picture.busy_flag == 1) return;
    const auto busy = tk::hold<std::uint8_t>(picture.busy_flag, 1, 0);
    if (loupe.loupe_flag == 1)
        draw_picture();
    else
        pic_layout();
    if (fitted_area() != picture.ahead_area && !picture.prefetch.ahead().isEmpty()) read_ahead();
}

void MainForm::timed_load() {
    if (picture.busy_flag == 1) return;
    const auto busy = tk::hold<std::uint8_t>(picture.busy_flag, 1, 0);
    if (slideshow.play_ok == 1) load_picture();
}
