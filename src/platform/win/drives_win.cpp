#include "platform/drives.h"

#include <QDir>
#include <windows.h>

namespace platform {
namespace {

QString system_message(DWORD error) {
    wchar_t text[512] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, text, DWORD(std::size(text)), nullptr);
    return QString::fromWCharArray(text, int(length)).trimmed();
}

QString with_separator(const QString& path) {
    const QString native = QDir::toNativeSeparators(path);
    return native.endsWith(QLatin1Char('\\')) ? native : native + QLatin1Char('\\');
}

} // namespace

QStringList list_drives() {
    QStringList drives;
    const DWORD present = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter)
        if (present & (DWORD(1) << letter))
            drives.append(QChar(u'A' + letter) + QStringLiteral(":\\"));
    return drives;
}

QString drive_of(const QString& path) {
    const QString folder = with_separator(path);
    QString best;
    for (const QString& drive : list_drives())
        if (drive.size() > best.size() && folder.startsWith(drive, Qt::CaseInsensitive))
            best = drive;
    return best;
}

bool drive_ready(const QString& drive, QString* why) {
    // Without this an empty removable drive makes the system ask for a medium in a dialog.
    DWORD old_mode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS, &old_mode);
    const QString root = with_separator(drive);
    const bool ready = GetVolumeInformationW(reinterpret_cast<const wchar_t*>(root.utf16()),
                                             nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0);
    const DWORD error = GetLastError();
    SetThreadErrorMode(old_mode, nullptr);
    if (!ready && why) *why = system_message(error);
    return ready;
}

} // namespace platform
