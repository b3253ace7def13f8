#include "platform/screen_awake.h"

#include <windows.h>

namespace platform {
namespace {

// The display-required state of the user-interface thread; the system forgets it when the
// thread ends.
class ThreadExecutionState : public ScreenAwake {
  public:
    ~ThreadExecutionState() override { hold(false, nullptr); }
    void hold(bool on, const QWidget* /*window*/) override {
        if (on == held_) return;
        held_ = on;
        SetThreadExecutionState(on ? ES_CONTINUOUS | ES_DISPLAY_REQUIRED : ES_CONTINUOUS);
    }

  private:
    bool held_ = false;
};

} // namespace

std::unique_ptr<ScreenAwake> system_screen_awake() {
    return std::make_unique<ThreadExecutionState>();
}

} // namespace platform
