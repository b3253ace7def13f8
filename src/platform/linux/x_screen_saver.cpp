#include "platform/linux/x_screen_saver.h"

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace platform::x11 {

void* suspend_screen_saver() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return nullptr;
    int event_base = 0, error_base = 0, major = 0, minor = 0;
    // Suspending came with version 1.1 of the extension.
    if (!XScreenSaverQueryExtension(display, &event_base, &error_base) ||
        !XScreenSaverQueryVersion(display, &major, &minor) || (major == 1 && minor < 1)) {
        XCloseDisplay(display);
        return nullptr;
    }
    XScreenSaverSuspend(display, True);
    XSync(display, False);
    return display;
}

void resume_screen_saver(void* suspension) {
    auto* display = static_cast<Display*>(suspension);
    if (!display) return;
    XScreenSaverSuspend(display, False);
    XCloseDisplay(display);
}

} // namespace platform::x11
