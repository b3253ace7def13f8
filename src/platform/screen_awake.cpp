#include "platform/screen_awake.h"

namespace platform {

namespace {
std::unique_ptr<ScreenAwake>& current() {
    static std::unique_ptr<ScreenAwake> awake;
    return awake;
}
} // namespace

ScreenAwake& screen_awake() {
    if (!current()) current() = system_screen_awake();
    return *current();
}

void set_screen_awake(std::unique_ptr<ScreenAwake> awake) {
    current() = std::move(awake);
}

} // namespace platform
