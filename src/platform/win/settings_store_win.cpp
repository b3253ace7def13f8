#include "platform/settings_store.h"

#include <QSettings>
#include <map>

namespace platform {
namespace {

QString registry_key(const QString& app) {
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + app;
}

// Each application is a registry key, each section a subkey, each value a string value.
class RegistrySettingsStore final : public SettingsStore {
  public:
    QString read(const QString& app, const QString& section, const QString& key) override {
        return key_of(app).value(section + QLatin1Char('/') + key).toString();
    }

    void write(const QString& app, const QString& section, const QString& key,
               const QString& value) override {
        key_of(app).setValue(section + QLatin1Char('/') + key, value);
    }

    bool flush() override {
        bool stored = true;
        for (auto& [app, settings] : keys_) {
            settings->sync();
            stored = stored && settings->status() == QSettings::NoError;
        }
        return stored;
    }

  private:
    QSettings& key_of(const QString& app) {
        auto& settings = keys_[app];
        if (!settings)
            settings = std::make_unique<QSettings>(registry_key(app), QSettings::NativeFormat);
        return *settings;
    }

    std::map<QString, std::unique_ptr<QSettings>> keys_;
};

} // namespace

std::unique_ptr<SettingsStore> open_user_settings() {
    return std::make_unique<RegistrySettingsStore>();
}

QString user_settings_location() {
    return registry_key(QStringLiteral("PIKUTA"));
}

} // namespace platform
