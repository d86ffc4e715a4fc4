#pragma once

#include "common/Rounding.h"

#include <cstdint>

namespace mirvane {

// Twips and pixels at a screen's density, rounded alike by every toolkit, so that both
// windows lay the keys out to the same pixel.
inline int TwipsToPixels(std::int32_t twips, double twipsPerPixel) {
    return static_cast<int>(RoundHalfEven(twips / twipsPerPixel));
}
inline std::int32_t PixelsToTwips(int pixels, double twipsPerPixel) { return ToLong(pixels * twipsPerPixel); }

} // namespace mirvane
