#include "support/FakeServices.h"

#include <gtest/gtest.h>

using namespace mirvane;
using namespace mirvane::test;

namespace {
// Sets the outer width without an event, then lays out as a user's resize would.
void ResizeTo(EngineHarness& h, std::int32_t width, std::int32_t height = 0) {
    h.window->width = width;
    if (height > 0) {
        h.window->height = height;
    }
    h.keyboard->Resize();
}

std::int32_t RightEdge(FakeWindow& w, int number) { return w.Key(number).left + w.Key(number).width; }

const int kRowEnds[] = {15, 65, 29, 53};
} // namespace

TEST(Geometry, AWidthOf9795SnapsTo9700WithKeysOfForty) {
    EngineHarness h;
    FakeWindow& w = *h.window;
    ResizeTo(h, 9795);
    EXPECT_EQ(w.width, 9700);
    EXPECT_EQ(w.Key(1).width, 600);
    EXPECT_EQ(w.Key(1).height, 600);
    EXPECT_EQ(w.Key(16).width, 840);
    EXPECT_EQ(w.Key(30).width, 1080);
    EXPECT_EQ(w.Key(42).width, 1320);
    EXPECT_EQ(w.Key(65).width, 960);
    EXPECT_EQ(w.Key(29).width, 1320);
    EXPECT_EQ(w.Key(53).width, 1680);
    EXPECT_EQ(w.Key(15).width, 1200);
    EXPECT_EQ(w.Key(57).width, 3600);
    for (int last : kRowEnds) {
        EXPECT_EQ(RightEdge(w, last), 9300) << "row ending with Command" << last;
    }
    EXPECT_EQ(w.Key(57).left, 300 + 840 + 600 + 840);
}

TEST(Geometry, WidthsSnapToTheNearestWholeUnitAndNeverBelowTheMinimum) {
    struct Case {
        std::int32_t requested;
        std::int32_t snapped;
    };
    for (const Case c : {Case{5300, 5200}, Case{5100, 5200}, Case{1000, 5200}, Case{9795, 9700},
                         Case{9830, 9925}, Case{7450, 7450}}) {
        EngineHarness h;
        ResizeTo(h, c.requested);
        EXPECT_EQ(h.window->width, c.snapped) << "requested " << c.requested;
        const std::int32_t u = h.window->Key(1).width;
        EXPECT_EQ(u % 15, 0);
        for (int last : kRowEnds) {
            EXPECT_EQ(RightEdge(*h.window, last), 300 + 15 * u);
        }
    }
}

TEST(Geometry, RowsTouchAndOnlyTheSpaceBarShowsInTheLastRow) {
    EngineHarness h;
    FakeWindow& w = *h.window;
    ResizeTo(h, 9700);
    const std::vector<std::vector<int>> rows{
        {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15},
        {16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 65},
        {30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 29},
        {42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53},
    };
    std::int32_t top = w.Key(1).top;
    for (const auto& row : rows) {
        std::int32_t left = 300;
        for (int number : row) {
            EXPECT_TRUE(w.Key(number).visible) << number;
            EXPECT_EQ(w.Key(number).left, left) << number;
            EXPECT_EQ(w.Key(number).top, top) << number;
            left += w.Key(number).width;
        }
        top += 600;
    }
    for (int hidden : {14, 54, 55, 56, 58, 59, 60, 61, 62, 63, 64}) {
        EXPECT_FALSE(w.Key(hidden).visible) << hidden;
    }
    EXPECT_TRUE(w.Key(57).visible);
    EXPECT_EQ(w.Key(57).top, top);
}

TEST(Geometry, TheToolbarHeightMovesTheFirstRow) {
    EngineHarness h;
    FakeWindow& w = *h.window;
    ResizeTo(h, 9700);
    EXPECT_EQ(w.Key(1).top, 420 + 300);
    w.toolbar.visible = false;
    ResizeTo(h, 9700);
    EXPECT_EQ(w.Key(1).top, 300);
}

TEST(Geometry, TheTextLinesShareOneRectangleBelowTheKeys) {
    EngineHarness h;
    FakeWindow& w = *h.window;
    ResizeTo(h, 9700, 8000);
    const std::int32_t top = w.Key(58).top + w.Key(58).height + 300;
    EXPECT_EQ(w.password.left, 300);
    EXPECT_EQ(w.password.top, top);
    EXPECT_EQ(w.password.width, 9000);
    EXPECT_EQ(w.password.height, 8000 - top - 480 - 420);
    EXPECT_EQ(w.plain.left, w.password.left);
    EXPECT_EQ(w.plain.top, w.password.top);
    EXPECT_EQ(w.plain.width, w.password.width);
    EXPECT_EQ(w.plain.height, w.password.height);
}

TEST(Geometry, AWindowTooLowForTheTextLineGrows) {
    EngineHarness h;
    FakeWindow& w = *h.window;
    ResizeTo(h, 9700, 1000);
    const std::int32_t top = w.password.top;
    EXPECT_EQ(w.height, top + 375 + 480 + 420 + 0);
    EXPECT_EQ(w.password.height, 375);
    EXPECT_EQ(w.plain.height, 375);
}

TEST(Geometry, TheGuardKeepsTheLayoutsOwnSizeChangesFromNesting) {
    EngineHarness h;
    FakeWindow& w = *h.window;
    const int eventsBefore = w.resizeEvents;
    const int layoutsBefore = w.Key(1).leftWrites;
    // A width between snap points and a window too low: the layout sets both sizes, and
    // each raises the window's resize event, which must not start another layout.
    ResizeTo(h, 9795, 1000);
    EXPECT_EQ(w.resizeEvents - eventsBefore, 2);
    EXPECT_EQ(w.Key(1).leftWrites - layoutsBefore, 1);
    EXPECT_EQ(w.width, 9700);
    EXPECT_TRUE(h.errors.errors.empty());

    // The guard is down again: the next resize lays out.
    ResizeTo(h, 9700);
    EXPECT_EQ(w.Key(1).leftWrites - layoutsBefore, 2);
}

TEST(Geometry, AnErrorInTheLayoutIsReportedOnceAndReleasesTheGuard) {
    EngineHarness h;
    FakeWindow& w = *h.window;
    w.Key(30).failOnLeft = true;
    ResizeTo(h, 9700);
    ASSERT_EQ(h.errors.errors.size(), 1U);
    EXPECT_EQ(h.errors.errors[0].procedure, "Keyboard Resize");
    EXPECT_EQ(h.errors.errors[0].number, 380);
    EXPECT_EQ(h.errors.errors[0].description, "Invalid property value");

    w.Key(30).failOnLeft = false;
    ResizeTo(h, 8000);
    EXPECT_EQ(h.errors.errors.size(), 1U);
    EXPECT_EQ(w.Key(30).left, 300);
}
