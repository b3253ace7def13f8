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

} // namespace platform
