#pragma once
#include "platform/settings_store.h"

#include <QSettings>
#include <functional>
#include <map>
#include <memory>

namespace platform {

// The settings store of both systems: one QSettings per application, found where `location`
// says and written in `format` (an INI file on Linux, the registry on Windows). Each section is
// a group, each key a text value.
class QSettingsStore final : public SettingsStore {
  public:
    QSettingsStore(std::function<QString(const QString& app)> location, QSettings::Format format);

    QString read(const QString& app, const QString& section, const QString& key) override;
    void write(const QString& app, const QString& section, const QString& key,
               const QString& value) override;
    bool flush() override;

  private:
    QSettings& of(const QString& app);

    std::function<QString(const QString& app)> location_;
    QSettings::Format format_;
    std::map<QString, std::unique_ptr<QSettings>> apps_;
};

} // namespace platform
