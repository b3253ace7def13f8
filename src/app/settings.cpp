// The settings store, and what the program keeps in it between runs: read at load, written
// at exit. Every key is named here and nowhere else.
#include "app/settings.h"

#include "app/main_fm.h"
#include "app/module2.h"
#include "toolkit/error.h"
#include "toolkit/rounding.h"
#include "toolkit/units.h"

#include <cmath>
#include <limits>

namespace settings {

namespace {
std::unique_ptr<platform::SettingsStore>& slot() {
    static std::unique_ptr<platform::SettingsStore> s;
    return s;
}
} // namespace

platform::SettingsStore& store() {
    if (!slot()) slot() = platform::open_user_settings();
    return *slot();
}

void set_store(std::unique_ptr<platform::SettingsStore> s) {
    slot() = std::move(s);
}

QString read(const QString& key) {
    return store().read(kApp, kSection, key);
}
void write(const QString& key, const QString& value) {
    store().write(kApp, kSection, key, value);
}

std::int64_t to_number(const QString& text, std::int64_t min, std::int64_t max) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) throw tk::Error(tk::Error::TypeMismatch);
    const double r = tk::round_half_even(v);
    if (r < static_cast<double>(min) || r > static_cast<double>(max))
        throw tk::Error(tk::Error::Overflow);
    return static_cast<std::int64_t>(r);
}

} // namespace settings

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

void MainForm::load_settings() {
    try {
        placement.n_left = read_int32("n_left");
        placement.n_top = read_int32("n_top");
        move_window(placement.n_left, placement.n_top, tk::to_int32(width()),
                    tk::to_int32(height()));
        placement.w_width = read_int32("w_width");
        placement.w_height = read_int32("w_height");
        placement.w_left = read_int32("w_left");
        placement.w_top = read_int32("w_top");
        options.opc1_flag = read_byte("opc1_flag");
        options.opc2_flag = read_byte("opc2_flag");
        options.opc3_flag = read_byte("opc3_flag");
        options.opc4_flag = read_byte("opc4_flag");
        HScroll1.setValue(static_cast<int>(
            settings::to_number(settings::read(QStringLiteral("HScroll1_Value")), -32768, 32767)));
    } catch (const tk::Error&) {
        // Defaults: the window goes to the top-left corner keeping its size, and the drive
        // and folder lists keep what they showed at start.
        const std::int32_t fh = frame_height();
        options.opc1_flag = 1;
        options.opc2_flag = 1;
        options.opc3_flag = 0;
        options.opc4_flag = 1;
        tk::attempt([&] { setLeft(0); });
        tk::attempt([&] { setTop(0); });
        placement.w_width = 8880;
        placement.w_height = fh + 6765;
        placement.w_left = 0;
        placement.w_top = 0;
        return;
    }
    // The drive and folder restored below are listed by the stored file types.
    set_pattern();
    tk::attempt([&] { Drive1.setDrive(settings::read(QStringLiteral("moto_dr"))); });
    tk::attempt([&] { Dir1.setPath(settings::read(QStringLiteral("f_path"))); });
}

void MainForm::save_settings() {
    if (placement.hyouji_mode == 0) {
        placement.n_left = tk::to_int32(left());
        placement.n_top = tk::to_int32(top());
    } else if (placement.hyouji_mode == 2) {
        placement.w_left = tk::to_int32(left());
        placement.w_top = tk::to_int32(top());
        placement.w_width = tk::to_int32(width());
        placement.w_height = tk::to_int32(height());
    }
    const auto put = [](const char* key, long long v) {
        settings::write(QLatin1String(key), QString::number(v));
    };
    put("n_left", placement.n_left);
    put("n_top", placement.n_top);
    put("w_width", placement.w_width);
    put("w_height", placement.w_height);
    put("w_left", placement.w_left);
    put("w_top", placement.w_top);
    put("opc1_flag", options.opc1_flag);
    put("opc2_flag", options.opc2_flag);
    put("opc3_flag", options.opc3_flag);
    put("opc4_flag", options.opc4_flag);
    put("HScroll1_Value", HScroll1.value());
    settings::write(QStringLiteral("moto_dr"), Drive1.drive());
    settings::write(QStringLiteral("f_path"), Dir1.path());
    settings::store().flush();
}
