#pragma once
#include <QString>
#include <QStringList>

namespace platform {

// The drives a user would pick, each a path that ends in the separator: drive letters on
// Windows; on Linux the root first, then the user's mounted volumes.
QStringList list_drives();

// The drive that holds `path` (the longest listed drive that is a prefix of it).
QString drive_of(const QString& path);

// Whether the drive can be read now; `why` receives the system's description when not.
bool drive_ready(const QString& drive, QString* why);

} // namespace platform
