#include "support/FakeServices.h"

#include <gtest/gtest.h>

using namespace mirvane;
using namespace mirvane::test;

namespace {
struct Entry : ::testing::Test {
    EngineHarness h;
    Keyboard& k = *h.keyboard;
    FakeWindow& w = *h.window;

    FakeButton& KeyShowing(const std::u16string& caption) {
        for (auto& button : w.buttons) {
            if (button->caption == caption && button->visible) {
                return *button;
            }
        }
        throw std::runtime_error("no key shows that caption");
    }
    void Click(const std::u16string& caption) { k.ButtonClick(KeyShowing(caption)); }
    void Type(const std::u16string& captions) {
        for (char16_t c : captions) {
            Click(std::u16string(1, c));
        }
    }
};
} // namespace

TEST_F(Entry, MaskedClicksFillTheBufferAndOneStarEach) {
    Type(u"ab");
    Click(u"bksp");
    EXPECT_EQ(k.CurrentPassword(), u"a");
    EXPECT_EQ(w.password.text, u"*");
    EXPECT_EQ(w.password.selStart, 1);
    EXPECT_GT(w.password.focusCount, 0);
}

TEST_F(Entry, SpaceBarAndAmpersandTypeOneCharacter) {
    k.ButtonClick(w.Key(57));
    Click(u"shft");
    Click(u"&&");
    EXPECT_EQ(k.CurrentPassword(), u" &");
    EXPECT_EQ(w.password.text, u"**");
}

TEST_F(Entry, TheShiftLatchLastsOneCharacter) {
    Click(u"shft");
    EXPECT_TRUE(k.ShiftIsDown());
    Click(u"A");
    EXPECT_FALSE(k.ShiftIsDown());
    Click(u"a");
    EXPECT_EQ(k.CurrentPassword(), u"Aa");
    EXPECT_EQ(w.Key(31).caption, u"a");
}

TEST_F(Entry, ASelectionIsReplacedInTheBufferAndTheLine) {
    Type(u"abcdef");
    w.password.SetSelStart(1);
    w.password.SetSelLength(3);
    Click(u"x");
    EXPECT_EQ(k.CurrentPassword(), u"axef");
    EXPECT_EQ(w.password.text, u"****");
    EXPECT_EQ(w.password.selStart, 2);
    EXPECT_EQ(w.password.selLength, 0);
}

TEST_F(Entry, BackspaceCases) {
    // On an empty line and at the start: nothing changes, nothing fails.
    Click(u"bksp");
    EXPECT_EQ(k.CurrentPassword(), u"");
    Type(u"abcd");
    w.password.SetSelStart(0);
    Click(u"bksp");
    EXPECT_EQ(k.CurrentPassword(), u"abcd");
    EXPECT_EQ(w.password.text, u"****");
    // In the middle: the character before the caret goes from both.
    w.password.SetSelStart(2);
    Click(u"bksp");
    EXPECT_EQ(k.CurrentPassword(), u"acd");
    EXPECT_EQ(w.password.text, u"***");
    EXPECT_EQ(w.password.selStart, 1);
    // A selection goes from both, caret at its start.
    w.password.SetSelStart(1);
    w.password.SetSelLength(2);
    Click(u"bksp");
    EXPECT_EQ(k.CurrentPassword(), u"a");
    EXPECT_EQ(w.password.text, u"*");
    EXPECT_EQ(w.password.selStart, 1);
}

TEST_F(Entry, TabAndEnterTypeOnlyInTheClearLine) {
    Type(u"ab");
    k.ButtonClick(w.Key(16));
    k.ButtonClick(w.Key(29));
    EXPECT_EQ(k.CurrentPassword(), u"ab");
    EXPECT_EQ(w.password.text, u"**");

    k.SetTextIsMasked(false);
    w.plain.SetSelStart(1);
    k.ButtonClick(w.Key(16));
    EXPECT_EQ(w.plain.text, u"a\tb");
    EXPECT_EQ(w.plain.selStart, 2);
    k.ButtonClick(w.Key(29));
    EXPECT_EQ(w.plain.text, u"a\t\r\nb");
    EXPECT_EQ(w.plain.selStart, 4);
    // Backspace after a line break removes CR and LF together.
    Click(u"bksp");
    EXPECT_EQ(w.plain.text, u"a\tb");
    EXPECT_EQ(w.plain.selStart, 2);
}

TEST_F(Entry, KeysWithoutAnActionDoNothing) {
    Type(u"ab");
    const int focus = w.password.focusCount;
    for (int number : {54, 55, 56, 58, 59}) {
        k.ButtonClick(w.Key(number));
    }
    EXPECT_EQ(k.CurrentPassword(), u"ab");
    EXPECT_EQ(w.password.focusCount, focus);
}

TEST_F(Entry, TypedCharactersAreEditedByTheEngineAndCancelled) {
    EXPECT_FALSE(k.KeyPress(u'x'));
    EXPECT_EQ(k.CurrentPassword(), u"x");
    EXPECT_EQ(w.password.text, u"*");
    EXPECT_FALSE(k.KeyPress(u'y'));
    w.password.SetSelStart(0);
    EXPECT_FALSE(k.KeyPress(8));
    EXPECT_EQ(k.CurrentPassword(), u"xy");
    w.password.SetSelStart(2);
    EXPECT_FALSE(k.KeyPress(8));
    EXPECT_EQ(k.CurrentPassword(), u"x");
    EXPECT_EQ(w.password.text, u"*");
    EXPECT_EQ(w.password.selStart, 1);

    // In clear the line is the copy that counts; the buffer waits for the next mask.
    k.SetTextIsMasked(false);
    w.plain.SetSelStart(1);
    EXPECT_FALSE(k.KeyPress(u'z'));
    EXPECT_EQ(w.plain.text, u"xz");
    EXPECT_EQ(k.CurrentPassword(), u"x");
    k.SetTextIsMasked(true);
    EXPECT_EQ(k.CurrentPassword(), u"xz");
}

TEST_F(Entry, MappedTypingEntersWhatTheKeyAtThatPlaceShows) {
    k.SetKeyboardLayoutType(1);
    EXPECT_FALSE(k.KeyPress(u'q'));
    EXPECT_EQ(k.CurrentPassword(), w.Key(17).caption);
    EXPECT_EQ(k.CurrentPassword(), u"'");
    // A character with no place on the keys is ignored: line and buffer stay in step.
    EXPECT_FALSE(k.KeyPress(128));
    EXPECT_EQ(k.CurrentPassword(), u"'");
    EXPECT_EQ(w.password.text, u"*");
}

TEST_F(Entry, ClearTextEmptiesBothLinesAndTheBuffer) {
    Type(u"abc");
    w.plain.text = u"abc";
    k.ClearText();
    EXPECT_EQ(k.CurrentPassword(), u"");
    EXPECT_EQ(w.password.text, u"");
    EXPECT_EQ(w.plain.text, u"");
}

TEST(ShiftCounterpart, GivesTheOtherCharacterOfTheSameUsKey) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"q", u"Q"},  {u"Q", u"q"},  {u"?", u"/"}, {u"/", u"?"}, {u" ", u" "}, {u"`", u"~"},
        {u"\"", u"'"}, {u"|", u"\\"}, {u"\t", u""}, {u"ab", u""}, {u"", u""},   {u"\u00e9", u""}};
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(Keyboard::ShiftCounterpart(in), out);
    }
}
