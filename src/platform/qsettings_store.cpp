#include "platform/qsettings_store.h"

namespace platform {

QSettingsStore::QSettingsStore(std::function<QString(const QString& app)> location,
                               QSettings::Format format)
    : location_(std::move(location)), format_(format) {}

QString QSettingsStore::read(const QString& app, const QString& section, const QString& key) {
    return of(app).value(section + QLatin1Char('/') + key).toString();
}

void QSettingsStore::write(const QString& app, const QString& section, const QString& key,
                           const QString& value) {
    of(app).setValue(section + QLatin1Char('/') + key, value);
}

bool QSettingsStore::flush() {
    bool stored = true;
    for (auto& [app, settings] : apps_) {
        settings->sync();
        stored = stored && settings->status() == QSettings::NoError;
    }
    return stored;
}

QSettings& QSettingsStore::of(const QString& app) {
    auto& settings = apps_[app];
    if (!settings) settings = std::make_unique<QSettings>(location_(app), format_);
    return *settings;
}

} // namespace platform
