#pragma once
#include <QString>

namespace platform {

// Looks for a top-level window whose title is exactly `title` (any window class). When one is
// found it is restored to its normal state, raised and activated, and true is returned.
// Otherwise this process is the running instance: on Windows a start that comes while this one
// has no window yet waits briefly for it, and a later start may ask this process to bring its
// window to the front itself.
bool activate_window_titled(const QString& title);

} // namespace platform
