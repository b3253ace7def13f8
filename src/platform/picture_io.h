#pragma once
#include <QImage>
#include <QString>

namespace platform {

// Reads a picture file at its own size (the first frame of an animation). The format is
// chosen from the file's content, not its name. A missing, empty, truncated or damaged file,
// or one whose header claims an absurd size, gives a null image and a reason.
QImage read_picture(const QString& path, QString* why = nullptr);

// Whether the file begins like a bitmap, JPEG or GIF file, the kinds decoded in this process.
bool is_raster_picture(const QString& path);

// The largest picture accepted, in megapixels; enough for real camera photos.
inline constexpr int kMaxMegapixels = 250;

} // namespace platform
