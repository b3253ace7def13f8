#pragma once
#include <QByteArray>
#include <QImage>
#include <optional>

namespace platform {

// Decodes the plainest and most common bitmaps held in memory whole (an info header of 40
// bytes, 24 or 32 bits a pixel, uncompressed) straight into 32-bit RGB, one pass over the rows.
// Nothing for any other bitmap, which the general reader decodes.
std::optional<QImage> read_plain_bmp(const QByteArray& data);

} // namespace platform
