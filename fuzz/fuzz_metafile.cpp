// What the image plugin and the renderer process read of a metafile before any drawing library
// sees it: detection, header parsing, the record walkers, the natural size and the picture area.
#include "metafile_format.h"

#include <cstdint>

using namespace pikuta::metafile;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const unsigned char> bytes(data, size);
    // The renderer takes the resolution from its command line: let the input choose it too.
    const double dpi = size > 0 ? 1 + data[0] * 4.0 : 96;
    const Inspection inspection = inspect(bytes, dpi);
    if (!inspection.error.empty()) return 0;
    if (inspection.naturalSize && !fitsLimits(*inspection.naturalSize)) __builtin_trap();
    if (inspection.kind == Kind::Emf) emfPictureArea(bytes);
    return 0;
}
