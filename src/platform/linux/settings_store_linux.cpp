#include "platform/linux/ini_text.h"
#include "platform/qsettings_store.h"

#include <QDir>
#include <QStandardPaths>

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

} // namespace

std::unique_ptr<SettingsStore> open_user_settings() {
    return std::make_unique<QSettingsStore>(settings_file, plain_ini_format());
}

QString user_settings_location() {
    return settings_file(QStringLiteral("PIKUTA"));
}

} // namespace platform
