// A new instance hands its path to the running one's main window as WM_COPYDATA.
#include "platform/single_instance.h"
#include "platform/win/win32_core.h"
#include "platform/win/win32_handover.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

namespace platform {
namespace {

class HandedPaths : public QAbstractNativeEventFilter {
  public:
    HandedPaths(QWidget* window, std::function<void(const QString&)> open)
        : window_(window), id_(reinterpret_cast<HWND>(window->winId())), open_(std::move(open)) {}

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override {
        if (type != "windows_generic_MSG" || !window_) return false;
        const auto* msg = static_cast<const MSG*>(message);
        if (msg->message != WM_COPYDATA || msg->hwnd != id_ || !msg->lParam) return false;
        const auto path =
            win32::received_path(*reinterpret_cast<const COPYDATASTRUCT*>(msg->lParam));
        if (!path) return false;
        // The sender waits for the answer: open the path once it has it.
        const QString text = QString::fromStdWString(*path);
        QMetaObject::invokeMethod(
            window_, [open = open_, text] { open(text); }, Qt::QueuedConnection);
        *result = TRUE;
        return true;
    }

  private:
    QPointer<QWidget> window_;
    HWND id_;
    std::function<void(const QString&)> open_;
};

} // namespace

bool hand_path_to_window_titled(const QString& title, const QString& path) {
    const HWND window = win32::find_window_titled(title.toStdWString());
    if (!window) return false;
    win32::send_path(window, path.toStdWString());
    win32::restore_and_activate(window);
    return true;
}

void accept_handed_paths(QWidget* window, std::function<void(const QString&)> open) {
    QCoreApplication::instance()->installNativeEventFilter(
        new HandedPaths(window, std::move(open)));
}

} // namespace platform
