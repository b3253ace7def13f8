#include "platform/frame.h"
#include "platform/win/win32_core.h"

#include <QWidget>
#include <cmath>

namespace platform {

QMargins expected_frame(QWidget* window) {
    if (!window) return {};
    const auto hwnd = reinterpret_cast<HWND>(window->winId());
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
    const UINT dpi = GetDpiForWindow(hwnd);
    const RECT m = win32::frame_margins(style, ex_style, dpi);
    // The system measures device pixels, the toolkit its own: 96 per inch. Half-way values go
    // to the even neighbour (the default rounding mode), like every other conversion here.
    const double scale = dpi > 0 ? 96.0 / dpi : 1.0;
    const auto logical = [scale](LONG pixels) { return int(std::nearbyint(pixels * scale)); };
    return QMargins(logical(m.left), logical(m.top), logical(m.right), logical(m.bottom));
}

void offer_window_actions(QWidget* window, WindowActions actions) {
    if (!window) return;
    // The buttons follow the styles; a maximised window keeps its borders and needs no button.
    // Whether the borders size the window is the toolkit's fixed-size choice, left alone here
    // because the frame's margins depend on it.
    const auto hwnd = reinterpret_cast<HWND>(window->winId());
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE));
    DWORD wanted = style & ~DWORD(WS_MAXIMIZEBOX | WS_MINIMIZEBOX);
    if (actions.minimise) wanted |= WS_MINIMIZEBOX;
    if (wanted == style) return;
    SetWindowLongPtrW(hwnd, GWL_STYLE, LONG_PTR(wanted));
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

int window_manager_settling_ms() {
    return 0;
}

bool window_now(QWidget*, WindowNow&) {
    // The system reports a window's state and size in one message: the toolkit's events are
    // never behind each other.
    return false;
}

} // namespace platform
