#include "toolkit/units.h"

#include "platform/screen.h"
#include "toolkit/rounding.h"

namespace tk {

double twips_per_pixel_x() {
    return 1440.0 / platform::primary_screen().dpi_x;
}
double twips_per_pixel_y() {
    return 1440.0 / platform::primary_screen().dpi_y;
}

QRectF work_area(const QRectF& twips) {
    const double tx = twips_per_pixel_x(), ty = twips_per_pixel_y();
    const QRect px(to_px_x(twips.left()), to_px_y(twips.top()), to_px_x(twips.width()),
                   to_px_y(twips.height()));
    const platform::ScreenMetrics screen = platform::screen_holding(px);
    const QRect area = screen.available.isValid() ? screen.available : screen.geometry;
    return {area.x() * tx, area.y() * ty, area.width() * tx, area.height() * ty};
}

int to_px_x(double twips) {
    return static_cast<int>(round_half_even(twips / twips_per_pixel_x()));
}
int to_px_y(double twips) {
    return static_cast<int>(round_half_even(twips / twips_per_pixel_y()));
}

QSize size_at_density(QSize design) {
    return {to_px_x(design.width() * kDesignTwipsPerPixel),
            to_px_y(design.height() * kDesignTwipsPerPixel)};
}

} // namespace tk
