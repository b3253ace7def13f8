#pragma once
#include <QRect>

namespace platform {

struct ScreenMetrics {
    QRect geometry;    // whole screen, pixels
    QRect available;   // without panels and task bars, pixels
    double dpi_x = 96; // logical dots per inch
    double dpi_y = 96;
};

// The primary screen; sensible defaults (1024 x 768 at 96 dpi) when there is none.
ScreenMetrics primary_screen();

// The screen (monitor) that holds the largest part of a rectangle of the desktop, in pixels;
// the primary screen when the rectangle lies on none.
ScreenMetrics screen_holding(const QRect& rect);

} // namespace platform
