#pragma once
#include <functional>

namespace platform {

// Runs `fn` from the event loop each time the system asks the program to end in an orderly
// way, as at logout or shutdown. Call once, after the application object exists.
void on_termination_request(std::function<void()> fn);

} // namespace platform
