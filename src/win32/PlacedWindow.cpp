#include "PlacedWindow.h"

#include "common/Rounding.h"

namespace mirvane {

namespace {
double TwipsPerPixel() {
    HDC screen = GetDC(nullptr);
    const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return 1440.0 / (dotsPerInch > 0 ? dotsPerInch : 96);
}
} // namespace

// Rounded as the Qt window rounds, so that both lay the keys out to the same pixel.
int ToPixels(std::int32_t twips) { return static_cast<int>(RoundHalfEven(twips / TwipsPerPixel())); }
std::int32_t ToTwips(int pixels) { return ToLong(pixels * TwipsPerPixel()); }

} // namespace mirvane
