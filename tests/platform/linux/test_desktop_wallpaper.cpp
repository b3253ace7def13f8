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
        {.name = "Ubuntu", .current = "ubuntu:GNOME", .expected = Desktop::Gnome},
        {.name = "Budgie", .current = "Budgie:GNOME", .expected = Desktop::Gnome},
        {.name = "Plasma", .current = "KDE", .expected = Desktop::Kde},
        {.name = "Xfce", .current = "XFCE", .expected = Desktop::Xfce},
        {.name = "MATE", .current = "MATE", .expected = Desktop::Mate},
        {.name = "Cinnamon", .current = "X-Cinnamon", .expected = Desktop::Cinnamon},
        {.name = "LXQt", .current = "LXQt", .expected = Desktop::Lxqt},
        {.name = "unknown entry first", .current = "Foo:LXDE", .expected = Desktop::Lxde},
        {.name = "session name",
         .session = "/usr/share/xsessions/plasma",
         .expected = Desktop::Kde},
        {.name = "shell on the bus",
         .bus = {"org.x", "org.Cinnamon"},
         .expected = Desktop::Cinnamon},
        {.name = "bare X server",
         .current = "",
         .bus = {"org.freedesktop.DBus"},
         .expected = Desktop::None},
    };
    for (const Row& r : rows)
        EXPECT_EQ(detect(r.current, r.session, r.bus), r.expected) << r.name;
}

// Records what would run; each program answers as its row says.
class FakeSession : public Session {
  public:
    QStringList log;
    QStringList failing;    // programs (or "portal", "x_root") that fail
    QString xfconf_listing; // what xfconf-query -l prints
    Result run(const QString& program, const QStringList& arguments) override {
        log.push_back((QStringList{program} + arguments).join(QLatin1Char(' ')));
        return {!failing.contains(program), xfconf_listing};
    }
    bool portal(const QString& uri) override {
        log.push_back("portal " + uri);
        return !failing.contains("portal");
    }
    bool x_root(const QString& file) override {
        log.push_back("x_root " + file);
        return !failing.contains("x_root");
    }
};

TEST(DesktopWallpaper, CommandsPerDesktop) {
    const QString file = "/h/My Pics/pk_w_pap.bmp", uri = "file:///h/My%20Pics/pk_w_pap.bmp";
    const QString xfce_list = "/backdrop/screen0/monitorVirtual1/workspace0/last-image\n"
                              "/backdrop/screen0/monitorVirtual1/workspace1/image-style\n"
                              "/backdrop/screen0/monitorHDMI-1/workspace0/last-image\n"
                              "/desktop-icons/style\n";
    struct Row {
        const char* name{};
        Desktop desktop{};
        QStringList failing{};
        QStringList expected{};
        bool set = true;
    } rows[] = {
        {.name = "GNOME through the portal",
         .desktop = Desktop::Gnome,
         .expected = {"portal " + uri}},
        {.name = "GNOME without a portal",
         .desktop = Desktop::Gnome,
         .failing = {"portal"},
         .expected = {"portal " + uri,
                      "gsettings set org.gnome.desktop.background picture-uri " + uri,
                      "gsettings set org.gnome.desktop.background picture-uri-dark " + uri}},
        {.name = "KDE without a portal",
         .desktop = Desktop::Kde,
         .failing = {"portal"},
         .expected = {"portal " + uri, "plasma-apply-wallpaperimage " + file}},
        {.name = "Xfce: every monitor and workspace",
         .desktop = Desktop::Xfce,
         .expected = {"xfconf-query -c xfce4-desktop -l",
                      "xfconf-query -c xfce4-desktop -p "
                      "/backdrop/screen0/monitorVirtual1/workspace0/last-image -s " +
                          file,
                      "xfconf-query -c xfce4-desktop -p "
                      "/backdrop/screen0/monitorVirtual1/workspace1/last-image -n -t string -s " +
                          file,
                      "xfconf-query -c xfce4-desktop -p "
                      "/backdrop/screen0/monitorHDMI-1/workspace0/last-image -s " +
                          file}},
        {.name = "MATE",
         .desktop = Desktop::Mate,
         .expected = {"gsettings set org.mate.background picture-filename " + file}},
        {.name = "Cinnamon",
         .desktop = Desktop::Cinnamon,
         .expected = {"gsettings set org.cinnamon.desktop.background picture-uri " + uri}},
        {.name = "LXQt",
         .desktop = Desktop::Lxqt,
         .expected = {"pcmanfm-qt --set-wallpaper " + file}},
        {.name = "LXQt without its file manager, portal",
         .desktop = Desktop::Lxqt,
         .failing = {"pcmanfm-qt"},
         .expected = {"pcmanfm-qt --set-wallpaper " + file, "portal " + uri}},
        {.name = "bare X server", .desktop = Desktop::None, .expected = {"x_root " + file}},
        {.name = "no desktop at all",
         .desktop = Desktop::None,
         .failing = {"x_root", "portal"},
         .expected = {"x_root " + file, "portal " + uri},
         .set = false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        FakeSession s;
        s.failing = r.failing;
        s.xfconf_listing = xfce_list;
        EXPECT_EQ(set_background(r.desktop, file, s), r.set);
        EXPECT_EQ(s.log, r.expected);
    }
}

} // namespace
