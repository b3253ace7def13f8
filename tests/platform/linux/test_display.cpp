// Which display the program opens its windows on, and the search for a running instance.
#include "platform/display.h"
#include "platform/single_instance.h"

#include <QtGlobal>
#include <gtest/gtest.h>

namespace {

// Sets the display variables for its lifetime; nullptr removes one.
struct Session {
    Session(const char* qpa, const char* x, const char* wayland) {
        set(0, qpa), set(1, x), set(2, wayland);
    }
    ~Session() {
        for (int i = 0; i < 3; ++i)
            set(i, saved[i].isNull() ? nullptr : saved[i].constData());
    }
    static void set(int i, const char* value) {
        value ? qputenv(names[i], value) : qunsetenv(names[i]);
    }
    static constexpr const char* names[3] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
    const QByteArray saved[3] = {qgetenv(names[0]), qgetenv(names[1]), qgetenv(names[2])};
};

TEST(DisplayChoice, PicksXWheneverThereIsOne) {
    const struct {
        const char* name;
        const char *qpa, *x, *wayland;
        bool available;
        const char* chosen_qpa; // QT_QPA_PLATFORM afterwards
        const char* told;       // part of the message when not available
    } rows[] = {
        {"X", nullptr, ":0", nullptr, true, "", ""},
        {"Wayland with XWayland", nullptr, ":0", "wayland-0", true, "xcb", ""},
        {"the user's choice stands", "wayland", ":0", "wayland-0", true, "wayland", ""},
        {"Wayland alone", nullptr, nullptr, "wayland-0", false, "",
         "Wayland session offers no X display"},
        {"nothing", nullptr, nullptr, nullptr, false, "", "no display to open a window on"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        Session session(r.qpa, r.x, r.wayland);
        QString why;
        EXPECT_EQ(platform::display_available(&why), r.available);
        EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray(r.chosen_qpa));
        EXPECT_TRUE(why.contains(QLatin1String(r.told))) << why.toStdString();
    }
    // The search for a running instance (x11.first_run_* window tests) finds nothing here.
    Session session(nullptr, nullptr, nullptr);
    EXPECT_FALSE(platform::activate_window_titled("PIKUTA"));
}

} // namespace
