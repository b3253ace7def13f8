#pragma once
#include <QString>

namespace platform {

// Whether the program can open a window at all. When not, `why` tells the user what is missing
// and how to start the program instead.
bool display_available(QString* why);

} // namespace platform
