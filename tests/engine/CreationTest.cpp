#include "support/FakeServices.h"

#include <gtest/gtest.h>

using namespace mirvane;
using namespace mirvane::test;

// What no command test sees: the start state that only the engine holds.
TEST(Creation, LeavesTheEngineInItsStartStateShownOnceAndLayered) {
    EngineHarness h;
    const Keyboard& k = *h.keyboard;
    FakeWindow& w = *h.window;
    EXPECT_EQ(k.KeyboardType(), 101);
    EXPECT_TRUE(k.Mode());
    EXPECT_FALSE(k.KeyboardInputToMatchOnScreenKey() || k.ShiftIsDown() || k.CapsLockIsDown() ||
                 k.KeepOnTop() || k.MouseHidden() || k.BeepOnHover() || w.noiseTimer.enabled);
    EXPECT_FALSE(w.statusBar.visible || w.plain.visible || w.Key(16).enabled || w.Key(29).enabled);
    EXPECT_EQ(w.statusBar.height, 0);
    EXPECT_EQ(w.password.passwordChar, u"*");
    // Shown once, then made layered.
    EXPECT_EQ(w.shows, 1);
    EXPECT_EQ(h.layering.calls, (decltype(h.layering.calls){{w.Handle(), 254}}));
    EXPECT_TRUE(h.errors.errors.empty());
}

TEST(Creation, DrawsSizeTopAndLeftFromTheGeneratorInThatOrder) {
    // Screen 1280 x 1024 pixels at 15 twips: 19200 x 15360 twips.
    EngineHarness h(1, {0.5, 0.25, 0.75});
    FakeWindow& w = *h.window;
    EXPECT_EQ(h.random.draws, 3);

    // W0 = (9600 - 5500) * 0.5 + 5500 = 7550; u0 = R(6850 / 15) = R(456.67) = 450.
    const std::int32_t u0 = 450;
    EXPECT_EQ(w.width, 700 + 15 * u0);
    const std::int32_t height = 420 + 5 * u0 + 400 + 600 + 950;
    EXPECT_EQ(w.height, height);
    EXPECT_EQ(w.top, static_cast<std::int32_t>((15360 - height - 800) * 0.25 + 400));
    EXPECT_EQ(w.left, static_cast<std::int32_t>((19200 - w.width - 800) * 0.75 + 400));
    EXPECT_EQ(w.password.width, w.width - 700);
}

TEST(Creation, StartsAtLeast400TwipsInsideTheScreenWithKeysOnWholePixels) {
    for (unsigned seed = 0; seed < 200; ++seed) {
        EngineHarness h(seed);
        FakeWindow& w = *h.window;
        SCOPED_TRACE("seed " + std::to_string(seed));
        EXPECT_GE(w.left, 400);
        EXPECT_GE(w.top, 400);
        EXPECT_LE(w.left + w.width, w.screen.width - 400);
        EXPECT_LE(w.top + w.height, w.screen.height - 400);
        EXPECT_GE(w.width, 5500 - 15 * 15);
        EXPECT_LE(w.width, 9600 + 15 * 15);
        for (const auto& button : w.buttons) {
            EXPECT_EQ(button->left % 15, 0);
            EXPECT_EQ(button->width % 15, 0);
        }
    }
}
