#pragma once
#include <QString>
#include <QStringList>

// How the desktop background is set on Linux: which desktop runs, and what it is asked.
namespace platform::desktop {

enum class Desktop { None, Gnome, Kde, Xfce, Mate, Cinnamon, Lxqt, Lxde };

// The desktop that runs: the first entry of XDG_CURRENT_DESKTOP (a colon-separated list) that
// names a known one, else DESKTOP_SESSION, else the desktop whose shell answers on the
// session bus (`bus_names`: the names registered there).
Desktop detect(const QString& current_desktop, const QString& desktop_session,
               const QStringList& bus_names);

// What the background is set through. The program's own runs helper programs, talks to the
// desktop portal and to the X server; tests put a recording one in its place.
class Session {
  public:
    virtual ~Session() = default;
    struct Result {
        bool ok = false; // the program started and exited with status 0
        QString output;  // what it wrote to standard output
    };
    // Runs `program` with `arguments` as they are, never through a shell.
    virtual Result run(const QString& program, const QStringList& arguments) = 0;
    // The desktop portal's wallpaper interface, without its preview; false when no portal
    // answers.
    virtual bool portal(const QString& uri) = 0;
    // The root window's background on an X server without a desktop.
    virtual bool x_root(const QString& file) = 0;
};

// Makes `file` (an absolute path) the background of `desktop`: GNOME and KDE through the
// portal first, the desktops whose portal writes another desktop's settings directly first,
// and without a desktop the X server's root window. Returns whether anything took it.
bool set_background(Desktop desktop, const QString& file, Session& session);

} // namespace platform::desktop
