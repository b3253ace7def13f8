#pragma once

// The drawing side of the renderer process. Failures throw std::runtime_error with a message
// for the user; the process turns it into its exit status.

#include "metafile_format.h"

#include <cstdint>
#include <span>
#include <vector>

namespace pikuta::metafile {

struct Picture {
    PixelSize size;
    std::vector<std::uint32_t> pixels; // premultiplied ARGB32, rows packed
};

Picture renderEmf(std::span<const unsigned char> data, PixelSize size);

// For a WMF the natural size is what the library measures when no placeable header gives it.
PixelSize measureWmf(std::span<const unsigned char> data, double dpi);
Picture renderWmf(std::span<const unsigned char> data, PixelSize size);

Picture pictureFromPng(std::span<const unsigned char> png);

// Standard input and output carry bytes, untranslated; a crash ends the process quietly.
void prepareProcess();

} // namespace pikuta::metafile
