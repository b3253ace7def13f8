#include "platform/exif_orientation.h"

#include <QTransform>

namespace platform {

int exif_orientation(QByteArrayView tiff) {
    const qsizetype n = tiff.size();
    if (n < 8) return 1;
    const bool big = tiff.startsWith("MM");
    if (!big && !tiff.startsWith("II")) return 1;
    const auto byte = [&](qsizetype i) { return quint32(quint8(tiff[i])); };
    const auto u16 = [&](qsizetype i) {
        return big ? byte(i) << 8 | byte(i + 1) : byte(i + 1) << 8 | byte(i);
    };
    const auto u32 = [&](qsizetype i) {
        return big ? u16(i) << 16 | u16(i + 2) : u16(i + 2) << 16 | u16(i);
    };
    if (u16(2) != 42) return 1;
    const qint64 ifd = u32(4);
    if (ifd < 8 || ifd + 2 > n) return 1;
    const qint64 count = u16(ifd);
    for (qint64 i = 0; i < count && ifd + 2 + 12 * (i + 1) <= n; ++i) {
        const qsizetype entry = qsizetype(ifd + 2 + 12 * i);
        if (u16(entry) != 0x0112) continue;
        // One SHORT, held in the first half of the value field.
        const quint32 value = u16(entry + 8);
        return u16(entry + 2) == 3 && u32(entry + 4) == 1 && value >= 1 && value <= 8 ? int(value)
                                                                                      : 1;
    }
    return 1;
}

QSize oriented_size(QSize stored, int orientation) {
    return orientation >= 5 ? stored.transposed() : stored;
}

QImage oriented(const QImage& stored, int orientation) {
    const auto turned = [](const QImage& image, qreal degrees) {
        return image.transformed(QTransform().rotate(degrees)); // whole quarters: no resampling
    };
    switch (orientation) {
    case 2:
        return stored.mirrored(true, false);
    case 3:
        return stored.mirrored(true, true);
    case 4:
        return stored.mirrored(false, true);
    case 5:
        return turned(stored.mirrored(false, true), 90);
    case 6:
        return turned(stored, 90);
    case 7:
        return turned(stored.mirrored(true, false), 90);
    case 8:
        return turned(stored, 270);
    default:
        return stored;
    }
}

} // namespace platform
