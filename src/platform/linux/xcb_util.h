#pragma once
#include <array>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>
#include <xcb/xcb.h>

// The X protocol helpers the platform layer shares: a connection of its own, replies freed on
// scope exit, atoms, window-list properties and requests to the window manager.
namespace platform::xcb {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;
template <typename T> Reply<T> take(T* reply) {
    return Reply<T>(reply, &std::free);
}

// A connection to the default display, closed on scope exit.
class Connection {
  public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Connected, with a screen to work on.
    bool open() const;
    xcb_connection_t* get() const { return c_; }
    xcb_window_t root() const;

    // The atom of `name`, asked of the server once per connection.
    xcb_atom_t atom(const char* name) const;

    // A 32-bit array property (window ids or atoms), at most `max` entries; empty when absent.
    std::vector<std::uint32_t> ids(xcb_window_t window, xcb_atom_t property,
                                   std::uint32_t max = 4096) const;

    // A client message to the root window, the way window managers are asked for changes.
    void ask_window_manager(xcb_window_t window, xcb_atom_t type,
                            std::array<std::uint32_t, 5> data) const;

    // Whether a window manager that follows the desktop conventions runs: it names a live
    // check window on the root window, and that window names itself.
    bool window_manager_running() const;

    // The screen worked on; null when there is none.
    xcb_screen_t* screen() const;

  private:
    int screen_number_ = 0;
    xcb_connection_t* c_;
    mutable std::map<std::string, xcb_atom_t> atoms_;
};

} // namespace platform::xcb
