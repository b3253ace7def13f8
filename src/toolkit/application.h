#pragma once

class QApplication;

namespace tk {

// The look every window shares: one style, a Japanese UI font when installed, and windows
// that end the program only through their own unload handling.
void init_application(QApplication& app);

} // namespace tk
