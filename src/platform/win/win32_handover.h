#pragma once

// Handing a path from a new instance to the running one's main window (WM_COPYDATA), on plain
// Win32 and standard types so that it is checked without the GUI toolkit.

#include <optional>
#include <string>
#include <string_view>
#include <windows.h>

namespace platform::win32 {

// Sends `path` to `window` and waits until it has been taken (at most a few seconds, and not
// at all for a window that hangs); false when it was not taken.
bool send_path(HWND window, std::wstring_view path);

// The path in the data of a WM_COPYDATA that send_path sent; nothing for any other data.
std::optional<std::wstring> received_path(const COPYDATASTRUCT& data);

} // namespace platform::win32
