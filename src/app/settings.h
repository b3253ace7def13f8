#pragma once
#include "platform/settings_store.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace settings {

inline const QString kApp = QStringLiteral("PIKUTA");
inline const QString kSection = QStringLiteral("Startup");

// The store the program reads at load and writes at exit; the user's own unless a test
// installed another.
platform::SettingsStore& store();
void set_store(std::unique_ptr<platform::SettingsStore> s);

QString read(const QString& key);
void write(const QString& key, const QString& value);

// Settings text to a number: a decimal number, fractions rounded half to even, within
// [min, max]. Anything else fails with tk::Error.
std::int64_t to_number(const QString& text, std::int64_t min, std::int64_t max);

} // namespace settings
