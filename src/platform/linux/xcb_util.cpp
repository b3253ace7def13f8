#include "platform/linux/xcb_util.h"

#include <algorithm>
#include <cstring>

namespace platform::xcb {

Connection::Connection() : c_(xcb_connect(nullptr, &screen_number_)) {}

Connection::~Connection() {
    xcb_disconnect(c_);
}

bool Connection::open() const {
    return xcb_connection_has_error(c_) == 0 && screen();
}

xcb_screen_t* Connection::screen() const {
    auto it = xcb_setup_roots_iterator(xcb_get_setup(c_));
    for (int i = 0; it.rem > 0 && i < screen_number_; ++i)
        xcb_screen_next(&it);
    return it.rem > 0 ? it.data : nullptr;
}

xcb_window_t Connection::root() const {
    return screen()->root;
}

xcb_atom_t Connection::atom(const char* name) const {
    if (const auto it = atoms_.find(name); it != atoms_.end()) return it->second;
    auto r = take(xcb_intern_atom_reply(
        c_, xcb_intern_atom(c_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return atoms_[name] = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::vector<std::uint32_t> Connection::ids(xcb_window_t window, xcb_atom_t property,
                                           std::uint32_t max) const {
    auto reply = take(xcb_get_property_reply(
        c_, xcb_get_property(c_, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, max), nullptr));
    if (!reply || reply->format != 32) return {};
    const auto* begin = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return {begin, begin + xcb_get_property_value_length(reply.get()) / 4};
}

void Connection::ask_window_manager(xcb_window_t window, xcb_atom_t type,
                                    std::array<std::uint32_t, 5> data) const {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    std::copy(data.begin(), data.end(), event.data.data32);
    xcb_send_event(c_, 0, root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}

bool Connection::window_manager_running() const {
    const xcb_atom_t name = atom("_NET_SUPPORTING_WM_CHECK");
    const auto check = ids(root(), name);
    if (check.empty()) return false;
    const auto self = ids(check.front(), name);
    return !self.empty() && self.front() == check.front();
}

} // namespace platform::xcb
