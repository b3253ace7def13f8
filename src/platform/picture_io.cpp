#include "platform/picture_io.h"

#include "platform/jpeg_reader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtPlugin>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#ifdef PIKUTA_HAVE_METAFILE
Q_IMPORT_PLUGIN(PikutaMetafilePlugin)
#endif

namespace platform {

namespace {

bool starts_with(const QByteArray& data, std::initializer_list<unsigned char> magic) {
    if (data.size() < static_cast<qsizetype>(magic.size())) return false;
    qsizetype i = 0;
    for (unsigned char c : magic)
        if (static_cast<unsigned char>(data[i++]) != c) return false;
    return true;
}

// JPEG decoders fill a cut-off file with grey and call it a success. Walk the marker
// structure instead and demand the end-of-image marker after the scan data.
bool jpeg_complete(const QByteArray& d) {
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(d[i]); };
    qsizetype i = 2;
    const qsizetype n = d.size();
    while (i + 1 < n) {
        if (at(i) != 0xFF) { // stray bytes between blocks, which decoders pass over too
            ++i;
            continue;
        }
        const unsigned char marker = at(i + 1);
        if (marker == 0xFF) { // fill byte
            ++i;
            continue;
        }
        if (marker == 0xD9) return true;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            i += 2;
            continue;
        }
        if (i + 3 >= n) return false;
        const qsizetype length = (at(i + 2) << 8) | at(i + 3);
        if (length < 2) return false;
        i += 2 + length;
        if (marker != 0xDA) continue;
        // Entropy-coded data runs to the next marker that is neither stuffing nor restart;
        // memchr finds the candidates many bytes at a time.
        while (i + 1 < n) {
            const void* ff = std::memchr(d.constData() + i, 0xFF, size_t(n - 1 - i));
            if (!ff) {
                i = n - 1;
                break;
            }
            i = static_cast<const char*>(ff) - d.constData();
            const unsigned char next = at(i + 1);
            if (next != 0x00 && !(next >= 0xD0 && next <= 0xD7) && next != 0xFF) break;
            ++i;
        }
    }
    return false;
}

std::uint32_t le32(const QByteArray& d, qsizetype i) {
    const auto b = [&](qsizetype k) { return std::uint32_t(static_cast<unsigned char>(d[i + k])); };
    return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}

std::uint16_t le16(const QByteArray& d, qsizetype i) {
    const auto b = [&](qsizetype k) { return std::uint16_t(static_cast<unsigned char>(d[i + k])); };
    return std::uint16_t(b(0) | b(1) << 8);
}

// The bitmap decoder keeps whatever rows it got from a cut-off file and calls it a success.
// Demand every byte of pixel data that the header announces.
bool bmp_complete(const QByteArray& d) {
    if (d.size() < 26) return false;
    const qint64 offset = le32(d, 10);
    const std::uint32_t header = le32(d, 14);
    qint64 needed = 0;
    if (header == 12) { // the old core header: 16-bit sizes, no compression
        const qint64 stride = (qint64(le16(d, 18)) * le16(d, 24) + 31) / 32 * 4;
        needed = stride * le16(d, 20);
    } else {
        if (d.size() < 38) return false;
        const qint64 width = std::abs(qint64(qint32(le32(d, 18))));
        const qint64 height = std::abs(qint64(qint32(le32(d, 22))));
        const std::uint32_t compression = le32(d, 30);
        if (compression == 0 || compression == 3 || compression == 6) // plain or bit fields
            needed = (width * le16(d, 28) + 31) / 32 * 4 * height;
        else // run-length coded: the header gives the size of the coded data
            needed = le32(d, 34);
    }
    return offset + needed <= d.size();
}

// The GIF decoder shows a cut-off frame with its missing part blank. Walk the blocks up to
// the end of the first frame's data, which is all that is shown.
bool gif_complete(const QByteArray& d) {
    const qsizetype n = d.size();
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(d[i]); };
    const auto colour_table = [](unsigned char flags) {
        return (flags & 0x80) ? qsizetype(3) << ((flags & 7) + 1) : 0;
    };
    // Data sub-blocks, each led by its length, up to the empty one.
    const auto skip_blocks = [&](qsizetype& i) {
        while (i < n) {
            const unsigned char length = at(i);
            i += 1 + length;
            if (length == 0) return true;
        }
        return false;
    };
    if (n < 13) return false;
    qsizetype i = 13 + colour_table(at(10));
    while (i < n) {
        if (at(i) == 0x21) { // extension: label, then its data
            i += 2;
            if (!skip_blocks(i)) return false;
        } else if (at(i) == 0x2C) { // image descriptor, colour table, code size, data
            if (i + 10 > n) return false;
            i += 10 + colour_table(at(i + 9)) + 1;
            return skip_blocks(i);
        } else {
            return false; // the trailer before any frame, or no block at all
        }
    }
    return false;
}

// Qt takes a name ending in .dib for a headerless bitmap; choose from the first bytes.
QByteArray format_from_content(const QByteArray& head) {
    if (starts_with(head, {'B', 'M'})) return "bmp";
    if (starts_with(head, {0xFF, 0xD8, 0xFF})) return "jpeg";
    if (starts_with(head, {'G', 'I', 'F', '8'})) return "gif";
    return {};
}

QImage fail(QString* why, const QString& reason) {
    if (why) *why = reason;
    return {};
}

} // namespace

bool is_raster_picture(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && !format_from_content(file.read(16)).isEmpty();
}

QImage read_picture(const QString& path, QString* why) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) return fail(why, file.errorString());
    const QByteArray data = file.readAll();
    file.close();
    if (data.isEmpty()) return fail(why, QStringLiteral("empty file"));
    const QByteArray format = format_from_content(data.left(16));
    if ((format == "jpeg" && !jpeg_complete(data)) || (format == "bmp" && !bmp_complete(data)) ||
        (format == "gif" && !gif_complete(data)))
        return fail(why, QStringLiteral("truncated file"));

    if (format == "jpeg") {
        if (auto image = read_jpeg(data, qint64(kMaxMegapixels) * 1000000, why)) return *image;
    }
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(format.isEmpty());
    // Room for large camera photos; a header that claims more is refused before allocating.
    QImageReader::setAllocationLimit(kMaxMegapixels * 4);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > qint64(kMaxMegapixels) * 1000000)
        return fail(why, QStringLiteral("picture too large"));
    QImage image = reader.read();
    if (image.isNull()) return fail(why, reader.errorString());
    return image;
}

} // namespace platform
