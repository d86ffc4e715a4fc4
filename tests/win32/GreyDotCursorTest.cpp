#include "win32/GreyDotCursor.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <tuple>
#include <vector>

namespace mirvane {
namespace {

// Read back as the system holds it: one opaque pixel, RGB 224, 224, 224 at column 7, row 8,
// the hot spot on it, everything else see-through.
TEST(GreyDotCursor, IsOneOpaqueKeyFacePixelUnderTheHotSpot) {
    HCURSOR cursor = CreateGreyDotCursor();
    ASSERT_NE(cursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_EQ(std::tuple(info.fIcon, info.xHotspot, info.yHotspot), std::tuple(FALSE, 7u, 8u));

    BITMAPINFO format{{sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    std::array<std::uint32_t, 256> pixels{};
    HDC screen = GetDC(nullptr);
    ASSERT_EQ(GetDIBits(screen, info.hbmColor, 0, 16, pixels.data(), &format, DIB_RGB_COLORS), 16);
    ReleaseDC(nullptr, screen);
    std::vector<int> seen;
    for (int i = 0; i < 256; ++i) {
        if (pixels[static_cast<std::size_t>(i)] >> 24 != 0) {
            seen.push_back(i);
            EXPECT_EQ(pixels[static_cast<std::size_t>(i)] & 0xFFFFFF, 0xE0E0E0u);
        }
    }
    EXPECT_EQ(seen, std::vector<int>{8 * 16 + 7});
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyCursor(cursor);
}

} // namespace
} // namespace mirvane
