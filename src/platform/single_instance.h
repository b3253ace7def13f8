#pragma once
#include <QString>
#include <functional>

class QWidget;

namespace platform {

// Looks for a top-level window whose title is exactly `title` (any window class). When one is
// found it is restored to its normal state, raised and activated, and true is returned.
// Otherwise this process is the running instance: on Windows a start that comes while this one
// has no window yet waits briefly for it, and a later start may ask this process to bring its
// window to the front itself.
bool activate_window_titled(const QString& title);

// Hands `path` to the window whose title is exactly `title` (a running instance), then brings
// that window forward as activate_window_titled does; false when there is no such window.
bool hand_path_to_window_titled(const QString& title, const QString& path);

// From now on, each path that another instance hands to `window` (this one's main window)
// reaches `open`, from the event loop.
void accept_handed_paths(QWidget* window, std::function<void(const QString& path)> open);

} // namespace platform
