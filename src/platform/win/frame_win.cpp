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

} // namespace platform
