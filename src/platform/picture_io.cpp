#include "platform/picture_io.h"

#include "platform/bmp_reader.h"
#include "platform/exif_orientation.h"
#include "platform/file_names.h"
#include "platform/jpeg_reader.h"
#include "platform/picture_look.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <QtPlugin>
#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

// jpeglib.h needs FILE and size_t declared before it.
#include <jerror.h>
#include <jpeglib.h>

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

constexpr qint64 kMaxPixels = qint64(kMaxMegapixels) * 1000000;
// Enough of the start of a file to hold any bitmap or GIF header.
constexpr qint64 kHeadBytes = 64;
// JPEG and GIF headers say nothing about the size of their data, only about the picture's. This
// much is read to find the picture's size; metadata blocks longer than that are not real.
constexpr qint64 kLeadBytes = qint64(16) << 20;

enum class JpegEnd { Marker, InScan, Overrun };

struct JpegWalk {
    JpegEnd end = JpegEnd::Overrun;
    qint64 samples = -1; // width x height x components of the first frame, when seen
    qsizetype frame_at = -1;
};

bool is_frame_marker(unsigned char m) {
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

// Walks the marker structure the way decoders do: stray bytes between blocks and fill bytes
// are passed over, and the entropy-coded data of a scan runs to the next real marker.
JpegWalk jpeg_walk(const QByteArray& d) {
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(d[i]); };
    JpegWalk walk;
    qsizetype i = 2;
    const qsizetype n = d.size();
    while (i + 1 < n) {
        if (at(i) != 0xFF || at(i + 1) == 0xFF) {
            ++i;
            continue;
        }
        const unsigned char marker = at(i + 1);
        if (marker == 0xD9) {
            walk.end = JpegEnd::Marker;
            return walk;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            i += 2;
            continue;
        }
        if (i + 3 >= n) return walk;
        const qsizetype length = (at(i + 2) << 8) | at(i + 3);
        if (length < 2 || i + 2 + length > n) return walk;
        if (is_frame_marker(marker) && walk.frame_at < 0 && length >= 8) {
            walk.frame_at = i;
            walk.samples =
                qint64((at(i + 5) << 8) | at(i + 6)) * ((at(i + 7) << 8) | at(i + 8)) * at(i + 9);
        }
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
        if (i + 1 >= n) walk.end = JpegEnd::InScan;
    }
    return walk;
}

struct JpegCheck {
    jpeg_error_mgr err;
    std::jmp_buf jump;
    bool ran_dry = false;
};

void jpeg_check_error(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegCheck*>(cinfo->err)->jump, 1);
}

void jpeg_check_message(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_HIT_MARKER)
        reinterpret_cast<JpegCheck*>(cinfo->err)->ran_dry = true;
}

// Decodes (at an eighth of the size, which still reads every coded bit) and tells whether the
// scan data held every block of the picture, for a file that ends without its end marker.
bool jpeg_scan_complete(const QByteArray& d) {
    JpegCheck check;
    jpeg_decompress_struct cinfo;
    cinfo.err = jpeg_std_error(&check.err);
    check.err.error_exit = jpeg_check_error;
    check.err.emit_message = jpeg_check_message;
    jpeg_create_decompress(&cinfo);
    volatile bool complete = false;
    if (setjmp(check.jump) == 0) {
        cinfo.mem->max_memory_to_use = long(512) << 20;
        jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(d.constData()),
                     static_cast<unsigned long>(d.size()));
        jpeg_read_header(&cinfo, TRUE);
        cinfo.scale_num = 1;
        cinfo.scale_denom = 8;
        cinfo.dct_method = JDCT_IFAST;
        jpeg_start_decompress(&cinfo);
        JSAMPARRAY row =
            (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                       cinfo.output_width * cinfo.output_components, 1);
        while (cinfo.output_scanline < cinfo.output_height)
            jpeg_read_scanlines(&cinfo, row, 1);
        complete = !check.ran_dry;
    }
    jpeg_destroy_decompress(&cinfo);
    return complete;
}

// JPEG decoders fill a cut-off file with grey and call it a success, so the structure is
// checked first. Some cameras leave out the final end marker: complete scan data is enough.
// A damaged block length that runs past the end is passed over by the decoder too, when the
// file still ends with the end marker.
bool jpeg_complete(const QByteArray& d) {
    switch (jpeg_walk(d).end) {
    case JpegEnd::Marker:
        return true;
    case JpegEnd::InScan:
        return jpeg_scan_complete(d);
    case JpegEnd::Overrun:
        return d.endsWith("\xFF\xD9");
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

QByteArray le32_bytes(std::uint32_t v) {
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}

constexpr qint64 kTooLarge = -2;

// The bytes a bitmap file needs, file header included, from its headers alone: the bitmap
// decoder keeps whatever rows it got from a cut-off file and calls it a success. -1 when the
// headers themselves are incomplete, kTooLarge for a picture over the limit.
qint64 bmp_size(const QByteArray& d) {
    if (d.size() < 26) return -1;
    const qint64 offset = le32(d, 10);
    const std::uint32_t header = le32(d, 14);
    if (header == 12) { // the old core header: 16-bit sizes, no compression
        const qint64 stride = (qint64(le16(d, 18)) * le16(d, 24) + 31) / 32 * 4;
        return offset + stride * le16(d, 20);
    }
    if (d.size() < 38) return -1;
    const qint64 width = std::abs(qint64(qint32(le32(d, 18))));
    const qint64 height = std::abs(qint64(qint32(le32(d, 22))));
    if (width * height > kMaxPixels) return kTooLarge;
    const std::uint32_t compression = le32(d, 30);
    if (compression == 0 || compression == 3 || compression == 6) // plain or bit fields
        return offset + (width * le16(d, 28) + 31) / 32 * 4 * height;
    return offset + le32(d, 34); // run-length coded: the header gives the size of the coded data
}

// A device-independent bitmap as the clipboard keeps it: an info header, colours and pixels,
// without the file header that the bitmap decoder wants. Gives that file header, or nothing.
QByteArray dib_file_header(const QByteArray& d, qint64 file_size) {
    if (d.size() < 40) return {};
    const std::uint32_t header = le32(d, 0);
    const bool core = header == 12;
    if (!core && header != 40 && header != 52 && header != 56 && header != 108 && header != 124)
        return {};
    const int bits = core ? le16(d, 10) : le16(d, 14);
    if ((core ? le16(d, 8) : le16(d, 12)) != 1 ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return {};
    qint64 colours = bits <= 8 ? qint64(1) << bits : 0;
    qint64 masks = 0;
    if (!core) {
        if (le32(d, 32) != 0) colours = std::min<qint64>(le32(d, 32), 256);
        const std::uint32_t compression = le32(d, 16);
        if (header == 40 && compression == 3) masks = 12;
        if (header == 40 && compression == 6) masks = 16;
    }
    const qint64 pixels = header + masks + colours * (core ? 3 : 4);
    return "BM" + le32_bytes(std::uint32_t(14 + file_size)) + QByteArray(4, '\0') +
           le32_bytes(std::uint32_t(14 + pixels));
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

QImage decode(QIODevice* device, const QByteArray& format, QString* why) {
    QImageReader reader(device, format);
    reader.setDecideFormatFromContent(format.isEmpty());
    // The kinds read here say how they are turned through their look; Qt's other readers
    // turn what they read themselves.
    reader.setAutoTransform(format.isEmpty());
    // Room for large camera photos; a header that claims more is refused before allocating.
    QImageReader::setAllocationLimit(kMaxMegapixels * 4);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPixels)
        return fail(why, QStringLiteral("picture too large"));
    QImage image = reader.read();
    if (image.isNull()) return fail(why, reader.errorString());
    return image;
}

// The bytes of a bitmap, JPEG or GIF file that decoding can need, judged from its start before
// the rest is read, so that a huge file of another kind under such a name costs nothing.
qint64 needed_bytes(const QByteArray& format, const QByteArray& lead) {
    if (format == "bmp") return bmp_size(lead);
    if (format == "gif") {
        const qint64 screen = qint64(le16(lead, 6)) * le16(lead, 8);
        // At most 12 bits of code per pixel, with the block lengths and clear codes on top.
        return screen > kMaxPixels ? kTooLarge : kLeadBytes + screen * 2;
    }
    const JpegWalk walk = jpeg_walk(lead);
    if (walk.frame_at < 0) return lead.size(); // no frame in the lead: the check refuses it
    // Coded data is smaller than the samples it codes, progressive scans included.
    return walk.samples > kMaxPixels * 4 ? kTooLarge
                                         : walk.frame_at + walk.samples * 2 + kLeadBytes;
}

// The screen's need is for the picture as shown; the decoder reduces the picture as stored.
ReadOptions for_stored(ReadOptions options, int orientation) {
    if (options.needed && orientation >= 5)
        options.needed = [needed = options.needed, orientation](QSize stored) {
            return oriented_size(needed(oriented_size(stored, orientation)), orientation);
        };
    return options;
}

// Reads on from `file` until `data` holds `size` bytes or the file ends, straight into `data`:
// a photo's bytes are not copied once more.
void read_up_to(QFile& file, QByteArray& data, qint64 size) {
    const qsizetype have = data.size();
    if (size <= have) return;
    data.resize(size);
    const qint64 got = file.read(data.data() + have, size - have);
    data.resize(have + std::max<qint64>(got, 0));
}

// Decodes a whole bitmap, JPEG or GIF file held in memory, shown as its look says.
QImage decode_data(QByteArray& data, const QByteArray& format, const PictureLook& look,
                   const ReadOptions& options, QSize* own, QString* why) {
    if (format == "jpeg") {
        if (auto image =
                read_jpeg(data, kMaxPixels, for_stored(options, look.orientation), own, why)) {
            *own = oriented_size(*own, look.orientation);
            return shown_as_taken(std::move(*image), look);
        }
    }
    if (format == "bmp") {
        if (auto image = read_plain_bmp(data)) return shown_as_taken(std::move(*image), look);
    }
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return shown_as_taken(decode(&buffer, format, why), look);
}

// `kept`, when given, gets the file's bytes if the picture returned is not at its own size.
QImage read_checked(const QString& path, const ReadOptions& options, QSize* own, QString* why,
                    QByteArray* kept) {
    QFile file;
    QString reason;
    if (!open_for_reading(file, path, &reason)) return fail(why, reason);
    const qint64 file_size = file.size();
    QByteArray data = file.read(kHeadBytes);
    if (data.isEmpty()) return fail(why, QStringLiteral("empty file"));
    QByteArray format = format_from_content(data);
    QByteArray prefix = format.isEmpty() ? dib_file_header(data, file_size) : QByteArray();
    if (!prefix.isEmpty()) format = "bmp";
    if (format.isEmpty()) { // the metafile plugin and Qt's other readers bound their own reads
        file.seek(0);
        const QImage image = decode(&file, {}, why);
        // Those readers give the profile they found as the picture's colour space.
        return shown_as_taken(image, {1, image.colorSpace().iccProfile()});
    }
    data = prefix + data;
    if (format != "bmp") read_up_to(file, data, kLeadBytes);
    const qint64 needed = needed_bytes(format, data);
    if (needed == kTooLarge) return fail(why, QStringLiteral("picture too large"));
    if (needed < 0 || (format == "bmp" && needed > prefix.size() + file_size))
        return fail(why, QStringLiteral("truncated file"));
    read_up_to(file, data, needed);
    const PictureLook look = format == "jpeg"  ? jpeg_look(data)
                             : format == "bmp" ? bmp_look(file, prefix.isEmpty() ? 14 : 0)
                                               : PictureLook();
    file.close();
    if ((format == "jpeg" && !jpeg_complete(data)) || (format == "gif" && !gif_complete(data)))
        return fail(why, QStringLiteral("truncated file"));
    QImage image = decode_data(data, format, look, options, own, why);
    if (kept && !image.isNull() && own->isValid() && image.size() != *own) *kept = std::move(data);
    return image;
}

} // namespace

bool is_raster_picture(const QString& path) {
    QFile file;
    return open_for_reading(file, path) && !format_from_content(file.read(16)).isEmpty();
}

QImage read_picture(const QString& path, const ReadOptions& options, QSize* own, QString* why) {
    *own = QSize();
    try {
        QImage image = read_checked(path, options, own, why, nullptr);
        if (!own->isValid() || image.isNull()) *own = image.size();
        return image;
    } catch (const std::bad_alloc&) {
        return fail(why, QStringLiteral("the picture does not fit in memory"));
    }
}

HeldPicture read_held_picture(const QString& path, const ReadOptions& options, QString* why) {
    HeldPicture held;
    try {
        held.image = read_checked(path, options, &held.own, why, &held.data);
        if (!held.own.isValid() || held.image.isNull()) held.own = held.image.size();
    } catch (const std::bad_alloc&) {
        fail(why, QStringLiteral("the picture does not fit in memory"));
        return {};
    }
    return held;
}

bool decode_again(HeldPicture& held, const ReadOptions& options) {
    if (held.data.isEmpty()) return false;
    QSize own;
    QImage image;
    try {
        // Only JPEG files are kept as bytes: their look is in them.
        image = decode_data(held.data, "jpeg", jpeg_look(held.data), options, &own, nullptr);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (image.isNull() || own != held.own) return false;
    held.image = std::move(image);
    if (held.image.size() == held.own) held.data = QByteArray(); // whole: nothing more to get
    return true;
}

QImage read_picture(const QString& path, QString* why) {
    QSize own;
    return read_picture(path, {}, &own, why);
}

} // namespace platform
