#include "metafile_format.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace pikuta::metafile {

namespace {

constexpr std::uint32_t emfSignature = 0x464D4520; // " EMF"
constexpr std::uint32_t placeableKey = 0x9AC6CDD7;
constexpr std::size_t emfMinHeader = emfHeaderBytes;
constexpr std::size_t placeableHeader = 22;
constexpr std::size_t wmfHeader = 18;
constexpr std::uint32_t emfEof = 14;
constexpr std::uint16_t wmfEof = 0x0000;
constexpr std::uint16_t wmfSetWindowExt = 0x020C;
constexpr std::uint16_t wmfDibBitBlt = 0x0940;
constexpr std::uint16_t wmfDibStretchBlt = 0x0B41;
constexpr std::uint16_t wmfStretchDib = 0x0F43;
constexpr std::uint16_t wmfSetDibToDevice = 0x0D33;
constexpr std::uint16_t wmfDibPatternBrush = 0x0142;
constexpr std::uint32_t emfTextA = 83;
constexpr std::uint32_t emfTextW = 84;
constexpr std::size_t emfTextFixedPart = 56; // up to the options of the text
constexpr double himetricPerInch = 2540.0;

std::uint16_t u16(std::span<const unsigned char> d, std::size_t at) {
    return static_cast<std::uint16_t>(d[at] | d[at + 1] << 8);
}

std::uint32_t u32(std::span<const unsigned char> d, std::size_t at) {
    return u16(d, at) | static_cast<std::uint32_t>(u16(d, at + 2)) << 16;
}

std::int32_t i32(std::span<const unsigned char> d, std::size_t at) {
    return static_cast<std::int32_t>(u32(d, at));
}

std::int16_t i16(std::span<const unsigned char> d, std::size_t at) {
    return static_cast<std::int16_t>(u16(d, at));
}

// In double, because the difference of two extreme coordinates overflows 32 bits.
double extent(std::int32_t from, std::int32_t to) {
    return static_cast<double>(to) - from;
}

bool hasFrame(std::span<const unsigned char> d) {
    return extent(i32(d, 24), i32(d, 32)) > 0 && extent(i32(d, 28), i32(d, 36)) > 0;
}

bool isStandardWmfHeader(std::span<const unsigned char> d, std::size_t at) {
    if (d.size() < at + 6) return false;
    const auto type = u16(d, at);
    return (type == 1 || type == 2) && u16(d, at + 2) == 9;
}

std::size_t wmfHeaderAt(std::span<const unsigned char> d) {
    return d.size() >= 4 && u32(d, 0) == placeableKey ? placeableHeader : 0;
}

PixelSize sizeFrom(double w, double h, double unitsPerInch, double dpi) {
    return fitToLimits(std::abs(w) * dpi / unitsPerInch, std::abs(h) * dpi / unitsPerInch);
}

std::string recordError(std::size_t index, std::size_t offset,
                        const char* fault = "a size that does not fit the file") {
    return "record " + std::to_string(index) + " at byte " + std::to_string(offset) + " has " +
           fault;
}

// The EMF converter reads a text's characters where the record points, trusting its count.
bool textFitsRecord(std::span<const unsigned char> record, std::uint32_t type) {
    if (record.size() < emfTextFixedPart) return false;
    const std::uint64_t charBytes = type == emfTextW ? 2 : 1;
    return u32(record, 48) + u32(record, 44) * charBytes <= record.size();
}

// A device-independent bitmap inside a WMF record, which the WMF library allocates for before
// it reads a pixel: its header must be one that exists, and its colour table and pixels must
// fit in the record. An absurd header costs gigabytes or seconds in the library otherwise.
// At most `rows` rows of pixels are in the record.
bool bitmapFitsRecord(std::span<const unsigned char> dib, std::uint64_t rows) {
    if (dib.size() < 12) return false;
    const std::uint32_t headerBytes = u32(dib, 0);
    const bool core = headerBytes == 12;
    constexpr std::uint32_t knownSizes[] = {12, 40, 52, 56, 108, 124};
    if (std::find(std::begin(knownSizes), std::end(knownSizes), headerBytes) ==
            std::end(knownSizes) ||
        headerBytes > dib.size())
        return false;
    const std::int64_t width = core ? u16(dib, 4) : i32(dib, 4);
    const std::int64_t height = core ? i16(dib, 6) : i32(dib, 8);
    const auto planes = u16(dib, core ? 8 : 12);
    const auto bits = u16(dib, core ? 10 : 14);
    const std::uint32_t compression = core ? 0 : u32(dib, 16);
    const std::uint32_t colours = core ? 0 : u32(dib, 32);
    constexpr std::uint16_t depths[] = {0, 1, 4, 8, 16, 24, 32};
    if (planes != 1 || std::find(std::begin(depths), std::end(depths), bits) == std::end(depths) ||
        width <= 0 || height == 0 || width * std::abs(height) > maxPixels)
        return false;
    const std::uint64_t room = dib.size() - headerBytes;
    // A colour is two bytes at least (an index into the palette).
    if (std::uint64_t{colours} * 2 > room) return false;
    const bool packed = compression == 0 || compression == 3; // plain or bit fields
    const std::uint64_t rowBytes = (std::uint64_t(width) * bits + 31) / 32 * 4;
    return !packed || rowBytes * std::min<std::uint64_t>(std::abs(height), rows) <= room;
}

// Where a WMF record that carries a bitmap has it, 0 for other records.
std::size_t wmfBitmapOffset(std::uint16_t function, std::uint64_t recordBytes) {
    switch (function) {
    case wmfDibBitBlt:
        return recordBytes > 24 ? 22 : 0; // 24 bytes: a raster operation without a bitmap
    case wmfDibStretchBlt:
        return recordBytes > 28 ? 26 : 0; // the same
    case wmfStretchDib:
        return 28;
    case wmfSetDibToDevice:
        return 24;
    case wmfDibPatternBrush:
        return 10;
    default:
        return 0;
    }
}

// Walks the chain of records up to the end-of-file record or the end of the data, so that a
// record size of zero, one that is not aligned or one that points past the end is refused here.
std::string checkEmfRecords(std::span<const unsigned char> d) {
    std::size_t at = 0;
    std::size_t index = 0;
    for (; at + 8 <= d.size(); ++index) {
        const auto type = u32(d, at);
        const auto size = u32(d, at + 4);
        if (size < 8 || size % 4 != 0 || size > d.size() - at) return recordError(index, at);
        if (type == emfEof) return {};
        if ((type == emfTextA || type == emfTextW) && !textFitsRecord(d.subspan(at, size), type))
            return recordError(index, at, "a text that runs past its end");
        at += size;
    }
    return at == d.size() ? std::string{} : recordError(index, at);
}

struct WmfWalk {
    std::string error;
    std::size_t end = 0;                   // just past the end-of-file record, 0 when there is none
    std::optional<PixelSize> windowExtent; // the first one set, in logical units
    std::uint64_t largestRecord = 0;       // in 16-bit words, the end-of-file record included
};

WmfWalk walkWmfRecords(std::span<const unsigned char> d, std::size_t at) {
    WmfWalk walk;
    for (std::size_t index = 0; at + 6 <= d.size(); ++index) {
        const std::uint64_t bytes = std::uint64_t{u32(d, at)} * 2;
        if (bytes < 6 || bytes > d.size() - at) {
            walk.error = recordError(index, at);
            return walk;
        }
        const auto function = u16(d, at + 4);
        walk.largestRecord = std::max(walk.largestRecord, bytes / 2);
        if (function == wmfEof) {
            walk.end = at + bytes;
            return walk;
        }
        // A bitmap given to the screen may come in bands of a few rows. Later records are still
        // walked, to tell a damaged record from a file cut short.
        const std::uint64_t rows =
            function == wmfSetDibToDevice && bytes >= 10 ? u16(d, at + 8) : UINT32_MAX;
        const std::size_t bitmap = wmfBitmapOffset(function, bytes);
        if (bitmap && walk.error.empty() &&
            (bitmap >= bytes || !bitmapFitsRecord(d.subspan(at + bitmap, bytes - bitmap), rows))) {
            walk.error = recordError(index, at, "a bitmap that does not fit it");
        }
        if (function == wmfSetWindowExt && bytes >= 10 && !walk.windowExtent) {
            walk.windowExtent = PixelSize{std::abs(i16(d, at + 8)), std::abs(i16(d, at + 6))};
        }
        at += bytes;
    }
    return walk;
}

// Without a placeable header a WMF has no units. The window it draws in gives the shape, and
// the units follow the WMF library's own guess: points for small windows, twips for large.
// The library's own estimate measures a fixed square device instead and loses the shape.
std::optional<PixelSize> windowSize(std::optional<PixelSize> window, double dpi) {
    if (!window || window->width == 0 || window->height == 0) return std::nullopt;
    const bool small = std::int64_t{window->width} * window->height < 1024 * 1024;
    return sizeFrom(window->width, window->height, small ? 72 : 1440, dpi);
}

Inspection inspectEmf(std::span<const unsigned char> d, double dpi) {
    Inspection result{Kind::Emf, std::nullopt, {}};
    if (d.size() < emfMinHeader || u32(d, 4) < emfMinHeader || u32(d, 4) > d.size()) {
        result.error = "the EMF header is incomplete";
        return result;
    }
    const auto declaredBytes = u32(d, 48);
    if (declaredBytes < u32(d, 4)) {
        result.error = "the EMF header is incomplete";
    } else if (declaredBytes > d.size()) {
        result.error = "the EMF file is truncated";
    } else {
        result.error = checkEmfRecords(d.first(declaredBytes));
    }
    if (!result.error.empty()) return result;

    // The frame (0.01 mm) is the size the author meant; the bounds are the inked pixels of
    // the device that recorded it, inclusive, and only stand in when the frame is missing.
    const double frameW = extent(i32(d, 24), i32(d, 32));
    const double frameH = extent(i32(d, 28), i32(d, 36));
    const double boundsW = extent(i32(d, 8), i32(d, 16)) + 1;
    const double boundsH = extent(i32(d, 12), i32(d, 20)) + 1;
    if (hasFrame(d)) {
        result.naturalSize = sizeFrom(frameW, frameH, himetricPerInch, dpi);
    } else if (boundsW > 0 && boundsH > 0) {
        result.naturalSize = sizeFrom(boundsW, boundsH, dpi, dpi);
    } else {
        result.error = "the EMF header gives the picture no size";
    }
    return result;
}

Inspection inspectWmf(std::span<const unsigned char> d, double dpi) {
    Inspection result{Kind::Wmf, std::nullopt, {}};
    const bool placeable = u32(d, 0) == placeableKey;
    const std::size_t base = wmfHeaderAt(d);
    if (d.size() < base + wmfHeader || !isStandardWmfHeader(d, base)) {
        result.error = "the WMF header is incomplete";
        return result;
    }
    // Some writers count the placeable header in the size too: a chain of records that ends
    // exactly at the end of the file shows that nothing is missing.
    const WmfWalk walk = walkWmfRecords(d, base + wmfHeader);
    if (std::uint64_t{u32(d, base + 6)} * 2 > d.size() - base && walk.end != d.size()) {
        result.error = "the WMF file is truncated";
        return result;
    }
    result.error = walk.error;
    if (!result.error.empty()) return result;
    if (!placeable) {
        result.naturalSize = windowSize(walk.windowExtent, dpi);
        return result;
    }

    const int inch = u16(d, 14);
    if (inch == 0) {
        result.error = "the placeable WMF header has no units per inch";
        return result;
    }
    const double w = extent(i16(d, 6), i16(d, 10));
    const double h = extent(i16(d, 8), i16(d, 12));
    if (w == 0 || h == 0) {
        result.error = "the placeable WMF header gives the picture no size";
        return result;
    }
    result.naturalSize = sizeFrom(w, h, inch, dpi);
    return result;
}

} // namespace

void setWmfLargestRecord(std::span<unsigned char> wmf) {
    const std::size_t base = wmfHeaderAt(wmf);
    if (wmf.size() < base + wmfHeader) return;
    const auto largest = std::uint32_t(walkWmfRecords(wmf, base + wmfHeader).largestRecord);
    for (std::size_t i = 0; i < 4; ++i)
        wmf[base + 12 + i] = static_cast<unsigned char>(largest >> (8 * i));
}

Area emfPictureArea(std::span<const unsigned char> d) {
    const double left = i32(d, 8);
    const double top = i32(d, 12);
    const Area bounds{0, 0, extent(i32(d, 8), i32(d, 16)) + 1, extent(i32(d, 12), i32(d, 20)) + 1};
    const double devicePixels[] = {static_cast<double>(i32(d, 72)),
                                   static_cast<double>(i32(d, 76))};
    const double millimetres[] = {static_cast<double>(i32(d, 80)), static_cast<double>(i32(d, 84))};
    if (!hasFrame(d) || devicePixels[0] <= 0 || devicePixels[1] <= 0 || millimetres[0] <= 0 ||
        millimetres[1] <= 0) {
        return bounds;
    }
    const double perHimetricX = devicePixels[0] / (millimetres[0] * 100);
    const double perHimetricY = devicePixels[1] / (millimetres[1] * 100);
    return {i32(d, 24) * perHimetricX - left, i32(d, 28) * perHimetricY - top,
            extent(i32(d, 24), i32(d, 32)) * perHimetricX,
            extent(i32(d, 28), i32(d, 36)) * perHimetricY};
}

PixelSize fitToLimits(double width, double height) {
    const double scale = std::min(
        {1.0, maxSide / width, maxSide / height, std::sqrt(double(maxPixels) / width / height)});
    // Rounded down when scaled, so that rounding cannot carry the size over the limits again.
    const auto side = [&](double length) {
        return std::max(1, scale < 1 ? int(std::floor(length * scale)) : roundHalfEven(length));
    };
    return {side(width), side(height)};
}

bool fitsLimits(PixelSize size) {
    return size.width > 0 && size.height > 0 && size.width <= maxSide && size.height <= maxSide &&
           std::int64_t{size.width} * size.height <= maxPixels;
}

int roundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value)); // the default rounding mode is to even
}

Kind detect(std::span<const unsigned char> head) {
    if (head.size() >= 44 && u32(head, 0) == 1 && u32(head, 40) == emfSignature) return Kind::Emf;
    if (head.size() >= 4 && u32(head, 0) == placeableKey) return Kind::Wmf;
    return isStandardWmfHeader(head, 0) ? Kind::Wmf : Kind::None;
}

std::size_t readLimit(std::span<const unsigned char> head) {
    const std::size_t unlimited = maxFileBytes + 1;
    if (detect(head) != Kind::Emf || head.size() < emfMinHeader) return unlimited;
    return std::clamp<std::size_t>(u32(head, 48), head.size(), unlimited);
}

Inspection inspect(std::span<const unsigned char> data, double dpi) {
    Inspection result;
    const Kind kind = detect(data);
    if (kind == Kind::None) {
        result.error = "not an EMF or WMF file";
        return result;
    }
    if (data.size() > maxFileBytes) {
        result = {kind, std::nullopt, "the file is too large"};
        return result;
    }
    return kind == Kind::Emf ? inspectEmf(data, dpi) : inspectWmf(data, dpi);
}

} // namespace pikuta::metafile
