#include "platform/display.h"

#include <gtest/gtest.h>

#include <QtGlobal>

namespace {

struct DisplayRow {
    const char* name;
    const char* qpa = nullptr; // not set
    const char* x_display = nullptr;
    const char* wayland = nullptr;
    bool available = false;
    const char* chosen_qpa = ""; // QT_QPA_PLATFORM afterwards
    const char* told = "";       // part of the message when not available
};

class DisplayChoice : public testing::TestWithParam<DisplayRow> {};

void set_or_unset(const char* name, const char* value) {
    if (value)
        qputenv(name, value);
    else
        qunsetenv(name);
}

TEST_P(DisplayChoice, PicksXWheneverThereIsOne) {
    const DisplayRow& row = GetParam();
    const QByteArray saved[] = {qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"),
                                qgetenv("WAYLAND_DISPLAY")};
    set_or_unset("QT_QPA_PLATFORM", row.qpa);
    set_or_unset("DISPLAY", row.x_display);
    set_or_unset("WAYLAND_DISPLAY", row.wayland);
    QString why;
    EXPECT_EQ(platform::display_available(&why), row.available);
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray(row.chosen_qpa));
    EXPECT_TRUE(why.contains(QLatin1String(row.told))) << why.toStdString();
    qputenv("QT_QPA_PLATFORM", saved[0]);
    set_or_unset("DISPLAY", saved[1].isNull() ? nullptr : saved[1].constData());
    set_or_unset("WAYLAND_DISPLAY", saved[2].isNull() ? nullptr : saved[2].constData());
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, DisplayChoice,
    testing::Values(
        DisplayRow{.name = "X", .x_display = ":0", .available = true, .chosen_qpa = "", .told = ""},
        DisplayRow{.name = "WaylandWithXWayland",
                   .x_display = ":0",
                   .wayland = "wayland-0",
                   .available = true,
                   .chosen_qpa = "xcb",
                   .told = ""},
        DisplayRow{.name = "UserChoiceStands",
                   .qpa = "wayland",
                   .x_display = ":0",
                   .wayland = "wayland-0",
                   .available = true,
                   .chosen_qpa = "wayland",
                   .told = ""},
        DisplayRow{.name = "WaylandAlone",
                   .wayland = "wayland-0",
                   .available = false,
                   .chosen_qpa = "",
                   .told = "Wayland session offers no X display"},
        DisplayRow{.name = "Nothing",
                   .available = false,
                   .chosen_qpa = "",
                   .told = "no display to open a window on"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
