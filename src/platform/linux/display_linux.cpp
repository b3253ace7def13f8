#include "platform/display.h"

#include <QtGlobal>

namespace platform {

bool display_available(QString* why) {
    // Say plainly what is missing instead of the platform plugin's own failure.
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
        qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return true;
    if (why)
        *why = QStringLiteral("pikuta: no display to open a window on (DISPLAY is not set).\n"
                              "Run it on a desktop session, or under a virtual X server:\n"
                              "  xvfb-run -a build/pikuta\n");
    return false;
}

} // namespace platform
