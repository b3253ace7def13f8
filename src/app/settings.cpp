#include "app/settings.h"

#include "toolkit/error.h"
#include "toolkit/rounding.h"

#include <cmath>

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
