#include "GreyDotCursor.h"

#include "form/FormDesign.h"

#include <array>
#include <cstdint>

namespace mirvane {

namespace {
constexpr int kSide = 16;
constexpr int kDotColumn = 7;
constexpr int kDotRow = 8;
} // namespace

HCURSOR CreateGreyDotCursor() {
    // Colour with alpha, top row first; the mask hides every pixel but the dot where alpha
    // is not honoured.
    std::array<std::uint32_t, kSide * kSide> colour{};
    colour[kDotRow * kSide + kDotColumn] = 0xFF000000u | kKeyFaceColour;
    std::array<std::uint16_t, kSide> mask{};
    mask.fill(0xFFFF);
    const auto bit = static_cast<std::uint16_t>(0x80u >> kDotColumn); // rows are big-endian bytes
    mask[kDotRow] = static_cast<std::uint16_t>(mask[kDotRow] & ~bit);

    BITMAPV5HEADER header{};
    header.bV5Size = sizeof header;
    header.bV5Width = kSide;
    header.bV5Height = -kSide;
    header.bV5Planes = 1;
    header.bV5BitCount = 32;
    header.bV5Compression = BI_BITFIELDS;
    header.bV5RedMask = 0x00FF0000;
    header.bV5GreenMask = 0x0000FF00;
    header.bV5BlueMask = 0x000000FF;
    header.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP colourBitmap =
        CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (colourBitmap == nullptr) {
        return nullptr;
    }
    std::copy(colour.begin(), colour.end(), static_cast<std::uint32_t*>(bits));
    HBITMAP maskBitmap = CreateBitmap(kSide, kSide, 1, 1, mask.data());
    ICONINFO info{FALSE, kDotColumn, kDotRow, maskBitmap, colourBitmap};
    HCURSOR cursor = CreateIconIndirect(&info);
    DeleteObject(maskBitmap);
    DeleteObject(colourBitmap);
    return cursor;
}

} // namespace mirvane
