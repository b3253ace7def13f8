#include "toolkit/rounding.h"

#include "toolkit/error.h"

#include <cmath>
#include <limits>

namespace tk {

double round_half_even(double v) {
    // The default floating-point rounding mode is to nearest, ties to even.
    return std::nearbyint(v);
}

std::int32_t to_int32(double v) {
    const double r = round_half_even(v);
    if (!(r >= std::numeric_limits<std::int32_t>::min() &&
          r <= std::numeric_limits<std::int32_t>::max()))
        throw Error(Error::Overflow);
    return static_cast<std::int32_t>(r);
}

} // namespace tk
