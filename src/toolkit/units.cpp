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

double screen_width_twips() {
    return platform::primary_screen().geometry.width() * twips_per_pixel_x();
}

double screen_height_twips() {
    return platform::primary_screen().geometry.height() * twips_per_pixel_y();
}

int to_px_x(double twips) {
    return static_cast<int>(round_half_even(twips / twips_per_pixel_x()));
}
int to_px_y(double twips) {
    return static_cast<int>(round_half_even(twips / twips_per_pixel_y()));
}

QSize size_at_density(QSize design) {
    return {to_px_x(design.width() * design_twips_per_pixel),
            to_px_y(design.height() * design_twips_per_pixel)};
}

} // namespace tk
