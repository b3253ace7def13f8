#include "platform/single_instance.h"
#include "platform/win/win32_core.h"
#include "platform/win/win32_handover.h"
#include "platform/win/win32_instance.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

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

// Paths that later starts hand to this instance's main window as WM_COPYDATA.
class HandedPaths : public QAbstractNativeEventFilter {
  public:
    HandedPaths(QWidget* window, std::function<void(const QString&)> open)
        : window_(window), id_(reinterpret_cast<HWND>(window->winId())), open_(std::move(open)) {}

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override {
        const auto* msg = static_cast<const MSG*>(message);
        if (type != "windows_generic_MSG" || !window_ || msg->message != WM_COPYDATA ||
            msg->hwnd != id_ || !msg->lParam)
            return false;
        const auto path =
            win32::received_path(*reinterpret_cast<const COPYDATASTRUCT*>(msg->lParam));
        if (!path) return false;
        // The sender waits for the answer: the path opens once it has it.
        QMetaObject::invokeMethod(
            window_, [open = open_, text = QString::fromStdWString(*path)] { open(text); },
            Qt::QueuedConnection);
        *result = TRUE;
        return true;
    }

  private:
    QPointer<QWidget> window_;
    HWND id_;
    std::function<void(const QString&)> open_;
};

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

bool hand_path_to_window_titled(const QString& title, const QString& path) {
    // As activate_window_titled finds it: a running instance that is still starting is
    // waited for, so that its path is not lost.
    const HWND window = win32::find_running_instance(title.toStdWString(), start_patience);
    if (!window) return false;
    win32::send_path(window, path.toStdWString());
    win32::restore_and_activate(window);
    return true;
}

void accept_handed_paths(QWidget* window, std::function<void(const QString&)> open) {
    // Lives as long as the program; it does nothing once the window is gone.
    QCoreApplication::instance()->installNativeEventFilter(
        new HandedPaths(window, std::move(open)));
}

} // namespace platform
