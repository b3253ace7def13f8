#pragma once
#include <QImage>
#include <QString>
#include <atomic>
#include <functional>

namespace platform {

// Reads a picture file at its own size (the first frame of an animation). The format is
// chosen from the file's content, not its name. A missing, empty, truncated or damaged file,
// or one whose header claims an absurd size, gives a null image and a reason.
QImage read_picture(const QString& path, QString* why = nullptr);

// How much of a picture the screen needs, given the picture's own size.
using SizeNeeded = std::function<QSize(QSize own)>;

struct ReadOptions {
    // When set, a JPEG may be decoded at 1/2, 1/4 or 1/8 of its size: the smallest of these
    // that is still at least this size in both directions. Other files are read whole.
    SizeNeeded needed;
    // Set from another thread to end a JPEG decode early, which then fails.
    const std::atomic<bool>* cancel = nullptr;
    // With `needed`: a JPEG larger than needed comes at exactly that size, reduced row by row
    // while it is decoded, so that it is drawn with a plain copy.
    bool exact = false;
};

// Like the above; `own` gets the picture's own size, which the picture returned may be a
// whole fraction of.
QImage read_picture(const QString& path, const ReadOptions& options, QSize* own,
                    QString* why = nullptr);

// A picture as the display holds it, read from its file once: whole, or as the screen needs
// it with the file's bytes kept, so that a redisplay that needs more of it decodes them again
// instead of reading a file that may have been removed or replaced meanwhile.
struct HeldPicture {
    QImage image;
    QSize own;       // the picture's own size
    QByteArray data; // the file's bytes, while `image` is not at its own size
};

// Reads `path` for the display; a null image and the reason when it cannot be read.
HeldPicture read_held_picture(const QString& path, const ReadOptions& options,
                              QString* why = nullptr);

// Decodes `held` again from its bytes, as `options` ask; false, with `held` as it was, when it
// has no bytes (it is whole) or they do not decode.
bool decode_again(HeldPicture& held, const ReadOptions& options);

// Whether the file begins like a bitmap, JPEG or GIF file, the kinds decoded in this process.
bool is_raster_picture(const QString& path);

// The largest picture accepted, in megapixels; enough for real camera photos.
inline constexpr int kMaxMegapixels = 250;

} // namespace platform
