#pragma once

// What can be learnt about a metafile from its bytes alone, without any drawing library: the
// kind, whether its records are laid out soundly, and its natural size in pixels. Both the
// image plugin and the renderer process use it, so it depends on the standard library only.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace pikuta::metafile {

enum class Kind { None, Emf, Wmf };

struct PixelSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// The largest picture drawn. A vector picture can be drawn at any size, so a larger one (a
// poster) is drawn smaller to fit, its proportions kept.
inline constexpr int maxSide = 16384;
inline constexpr std::int64_t maxPixels = 100'000'000;

// Larger inputs are refused before they are copied anywhere.
inline constexpr std::size_t maxFileBytes = 256u << 20;

bool fitsLimits(PixelSize size);

// A size in pixels (positive, finite) made whole, and scaled down to fit the limits if needed.
PixelSize fitToLimits(double width, double height);

// How much of a file that begins with `head` (its first emfHeaderBytes, or all of a shorter file)
// is read: one byte over the limit, enough to refuse a larger file, or for an EMF no more than its
// header says the file holds, so that whatever follows it costs nothing.
inline constexpr std::size_t emfHeaderBytes = 88;
std::size_t readLimit(std::span<const unsigned char> head);

// Needs the first 44 bytes to tell an EMF; a WMF is known by its first 6.
Kind detect(std::span<const unsigned char> head);

struct Inspection {
    Kind kind = Kind::None;
    // Empty for a WMF with neither placeable header nor window extent: only playing its
    // records reveals the size.
    std::optional<PixelSize> naturalSize;
    // Set when the file must not be handed to a renderer; says why.
    std::string error;
};

// The whole file is checked: header, record chain and size at `dpi` pixels per inch.
Inspection inspect(std::span<const unsigned char> data, double dpi);

// Sets an inspected WMF's header to the size of the largest record it has, which the WMF library
// allocates before it reads a record: a header may claim gigabytes, or less than a record needs.
void setWmfLargestRecord(std::span<unsigned char> wmf);

struct Area {
    double x = 0, y = 0, width = 0, height = 0;
};

// The part of an inspected EMF's recording device, in its pixels, that the picture shows:
// the frame, or the inked bounds when there is no frame. It is given relative to the top left
// of the bounds, where the EMF converter puts the origin of its drawing.
Area emfPictureArea(std::span<const unsigned char> data);

// Half-way values go to the even neighbour, as every conversion to whole pixels does here.
int roundHalfEven(double value);

} // namespace pikuta::metafile
