#include "support/FakeServices.h"

#include <gtest/gtest.h>

using namespace mirvane;
using namespace mirvane::test;

namespace {
// The caption each character button should show, for an order and a set.
std::u16string Expected(const CharacterPosition& p, bool shifted) {
    const char16_t c = CodeTextCharacter(shifted ? p.shiftedCode : p.normalCode);
    return c == u'&' ? u"&&" : std::u16string(1, c);
}

void ExpectCaptions(FakeWindow& w, ButtonOrder order, bool shifted) {
    for (const CharacterPosition& p : kCharacterPositions) {
        const int number = order == ButtonOrder::Standard ? p.standardButton : p.dvorakButton;
        EXPECT_EQ(w.Key(number).caption, Expected(p, shifted)) << "Command" << number;
    }
}

void ClickCaption(EngineHarness& h, const std::u16string& caption) {
    for (auto& button : h.window->buttons) {
        if (button->caption == caption && button->visible) {
            h.keyboard->ButtonClick(*button);
            return;
        }
    }
    FAIL() << "no visible key shows that caption";
}
} // namespace

TEST(Captions, ShiftAndCapsLockChooseTheSet) {
    struct Case {
        bool shift;
        bool caps;
        bool shifted;
    };
    for (const Case c : {Case{false, false, false}, Case{true, false, true}, Case{false, true, true},
                         Case{true, true, false}}) {
        EngineHarness h;
        if (c.caps) {
            ClickCaption(h, u"lock");
        }
        if (c.shift) {
            ClickCaption(h, u"shft");
        }
        SCOPED_TRACE(std::to_string(c.shift) + " " + std::to_string(c.caps));
        EXPECT_EQ(h.keyboard->ShiftIsDown(), c.shift);
        EXPECT_EQ(h.keyboard->CapsLockIsDown(), c.caps);
        ExpectCaptions(*h.window, ButtonOrder::Standard, c.shifted);
    }
}

TEST(Captions, SpecialKeysKeepTheirCaptionsAndSparesTheirNumbers) {
    EngineHarness h;
    FakeWindow& w = *h.window;
    ClickCaption(h, u"lock");
    h.keyboard->SetKeyboardLayoutType(3);
    const std::pair<int, std::u16string> specials[] = {
        {15, u"bksp"}, {16, u"tab"}, {30, u"lock"}, {29, u"ent"}, {42, u"shft"}, {53, u"shft"},
        {54, u"ctrl"}, {55, u"win"}, {56, u"alt"},  {58, u"alt"}, {57, u""}};
    for (const auto& [number, caption] : specials) {
        EXPECT_EQ(w.Key(number).caption, caption) << number;
    }
    for (int spare : {14, 59, 60, 61, 62, 63, 64}) {
        EXPECT_EQ(w.Key(spare).caption, FakeButton::DesignCaption(spare));
    }
}

TEST(Captions, DvorakShowsTheDvorakArrangement) {
    EngineHarness h;
    FakeWindow& w = *h.window;
    h.keyboard->SetKeyboardLayoutType(1);
    ExpectCaptions(w, ButtonOrder::Dvorak, false);
    const auto rowText = [&w](std::initializer_list<int> numbers) {
        std::u16string text;
        for (int n : numbers) {
            text += w.Key(n).caption;
        }
        return text;
    };
    EXPECT_EQ(rowText({12, 13}), u"[]");
    EXPECT_EQ(rowText({17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 65}), u"',.pyfgcrl/=\\");
    EXPECT_EQ(rowText({31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41}), u"aoeuidhtns-");
    EXPECT_EQ(rowText({43, 44, 45, 46, 47, 48, 49, 50, 51, 52}), u";qjkxbmwvz");
}

TEST(Captions, ARecaptionAfterDvorakOrAScrambleKeepsEveryButtonOnItsRow) {
    for (std::int16_t layout : {std::int16_t{1}, std::int16_t{2}, std::int16_t{3}}) {
        EngineHarness h;
        h.keyboard->SetKeyboardLayoutType(layout);
        const KeyTable before = h.keyboard->KeyTableRows();
        ClickCaption(h, u"shft"); // re-captions in mode 0
        ClickCaption(h, u"lock");
        const KeyTable& after = h.keyboard->KeyTableRows();
        for (int row = 0; row < 47; ++row) {
            EXPECT_EQ(std::get<KeyButton*>(after[row][kButtonColumn]),
                      std::get<KeyButton*>(before[row][kButtonColumn]));
            const auto* button = static_cast<FakeButton*>(std::get<KeyButton*>(after[row][kButtonColumn]));
            // Shift and Caps Lock together: the normal set, at the row's position.
            EXPECT_EQ(button->caption, Expected(kCharacterPositions[static_cast<std::size_t>(row)], false));
        }
    }
}
