#include "platform/win/win32_core.h"
#include "platform/win/win32_instance.h"

#include <shlobj.h>

namespace platform::win32 {
namespace {

struct Search {
    std::wstring_view title;
    HWND found = nullptr;
};

BOOL CALLBACK match_title(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    const int length = GetWindowTextLengthW(window);
    if (length != int(search->title.size())) return TRUE;
    // One more than the title, so that a title that grew meanwhile does not match.
    std::wstring text(std::size_t(length) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(window, text.data(), length + 2)));
    if (text != search->title) return TRUE;
    search->found = window;
    return FALSE;
}

wchar_t upper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? wchar_t(c - L'a' + L'A') : c;
}

bool starts_with_drive(std::wstring_view path, std::wstring_view drive) {
    if (path.size() < drive.size()) return false;
    for (std::size_t i = 0; i < drive.size(); ++i)
        if (upper(path[i]) != upper(drive[i])) return false;
    return true;
}

std::wstring system_message(DWORD error) {
    wchar_t text[512] = {};
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, DWORD(std::size(text)), nullptr);
    while (length > 0 &&
           (text[length - 1] == L'\n' || text[length - 1] == L'\r' || text[length - 1] == L' '))
        --length;
    return std::wstring(text, length);
}

} // namespace

HWND find_window_titled(std::wstring_view title) {
    if (title.empty()) return nullptr;
    Search search{title};
    EnumWindows(match_title, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool restore_and_activate(HWND window) {
    // The normal show command brings back a minimised or maximised window alike; without
    // waiting for the window's program, which may be busy drawing a picture for seconds.
    ShowWindowAsync(window, SW_SHOWNORMAL);
    // The system lets only the program the user just started bring a window to the front.
    // That right is passed on to the running instance, which is asked to come forward itself
    // where this start may not bring it there (started by a launcher, say).
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    AllowSetForegroundWindow(owner);
    return SetForegroundWindow(window) || PostMessageW(window, activation_request(), 0, 0) != FALSE;
}

std::vector<std::wstring> logical_drives() {
    std::vector<std::wstring> drives;
    const DWORD present = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter)
        if (present & (DWORD(1) << letter)) drives.push_back({wchar_t(L'A' + letter), L':', L'\\'});
    return drives;
}

std::wstring drive_of(std::wstring_view path, const std::vector<std::wstring>& drives) {
    const std::wstring folder = with_separator(path);
    std::wstring best;
    for (const auto& drive : drives)
        if (drive.size() > best.size() && starts_with_drive(folder, drive)) best = drive;
    return best;
}

bool drive_ready(const std::wstring& drive, std::wstring* why) {
    // Without this an empty removable drive makes the system ask for a medium in a dialog.
    DWORD old_mode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS, &old_mode);
    const std::wstring root = with_separator(drive);
    const bool ready = GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr,
                                             nullptr, 0) != FALSE;
    const DWORD error = GetLastError();
    SetThreadErrorMode(old_mode, nullptr);
    if (!ready && why) *why = system_message(error);
    return ready;
}

std::wstring with_separator(std::wstring_view folder) {
    std::wstring out(folder);
    for (auto& c : out)
        if (c == L'/') c = L'\\';
    if (out.empty() || out.back() != L'\\') out += L'\\';
    return out;
}

std::wstring windows_folder(unsigned limit) {
    std::wstring folder(limit, L'\0');
    const UINT length = GetWindowsDirectoryW(folder.data(), limit);
    // A longer answer is the size the buffer would need: the folder did not fit.
    if (length == 0 || length >= limit) return {};
    folder.resize(length);
    return folder;
}

std::wstring user_wallpaper_folder() {
    // The local application data folder: the Windows folder is closed to ordinary users.
    PWSTR data = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &data)))
        folder = with_separator(data) + L"PIKUTA";
    CoTaskMemFree(data);
    return folder;
}

bool set_wallpaper(const std::wstring& path) {
    std::wstring file = path;
    return SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, file.data(),
                                 SPIF_UPDATEINIFILE | SPIF_SENDCHANGE) != FALSE;
}

std::wstring current_wallpaper() {
    wchar_t file[MAX_PATH] = {};
    if (!SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, file, 0)) return {};
    return file;
}

RECT frame_margins(DWORD style, DWORD ex_style, UINT dpi) {
    RECT r{0, 0, 0, 0};
    if (!AdjustWindowRectExForDpi(&r, style, FALSE, ex_style, dpi)) return {};
    return {-r.left, -r.top, r.right, r.bottom};
}

} // namespace platform::win32
