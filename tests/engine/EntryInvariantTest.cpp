#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <random>

using namespace mirvane;
using namespace mirvane::test;

// Through random clicks, caret moves, typing, mask and layout switches: one "*" per password character.
TEST(EntryInvariant, TheMaskedLineAlwaysHoldsOneStarPerPasswordCharacter) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        EngineHarness h(seed);
        std::mt19937 rng(seed);
        const auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

        for (int step = 0; step < 400; ++step) {
            FakeTextLine& line = h.w.password.visible ? h.w.password : h.w.plain;
            const int action = pick(0, 99);
            std::string what;
            try {
                if (action < 55) {
                    what = "click " + std::to_string(pick(1, 65));
                    h.k.ButtonClick(h.w.Key(std::stoi(what.substr(6))));
                } else if (action < 70) {
                    const int length = static_cast<int>(line.text.size());
                    line.SetSelStart(static_cast<std::int16_t>(pick(0, length + 2)));
                    line.SetSelLength(static_cast<std::int16_t>(pick(0, 3)));
                    what = "caret";
                } else if (action < 85) {
                    const int code = pick(0, 95) == 0 ? 8 : pick(32, 126);
                    what = "type " + std::to_string(code);
                    EXPECT_FALSE(h.k.KeyPress(static_cast<std::int16_t>(code)));
                } else if (action < 93) {
                    what = "mask";
                    h.k.SetTextIsMasked(!h.k.TextIsMasked());
                } else {
                    const std::int16_t layout = static_cast<std::int16_t>(pick(0, 3));
                    what = "layout " + std::to_string(layout);
                    h.k.SetKeyboardLayoutType(layout);
                }
            } catch (const std::exception& e) {
                FAIL() << "seed " << seed << " step " << step << " (" << what << ") threw " << e.what();
            }
            EXPECT_NE(h.w.password.visible, h.w.plain.visible);
            if (h.w.password.visible) {
                ASSERT_EQ(h.w.password.text, std::u16string(h.k.CurrentPassword().size(), u'*'))
                    << "seed " << seed << " step " << step << " after " << what;
            }
        }
    }
}
