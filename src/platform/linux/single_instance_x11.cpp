#include "platform/file_names.h"
#include "platform/linux/xcb_util.h"
#include "platform/single_instance.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <optional>

// Talks to the X server on its own connection: this runs before the program has any window and
// must not depend on how (or whether) the GUI toolkit has connected.
namespace platform {
namespace {

constexpr uint32_t kSourcePager = 2; // EWMH source indication: a direct user action
constexpr uint32_t kStateRemove = 0; // EWMH _NET_WM_STATE action

using xcb::Connection;
using xcb::take;

bool contains(const std::vector<uint32_t>& list, uint32_t value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

// The window's title as the desktop shows it: the UTF-8 name, else the ICCCM name.
std::optional<QString> title_of(Connection& display, xcb_window_t window) {
    xcb_connection_t* c = display.get();
    const std::array cookies{
        xcb_get_property(c, 0, window, display.atom("_NET_WM_NAME"), XCB_GET_PROPERTY_TYPE_ANY, 0,
                         1024),
        xcb_get_property(c, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024)};
    std::optional<QString> title;
    for (auto cookie : cookies) {
        auto reply = take(xcb_get_property_reply(c, cookie, nullptr));
        if (title || !reply || reply->format != 8) continue;
        const auto* text = static_cast<const char*>(xcb_get_property_value(reply.get()));
        const int size = xcb_get_property_value_length(reply.get());
        // STRING is Latin-1; UTF8_STRING, and the ASCII range of compound text, read as UTF-8.
        title = reply->type == XCB_ATOM_STRING ? QString::fromLatin1(text, size)
                                               : QString::fromUtf8(text, size);
    }
    return title;
}

bool titled(Connection& display, xcb_window_t window, const QString& title) {
    return title_of(display, window) == title;
}

// Top-level windows: the root's children and, for window managers that wrap each client in a
// frame, the frames' children.
std::vector<xcb_window_t> top_level_windows(Connection& display) {
    std::vector<xcb_window_t> windows;
    auto children = [&](xcb_window_t parent) {
        auto reply = take(
            xcb_query_tree_reply(display.get(), xcb_query_tree(display.get(), parent), nullptr));
        if (!reply) return std::vector<xcb_window_t>{};
        const xcb_window_t* begin = xcb_query_tree_children(reply.get());
        return std::vector<xcb_window_t>(begin,
                                         begin + xcb_query_tree_children_length(reply.get()));
    };
    for (xcb_window_t frame : children(display.root())) {
        windows.push_back(frame);
        for (xcb_window_t client : children(frame))
            windows.push_back(client);
    }
    return windows;
}

std::optional<xcb_window_t> find_window(Connection& display, const QString& title) {
    // The manager's client list is short and exact; the tree walk covers servers without one.
    for (const auto& candidates : {display.ids(display.root(), display.atom("_NET_CLIENT_LIST")),
                                   top_level_windows(display)})
        for (xcb_window_t window : candidates)
            if (titled(display, window, title)) return window;
    return std::nullopt;
}

void restore(Connection& display, xcb_window_t window, bool manager) {
    // Mapping brings back an iconified window with or without a window manager.
    xcb_map_window(display.get(), window);
    const auto net_state = display.ids(window, display.atom("_NET_WM_STATE"));
    if (manager && (contains(net_state, display.atom("_NET_WM_STATE_MAXIMIZED_VERT")) ||
                    contains(net_state, display.atom("_NET_WM_STATE_MAXIMIZED_HORZ"))))
        display.ask_window_manager(window, display.atom("_NET_WM_STATE"),
                                   {kStateRemove, display.atom("_NET_WM_STATE_MAXIMIZED_VERT"),
                                    display.atom("_NET_WM_STATE_MAXIMIZED_HORZ"), kSourcePager, 0});
}

void raise_and_activate(Connection& display, xcb_window_t window, bool manager) {
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(display.get(), window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    const auto supported = display.ids(display.root(), display.atom("_NET_SUPPORTED"));
    if (manager && contains(supported, display.atom("_NET_ACTIVE_WINDOW")))
        display.ask_window_manager(window, display.atom("_NET_ACTIVE_WINDOW"),
                                   {kSourcePager, XCB_CURRENT_TIME, 0, 0, 0});
    else
        xcb_set_input_focus(display.get(), XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
}

void bring_forward(Connection& display, xcb_window_t window) {
    const bool manager = display.window_manager_running();
    restore(display, window, manager);
    raise_and_activate(display, window, manager);
    // A round trip makes sure the server has acted on every request before we hang up.
    free(xcb_get_input_focus_reply(display.get(), xcb_get_input_focus(display.get()), nullptr));
}

// Paths handed to a running instance: appended, each ending in a NUL byte, to this property of
// its main window, which takes and deletes them in one request when the property changes.
// Appending keeps two paths handed over at the same moment apart.
constexpr const char* kHandedPaths = "_PIKUTA_OPEN_PATHS";

class HandedPaths : public QAbstractNativeEventFilter {
  public:
    HandedPaths(QWidget* window, std::function<void(const QString&)> open)
        : window_(window), id_(xcb_window_t(window->winId())), open_(std::move(open)) {
        Connection display;
        if (display.open()) atom_ = display.atom(kHandedPaths);
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t" || atom_ == XCB_ATOM_NONE || !window_) return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
        const auto* change = static_cast<const xcb_property_notify_event_t*>(message);
        if (change->window != id_ || change->atom != atom_ ||
            change->state != XCB_PROPERTY_NEW_VALUE)
            return false;
        // Not inside the window system's event: the path may open a folder and draw.
        for (const QString& path : take_paths())
            QMetaObject::invokeMethod(
                window_, [open = open_, path] { open(path); }, Qt::QueuedConnection);
        return false;
    }

  private:
    QList<QString> take_paths() const {
        Connection display;
        if (!display.open()) return {};
        auto reply = take(xcb_get_property_reply(
            display.get(),
            xcb_get_property(display.get(), 1, id_, atom_, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20),
            nullptr));
        if (!reply || reply->format != 8) return {};
        const QByteArray bytes(static_cast<const char*>(xcb_get_property_value(reply.get())),
                               xcb_get_property_value_length(reply.get()));
        QList<QString> paths;
        for (const QByteArray& path : bytes.split('\0'))
            if (!path.isEmpty()) paths.push_back(name_from_bytes(path));
        return paths;
    }

    QPointer<QWidget> window_;
    xcb_window_t id_;
    std::function<void(const QString&)> open_;
    xcb_atom_t atom_ = XCB_ATOM_NONE;
};

} // namespace

bool activate_window_titled(const QString& title) {
    Connection display;
    if (title.isEmpty() || !display.open()) return false;
    const auto window = find_window(display, title);
    if (!window) return false;
    bring_forward(display, *window);
    return true;
}

bool hand_path_to_window_titled(const QString& title, const QString& path) {
    Connection display;
    if (title.isEmpty() || !display.open()) return false;
    const auto window = find_window(display, title);
    if (!window) return false;
    const QByteArray bytes = name_to_bytes(path) + '\0';
    xcb_change_property(display.get(), XCB_PROP_MODE_APPEND, *window, display.atom(kHandedPaths),
                        XCB_ATOM_STRING, 8, uint32_t(bytes.size()), bytes.constData());
    bring_forward(display, *window);
    return true;
}

void accept_handed_paths(QWidget* window, std::function<void(const QString&)> open) {
    // Lives as long as the program; it does nothing once the window is gone.
    QCoreApplication::instance()->installNativeEventFilter(
        new HandedPaths(window, std::move(open)));
}

} // namespace platform
