#include "platform/qsettings_store.h"

namespace platform {
namespace {

// Each application is a registry key, each section a subkey, each value a string value.
QString registry_key(const QString& app) {
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + app;
}

} // namespace

std::unique_ptr<SettingsStore> open_user_settings() {
    return std::make_unique<QSettingsStore>(registry_key, QSettings::NativeFormat);
}

QString user_settings_location() {
    return registry_key(QStringLiteral("PIKUTA"));
}

} // namespace platform
