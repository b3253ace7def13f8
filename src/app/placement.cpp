// Settings at load and exit, and the placement of the main window inside the screen.
#include "app/main_fm.h"
#include "app/module2.h"
#include "app/settings.h"
#include "toolkit/error.h"
#include "toolkit/rounding.h"
#include "toolkit/scope_guard.h"
#include "toolkit/units.h"

#include <limits>

using namespace Module2;

namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();

std::int32_t read_int32(const char* key) {
    return static_cast<std::int32_t>(
        settings::to_number(settings::read(QLatin1String(key)), kInt32Min, kInt32Max));
}

byte read_byte(const char* key) {
    return static_cast<byte>(settings::to_number(settings::read(QLatin1String(key)), 0, 255));
}

} // namespace

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
    const auto moving = tk::hold<std::int32_t>(moving_flag, 1, 0);
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

void MainForm::load_settings() {
    try {
        n_left = read_int32("n_left");
        n_top = read_int32("n_top");
        move_window(n_left, n_top, tk::to_int32(width()), tk::to_int32(height()));
        w_width = read_int32("w_width");
        w_height = read_int32("w_height");
        w_left = read_int32("w_left");
        w_top = read_int32("w_top");
        opc1_flag = read_byte("opc1_flag");
        opc2_flag = read_byte("opc2_flag");
        opc3_flag = read_byte("opc3_flag");
        opc4_flag = read_byte("opc4_flag");
        HScroll1.setValue(static_cast<int>(
            settings::to_number(settings::read(QStringLiteral("HScroll1_Value")), -32768, 32767)));
    } catch (const tk::Error&) {
        // Defaults: the window goes to the top-left corner keeping its size, and the drive
        // and folder lists keep what they showed at start.
        const std::int32_t fh = frame_height();
        opc1_flag = 1;
        opc2_flag = 1;
        opc3_flag = 0;
        opc4_flag = 1;
        tk::attempt([&] { setLeft(0); });
        tk::attempt([&] { setTop(0); });
        w_width = 8880;
        w_height = fh + 6765;
        w_left = 0;
        w_top = 0;
        return;
    }
    // The drive and folder restored below are listed by the stored file types.
    set_pattern();
    tk::attempt([&] { Drive1.setDrive(settings::read(QStringLiteral("moto_dr"))); });
    tk::attempt([&] { Dir1.setPath(settings::read(QStringLiteral("f_path"))); });
}

void MainForm::save_settings() {
    if (hyouji_mode == 0) {
        n_left = tk::to_int32(left());
        n_top = tk::to_int32(top());
    } else if (hyouji_mode == 2) {
        w_left = tk::to_int32(left());
        w_top = tk::to_int32(top());
        w_width = tk::to_int32(width());
        w_height = tk::to_int32(height());
    }
    const auto put = [](const char* key, long long v) {
        settings::write(QLatin1String(key), QString::number(v));
    };
    put("n_left", n_left);
    put("n_top", n_top);
    put("w_width", w_width);
    put("w_height", w_height);
    put("w_left", w_left);
    put("w_top", w_top);
    put("opc1_flag", opc1_flag);
    put("opc2_flag", opc2_flag);
    put("opc3_flag", opc3_flag);
    put("opc4_flag", opc4_flag);
    put("HScroll1_Value", HScroll1.value());
    settings::write(QStringLiteral("moto_dr"), Drive1.drive());
    settings::write(QStringLiteral("f_path"), Dir1.path());
    settings::store().flush();
}
