#include "platform/linux/ini_text.h"
#include "platform/settings_store.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <map>

namespace platform {
namespace {

// QSettings keeps the atomic save (temporary file and rename), the lock and the merge with the
// file on disk; the text itself is ours, so that a value reads back exactly as a person wrote
// it (the stock INI format turns "a,b" into a list and escapes non-ASCII text).
QSettings::Format plain_ini_format() {
    static const QSettings::Format format = QSettings::registerFormat(
        QStringLiteral("ini"),
        [](QIODevice& device, QSettings::SettingsMap& map) {
            for (const auto& [key, value] : parse_ini_text(device.readAll()))
                map.insert(key, value);
            return true;
        },
        [](QIODevice& device, const QSettings::SettingsMap& map) {
            IniValues values;
            for (auto it = map.cbegin(); it != map.cend(); ++it)
                values.emplace_back(it.key(), it.value().toString());
            return device.write(format_ini_text(values)) >= 0;
        });
    return format;
}

QString settings_file(const QString& app) {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(base).filePath(app + QLatin1Char('/') + app + QStringLiteral(".ini"));
}

class IniSettingsStore final : public SettingsStore {
  public:
    QString read(const QString& app, const QString& section, const QString& key) override {
        return file(app).value(section + QLatin1Char('/') + key).toString();
    }

    void write(const QString& app, const QString& section, const QString& key,
               const QString& value) override {
        file(app).setValue(section + QLatin1Char('/') + key, value);
    }

    bool flush() override {
        bool stored = true;
        for (auto& [app, settings] : files_) {
            settings->sync();
            stored = stored && settings->status() == QSettings::NoError;
        }
        return stored;
    }

  private:
    QSettings& file(const QString& app) {
        auto& settings = files_[app];
        if (!settings)
            settings = std::make_unique<QSettings>(settings_file(app), plain_ini_format());
        return *settings;
    }

    std::map<QString, std::unique_ptr<QSettings>> files_;
};

} // namespace

std::unique_ptr<SettingsStore> open_user_settings() {
    return std::make_unique<IniSettingsStore>();
}

QString user_settings_location() {
    return settings_file(QStringLiteral("PIKUTA"));
}

} // namespace platform
