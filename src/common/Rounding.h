#pragma once

#include <cstdint>

namespace mirvane {

// Nearest whole number, halves to the even neighbour.
double RoundHalfEven(double value);

// A fraction turned into a 32-bit whole number the way the object model does it:
// rounded half to even, with an overflow error (6) outside the 32-bit range.
std::int32_t ToLong(double value);

} // namespace mirvane
