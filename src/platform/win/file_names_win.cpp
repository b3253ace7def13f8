#include "platform/file_names.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <windows.h>

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
    if (path.isEmpty()) return {};
    // Attributes only, sharing everything: a file another program holds open still answers.
    const HANDLE h =
        CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO basic{};
    const bool ok = GetFileInformationByHandle(h, &info) &&
                    GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic);
    CloseHandle(h);
    if (!ok) return {};
    const auto join = [](DWORD high, DWORD low) { return quint64(high) << 32 | low; };
    // Times count in steps of 100 ns.
    return {qint64(join(info.nFileSizeHigh, info.nFileSizeLow)), basic.LastWriteTime.QuadPart * 100,
            basic.ChangeTime.QuadPart * 100, info.dwVolumeSerialNumber,
            join(info.nFileIndexHigh, info.nFileIndexLow)};
}

} // namespace platform
