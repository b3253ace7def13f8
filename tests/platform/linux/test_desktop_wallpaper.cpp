// Which desktop runs, and which programs with which arguments set its background.
#include "platform/linux/desktop_wallpaper.h"
#include "support/platform_env.h"

#include <tuple>

using namespace platform::desktop;

namespace {

TEST(DesktopWallpaper, DesktopFromSessionAndBus) {
    // XDG_CURRENT_DESKTOP, DESKTOP_SESSION, the names on the session bus; the desktop.
    const std::tuple<QString, QString, QStringList, Desktop> cases[] = {
        {"Budgie:GNOME", "", {}, Desktop::Gnome},
        {"Foo:X-Cinnamon", "", {}, Desktop::Cinnamon},
        {"", "/usr/share/xsessions/plasma", {}, Desktop::Kde},
        {"", "", {"org.x", "org.xfce.xfdesktop"}, Desktop::Xfce},
        {"", "", {"org.freedesktop.DBus"}, Desktop::None},
    };
    for (const auto& [current, session, bus, expected] : cases)
        EXPECT_EQ(detect(current, session, bus), expected) << current.toStdString();
}

// Records what would run; the programs named in `failing` fail ("portal" and "x_root" too).
struct FakeSession : Session {
    QStringList log, failing;
    Result run(const QString& program, const QStringList& arguments) override {
        log.push_back((QStringList{program} + arguments).join(' '));
        return {!failing.contains(program), "/backdrop/screen0/monitorA/workspace0/last-image\n"
                                            "/backdrop/screen0/monitorA/workspace1/image-style\n"
                                            "/desktop-icons/style\n"};
    }
    bool portal(const QString& uri) override { return record("portal " + uri, "portal"); }
    bool x_root(const QString& file) override { return record("x_root " + file, "x_root"); }
    bool record(const QString& line, const QString& name) {
        log.push_back(line);
        return !failing.contains(name);
    }
};

TEST(DesktopWallpaper, CommandsPerDesktop) {
    const QString f = "/h/a b.bmp", uri = "file:///h/a%20b.bmp";
    const QString gnome = "gsettings set org.gnome.desktop.background ";
    const QString xfce = "xfconf-query -c xfce4-desktop ";
    const QString workspace = xfce + "-p /backdrop/screen0/monitorA/workspace";
    // The row, the desktop, what fails, what runs, whether the background was set.
    const std::tuple<const char*, Desktop, QStringList, QStringList, bool> cases[] = {
        {"GNOME", Desktop::Gnome, {}, {"portal " + uri}, true},
        {"GNOME without a portal",
         Desktop::Gnome,
         {"portal"},
         {"portal " + uri, gnome + "picture-uri " + uri, gnome + "picture-uri-dark " + uri},
         true},
        {"Xfce, each workspace",
         Desktop::Xfce,
         {},
         {xfce + "-l", workspace + "0/last-image -s " + f,
          workspace + "1/last-image -n -t string -s " + f},
         true},
        {"LXQt without its file manager",
         Desktop::Lxqt,
         {"pcmanfm-qt"},
         {"pcmanfm-qt --set-wallpaper " + f, "portal " + uri},
         true},
        {"bare X server", Desktop::None, {}, {"x_root " + f}, true},
        {"no desktop at all",
         Desktop::None,
         {"x_root", "portal"},
         {"x_root " + f, "portal " + uri},
         false},
    };
    for (const auto& [name, desktop, failing, expected, set] : cases) {
        FakeSession s;
        s.failing = failing;
        EXPECT_EQ(set_background(desktop, f, s), set) << name;
        EXPECT_EQ(s.log, expected) << name;
    }
}

} // namespace
