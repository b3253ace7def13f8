#include "platform/frame.h"

#include <QWidget>
#include <windows.h>

namespace platform {

QMargins expected_frame(QWidget* window) {
    if (!window) return {};
    auto hwnd = reinterpret_cast<HWND>(window->winId());
    RECT r{0, 0, 100, 100};
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    const DWORD ex_style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    if (!AdjustWindowRectEx(&r, style, FALSE, ex_style)) return {};
    return QMargins(-r.left, -r.top, r.right - 100, r.bottom - 100);
}

} // namespace platform
