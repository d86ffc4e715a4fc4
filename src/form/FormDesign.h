#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace mirvane {

// The main window as designed, in twips: its client area, then each control's place in it.
inline constexpr std::u16string_view kWindowTitle = u"Corvell Software: Mirvane 2008";
struct DesignRect {
    int left;
    int top;
    int width;
    int height;
};
inline constexpr int kDesignClientWidth = 9795;
inline constexpr int kDesignClientHeight = 5640;
inline constexpr DesignRect kStatusBarDesign{0, 5265, 9795, 375};
inline constexpr DesignRect kPlainTextDesign{3960, 4080, 4455, 975};
inline constexpr DesignRect kToolbarDesign{0, 0, 9795, 420};
inline constexpr DesignRect kPasswordDesign{360, 4080, 3495, 975};
// The outer size counts the frame as these allowances, whatever the window manager draws.
inline constexpr int kFrameWidthTwips = 100;
inline constexpr int kFrameHeightTwips = 480;
inline constexpr int kNarrowestWidthTwips = 5200;
// The keys' and background's face, and the grey dot's one pixel.
inline constexpr std::uint32_t kKeyFaceColour = 0xE0E0E0;
inline constexpr int kHoverIntervalMs = 2000;

// The keys as designed (twips): each row's top, then its buttons left to right with
// their widths; a row starts at 360 and its keys touch.
struct DesignKey {
    int number;
    int width;
    int height;
};
struct DesignRow {
    int top;
    std::array<DesignKey, 15> keys;
    int count;
};
inline constexpr std::array<DesignRow, 5> kDesignRows{{
    {960,
     {{{1, 600, 600},
       {2, 600, 600},
       {3, 600, 600},
       {4, 600, 600},
       {5, 600, 600},
       {6, 600, 600},
       {7, 600, 600},
       {8, 600, 600},
       {9, 600, 600},
       {10, 600, 600},
       {11, 600, 600},
       {12, 600, 600},
       {13, 600, 600},
       {14, 600, 600},
       {15, 600, 600}}},
     15},
    {1560,
     {{{16, 840, 600},
       {17, 600, 600},
       {18, 600, 600},
       {19, 600, 600},
       {20, 600, 600},
       {21, 600, 600},
       {22, 600, 600},
       {23, 600, 600},
       {24, 600, 600},
       {25, 600, 600},
       {26, 600, 600},
       {27, 600, 600},
       {28, 600, 600},
       {65, 600, 585}}},
     14},
    {2160,
     {{{30, 1080, 600},
       {31, 600, 600},
       {32, 600, 600},
       {33, 600, 600},
       {34, 600, 600},
       {35, 600, 600},
       {36, 600, 600},
       {37, 600, 600},
       {38, 600, 600},
       {39, 600, 600},
       {40, 600, 600},
       {41, 600, 600},
       {29, 1320, 600}}},
     13},
    {2760,
     {{{42, 1320, 600},
       {43, 600, 600},
       {44, 600, 600},
       {45, 600, 600},
       {46, 600, 600},
       {47, 600, 600},
       {48, 600, 600},
       {49, 600, 600},
       {50, 600, 600},
       {51, 600, 600},
       {52, 600, 600},
       {53, 1680, 600}}},
     12},
    {3360,
     {{{54, 840, 600},
       {55, 600, 600},
       {56, 960, 600},
       {57, 600, 600},
       {58, 2160, 600},
       {59, 600, 600},
       {60, 600, 600},
       {61, 600, 600},
       {62, 600, 600},
       {63, 600, 600},
       {64, 840, 600}}},
     11},
}};

// Each key's designed place, by its number (index 0 unused).
constexpr std::array<DesignRect, 66> KeyDesignPlaces() {
    std::array<DesignRect, 66> places{};
    for (const DesignRow& row : kDesignRows) {
        int left = 360;
        for (int i = 0; i < row.count; ++i) {
            const DesignKey& key = row.keys.at(static_cast<std::size_t>(i));
            places.at(static_cast<std::size_t>(key.number)) = {left, row.top, key.width, key.height};
            left += key.width;
        }
    }
    return places;
}
inline constexpr std::array<DesignRect, 66> kKeyDesignPlaces = KeyDesignPlaces();

} // namespace mirvane
