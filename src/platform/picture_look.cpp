#include "platform/picture_look.h"

#include "platform/colour_profile.h"
#include "platform/display_profile.h"
#include "platform/exif_orientation.h"

#include <QIODevice>
#include <QtEndian>
#include <map>

namespace platform {

namespace {

constexpr qint64 kMaxProfileBytes = qint64(16) << 20;

// A profile too large for one block is cut into chunks, each led by "ICC_PROFILE\0", its
// number from 1 and their count. Joined when every chunk is there once.
QByteArray joined_profile(const std::map<int, QByteArrayView>& chunks, int count) {
    if (count < 1 || int(chunks.size()) != count || chunks.begin()->first != 1 ||
        chunks.rbegin()->first != count)
        return {};
    QByteArray profile;
    for (const auto& [number, chunk] : chunks)
        profile += chunk;
    return profile;
}

} // namespace

PictureLook jpeg_look(const QByteArray& jpeg) {
    PictureLook look;
    bool exif_seen = false;
    std::map<int, QByteArrayView> chunks;
    int count = -1; // 0 once chunks disagree
    const auto at = [&](qsizetype i) { return static_cast<unsigned char>(jpeg[i]); };
    // The blocks up to the first scan, passing over stray and fill bytes as decoders do.
    for (qsizetype i = 2; i + 3 < jpeg.size();) {
        if (at(i) != 0xFF || at(i + 1) == 0xFF) {
            ++i;
            continue;
        }
        const unsigned char marker = at(i + 1);
        if (marker == 0xDA || marker == 0xD9) break;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            i += 2;
            continue;
        }
        const qsizetype length = (at(i + 2) << 8) | at(i + 3);
        if (length < 2 || i + 2 + length > jpeg.size()) break;
        const QByteArrayView block(jpeg.constData() + i + 4, length - 2);
        if (marker == 0xE1 && !exif_seen && block.startsWith(QByteArrayView("Exif\0\0", 6))) {
            exif_seen = true;
            look.orientation = exif_orientation(block.sliced(6));
        } else if (marker == 0xE2 && block.size() > 14 &&
                   block.startsWith(QByteArrayView("ICC_PROFILE\0", 12))) {
            const int of = quint8(block[13]);
            if (!chunks.emplace(quint8(block[12]), block.sliced(14)).second ||
                (count >= 0 && count != of))
                count = 0;
            else if (count != 0)
                count = of;
        }
        i += 2 + length;
    }
    look.profile = joined_profile(chunks, count);
    return look;
}

PictureLook bmp_look(QIODevice& file, qint64 header) {
    constexpr qint64 kV5Header = 124;
    constexpr quint32 kEmbedded = 0x4D424544; // 'MBED'
    if (!file.seek(header)) return {};
    const QByteArray info = file.read(kV5Header);
    const auto le32 = [&](int at) { return qFromLittleEndian<quint32>(info.constData() + at); };
    if (info.size() < kV5Header || le32(0) < kV5Header || le32(56) != kEmbedded) return {};
    const qint64 at = header + le32(112), size = le32(116);
    if (size < 128 || size > kMaxProfileBytes || !file.seek(at)) return {};
    PictureLook look;
    look.profile = file.read(size);
    if (look.profile.size() != size) look.profile.clear();
    return look;
}

QImage shown_as_taken(QImage decoded, const PictureLook& look) {
    if (!look.profile.isEmpty())
        decoded = in_display_colours(std::move(decoded), look.profile, display_colour_profile());
    return look.orientation == 1 ? decoded : oriented(decoded, look.orientation);
}

} // namespace platform
