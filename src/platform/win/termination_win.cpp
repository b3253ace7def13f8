#include "platform/termination.h"

namespace platform {

// Windows asks a program to end through its windows (a close message, the session's end),
// which reach the toolkit's own close handling.
void on_termination_request(std::function<void()>) {}

} // namespace platform
