#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace platform {

// Qt serves both systems: it renders the picture into each format a program asks for (PNG,
// BMP and the rest on X11; the device-independent bitmap formats on Windows) and keeps the
// data alive past the program's end on both.
void put_picture_on_clipboard(const QImage& image) {
    auto* data = new QMimeData;
    data->setImageData(image);
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
}

} // namespace platform
