#include "platform/linux/desktop_wallpaper.h"

#include <QRegularExpression>
#include <QUrl>
#include <array>
#include <utility>

namespace platform::desktop {
namespace {

// Names the desktops give themselves (lower case), the relatives of a desktop with it.
constexpr std::array<std::pair<const char*, Desktop>, 16> kNames{{
    {"gnome", Desktop::Gnome},
    {"gnome-classic", Desktop::Gnome},
    {"gnome-flashback", Desktop::Gnome},
    {"ubuntu", Desktop::Gnome},
    {"unity", Desktop::Gnome},
    {"budgie", Desktop::Gnome},
    {"budgie-desktop", Desktop::Gnome},
    {"pantheon", Desktop::Gnome},
    {"kde", Desktop::Kde},
    {"plasma", Desktop::Kde},
    {"xfce", Desktop::Xfce},
    {"mate", Desktop::Mate},
    {"x-cinnamon", Desktop::Cinnamon},
    {"cinnamon", Desktop::Cinnamon},
    {"lxqt", Desktop::Lxqt},
    {"lxde", Desktop::Lxde},
}};

// The shell of each desktop, as it registers on the session bus.
constexpr std::array<std::pair<const char*, Desktop>, 5> kShells{{
    {"org.kde.plasmashell", Desktop::Kde},
    {"org.gnome.Shell", Desktop::Gnome},
    {"org.Cinnamon", Desktop::Cinnamon},
    {"org.xfce.xfdesktop", Desktop::Xfce},
    {"org.lxqt.session", Desktop::Lxqt},
}};

Desktop by_name(const QString& name) {
    const QString lower = name.trimmed().toLower();
    for (const auto& [known, desktop] : kNames)
        if (lower == QLatin1String(known)) return desktop;
    return Desktop::None;
}

bool gsettings(Session& s, const char* schema, const char* key, const QString& value) {
    return s
        .run(QStringLiteral("gsettings"),
             {QStringLiteral("set"), QLatin1String(schema), QLatin1String(key), value})
        .ok;
}

QString uri_of(const QString& file) {
    return QString::fromLatin1(QUrl::fromLocalFile(file).toEncoded());
}

// A text as a quoted script string.
QString quoted(QString text) {
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

bool set_kde(Session& s, const QString& file) {
    if (s.run(QStringLiteral("plasma-apply-wallpaperimage"), {file}).ok) return true;
    // Older Plasma has no such tool; its shell takes a script that sets every desktop.
    const QString script =
        QStringLiteral("for (const d of desktops()) { d.wallpaperPlugin = \"org.kde.image\"; "
                       "d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"]; "
                       "d.writeConfig(\"Image\", %1); }")
            .arg(quoted(uri_of(file)));
    return s
        .run(QStringLiteral("dbus-send"),
             {QStringLiteral("--session"), QStringLiteral("--type=method_call"),
              QStringLiteral("--dest=org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
              QStringLiteral("org.kde.PlasmaShell.evaluateScript"),
              QStringLiteral("string:") + script})
        .ok;
}

// Xfce keeps one image per monitor and workspace; each that the desktop knows gets the file.
bool set_xfce(Session& s, const QString& file) {
    const QString channel = QStringLiteral("xfce4-desktop");
    const Session::Result list = s.run(QStringLiteral("xfconf-query"),
                                       {QStringLiteral("-c"), channel, QStringLiteral("-l")});
    if (!list.ok) return false;
    static const QRegularExpression workspace(
        QStringLiteral("^(/backdrop/screen\\d+/[^/]+/workspace\\d+)/(.*)$"));
    QStringList places;
    QStringList with_image;
    for (const QString& line : list.output.split(QLatin1Char('\n'))) {
        const auto m = workspace.match(line.trimmed());
        if (!m.hasMatch()) continue;
        if (!places.contains(m.captured(1))) places.push_back(m.captured(1));
        if (m.captured(2) == QLatin1String("last-image")) with_image.push_back(m.captured(1));
    }
    bool any = false;
    for (const QString& place : places) {
        QStringList args{QStringLiteral("-c"), channel, QStringLiteral("-p"),
                         place + QStringLiteral("/last-image")};
        if (!with_image.contains(place))
            args << QStringLiteral("-n") << QStringLiteral("-t") << QStringLiteral("string");
        args << QStringLiteral("-s") << file;
        any = s.run(QStringLiteral("xfconf-query"), args).ok || any;
    }
    return any;
}

bool set_directly(Desktop desktop, const QString& file, Session& s) {
    switch (desktop) {
    case Desktop::Gnome:
        if (!gsettings(s, "org.gnome.desktop.background", "picture-uri", uri_of(file)))
            return false;
        // Only newer versions have a picture for the dark style; older ones refuse the key.
        gsettings(s, "org.gnome.desktop.background", "picture-uri-dark", uri_of(file));
        return true;
    case Desktop::Kde:
        return set_kde(s, file);
    case Desktop::Xfce:
        return set_xfce(s, file);
    case Desktop::Mate:
        return gsettings(s, "org.mate.background", "picture-filename", file);
    case Desktop::Cinnamon:
        return gsettings(s, "org.cinnamon.desktop.background", "picture-uri", uri_of(file));
    case Desktop::Lxqt:
        return s.run(QStringLiteral("pcmanfm-qt"), {QStringLiteral("--set-wallpaper"), file}).ok;
    case Desktop::Lxde:
        return s.run(QStringLiteral("pcmanfm"), {QStringLiteral("--set-wallpaper"), file}).ok;
    case Desktop::None:
        break;
    }
    return false;
}

} // namespace

Desktop detect(const QString& current_desktop, const QString& desktop_session,
               const QStringList& bus_names) {
    for (const QString& name : current_desktop.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        if (const Desktop d = by_name(name); d != Desktop::None) return d;
    // A session path such as /usr/share/xsessions/plasma names the desktop by its last part.
    if (const Desktop d = by_name(desktop_session.section(QLatin1Char('/'), -1));
        d != Desktop::None)
        return d;
    for (const auto& [shell, desktop] : kShells)
        if (bus_names.contains(QLatin1String(shell))) return desktop;
    return Desktop::None;
}

bool set_background(Desktop desktop, const QString& file, Session& session) {
    switch (desktop) {
    case Desktop::None:
        // A bare X server: a portal that answers there writes some desktop's setting that
        // nobody shows, so the root window comes first.
        return session.x_root(file) || session.portal(uri_of(file));
    case Desktop::Gnome:
    case Desktop::Kde:
        if (session.portal(uri_of(file)) || set_directly(desktop, file, session)) return true;
        break;
    default:
        // The portal of these desktops is usually the generic one, which writes GNOME's
        // setting: it answers, yet their own background stays as it was.
        if (set_directly(desktop, file, session) || session.portal(uri_of(file))) return true;
        break;
    }
    return session.x_root(file);
}

} // namespace platform::desktop
