#include "PlacedWindow.h"

#include "form/Twips.h"

namespace mirvane {

double TwipsPerPixel() {
    HDC screen = GetDC(nullptr);
    const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return 1440.0 / (dotsPerInch > 0 ? dotsPerInch : 96);
}

int ToPixels(std::int32_t twips) { return TwipsToPixels(twips, TwipsPerPixel()); }
std::int32_t ToTwips(int pixels) { return PixelsToTwips(pixels, TwipsPerPixel()); }

} // namespace mirvane
