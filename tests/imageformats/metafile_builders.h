#pragma once

// Small metafiles written field by field, and the byte surgery that damages them.

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace metafile_test {

using Bytes = std::vector<unsigned char>;

inline void put16(Bytes& b, std::size_t at, std::uint16_t v) {
    b.at(at) = static_cast<unsigned char>(v & 0xFF);
    b.at(at + 1) = static_cast<unsigned char>(v >> 8);
}

inline void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    put16(b, at, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}

inline std::uint32_t get32(const Bytes& b, std::size_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | std::uint32_t(b.at(at + 3)) << 24;
}

struct Rect {
    std::int32_t left, top, right, bottom;
};

constexpr std::size_t emfHeaderSize = 108;

// A header and an end-of-file record, as recorded on a 1920 x 1080 pixel, 508 x 286 mm device.
inline Bytes emf(Rect bounds, Rect frame) {
    Bytes b(emfHeaderSize + 20, 0);
    // The header's fields, four bytes each: type, size, bounds and frame (below), signature,
    // version, bytes, records, handles, three empty, device pixels and millimetres, five empty;
    // then the end record's type, size, two empty and size again.
    const std::uint32_t fields[] = {1,       108, 0, 0, 0, 0,  0,  0,    0,    0,   0x464D4520,
                                    0x10000, 128, 2, 1, 0, 0,  0,  1920, 1080, 508, 286,
                                    0,       0,   0, 0, 0, 14, 20, 0,    0,    20};
    for (std::size_t i = 0; i < std::size(fields); ++i)
        put32(b, 4 * i, fields[i]);
    const Rect rects[] = {bounds, frame};
    for (std::size_t i = 0; i < 2; ++i) {
        put32(b, 8 + 16 * i, rects[i].left);
        put32(b, 12 + 16 * i, rects[i].top);
        put32(b, 16 + 16 * i, rects[i].right);
        put32(b, 20 + 16 * i, rects[i].bottom);
    }
    return b;
}

// A record of 32-bit fields after its type and size.
inline Bytes emfRecord(std::uint32_t type, const std::vector<std::uint32_t>& fields) {
    Bytes b(8 + 4 * fields.size());
    put32(b, 0, type);
    put32(b, 4, static_cast<std::uint32_t>(b.size()));
    for (std::size_t i = 0; i < fields.size(); ++i)
        put32(b, 8 + 4 * i, fields[i]);
    return b;
}

// An EMF+ record (type, flags, data) inside the comment record that carries it in an EMF.
inline Bytes emfPlusComment(std::uint16_t type, std::uint16_t flags, const Bytes& data) {
    Bytes b = emfRecord(70, {static_cast<std::uint32_t>(16 + data.size()), 0x2B464D45, 0, 0, 0});
    put16(b, 16, type);
    put16(b, 18, flags);
    put32(b, 20, static_cast<std::uint32_t>(12 + data.size()));
    put32(b, 24, static_cast<std::uint32_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    put32(b, 4, static_cast<std::uint32_t>(b.size()));
    return b;
}

// `emf` (header and end record) with `records` between them, and `handles` object slots.
inline Bytes withRecords(Bytes emf, const std::vector<Bytes>& records, std::uint16_t handles) {
    const Bytes end(emf.end() - 20, emf.end());
    emf.resize(emf.size() - 20);
    for (const Bytes& r : records)
        emf.insert(emf.end(), r.begin(), r.end());
    emf.insert(emf.end(), end.begin(), end.end());
    put32(emf, 48, static_cast<std::uint32_t>(emf.size()));
    put32(emf, 52, static_cast<std::uint32_t>(records.size() + 2));
    put16(emf, 56, handles);
    return emf;
}

struct Placeable {
    std::int16_t left, top, right, bottom;
    std::uint16_t inch;
};

struct Extent {
    std::int16_t x, y;
};

constexpr std::size_t placeableSize = 22;

// A WMF header, an optional SetWindowExt record and the end-of-file record.
inline Bytes wmf(std::optional<Placeable> placeable, std::optional<Extent> window) {
    // Type, header size in words, version; the largest record.
    Bytes b{1, 0, 9, 0, 0, 3, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0};
    if (window) {
        b.insert(b.end(), {5, 0, 0, 0, 0x0C, 0x02, 0, 0, 0, 0});
        put16(b, 24, static_cast<std::uint16_t>(window->y));
        put16(b, 26, static_cast<std::uint16_t>(window->x));
    }
    b.resize(b.size() + 6);
    put32(b, b.size() - 6, 3);
    put32(b, 6, static_cast<std::uint32_t>(b.size() / 2));
    if (!placeable) return b;
    Bytes head(placeableSize, 0);
    put32(head, 0, 0x9AC6CDD7);
    const std::int16_t fields[] = {placeable->left, placeable->top, placeable->right,
                                   placeable->bottom, std::int16_t(placeable->inch)};
    for (std::size_t i = 0; i < 5; ++i)
        put16(head, 6 + 2 * i, static_cast<std::uint16_t>(fields[i]));
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2)
        checksum ^= head[i] | head[i + 1] << 8;
    put16(head, 20, checksum);
    head.insert(head.end(), b.begin(), b.end());
    return head;
}

inline Bytes patched32(Bytes b, std::size_t at, std::uint32_t value) {
    put32(b, at, value);
    return b;
}

inline Bytes truncated(Bytes b, std::size_t size) {
    b.resize(size);
    return b;
}

} // namespace metafile_test
