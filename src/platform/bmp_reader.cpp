#include "platform/bmp_reader.h"

#include <QtEndian>
#include <cstdlib>
#include <cstring>

namespace platform {

std::optional<QImage> read_plain_bmp(const QByteArray& data) {
    constexpr qsizetype kFileHeader = 14, kInfoHeader = 40;
    if (data.size() < kFileHeader + kInfoHeader) return std::nullopt;
    const auto* d = reinterpret_cast<const uchar*>(data.constData());
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(d + at); };
    const auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(d + at); };
    const qint64 offset = u32(10);
    const qint64 width = qint32(u32(18)), height = qint32(u32(22));
    const int bits = u16(28);
    if (u32(14) != kInfoHeader || u16(26) != 1 || u32(30) != 0 || (bits != 24 && bits != 32) ||
        width <= 0 || height == 0 || width > 0x7FFF'FFFF / 4)
        return std::nullopt;
    const qint64 rows = std::abs(height);
    const qint64 stride = (width * bits + 31) / 32 * 4;
    if (offset < kFileHeader + kInfoHeader || offset + stride * rows > data.size())
        return std::nullopt;
    QImage image(int(width), int(rows), QImage::Format_RGB32);
    if (image.isNull()) return std::nullopt;
    for (qint64 y = 0; y < rows; ++y) {
        // Stored bottom up unless the height is negative.
        const uchar* in = d + offset + stride * (height > 0 ? rows - 1 - y : y);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        if (bits == 24) {
            for (qint64 x = 0; x < width; ++x, in += 3)
                out[x] = qRgb(in[2], in[1], in[0]);
        } else {
            // Blue, green, red and an unused byte: the pixel as it is in memory here, made opaque.
            for (qint64 x = 0; x < width; ++x, in += 4)
                out[x] = 0xFF000000 | qFromLittleEndian<quint32>(in);
        }
    }
    return image;
}

} // namespace platform
