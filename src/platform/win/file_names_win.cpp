#include "platform/file_names.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

// Names are UTF-16 here and Qt hands them to the system unchanged.
namespace platform {

QString name_from_bytes(const QByteArray& bytes) {
    return QString::fromUtf8(bytes);
}

QByteArray name_to_bytes(const QString& name) {
    return name.toUtf8();
}

QString command_line_argument(int /*argc*/, char** /*argv*/, int index) {
    // The wide command line: the narrow one holds only what the code page can say.
    return QCoreApplication::arguments().value(index);
}

QString readable_name(const QString& name) {
    return name;
}

QString current_folder() {
    return QDir::currentPath();
}

bool open_for_reading(QFile& file, const QString& path, QString* why) {
    file.setFileName(path);
    if (!path.isEmpty() && file.open(QIODevice::ReadOnly)) return true;
    if (why) *why = file.errorString();
    return false;
}

bool is_folder(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

FileStamp file_stamp(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) return {};
    return {info.size(), info.lastModified().toMSecsSinceEpoch() * 1000000};
}

} // namespace platform
