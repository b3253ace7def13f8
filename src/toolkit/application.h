#pragma once

class QApplication;

namespace tk {

// Call before the application object exists. One pixel of a window is one pixel of the
// screen: the toolkit sizes windows in twips from the screen's real density, so that Qt's own
// scaling, which would draw pictures at the logical size and then enlarge them, stays off.
void prepare_application();

// The look every window shares: one style, a Japanese UI font when installed, and windows
// that end the program only through their own unload handling.
void init_application(QApplication& app);

} // namespace tk
