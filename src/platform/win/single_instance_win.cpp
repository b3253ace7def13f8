#include "platform/single_instance.h"
#include "platform/win/win32_core.h"
#include "platform/win/win32_instance.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

namespace platform {
namespace {

// How long a start waits for the window of another instance that is itself still starting.
constexpr std::chrono::seconds start_patience{10};

// A later start that the system did not let bring this instance's window to the front asks
// this instance to come forward itself.
class ActivationRequests : public QAbstractNativeEventFilter {
  public:
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        const auto* msg = static_cast<const MSG*>(message);
        if (type != "windows_generic_MSG" || msg->message != win32::activation_request())
            return false;
        win32::come_forward(msg->hwnd);
        return true;
    }
};

void answer_activation_requests() {
    static ActivationRequests filter;
    if (auto* app = QCoreApplication::instance()) app->installNativeEventFilter(&filter);
}

} // namespace

bool activate_window_titled(const QString& title) {
    const HWND window = win32::find_running_instance(title.toStdWString(), start_patience);
    if (!window) {
        answer_activation_requests();
        return false;
    }
    win32::restore_and_activate(window);
    return true;
}

} // namespace platform
