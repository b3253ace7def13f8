#pragma once
#include <QString>

namespace platform {

// Looks for a top-level window whose title is exactly `title` (any window class). When one is
// found it is restored to its normal state, raised and activated, and true is returned.
bool activate_window_titled(const QString& title);

} // namespace platform
