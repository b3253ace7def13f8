// Which desktop runs, and which programs with which arguments set its background.
#include "platform/linux/desktop_wallpaper.h"
#include "support/test_env.h"

using namespace platform::desktop;

namespace {

TEST(DesktopWallpaper, DesktopFromSessionAndBus) {
    struct Row {
        const char* name{};
        QString current{}, session{};
        QStringList bus{};
        Desktop expected{};
    } rows[] = {
        {.name = "relative of GNOME", .current = "Budgie:GNOME", .expected = Desktop::Gnome},
        {.name = "unknown entry first", .current = "Foo:X-Cinnamon", .expected = Desktop::Cinnamon},
        {.name = "session path",
         .session = "/usr/share/xsessions/plasma",
         .expected = Desktop::Kde},
        {.name = "shell on the bus",
         .bus = {"org.x", "org.xfce.xfdesktop"},
         .expected = Desktop::Xfce},
        {.name = "bare X server", .bus = {"org.freedesktop.DBus"}, .expected = Desktop::None},
    };
    for (const Row& r : rows)
        EXPECT_EQ(detect(r.current, r.session, r.bus), r.expected) << r.name;
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
    const QString f = "/h/a b.bmp", uri = "file:///h/a%20b.bmp",
                  gnome = "gsettings set org.gnome.desktop.background ";
    const QString xfce = "xfconf-query -c xfce4-desktop ",
                  ws = "-p /backdrop/screen0/monitorA/workspace";
    struct Row {
        const char* name{};
        Desktop desktop{};
        QStringList failing{}, expected{};
        bool set = true;
    } rows[] = {
        {.name = "GNOME", .desktop = Desktop::Gnome, .expected = {"portal " + uri}},
        {.name = "GNOME without a portal",
         .desktop = Desktop::Gnome,
         .failing = {"portal"},
         .expected = {"portal " + uri, gnome + "picture-uri " + uri,
                      gnome + "picture-uri-dark " + uri}},
        {.name = "KDE without a portal",
         .desktop = Desktop::Kde,
         .failing = {"portal"},
         .expected = {"portal " + uri, "plasma-apply-wallpaperimage " + f}},
        {.name = "Xfce, each workspace",
         .desktop = Desktop::Xfce,
         .expected = {xfce + "-l", xfce + ws + "0/last-image -s " + f,
                      xfce + ws + "1/last-image -n -t string -s " + f}},
        {.name = "MATE",
         .desktop = Desktop::Mate,
         .expected = {"gsettings set org.mate.background picture-filename " + f}},
        {.name = "Cinnamon",
         .desktop = Desktop::Cinnamon,
         .expected = {"gsettings set org.cinnamon.desktop.background picture-uri " + uri}},
        {.name = "LXQt without its file manager",
         .desktop = Desktop::Lxqt,
         .failing = {"pcmanfm-qt"},
         .expected = {"pcmanfm-qt --set-wallpaper " + f, "portal " + uri}},
        {.name = "bare X server", .desktop = Desktop::None, .expected = {"x_root " + f}},
        {.name = "no desktop at all",
         .desktop = Desktop::None,
         .failing = {"x_root", "portal"},
         .expected = {"x_root " + f, "portal " + uri},
         .set = false},
    };
    for (const Row& r : rows) {
        FakeSession s;
        s.failing = r.failing;
        EXPECT_EQ(set_background(r.desktop, f, s), r.set) << r.name;
        EXPECT_EQ(s.log, r.expected) << r.name;
    }
}

} // namespace
