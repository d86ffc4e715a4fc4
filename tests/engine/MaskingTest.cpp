#include "support/FakeServices.h"

#include <gtest/gtest.h>

using namespace mirvane;
using namespace mirvane::test;

namespace {
struct Masking : EngineTest {

    void MaskPlainText(const std::u16string& plain) {
        k.SetTextIsMasked(false);
        w.plain.text = plain;
        k.SetTextIsMasked(true);
    }
};
} // namespace

TEST_F(Masking, TheFirstLineOfThePlainTextBecomesThePassword) {
    struct Case {
        std::u16string plain;
        std::u16string password;
    };
    for (const Case& c : {Case{u"abc\r\ndef", u"abc"}, Case{u"a\tb", u"a\r\nb"}, Case{u"", u""},
                          Case{u"\r\nabc", u""}, Case{u"x\ty\tz\r\n\t", u"x\r\ny\r\nz"}}) {
        MaskPlainText(c.plain);
        EXPECT_EQ(k.CurrentPassword(), c.password);
        EXPECT_EQ(w.password.text, std::u16string(c.password.size(), u'*'));
        EXPECT_EQ(w.plain.text, u"") << "the hidden plain line keeps no password";
    }
}

TEST_F(Masking, SwitchingShowsOneLineAndSetsTheKeysAndMenu) {
    k.SetTextIsMasked(false);
    EXPECT_TRUE(w.plain.visible);
    EXPECT_FALSE(w.password.visible);
    EXPECT_EQ(w.password.passwordChar, u"");
    EXPECT_TRUE(w.Key(16).enabled);
    EXPECT_TRUE(w.Key(29).enabled);
    EXPECT_FALSE(w.MenuFake(Menu::ViewPasswordMask).checked);
    EXPECT_EQ(w.toolbar.values["ToggleMask"], 1);

    w.MenuFake(Menu::ModeHiddenMouseAndHover).enabled = false;
    k.SetTextIsMasked(true);
    EXPECT_FALSE(w.plain.visible);
    EXPECT_TRUE(w.password.visible);
    EXPECT_EQ(w.password.passwordChar, u"*");
    EXPECT_FALSE(w.Key(16).enabled);
    EXPECT_FALSE(w.Key(29).enabled);
    EXPECT_TRUE(w.MenuFake(Menu::ViewPasswordMask).checked);
    EXPECT_TRUE(w.MenuFake(Menu::ModeHiddenMouseAndHover).enabled);
    EXPECT_EQ(w.toolbar.values["ToggleMask"], 0);
}

TEST_F(Masking, HighlightTextSelectsTheMaskedLineOrPutsTheCaretAfterThePassword) {
    k.KeyPress(u'a');
    k.KeyPress(u'b');
    k.HighlightText();
    EXPECT_EQ(w.password.selStart, 0);
    EXPECT_EQ(w.password.selLength, 2);
    k.SetTextIsMasked(false);
    w.plain.SetSelStart(0);
    k.HighlightText();
    EXPECT_EQ(w.plain.selStart, 2);
}
