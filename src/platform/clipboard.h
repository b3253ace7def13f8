#pragma once
#include <QImage>

namespace platform {

// Replaces what the clipboard holds with one bitmap of `image` at its own size, offered in
// the usual picture formats (PNG and BMP among them) so that other programs can paste it.
// On X11 the program owns the selection while it runs and hands it to a clipboard manager,
// where one runs, when the application ends normally.
void put_picture_on_clipboard(const QImage& image);

} // namespace platform
