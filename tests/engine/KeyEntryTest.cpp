#include "support/FakeServices.h"

#include <gtest/gtest.h>

using namespace mirvane;
using namespace mirvane::test;

using Entry = EngineTest;

// What the real lines (window tests) cannot show: keys without an action, Clear, mapped typing.
TEST_F(Entry, KeysWithoutAnActionDoNothingClearEmptiesAllAndMappedTypingEntersWhatTheKeyShows) {
    h.Type(u"ab");
    const int focus = w.password.focusCount;
    for (int number : {54, 55, 56, 58, 59}) {
        k.ButtonClick(w.Key(number));
    }
    EXPECT_EQ(k.CurrentPassword(), u"ab");
    EXPECT_EQ(w.password.focusCount, focus);

    w.plain.text = u"abc";
    k.ClearText();
    EXPECT_EQ(k.CurrentPassword(), u"");
    EXPECT_EQ(w.password.text, u"");
    EXPECT_EQ(w.plain.text, u"");

    k.SetKeyboardLayoutType(1);
    EXPECT_FALSE(k.KeyPress(u'q'));
    EXPECT_EQ(k.CurrentPassword(), u"'"); // what key 17 shows in Dvorak
    // A character with no place on the keys is ignored: line and buffer stay in step.
    EXPECT_FALSE(k.KeyPress(128));
    EXPECT_EQ(k.CurrentPassword(), u"'");
    EXPECT_EQ(w.password.text, u"*");
}

TEST_F(Entry, NeitherLineGrowsBeyondItsLimitAndTheBufferStaysInStep) {
    k.SetCurrentPassword(SecretText(32767, u'x'));
    w.password.text = std::u16string(32767, u'*');
    w.password.SetSelStart(32767);
    k.KeyPress(u'y');
    k.ButtonClick(w.Key(31)); // a
    EXPECT_EQ(k.CurrentPassword().size(), 32767U);
    EXPECT_EQ(w.password.text.size(), 32767U);
    w.password.Select(0, 1);
    k.KeyPress(u'y'); // a replaced selection still fits
    EXPECT_EQ(k.CurrentPassword().substr(0, 2), u"yx");

    // Tabs grow into line breaks when masked: cut at the limit, never half a line break.
    k.SetTextIsMasked(false);
    w.plain.text = std::u16string(20000, u'\t');
    k.SetTextIsMasked(true);
    EXPECT_EQ(k.CurrentPassword().size(), 32766U);
    EXPECT_EQ(w.password.text.size(), 32766U);

    // The on-screen Enter gives CR LF: one place short of the limit there is no room for it.
    k.SetTextIsMasked(false);
    w.plain.text = std::u16string(32766, u'x');
    w.plain.SetSelStart(32766);
    k.ButtonClick(w.Key(29)); // Enter
    EXPECT_EQ(w.plain.text.size(), 32766U);
}

TEST(ShiftCounterpart, GivesTheOtherCharacterOfTheSameUsKey) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"q", u"Q"},  {u"Q", u"q"},  {u"?", u"/"}, {u"/", u"?"}, {u" ", u" "}, {u"`", u"~"},
        {u"\"", u"'"}, {u"|", u"\\"}, {u"\t", u""}, {u"ab", u""}, {u"", u""},   {u"\u00e9", u""}};
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(Keyboard::ShiftCounterpart(in), out);
    }
}
