#include "platform/win/win32_folders.h"

#include <cstring>
#include <windows.h>

namespace platform::win32 {
namespace {

constexpr std::wstring_view long_prefix = L"\\\\?\\";

std::wstring full_path(std::wstring path) {
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    // The long form is taken as it stands, so "." and ".." must be gone from it first.
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), size, full.data(), nullptr));
    return full;
}

// The identity of an open folder: the 128-bit id where the file system gives one, else the
// classic 64-bit file index.
void identify(HANDLE folder, FolderReading& out) {
    FILE_ID_INFO info{};
    if (GetFileInformationByHandleEx(folder, FileIdInfo, &info, sizeof info)) {
        out.volume = info.VolumeSerialNumber;
        std::memcpy(out.id.data(), info.FileId.Identifier, sizeof info.FileId.Identifier);
        return;
    }
    BY_HANDLE_FILE_INFORMATION classic{};
    if (!GetFileInformationByHandle(folder, &classic)) return;
    out.volume = classic.dwVolumeSerialNumber;
    out.id = {(std::uint64_t(classic.nFileIndexHigh) << 32) | classic.nFileIndexLow, 0};
}

} // namespace

std::wstring long_path(std::wstring_view path) {
    if (path.starts_with(long_prefix)) return std::wstring(path);
    const std::wstring full = full_path(std::wstring(path));
    if (full.starts_with(L"\\\\.\\")) return full; // a device
    if (full.starts_with(L"\\\\")) return std::wstring(long_prefix) + L"UNC" + full.substr(1);
    return std::wstring(long_prefix) + full;
}

bool read_folder(std::wstring_view path, FolderReading& out) {
    out = {};
    if (path.empty()) return false;
    const std::wstring folder = long_path(path);
    const HANDLE handle = CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    identify(handle, out);
    CloseHandle(handle);
    WIN32_FIND_DATAW found{};
    const std::wstring pattern = folder + (folder.ends_with(L'\\') ? L"*" : L"\\*");
    const HANDLE search =
        FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                         FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        const DWORD a = found.dwFileAttributes;
        const std::wstring_view name = found.cFileName;
        if ((a & FILE_ATTRIBUTE_HIDDEN) || name == L"." || name == L"..") continue;
        if (a & FILE_ATTRIBUTE_DIRECTORY)
            out.folders.push_back({std::wstring(name), (a & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
        else
            out.files.emplace_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}

} // namespace platform::win32
