#include "platform/drives.h"
#include "platform/win/win32_core.h"

#include <QDir>

namespace platform {

QStringList list_drives() {
    QStringList drives;
    for (const auto& drive : win32::logical_drives())
        drives.append(QString::fromStdWString(drive));
    return drives;
}

QString drive_of(const QString& path) {
    return QString::fromStdWString(
        win32::drive_of(QDir::toNativeSeparators(path).toStdWString(), win32::logical_drives()));
}

bool drive_ready(const QString& drive, QString* why) {
    std::wstring reason;
    const bool ready = win32::drive_ready(drive.toStdWString(), &reason);
    if (!ready && why) *why = QString::fromStdWString(reason);
    return ready;
}

} // namespace platform
