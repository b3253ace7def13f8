#pragma once
#include <QByteArray>
#include <QStringList>

namespace platform {

// The mount points, from the text of /proc/self/mountinfo, of the volumes a user would pick:
// file systems on a block device mounted under /media, /run/media or /mnt. Each is decoded,
// ends in "/", and appears once; the list is sorted.
QStringList user_volumes_in_mountinfo(const QByteArray& text);

// The drive among `drives` (each ending in "/") that holds `path`: the longest that is a whole-
// folder prefix of it, or "/" when none is.
QString drive_holding(const QString& path, const QStringList& drives);

} // namespace platform
