#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <array>
#include <map>

using namespace mirvane;
using namespace mirvane::test;

namespace {
// Sets the outer width without an event, then lays out as a user's resize would.
void ResizeTo(EngineHarness& h, std::int32_t width, std::int32_t height = 0) {
    h.w.width = width;
    h.w.height = height > 0 ? height : h.w.height;
    h.k.Resize();
}
} // namespace

// Each key's place over several widths: wide keys of 1.4, 1.8, 2.2 units in whole pixels (halves to even),
// a row's last key making it 15 units; a maximized window keeps its size.
TEST(Geometry, EachKeysPlaceAndWidthOverSeveralWidths) {
    // The width asked, maximized or not; the width after; one key unit and keys 16, 30 and 42 in pixels.
    using Case = std::tuple<std::int32_t, bool, std::int32_t, std::int32_t, std::array<std::int32_t, 3>>;
    for (const auto& [requested, maximized, widthAfter, unitPx, wideKeys] :
         {Case{9795, false, 9700, 40, {56, 72, 88}}, Case{5425, false, 5425, 21, {29, 38, 46}},
          Case{5100, false, 5200, 20, {28, 36, 44}}, Case{9830, false, 9925, 41, {57, 74, 90}},
          Case{1000, false, 5200, 20, {28, 36, 44}}, Case{13000, true, 13000, 55, {77, 99, 121}}}) {
        EngineHarness h;
        FakeWindow& w = *h.window;
        w.maximized = maximized;
        ResizeTo(h, requested, 1000); // too low for the text line, too
        EXPECT_EQ(w.width, widthAfter) << requested;
        EXPECT_EQ(w.height == 1000, maximized) << "only a maximized window keeps a height too low";
        const std::int32_t u = unitPx * 15;
        const std::int32_t wide[3] = {wideKeys[0] * 15, wideKeys[1] * 15, wideKeys[2] * 15};
        const std::map<int, std::int32_t> widths{
            {15, 2 * u},           {16, wide[0]}, {65, 3 * u - wide[0]}, {30, wide[1]},
            {29, 4 * u - wide[1]}, {42, wide[2]}, {53, 5 * u - wide[2]}, {57, 6 * u}};
        const std::vector<std::vector<int>> rows{{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15},
                                                 {16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 65},
                                                 {30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 29},
                                                 {42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53},
                                                 {57}};
        std::int32_t top = w.Key(1).top;
        for (const auto& row : rows) {
            std::int32_t left = row.front() == 57 ? 300 + 2 * wide[0] + u : 300;
            for (const int number : row) {
                const std::int32_t width = widths.count(number) != 0 ? widths.at(number) : u;
                EXPECT_TRUE(w.Key(number).visible) << number;
                EXPECT_EQ(w.Key(number).left, left) << requested << " Command" << number;
                EXPECT_EQ(w.Key(number).width, width) << requested << " Command" << number;
                EXPECT_EQ(w.Key(number).top, top) << number;
                left += width;
            }
            top += u;
        }
        for (int hidden : {14, 54, 55, 56, 58, 59, 60, 61, 62, 63, 64}) {
            EXPECT_FALSE(w.Key(hidden).visible) << hidden;
        }
        // Both lines share a rectangle under the keys, 375 high; too low, it grows (toolbar 420, frame 480).
        const std::int32_t lineTop = w.Key(57).top + u + 300;
        for (const FakeTextLine* line : {&w.password, &w.plain}) {
            EXPECT_EQ(line->left, 300);
            EXPECT_EQ(line->top, lineTop);
            EXPECT_EQ(line->width, widthAfter - 100 - 600);
            EXPECT_EQ(line->height, 375);
        }
        if (!maximized) {
            EXPECT_EQ(w.height, lineTop + 375 + 480 + 420);
        }
    }
}

TEST(Geometry, TheGuardKeepsTheLayoutsOwnSizeChangesFromNestingAndErrorsReleaseIt) {
    EngineHarness h;
    FakeWindow& w = *h.window;
    const int eventsBefore = w.resizeEvents;
    const int layoutsBefore = w.Key(1).leftWrites;
    // Between snap points and too low: the layout sets both sizes, raising events that start no layout.
    ResizeTo(h, 9795, 1000);
    EXPECT_EQ(w.resizeEvents - eventsBefore, 2);
    EXPECT_EQ(w.Key(1).leftWrites - layoutsBefore, 1);
    EXPECT_TRUE(h.errors.errors.empty());

    // The guard is down again: the next resize lays out.
    ResizeTo(h, 9700);
    EXPECT_EQ(w.Key(1).leftWrites - layoutsBefore, 2);

    // An error in the layout is reported once and releases the guard too.
    w.Key(30).failOnLeft = true;
    ResizeTo(h, 9700);
    EXPECT_EQ(h.errors.errors,
              (std::vector<LoggedError>{{"Keyboard Resize", 380, "Invalid property value"}}));

    w.Key(30).failOnLeft = false;
    ResizeTo(h, 8000, 8000);
    EXPECT_EQ(h.errors.errors.size(), 1U);
    EXPECT_EQ(w.Key(2).left, 300 + 480) << "the next resize lays out at the new width";
    EXPECT_EQ(w.password.height, 8000 - w.password.top - 480 - 420) << "high enough: the lines take the rest";
}
