#pragma once
#include <QByteArray>

namespace platform {

// The colour profile (ICC) the display announces, as the desktop's colour management set it;
// empty when it announces none. Asked afresh each time: the colour manager may set or change
// it while the program runs. Callable from any thread.
QByteArray display_colour_profile();

} // namespace platform
