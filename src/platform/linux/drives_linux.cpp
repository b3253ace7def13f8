#include "platform/drives.h"
#include "platform/linux/volumes.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <unistd.h>

namespace platform {
namespace {

// Why `path` cannot be listed, as an errno value; 0 when it can.
int listing_error(const QByteArray& path) {
    if (path.isEmpty()) return ENOENT;
    DIR* dir = opendir(path.constData());
    if (!dir) return errno;
    // Search permission is needed too: names alone are not a usable listing. Reading the first
    // entry is what fails on a medium that went away.
    errno = 0;
    int error = access(path.constData(), X_OK) != 0 ? errno : 0;
    if (error == 0 && !readdir(dir)) error = errno;
    closedir(dir);
    return error;
}

} // namespace

QStringList list_drives() {
    QStringList drives{QStringLiteral("/")};
    QFile mounts(QStringLiteral("/proc/self/mountinfo"));
    if (mounts.open(QIODevice::ReadOnly)) drives += user_volumes_in_mountinfo(mounts.readAll());
    return drives;
}

QString drive_of(const QString& path) {
    return drive_holding(path, list_drives());
}

bool drive_ready(const QString& drive, QString* why) {
    const int error = listing_error(QFile::encodeName(drive));
    if (error != 0 && why) *why = QString::fromLocal8Bit(std::strerror(error));
    return error == 0;
}

} // namespace platform
