#pragma once
#include <QMargins>

class QWidget;

namespace platform {

// What the window manager will put around the client area of `window` (a top-level that
// has not been shown yet): title bar and borders, in pixels. Zero when nobody adds a frame
// or it cannot be learnt before the window appears.
QMargins expected_frame(QWidget* window);

} // namespace platform
