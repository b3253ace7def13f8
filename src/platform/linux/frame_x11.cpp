#include "platform/frame.h"
#include "platform/linux/xcb_util.h"

#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

// The window frame on X: what the window manager puts around a window and what it offers there.
namespace platform {

// The window manager tells a client its frame before mapping when asked with
// _NET_REQUEST_FRAME_EXTENTS: then a window can be placed by its outer corner from the start.
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

namespace {

// An atom of the toolkit's connection, asked of the server once.
xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    static std::map<std::string, xcb_atom_t> known;
    if (const auto it = known.find(name); it != known.end()) return it->second;
    const auto r = xcb::take(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return known[name] = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_connection_t* toolkit_connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// A 32-bit property's values; empty when absent.
std::vector<std::uint32_t> values(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
    const auto r = xcb::take(xcb_get_property_reply(c, cookie, nullptr));
    if (!r || r->format != 32) return {};
    const auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(r.get()));
    return {v, v + xcb_get_property_value_length(r.get()) / 4};
}

} // namespace

int window_manager_settling_ms() {
    return toolkit_connection() ? 50 : 0;
}

bool window_now(QWidget* window, WindowNow& now) {
    xcb_connection_t* c = toolkit_connection();
    if (!c || !window || !window->internalWinId()) return false;
    const auto id = static_cast<xcb_window_t>(window->internalWinId());
    const auto property = [&](const char* name, std::uint32_t length) {
        return xcb_get_property(c, 0, id, atom(c, name), XCB_GET_PROPERTY_TYPE_ANY, 0, length);
    };
    // All asked at once: one wait for the answers.
    const auto geometry = xcb_get_geometry(c, id);
    const auto wm_state = property("WM_STATE", 2);
    const auto net_state = property("_NET_WM_STATE", 32);
    const auto extents = property("_NET_FRAME_EXTENTS", 4);
    const auto g = xcb::take(xcb_get_geometry_reply(c, geometry, nullptr));
    const auto icccm = values(c, wm_state);
    const auto states = values(c, net_state);
    const auto frame = values(c, extents);
    if (!g) return false;
    const auto has = [&](const char* name) {
        return std::find(states.begin(), states.end(), atom(c, name)) != states.end();
    };
    constexpr std::uint32_t kIconicState = 3;
    if ((!icccm.empty() && icccm.front() == kIconicState) || has("_NET_WM_STATE_HIDDEN"))
        now.state = WindowNow::Minimised;
    else if (has("_NET_WM_STATE_MAXIMIZED_VERT") && has("_NET_WM_STATE_MAXIMIZED_HORZ"))
        now.state = WindowNow::Maximised;
    else
        now.state = WindowNow::Normal;
    now.client = QSize(g->width, g->height);
    now.frame = frame.size() == 4
                    ? QMargins(int(frame[0]), int(frame[2]), int(frame[1]), int(frame[3]))
                    : QMargins();
    return true;
}

void offer_window_actions(QWidget* window, WindowActions actions) {
    xcb_connection_t* c = toolkit_connection();
    if (!c || !window) return;
    // The Motif hints, which most window managers follow for their buttons and menus. Sent on
    // the toolkit's own connection, so that they arrive before any state change the toolkit
    // asks for next (a window manager may refuse to maximise a window whose hints forbid it).
    enum : std::uint32_t { Functions = 1, Decorations = 2 };
    enum : std::uint32_t {
        FuncResize = 2,
        FuncMove = 4,
        FuncMinimise = 8,
        FuncMaximise = 16,
        FuncClose = 32
    };
    enum : std::uint32_t {
        DecorBorder = 2,
        DecorResizeHandles = 4,
        DecorTitle = 8,
        DecorMenu = 16,
        DecorMinimise = 32
    };
    std::uint32_t functions = FuncMove | FuncClose;
    std::uint32_t decorations = DecorBorder | DecorTitle | DecorMenu;
    if (actions.resize) {
        functions |= FuncResize;
        decorations |= DecorResizeHandles;
    }
    if (actions.minimise) {
        functions |= FuncMinimise;
        decorations |= DecorMinimise;
    }
    if (actions.maximised) functions |= FuncMaximise;
    const std::uint32_t hints[5] = {Functions | Decorations, functions, decorations, 0, 0};
    const xcb_atom_t motif = atom(c, "_MOTIF_WM_HINTS");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window->winId()), motif,
                        motif, 32, 5, hints);
    xcb_flush(c);
}

} // namespace platform
