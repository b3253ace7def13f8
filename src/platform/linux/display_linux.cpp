#include "platform/display.h"

#include <QtGlobal>

namespace platform {

bool display_available(QString* why) {
    // The user's own choice of window system stands.
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) return true;
    const bool x_display = qEnvironmentVariableIsSet("DISPLAY");
    const bool wayland = qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    // Placing the window and finding the running instance by its title need X: a Wayland
    // client can do neither, so a Wayland session's X server (XWayland) is used instead.
    if (x_display) {
        if (wayland) qputenv("QT_QPA_PLATFORM", "xcb");
        return true;
    }
    if (why) {
        *why =
            wayland
                ? QStringLiteral("pikuta: this Wayland session offers no X display (DISPLAY is not "
                                 "set).\nThe program needs X11 to place its window and to find a "
                                 "running copy; enable XWayland in the desktop's settings, or run "
                                 "it under a virtual X server:\n  xvfb-run -a pikuta\n")
                : QStringLiteral("pikuta: no display to open a window on (DISPLAY is not set).\n"
                                 "Run it on a desktop session, or under a virtual X server:\n"
                                 "  xvfb-run -a pikuta\n");
    }
    return false;
}

} // namespace platform
