#include "platform/single_instance.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>
#include <xcb/xcb.h>

// Talks to the X server on its own connection: this runs before the program has any window and
// must not depend on how (or whether) the GUI toolkit has connected.
namespace platform {
namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T> Reply<T> take(T* reply) {
    return Reply<T>(reply, &std::free);
}

enum Atom {
    NetWmName,
    Utf8String,
    NetClientList,
    NetSupported,
    NetSupportingWmCheck,
    NetActiveWindow,
    NetWmState,
    NetWmStateMaxVert,
    NetWmStateMaxHorz,
    AtomCount
};

constexpr std::array<const char*, AtomCount> kAtomNames{"_NET_WM_NAME",
                                                        "UTF8_STRING",
                                                        "_NET_CLIENT_LIST",
                                                        "_NET_SUPPORTED",
                                                        "_NET_SUPPORTING_WM_CHECK",
                                                        "_NET_ACTIVE_WINDOW",
                                                        "_NET_WM_STATE",
                                                        "_NET_WM_STATE_MAXIMIZED_VERT",
                                                        "_NET_WM_STATE_MAXIMIZED_HORZ"};

constexpr uint32_t kSourcePager = 2; // EWMH source indication: a direct user action
constexpr uint32_t kStateRemove = 0; // EWMH _NET_WM_STATE action

class Display {
  public:
    Display() : connection_(xcb_connect(nullptr, &screen_number_)) {}
    ~Display() { xcb_disconnect(connection_); }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    bool open() const { return xcb_connection_has_error(connection_) == 0 && screen(); }
    xcb_connection_t* connection() const { return connection_; }
    xcb_window_t root() const { return screen()->root; }

    xcb_atom_t atom(Atom name) {
        if (atoms_.empty()) intern_atoms();
        return atoms_[name];
    }

    // The window list of a 32-bit array property (window ids or atoms); empty when absent.
    std::vector<uint32_t> ids(xcb_window_t window, xcb_atom_t property) const {
        auto reply = take(xcb_get_property_reply(
            connection_,
            xcb_get_property(connection_, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
            nullptr));
        if (!reply || reply->format != 32) return {};
        const auto* begin = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
        return {begin, begin + xcb_get_property_value_length(reply.get()) / 4};
    }

    // Sends a client message to the root window, the way window managers are asked for changes.
    void ask_window_manager(xcb_window_t window, xcb_atom_t type,
                            std::array<uint32_t, 5> data) const {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = type;
        std::copy(data.begin(), data.end(), event.data.data32);
        xcb_send_event(connection_, 0, root(),
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&event));
    }

  private:
    xcb_screen_t* screen() const {
        auto it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
        for (int i = 0; it.rem > 0 && i < screen_number_; ++i)
            xcb_screen_next(&it);
        return it.rem > 0 ? it.data : nullptr;
    }

    void intern_atoms() {
        std::array<xcb_intern_atom_cookie_t, AtomCount> cookies{};
        for (int i = 0; i < AtomCount; ++i)
            cookies[i] = xcb_intern_atom(connection_, 0, std::strlen(kAtomNames[i]), kAtomNames[i]);
        for (auto cookie : cookies) {
            auto reply = take(xcb_intern_atom_reply(connection_, cookie, nullptr));
            atoms_.push_back(reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE));
        }
    }

    int screen_number_ = 0;
    xcb_connection_t* connection_;
    std::vector<xcb_atom_t> atoms_;
};

bool contains(const std::vector<uint32_t>& list, uint32_t value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

// A window manager that follows the desktop conventions names a live check window on the root
// window, and that window names itself; a stale root property alone does not count.
bool ewmh_manager_runs(Display& display) {
    const auto check = display.ids(display.root(), display.atom(NetSupportingWmCheck));
    if (check.empty()) return false;
    const auto self = display.ids(check.front(), display.atom(NetSupportingWmCheck));
    return !self.empty() && self.front() == check.front();
}

// The window's title as the desktop shows it: the UTF-8 name, else the ICCCM name.
std::optional<QString> title_of(Display& display, xcb_window_t window) {
    xcb_connection_t* c = display.connection();
    const std::array cookies{
        xcb_get_property(c, 0, window, display.atom(NetWmName), XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
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

bool titled(Display& display, xcb_window_t window, const QString& title) {
    return title_of(display, window) == title;
}

// Top-level windows: the root's children and, for window managers that wrap each client in a
// frame, the frames' children.
std::vector<xcb_window_t> top_level_windows(Display& display) {
    std::vector<xcb_window_t> windows;
    auto children = [&](xcb_window_t parent) {
        auto reply = take(xcb_query_tree_reply(
            display.connection(), xcb_query_tree(display.connection(), parent), nullptr));
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

std::optional<xcb_window_t> find_window(Display& display, const QString& title) {
    // The manager's client list is short and exact; the tree walk covers servers without one.
    for (const auto& candidates :
         {display.ids(display.root(), display.atom(NetClientList)), top_level_windows(display)})
        for (xcb_window_t window : candidates)
            if (titled(display, window, title)) return window;
    return std::nullopt;
}

void restore(Display& display, xcb_window_t window, bool manager) {
    // Mapping brings back an iconified window with or without a window manager.
    xcb_map_window(display.connection(), window);
    const auto net_state = display.ids(window, display.atom(NetWmState));
    if (manager && (contains(net_state, display.atom(NetWmStateMaxVert)) ||
                    contains(net_state, display.atom(NetWmStateMaxHorz))))
        display.ask_window_manager(window, display.atom(NetWmState),
                                   {kStateRemove, display.atom(NetWmStateMaxVert),
                                    display.atom(NetWmStateMaxHorz), kSourcePager, 0});
}

void raise_and_activate(Display& display, xcb_window_t window, bool manager) {
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    xcb_configure_window(display.connection(), window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
    const auto supported = display.ids(display.root(), display.atom(NetSupported));
    if (manager && contains(supported, display.atom(NetActiveWindow)))
        display.ask_window_manager(window, display.atom(NetActiveWindow),
                                   {kSourcePager, XCB_CURRENT_TIME, 0, 0, 0});
    else
        xcb_set_input_focus(display.connection(), XCB_INPUT_FOCUS_POINTER_ROOT, window,
                            XCB_CURRENT_TIME);
}

} // namespace

bool activate_window_titled(const QString& title) {
    Display display;
    if (title.isEmpty() || !display.open()) return false;
    const auto window = find_window(display, title);
    if (!window) return false;
    const bool manager = ewmh_manager_runs(display);
    restore(display, *window, manager);
    raise_and_activate(display, *window, manager);
    // A round trip makes sure the server has acted on every request before we hang up.
    free(xcb_get_input_focus_reply(display.connection(), xcb_get_input_focus(display.connection()),
                                   nullptr));
    return true;
}

} // namespace platform
