#include "platform/frame.h"

#include <QGuiApplication>
#include <QWidget>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <xcb/xcb.h>

// The window manager tells a client its frame before mapping when asked with
// _NET_REQUEST_FRAME_EXTENTS: then a window can be placed by its outer corner from the start.
namespace platform {
namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;
template <typename T> Reply<T> take(T* r) {
    return Reply<T>(r, &std::free);
}

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    auto r = take(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
}

bool window_manager_running(xcb_connection_t* c, xcb_window_t root) {
    const xcb_atom_t check = intern(c, "_NET_SUPPORTING_WM_CHECK");
    auto r = take(xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, check, XCB_ATOM_WINDOW, 0, 1), nullptr));
    return r && xcb_get_property_value_length(r.get()) == 4;
}

} // namespace

QMargins expected_frame(QWidget* window) {
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !window) return {};
    const auto id = static_cast<xcb_window_t>(window->winId());
    int screen_number = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screen_number);
    QMargins result;
    if (xcb_connection_has_error(c) == 0) {
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
        for (int i = 0; i < screen_number && it.rem; ++i)
            xcb_screen_next(&it);
        const xcb_window_t root = it.data ? it.data->root : xcb_window_t{XCB_WINDOW_NONE};
        if (root != XCB_WINDOW_NONE && window_manager_running(c, root)) {
            const xcb_atom_t request = intern(c, "_NET_REQUEST_FRAME_EXTENTS");
            const xcb_atom_t extents = intern(c, "_NET_FRAME_EXTENTS");
            xcb_client_message_event_t ev{};
            ev.response_type = XCB_CLIENT_MESSAGE;
            ev.format = 32;
            ev.window = id;
            ev.type = request;
            xcb_send_event(c, 0, root,
                           XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY |
                               XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                           reinterpret_cast<const char*>(&ev));
            xcb_flush(c);
            // The manager answers by setting a property; give it a moment, not more.
            for (int attempt = 0; attempt < 40; ++attempt) {
                auto r = take(xcb_get_property_reply(
                    c, xcb_get_property(c, 0, id, extents, XCB_ATOM_CARDINAL, 0, 4), nullptr));
                if (r && xcb_get_property_value_length(r.get()) == 16) {
                    const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(r.get()));
                    result = QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3]));
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
    }
    xcb_disconnect(c);
    return result;
}

} // namespace platform
