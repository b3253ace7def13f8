#pragma once
#include <QByteArray>
#include <QImage>

class QIODevice;

// What a picture file says about how its pixels must be shown: turned as the camera was held,
// and in the colours its profile describes. The loader applies it to every picture it reads,
// so nothing else ever sees a picture the wrong way round or in the wrong colours.
namespace platform {

struct PictureLook {
    int orientation = 1; // Exif orientation, 1 to 8
    QByteArray profile;  // embedded ICC profile; none means sRGB, shown as decoded
};

// From the blocks of a JPEG file before its picture data.
PictureLook jpeg_look(const QByteArray& jpeg);

// From a bitmap's info header, which starts `header` bytes into `file`; a version 5 header can
// embed a profile anywhere in the file.
PictureLook bmp_look(QIODevice& file, qint64 header);

// The decoded picture (or a reduced decode of it) as the person took it, in the display's
// colours. Costs nothing for a file that says nothing.
QImage shown_as_taken(QImage decoded, const PictureLook& look);

} // namespace platform
