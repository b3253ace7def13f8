#include "platform/linux/xcb_util.h"
#include "platform/single_instance.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>
#include <vector>

// These tests need a real X server (run them under xvfb-run, with or without a window manager).
namespace {

bool eventually(const std::function<bool()>& condition,
                std::chrono::milliseconds patience = std::chrono::seconds(3)) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

using platform::xcb::take;

// A top-level window of a second client, owned by the test.
class ForeignWindow {
  public:
    explicit ForeignWindow(const QString& title) {
        if (!x_.open()) return;
        window_ = xcb_generate_id(x_.get());
        xcb_create_window(x_.get(), XCB_COPY_FROM_PARENT, window_, x_.root(), 10, 10, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, x_.screen()->root_visual, 0, nullptr);
        const QByteArray name = title.toUtf8();
        for (xcb_atom_t property : {xcb_atom_t(XCB_ATOM_WM_NAME), x_.atom("_NET_WM_NAME")})
            xcb_change_property(x_.get(), XCB_PROP_MODE_REPLACE, window_, property,
                                x_.atom("UTF8_STRING"), 8, name.size(), name.constData());
    }

    bool created() const { return window_ != 0; }

    // A window manager that is still starting may drop a map request; asking again is harmless.
    bool show() {
        for (int attempt = 0; attempt < 6; ++attempt) {
            xcb_map_window(x_.get(), window_);
            xcb_flush(x_.get());
            if (eventually([this] { return viewable(); }, std::chrono::milliseconds(500)))
                return true;
        }
        return false;
    }

    bool viewable() {
        auto reply = take(xcb_get_window_attributes_reply(
            x_.get(), xcb_get_window_attributes(x_.get(), window_), nullptr));
        return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    bool manager_runs() { return x_.window_manager_running(); }

    void maximise() {
        x_.ask_window_manager(window_, x_.atom("_NET_WM_STATE"),
                              {1 /* add */, x_.atom("_NET_WM_STATE_MAXIMIZED_VERT"),
                               x_.atom("_NET_WM_STATE_MAXIMIZED_HORZ"), 2, 0});
        xcb_flush(x_.get());
    }

    bool maximised() {
        const std::vector<uint32_t> states = ids(window_, "_NET_WM_STATE");
        return std::ranges::find(states, x_.atom("_NET_WM_STATE_MAXIMIZED_HORZ")) != states.end();
    }

    // The window manager's idea of the active window where one runs, else the input focus.
    bool active() {
        if (manager_runs())
            return ids(x_.root(), "_NET_ACTIVE_WINDOW") == std::vector<uint32_t>{window_};
        auto reply =
            take(xcb_get_input_focus_reply(x_.get(), xcb_get_input_focus(x_.get()), nullptr));
        return reply && reply->focus == window_;
    }

    // Position from the bottom among the top-level windows (the manager's stacking list where a
    // manager runs, since it wraps clients in frames); -1 when not listed.
    int stacking_position() {
        std::vector<uint32_t> order = ids(x_.root(), "_NET_CLIENT_LIST_STACKING");
        if (!manager_runs()) {
            auto tree =
                take(xcb_query_tree_reply(x_.get(), xcb_query_tree(x_.get(), x_.root()), nullptr));
            const xcb_window_t* children = xcb_query_tree_children(tree.get());
            order.assign(children, children + xcb_query_tree_children_length(tree.get()));
        }
        const auto it = std::ranges::find(order, window_);
        return it == order.end() ? -1 : int(it - order.begin());
    }

  private:
    std::vector<uint32_t> ids(xcb_window_t window, const char* property) {
        return x_.ids(window, x_.atom(property), 1024);
    }

    platform::xcb::Connection x_;
    xcb_window_t window_ = 0;
};

QString unique_title() {
    static int count = 0;
    return QString::fromUtf8("PIKUTA テスト (*.BMP) %1-%2").arg(getpid()).arg(++count);
}

// A server without other clients resets when the last one hangs up, and refuses connections
// meanwhile; one connection held for the whole run keeps it up between the test's windows.
bool server_kept_up() {
    static xcb_connection_t* const keeper = xcb_connect(nullptr, nullptr);
    return xcb_connection_has_error(keeper) == 0;
}

bool have_display() {
    return std::getenv("DISPLAY") && *std::getenv("DISPLAY");
}

} // namespace

TEST(SingleInstance, WithoutADisplayNoWindowIsFound) {
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    EXPECT_FALSE(platform::activate_window_titled("PIKUTA"));
    if (!display.isNull()) qputenv("DISPLAY", display);
}

TEST(SingleInstance, OnlyTheExactTitleIsFound) {
    if (!have_display()) GTEST_SKIP() << "needs an X server";
    ASSERT_TRUE(server_kept_up()) << "cannot connect to the X server";
    const QString title = unique_title();
    ForeignWindow window(title);
    ASSERT_TRUE(window.created() && window.show());
    for (const QString& other : {title.chopped(1), title + u' ', title.toLower(),
                                 title.left(7) + u'x' + title.mid(8), QString()})
        EXPECT_FALSE(platform::activate_window_titled(other)) << other.toStdString();
    EXPECT_TRUE(platform::activate_window_titled(title));
}

TEST(SingleInstance, TheFoundWindowIsRestoredRaisedAndActivated) {
    if (!have_display()) GTEST_SKIP() << "needs an X server";
    ASSERT_TRUE(server_kept_up()) << "cannot connect to the X server";
    // Minimised or unmapped windows: the second start in the window tests (test_first_run.sh).
    enum { Covered, Maximised };
    for (const int start : {Covered, Maximised}) {
        SCOPED_TRACE(start);
        const QString title = unique_title();
        ForeignWindow window(title);
        ASSERT_TRUE(window.created() && window.show());
        // Maximising is the window manager's business; without one there is nothing to undo.
        if (start == Maximised && !window.manager_runs()) continue;
        ForeignWindow cover(unique_title());
        ASSERT_TRUE(cover.show());
        ASSERT_TRUE(
            eventually([&] { return cover.stacking_position() > window.stacking_position(); }));
        if (start == Maximised) window.maximise();
        ASSERT_TRUE(eventually([&] { return start == Covered || window.maximised(); }));
        ASSERT_TRUE(platform::activate_window_titled(title));
        EXPECT_TRUE(eventually([&] { return window.viewable(); }));
        EXPECT_TRUE(eventually([&] { return !window.maximised(); }));
        EXPECT_TRUE(eventually([&] { return window.active(); }));
        EXPECT_TRUE(
            eventually([&] { return window.stacking_position() > cover.stacking_position(); }));
    }
}
