#include "PlacedWindow.h"

#include <cmath>

namespace mirvane {

namespace {
double TwipsPerPixel() {
    HDC screen = GetDC(nullptr);
    const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return 1440.0 / (dotsPerInch > 0 ? dotsPerInch : 96);
}
} // namespace

int ToPixels(std::int32_t twips) { return static_cast<int>(std::lround(twips / TwipsPerPixel())); }
std::int32_t ToTwips(int pixels) { return static_cast<std::int32_t>(std::lround(pixels * TwipsPerPixel())); }

} // namespace mirvane
