#include "support/FakeServices.h"

#include <gtest/gtest.h>

using namespace mirvane;
using namespace mirvane::test;

// The start state only the engine holds; shown once, then layered; size, top and left drawn in that order.
TEST(Creation, LeavesTheEngineInItsStartStateShownOnceLayeredAndPlacedByThreeDraws) {
    EngineHarness h(1, {0.5, 0.25, 0.75});
    EXPECT_EQ(h.k.KeyboardType(), 101);
    EXPECT_TRUE(h.k.Mode());
    EXPECT_FALSE(h.k.KeyboardInputToMatchOnScreenKey() || h.k.ShiftIsDown() || h.k.CapsLockIsDown() ||
                 h.k.KeepOnTop() || h.k.MouseHidden() || h.k.BeepOnHover() || h.w.noiseTimer.enabled);
    EXPECT_FALSE(h.w.statusBar.visible || h.w.plain.visible || h.w.Key(16).enabled || h.w.Key(29).enabled);
    EXPECT_EQ(h.w.statusBar.height, 0);
    EXPECT_EQ(h.w.password.passwordChar, u"*");
    EXPECT_EQ(h.w.shows, 1);
    EXPECT_EQ(h.layering.calls, (decltype(h.layering.calls){{h.w.Handle(), 254}}));
    EXPECT_TRUE(h.errors.errors.empty());
    EXPECT_EQ(h.random.draws, 3);

    // Screen 1280 x 1024 pixels at 15 twips: 19200 x 15360 twips.
    // W0 = (9600 - 5500) * 0.5 + 5500 = 7550; u0 = R(6850 / 15) = R(456.67) = 450.
    const std::int32_t u0 = 450;
    EXPECT_EQ(h.w.width, 700 + 15 * u0);
    const std::int32_t height = 420 + 5 * u0 + 400 + 600 + 950;
    EXPECT_EQ(h.w.height, height);
    EXPECT_EQ(h.w.top, static_cast<std::int32_t>((15360 - height - 800) * 0.25 + 400));
    EXPECT_EQ(h.w.left, static_cast<std::int32_t>((19200 - h.w.width - 800) * 0.75 + 400));
    EXPECT_EQ(h.w.password.width, h.w.width - 700);
}

TEST(Creation, StartsAtLeast400TwipsInsideTheScreenWithKeysOnWholePixels) {
    for (unsigned seed = 0; seed < 200; ++seed) {
        EngineHarness h(seed);
        SCOPED_TRACE("seed " + std::to_string(seed));
        EXPECT_GE(h.w.left, 400);
        EXPECT_GE(h.w.top, 400);
        EXPECT_LE(h.w.left + h.w.width, h.w.screen.width - 400);
        EXPECT_LE(h.w.top + h.w.height, h.w.screen.height - 400);
        EXPECT_GE(h.w.width, 5500 - 15 * 15);
        EXPECT_LE(h.w.width, 9600 + 15 * 15);
        for (const auto& button : h.w.buttons) {
            EXPECT_EQ(button->left % 15, 0);
            EXPECT_EQ(button->width % 15, 0);
        }
    }
}
