#pragma once

// The parts of the Windows services that talk to the system, on plain Win32 and standard types
// so that they build and are checked without the GUI toolkit; the *_win.cpp adapters turn
// them into the toolkit-typed interfaces.

#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

namespace platform::win32 {

// The first top-level window whose title is exactly `title` (case and length included);
// nullptr when there is none.
HWND find_window_titled(std::wstring_view title);

// Brings `window` back from the taskbar or from being maximised, to the front, with the focus,
// without waiting for the window's program; false when it neither came to the front nor
// could be asked to come there.
bool restore_and_activate(HWND window);

// The drive roots the system reports, "A:\" to "Z:\" in order.
std::vector<std::wstring> logical_drives();

// The longest of `drives` that `path` starts with (letters compared without regard to case).
std::wstring drive_of(std::wstring_view path, const std::vector<std::wstring>& drives);

// Whether a medium can be read in the drive now, without the system asking for one in a
// dialog; `why` receives the system's description when not.
bool drive_ready(const std::wstring& drive, std::wstring* why);

// `folder` ending in exactly the one separator that it may already end in ("C:\" stays).
std::wstring with_separator(std::wstring_view folder);

// The Windows folder; empty when the system does not tell or it is longer than `limit`.
std::wstring windows_folder(unsigned limit = MAX_PATH);

// The per-user folder that takes the wallpaper file when the Windows folder refuses it.
std::wstring user_wallpaper_folder();

// Makes the bitmap file at `path` the desktop background, stored for the next sign-in too.
bool set_wallpaper(const std::wstring& path);

// The file the desktop background comes from now.
std::wstring current_wallpaper();

// What the window frame adds around a client area, in pixels at `dpi`, for a window of the
// given styles.
RECT frame_margins(DWORD style, DWORD ex_style, UINT dpi);

} // namespace platform::win32
