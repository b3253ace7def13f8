#include "platform/single_instance.h"

#include <windows.h>

namespace platform {

bool activate_window_titled(const QString& title) {
    if (title.isEmpty()) return false;
    const HWND window = FindWindowW(nullptr, reinterpret_cast<const wchar_t*>(title.utf16()));
    if (!window) return false;
    // The normal show command also restores a minimised or maximised window.
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    return true;
}

} // namespace platform
