#include "platform/linux/volumes.h"

#include <QDir>
#include <QFile>
#include <QSet>

namespace platform {
namespace {

// The kernel writes space, tab, newline and backslash in paths as three-digit octal escapes.
QString decode_path(const QByteArray& field) {
    QByteArray bytes;
    for (qsizetype i = 0; i < field.size(); ++i) {
        bool ok = false;
        const int code = field[i] == '\\' ? field.mid(i + 1, 3).toInt(&ok, 8) : 0;
        if (ok && i + 3 < field.size() && code < 256) {
            bytes += char(code);
            i += 3;
        } else {
            bytes += field[i];
        }
    }
    return QFile::decodeName(bytes);
}

bool on_block_device(const QByteArray& type, const QByteArray& source) {
    // Memory and overlay file systems accept any source name, even one under /dev.
    static const QSet<QByteArray> virtual_types{"tmpfs", "ramfs", "devtmpfs", "overlay", "autofs"};
    return source.startsWith("/dev/") && !virtual_types.contains(type);
}

bool in_user_mount_place(const QString& mount_point) {
    for (const char* place : {"/media", "/run/media", "/mnt"}) {
        const QString root = QLatin1String(place);
        if (mount_point == root || mount_point.startsWith(root + u'/')) return true;
    }
    return false;
}

} // namespace

QStringList user_volumes_in_mountinfo(const QByteArray& text) {
    QStringList volumes;
    for (const QByteArray& line : text.split('\n')) {
        // id parent major:minor root mount-point options [optional...] - type source super
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype dash = fields.indexOf("-", 6);
        if (dash < 0 || dash + 2 >= fields.size()) continue;
        QString mount_point = decode_path(fields[4]);
        if (!on_block_device(fields[dash + 1], fields[dash + 2]) ||
            !in_user_mount_place(mount_point))
            continue;
        if (!mount_point.endsWith(u'/')) mount_point += u'/';
        volumes.append(mount_point);
    }
    volumes.sort();
    volumes.removeDuplicates();
    return volumes;
}

QString drive_holding(const QString& path, const QStringList& drives) {
    QString folder = QDir::cleanPath(QDir(path).absolutePath());
    if (!folder.endsWith(u'/')) folder += u'/';
    QString best = QStringLiteral("/");
    for (const QString& drive : drives)
        if (drive.size() > best.size() && folder.startsWith(drive)) best = drive;
    return best;
}

} // namespace platform
