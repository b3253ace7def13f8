#include "platform/picture_io.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtPlugin>

#ifdef PIKUTA_HAVE_METAFILE
Q_IMPORT_PLUGIN(PikutaMetafilePlugin)
#endif

namespace platform {

namespace {

bool starts_with(const QByteArray& data, std::initializer_list<unsigned char> magic)
{
    if (data.size() < static_cast<qsizetype>(magic.size()))
        return false;
    qsizetype i = 0;
    for (unsigned char c : magic)
        if (static_cast<unsigned char>(data[i++]) != c)
            return false;
    return true;
}

// JPEG decoders fill a cut-off file with grey and call it a success. Walk the marker
// structure instead and demand the end-of-image marker after the scan data.
bool jpeg_complete(const QByteArray& d)
{
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(d[i]); };
    qsizetype i = 2;
    const qsizetype n = d.size();
    while (i + 1 < n) {
        if (at(i) != 0xFF)
            return false;
        const unsigned char marker = at(i + 1);
        if (marker == 0xFF) { // fill byte
            ++i;
            continue;
        }
        if (marker == 0xD9)
            return true;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            i += 2;
            continue;
        }
        if (i + 3 >= n)
            return false;
        const qsizetype length = (at(i + 2) << 8) | at(i + 3);
        if (length < 2)
            return false;
        i += 2 + length;
        if (marker != 0xDA)
            continue;
        // Entropy-coded data runs to the next marker that is neither stuffing nor restart.
        while (i + 1 < n) {
            if (at(i) == 0xFF) {
                const unsigned char next = at(i + 1);
                if (next != 0x00 && !(next >= 0xD0 && next <= 0xD7) && next != 0xFF)
                    break;
            }
            ++i;
        }
    }
    return false;
}

// Qt takes a name ending in .dib for a headerless bitmap; choose from the first bytes.
QByteArray format_from_content(const QByteArray& head)
{
    if (starts_with(head, {'B', 'M'}))
        return "bmp";
    if (starts_with(head, {0xFF, 0xD8, 0xFF}))
        return "jpeg";
    if (starts_with(head, {'G', 'I', 'F', '8'}))
        return "gif";
    return {};
}

QImage fail(QString* why, const QString& reason)
{
    if (why)
        *why = reason;
    return {};
}

} // namespace

QImage read_picture(const QString& path, QString* why)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return fail(why, file.errorString());
    const QByteArray data = file.readAll();
    file.close();
    if (data.isEmpty())
        return fail(why, QStringLiteral("empty file"));
    const QByteArray format = format_from_content(data.left(16));
    if (format == "jpeg" && !jpeg_complete(data))
        return fail(why, QStringLiteral("truncated JPEG"));

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
    if (image.isNull())
        return fail(why, reader.errorString());
    return image;
}

} // namespace platform
