#pragma once
#include <QRectF>
#include <QSize>

namespace tk {

// Twips per pixel of the primary screen (1440 / logical dpi; 15 at 96 dpi).
double twips_per_pixel_x();
double twips_per_pixel_y();

// The work area (the screen without panels and task bars) of the monitor that holds the
// largest part of `twips`, a rectangle of the desktop in twips; the primary monitor's when it
// lies on none.
QRectF work_area(const QRectF& twips);

// Conversions of one coordinate; pixels are whole, rounded half to even.
int to_px_x(double twips);
int to_px_y(double twips);
inline double to_twips_x(int px) {
    return px * twips_per_pixel_x();
}
inline double to_twips_y(int px) {
    return px * twips_per_pixel_y();
}

// The pixels of the window's pictures and cursors are drawn at 96 dpi.
inline constexpr double kDesignTwipsPerPixel = 15;
// The size in screen pixels of something drawn `design` pixels large at 96 dpi.
QSize size_at_density(QSize design);

} // namespace tk
