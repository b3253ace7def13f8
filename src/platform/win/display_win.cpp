#include "platform/display.h"

namespace platform {

// A Windows desktop always has a screen to open windows on.
bool display_available(QString*) {
    return true;
}

} // namespace platform
