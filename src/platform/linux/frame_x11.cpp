#include "platform/frame.h"
#include "platform/linux/xcb_util.h"

#include <QGuiApplication>
#include <QWidget>
#include <chrono>
#include <thread>

// The window manager tells a client its frame before mapping when asked with
// _NET_REQUEST_FRAME_EXTENTS: then a window can be placed by its outer corner from the start.
namespace platform {

QMargins expected_frame(QWidget* window) {
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !window) return {};
    const auto id = static_cast<xcb_window_t>(window->winId());
    const xcb::Connection x;
    if (!x.open() || !x.window_manager_running()) return {};
    const xcb_atom_t extents = x.atom("_NET_FRAME_EXTENTS");
    x.ask_window_manager(id, x.atom("_NET_REQUEST_FRAME_EXTENTS"), {0, 0, 0, 0, 0});
    xcb_flush(x.get());
    // The manager answers by setting a property; give it a moment, not more.
    for (int attempt = 0; attempt < 40; ++attempt) {
        const auto v = x.ids(id, extents, 4);
        if (v.size() == 4) return QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3]));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return {};
}

} // namespace platform
