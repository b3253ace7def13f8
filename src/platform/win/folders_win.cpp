#include "platform/folders.h"

#include <QDir>
#include <windows.h>

namespace platform {

bool read_folder(const QString& path, FolderEntries& out) {
    out = {};
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    HANDLE folder = CreateFileW(native.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(folder, &info);
    CloseHandle(folder);
    if (!known) return false;
    out.id = {info.dwVolumeSerialNumber,
              (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = native + (native.ends_with(L'\\') ? L"*" : L"\\*");
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        const DWORD a = found.dwFileAttributes;
        const QString name = QString::fromWCharArray(found.cFileName);
        if ((a & FILE_ATTRIBUTE_HIDDEN) || name == u"." || name == u"..") continue;
        if (a & FILE_ATTRIBUTE_DIRECTORY)
            out.folders.push_back({name, (a & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
        else
            out.files.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}

} // namespace platform
