#include "platform/single_instance.h"
#include "platform/win/win32_core.h"

namespace platform {

bool activate_window_titled(const QString& title) {
    const HWND window = win32::find_window_titled(title.toStdWString());
    if (!window) return false;
    win32::restore_and_activate(window);
    return true;
}

} // namespace platform
