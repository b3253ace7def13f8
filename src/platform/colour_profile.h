#pragma once
#include <QByteArray>
#include <QImage>

namespace platform {

// The picture, whose colours the ICC profile `profile` describes, in the colours of the
// display profile `display` (sRGB when empty or not of RGB colours). A profile that cannot be
// read, or one not of RGB colours, leaves the picture as it is.
QImage in_display_colours(QImage image, const QByteArray& profile, const QByteArray& display);

} // namespace platform
