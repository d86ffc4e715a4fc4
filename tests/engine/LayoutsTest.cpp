#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace mirvane;
using namespace mirvane::test;

namespace {
std::vector<int> RowButtons(const Keyboard& k) {
    std::vector<int> numbers;
    for (int row = 0; row < 47; ++row) {
        numbers.push_back(std::get<KeyButton*>(k.KeyTableRows()[row][kButtonColumn])->Number());
    }
    return numbers;
}

std::vector<std::u16string> AllCaptions(FakeWindow& w) {
    std::vector<std::u16string> captions;
    std::ranges::transform(w.buttons, std::back_inserter(captions), [](const auto& b) { return b->caption; });
    return captions;
}

} // namespace

// A scramble permutes the 47 character buttons alone, sorted by their keys as text, never as the last one.
TEST(Layouts, AScrambleIsAPermutationSortedByItsKeysAndNeverRepeatsItself) {
    const std::u16string characters = u"`1234567890-=qwertyuiop[]\\asdfghjkl;'zxcvbnm,./";
    for (unsigned seed : {3U, 5U, 99U, 2024U}) {
        EngineHarness h(seed);
        const std::vector<int> standard = RowButtons(*h.keyboard);
        std::vector<int> previous = standard;
        for (std::int16_t layout : {std::int16_t{2}, std::int16_t{2}, std::int16_t{3}}) {
            h.keyboard->SetKeyboardLayoutType(layout);
            const std::vector<int> scrambled = RowButtons(*h.keyboard);
            EXPECT_NE(scrambled, previous) << seed;
            EXPECT_TRUE(std::is_permutation(scrambled.begin(), scrambled.end(), standard.begin())) << seed;
            std::u16string shown;
            for (int row = 0; row < 47; ++row) {
                shown += h.window->Key(scrambled[static_cast<std::size_t>(row)]).caption;
                if (row > 0) {
                    EXPECT_LE(KeyText(h.keyboard->KeyTableRows()[row - 1][kKeyColumn]),
                              KeyText(h.keyboard->KeyTableRows()[row][kKeyColumn]));
                }
            }
            EXPECT_TRUE(std::ranges::is_permutation(shown, characters));
            previous = scrambled;
        }
    }
}

TEST(Layouts, KeysThatTieStillGiveEachButtonOnce) {
    EngineHarness h(1, std::deque<double>(200, 0.5)); // every draw alike: all 47 keys tie
    const std::vector<int> standard = RowButtons(*h.keyboard);
    h.keyboard->SetKeyboardLayoutType(3);
    EXPECT_TRUE(std::ranges::is_permutation(RowButtons(*h.keyboard), standard));
}

// Which layouts map the physical keys; writing an ordered layout again maps them and leaves the keys alone.
TEST(Layouts, DvorakAndScrambleAllMapThePhysicalKeysAndARewriteLeavesTheKeysAlone) {
    EngineHarness h;
    std::vector<std::u16string> captions;
    std::vector<int> rows;
    std::int16_t previous = -1;
    const std::pair<std::int16_t, bool> steps[] = {{1, true}, {1, true},  {2, false},
                                                   {3, true}, {0, false}, {0, true}};
    for (const auto& [layout, mapped] : steps) {
        h.keyboard->SetKeyboardLayoutType(layout);
        EXPECT_EQ(h.keyboard->KeyboardInputToMatchOnScreenKey(), mapped) << layout;
        if (layout == previous) {
            EXPECT_EQ(AllCaptions(*h.window), captions) << layout;
            EXPECT_EQ(RowButtons(*h.keyboard), rows) << layout;
        }
        captions = AllCaptions(*h.window);
        rows = RowButtons(*h.keyboard);
        previous = layout;
    }
}
