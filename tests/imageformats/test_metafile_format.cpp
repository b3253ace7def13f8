#include "metafile_builders.h"
#include "metafile_format.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>

using namespace pikuta::metafile;
using namespace metafile_test;

namespace {

// 8467 x 6350 hundredths of a millimetre is 320 x 240 pixels at 96 DPI.
const Rect picture{0, 0, 8467, 6350};
const Rect inked{0, 0, 319, 239};
const Rect none{0, 0, 0, 0};
const std::optional<PixelSize> kRefused = PixelSize{-1, -1};
const std::optional<PixelSize> kMeasured = std::nullopt; // by the renderer

TEST(MetafileFormat, NaturalSize) {
    // What, the file, the screen's pixels per inch, the natural size.
    const std::tuple<const char*, Bytes, double, std::optional<PixelSize>> cases[] = {
        {"emf frame at 96 dpi", emf(inked, picture), 96, PixelSize{320, 240}},
        {"emf frame off the origin", emf(inked, {1000, 2000, 9467, 8350}), 96, PixelSize{320, 240}},
        {"no frame: inclusive bounds", emf({0, 0, 199, 99}, none), 96, PixelSize{200, 100}},
        {"inverted frame: bounds", emf({10, 10, 209, 109}, {500, 0, 0, 500}), 96,
         PixelSize{200, 100}},
        {"emf without frame or bounds", emf({0, 0, -1, -1}, none), 96, kRefused},
        // At 254 DPI a pixel is ten hundredths of a millimetre: 2.5 and 3.5 pixels round to even.
        {"halves round to even", emf(inked, {0, 0, 25, 35}), 254, PixelSize{2, 4}},
        {"a sliver is still one pixel", emf(inked, {0, 0, 1, 1}), 96, PixelSize{1, 1}},
        // Drawn smaller to fit the limits, proportions kept.
        {"a 3 x 4 m poster", emf(inked, {0, 0, 300000, 400000}), 96, PixelSize{8660, 11547}},
        {"side over the limit", emf(inked, {0, 0, 327680, 1000}), 254, PixelSize{16384, 50}},
        {"absurd frame", emf(inked, {-2147483647, -2147483647, 2147483647, 2147483647}), 96,
         PixelSize{10000, 10000}},
        {"placeable in twips", wmf(Placeable{0, 0, 4800, 3600, 1440}, {}), 96, PixelSize{320, 240}},
        {"placeable drawn upwards", wmf(Placeable{0, 3600, 4800, 0, 1440}, {}), 96,
         PixelSize{320, 240}},
        {"placeable without units", wmf(Placeable{0, 0, 4800, 3600, 0}, {}), 96, kRefused},
        {"small window counts in points", wmf({}, Extent{320, 240}), 96, PixelSize{427, 320}},
        {"large window counts in twips", wmf({}, Extent{4800, 3600}), 96, PixelSize{320, 240}},
        {"window drawn upwards", wmf({}, Extent{4800, -3600}), 96, PixelSize{320, 240}},
        {"no window", wmf({}, {}), 96, kMeasured},
    };
    for (const auto& [name, data, dpi, size] : cases) {
        SCOPED_TRACE(name);
        const Inspection inspection = inspect(data, dpi);
        EXPECT_EQ(inspection.error.empty(), size != kRefused) << inspection.error;
        const auto& got = inspection.naturalSize;
        EXPECT_TRUE(size == kRefused || got == size)
            << (got ? std::to_string(got->width) + "x" + std::to_string(got->height) : "none");
    }
}

TEST(MetafileFormat, RefusesDamagedStructure) {
    const Bytes good = emf(inked, picture);
    const std::size_t eof = emfHeaderSize;
    const Bytes goodWmf = wmf({}, Extent{320, 240});
    Bytes placeableCounted = wmf(Placeable{0, 0, 10, 10, 96}, Extent{320, 240});
    put32(placeableCounted, placeableSize + 6, std::uint32_t(placeableCounted.size() / 2));
    // What, the file, its kind, and a part of the message refusing it (empty: accepted).
    const std::tuple<const char*, Bytes, Kind, std::string> cases[] = {
        {"empty", {}, Kind::None, "not an EMF or WMF"},
        {"emf signature wrong", patched32(good, 40, 0x464D4521), Kind::None, "not an EMF or WMF"},
        {"emf cut inside the header", truncated(good, 60), Kind::Emf, "header is incomplete"},
        {"emf header beyond the file", patched32(good, 4, 4096), Kind::Emf, "header is incomplete"},
        {"emf cut after the header", truncated(good, eof + 8), Kind::Emf, "truncated"},
        {"emf record of size zero", patched32(good, eof + 4, 0), Kind::Emf, "record 1"},
        {"emf record not aligned", patched32(good, eof + 4, 18), Kind::Emf, "record 1"},
        {"emf record past the end", patched32(good, eof + 4, 0x7FFFFFF0), Kind::Emf, "record 1"},
        {"emf header record past the end", patched32(good, 48, 4096), Kind::Emf, "truncated"},
        {"emf shorter than its header", patched32(good, 48, 8), Kind::Emf, "header is incomplete"},
        {"wmf cut inside the header", truncated(goodWmf, 12), Kind::Wmf, "header is incomplete"},
        {"wmf shorter than it says", truncated(goodWmf, goodWmf.size() - 2), Kind::Wmf,
         "truncated"},
        {"placeable whose size counts the placeable header", placeableCounted, Kind::Wmf, ""},
        {"the same, cut", truncated(placeableCounted, placeableCounted.size() - 2), Kind::Wmf,
         "truncated"},
        {"wmf record of size zero", patched32(goodWmf, 18, 0), Kind::Wmf, "record 0"},
        {"wmf record past the end", patched32(goodWmf, 18, 0x40000000), Kind::Wmf, "record 0"},
        {"placeable without a header after it", truncated(wmf(Placeable{0, 0, 10, 10, 96}, {}), 30),
         Kind::Wmf, "header is incomplete"},
    };
    for (const auto& [name, data, kind, refusal] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(detect(data), kind);
        const std::string error = inspect(data, 96).error;
        EXPECT_TRUE(refusal.empty() ? error.empty() : error.find(refusal) != std::string::npos)
            << error;
    }
}

} // namespace
