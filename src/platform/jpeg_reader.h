#pragma once
#include "platform/picture_io.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

namespace platform {

// Decodes a whole JPEG file held in memory straight into a 32-bit RGB picture, without a
// second pass over the pixels, reduced as the options allow; `own` gets its own size. Nothing
// when the file needs the general reader instead (CMYK colours); a null image and the reason
// when it cannot be decoded.
std::optional<QImage> read_jpeg(const QByteArray& data, qint64 max_pixels,
                                const ReadOptions& options, QSize* own, QString* why);

} // namespace platform
