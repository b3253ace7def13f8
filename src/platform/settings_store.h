#pragma once
#include <QString>
#include <memory>

namespace platform {

// The per-user store of named text values, addressed by application, section and key.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    // An absent key reads as empty text.
    virtual QString read(const QString& app, const QString& section, const QString& key) = 0;
    virtual void write(const QString& app, const QString& section, const QString& key,
                       const QString& value) = 0;
    // Makes what was written durable; returns false when it could not be stored.
    virtual bool flush() = 0;
};

// The store of the running user (an INI file on Linux, the registry on Windows).
std::unique_ptr<SettingsStore> open_user_settings();

// Where the user's store lives, for messages and documentation.
QString user_settings_location();

} // namespace platform
