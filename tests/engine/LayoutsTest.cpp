#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

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
    for (const auto& b : w.buttons) {
        captions.push_back(b->caption);
    }
    return captions;
}

// A random source that keeps drawing the same few values, so that many rows tie.
class FewValues final : public RandomSource {
public:
    double Next() override { return kValues[mNext++ % 3]; }

private:
    static constexpr double kValues[3] = {0.1, 0.5, 0.1};
    std::size_t mNext = 0;
};
} // namespace

TEST(Layouts, AScrambleIsAPermutationOfTheCharacterButtonsAlone) {
    EngineHarness h(99);
    FakeWindow& w = *h.window;
    const std::vector<int> standard = RowButtons(*h.keyboard);
    h.keyboard->SetKeyboardLayoutType(2);
    std::vector<int> scrambled = RowButtons(*h.keyboard);
    EXPECT_NE(scrambled, standard);
    std::vector<int> sorted = scrambled;
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> expected = standard;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sorted, expected);

    // The captions are still the 94 characters, just on other buttons.
    std::multiset<std::u16string> shown;
    for (int number : scrambled) {
        shown.insert(w.Key(number).caption);
    }
    std::multiset<std::u16string> standardCaptions;
    for (const CharacterPosition& p : kCharacterPositions) {
        const char16_t c = CodeTextCharacter(p.normalCode);
        standardCaptions.insert(std::u16string(1, c));
    }
    EXPECT_EQ(shown, standardCaptions);
}

TEST(Layouts, TwoScramblesInARowDiffer) {
    EngineHarness h(5);
    h.keyboard->SetKeyboardLayoutType(2);
    const std::vector<int> first = RowButtons(*h.keyboard);
    h.keyboard->SetKeyboardLayoutType(2);
    const std::vector<int> second = RowButtons(*h.keyboard);
    h.keyboard->SetKeyboardLayoutType(3);
    const std::vector<int> third = RowButtons(*h.keyboard);
    EXPECT_NE(first, second);
    EXPECT_NE(second, third);
}

TEST(Layouts, KeysThatTieStillGiveEachButtonOnce) {
    FewValues few;
    test::RecordingErrorLog errors;
    test::RecordingLayering layering;
    FakeWindow* window = nullptr;
    FakeKeyState keyState;
    Keyboard k(KeyboardServices{[&window] {
                                    auto made = std::make_unique<FakeWindow>();
                                    window = made.get();
                                    return made;
                                },
                                few, errors, layering, [] { return 2000; }, keyState});
    k.SetKeyboardLayoutType(3);
    std::vector<int> rows = RowButtons(k);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(std::adjacent_find(rows.begin(), rows.end()), rows.end());
    EXPECT_EQ(rows.size(), 47U);
}

TEST(Layouts, TheSortOrdersKeysAsText) {
    EngineHarness h(3);
    for (int round = 0; round < 20; ++round) {
        h.keyboard->SetKeyboardLayoutType(3);
        for (int row = 1; row < 47; ++row) {
            EXPECT_LE(KeyText(h.keyboard->KeyTableRows()[row - 1][kKeyColumn]),
                      KeyText(h.keyboard->KeyTableRows()[row][kKeyColumn]));
        }
    }
}

TEST(Layouts, SwitchesSetTheMappingAndTheMenuEntries) {
    struct Step {
        std::int16_t layout;
        bool mapped;
        bool unscrambleEnabled;
        bool dvorakEnabled;
    };
    EngineHarness h;
    FakeWindow& w = *h.window;
    for (const Step s : {Step{1, true, true, false}, Step{2, false, true, true}, Step{3, true, true, true},
                         Step{0, false, false, true}, Step{3, true, true, true}, Step{1, true, true, false},
                         Step{0, false, false, true}}) {
        h.keyboard->SetKeyboardLayoutType(s.layout);
        SCOPED_TRACE("layout " + std::to_string(s.layout));
        EXPECT_EQ(h.keyboard->KeyboardLayoutType(), s.layout);
        EXPECT_EQ(h.keyboard->KeyboardInputToMatchOnScreenKey(), s.mapped);
        EXPECT_EQ(w.MenuFake(Menu::EntryModeUnscrambleAll).enabled, s.unscrambleEnabled);
        EXPECT_EQ(w.MenuFake(Menu::EntryModeDvorak).enabled, s.dvorakEnabled);
        EXPECT_EQ(w.toolbar.values["ScrambleAll"], s.layout == 3 ? 1 : 0);
        EXPECT_EQ(w.toolbar.values["Dvorak"], s.layout == 1 ? 1 : 0);
    }
}

TEST(Layouts, RewritingTheSameOrderedLayoutLeavesTheKeysAlone) {
    EngineHarness h;
    FakeWindow& w = *h.window;
    h.keyboard->SetKeyboardLayoutType(1);
    const auto captions = AllCaptions(w);
    const auto rows = RowButtons(*h.keyboard);
    h.keyboard->SetKeyboardLayoutType(1);
    EXPECT_EQ(AllCaptions(w), captions);
    EXPECT_EQ(RowButtons(*h.keyboard), rows);
    EXPECT_TRUE(h.keyboard->KeyboardInputToMatchOnScreenKey());

    h.keyboard->SetKeyboardLayoutType(0);
    const auto standard = AllCaptions(w);
    h.keyboard->SetKeyboardLayoutType(0);
    EXPECT_EQ(AllCaptions(w), standard);
    EXPECT_TRUE(h.keyboard->KeyboardInputToMatchOnScreenKey());
}
