#pragma once
#include <memory>

class QWidget;

namespace platform {

// Keeps the screen from blanking or going into power saving while held, as a slideshow needs.
// Letting go gives it back, and so does the end of the process, however it ends.
class ScreenAwake {
  public:
    virtual ~ScreenAwake() = default;
    // Holds the screen awake for `window` (true) or lets go (false); asking for what is in
    // force already does nothing.
    virtual void hold(bool on, const QWidget* window) = 0;
};

// The system's way; tests put in their own.
ScreenAwake& screen_awake();
void set_screen_awake(std::unique_ptr<ScreenAwake> awake);

// What screen_awake() starts with, one for each system.
std::unique_ptr<ScreenAwake> system_screen_awake();

} // namespace platform
