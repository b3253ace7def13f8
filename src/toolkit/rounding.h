#pragma once
#include <cstdint>

namespace tk {

// The one conversion of fractional values to whole numbers: nearest, halves to the even
// neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double round_half_even(double v);

// round_half_even into a 32-bit signed integer; throws tk::Error (overflow) when the result
// does not fit or the value is not a number.
std::int32_t to_int32(double v);

} // namespace tk
