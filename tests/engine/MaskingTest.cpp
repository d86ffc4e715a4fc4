#include "support/FakeServices.h"

#include <gtest/gtest.h>

using namespace mirvane;
using namespace mirvane::test;

using Masking = EngineTest;

TEST_F(Masking, TheFirstLineOfThePlainTextBecomesThePasswordAndHighlightTextSelectsIt) {
    using Case = std::pair<std::u16string, std::u16string>;
    for (const auto& [plain, password] :
         {Case{u"a\tb", u"a\r\nb"}, Case{u"", u""}, Case{u"\r\nabc", u""},
          Case{u"x\ty\tz\r\n\t", u"x\r\ny\r\nz"}, Case{u"abc\r\ndef", u"abc"}}) {
        k.SetTextIsMasked(false);
        w.plain.text = plain;
        k.SetTextIsMasked(true);
        EXPECT_EQ(k.CurrentPassword(), password);
        EXPECT_EQ(w.password.text, std::u16string(password.size(), u'*'));
        EXPECT_EQ(w.plain.text, u"") << "the hidden plain line keeps no password";
    }
    w.password.SetSelStart(2);
    k.HighlightText();
    EXPECT_EQ(w.password.selStart, 0);
    EXPECT_EQ(w.password.selLength, 3);
    k.SetTextIsMasked(false);
    w.plain.SetSelStart(0);
    k.HighlightText();
    EXPECT_EQ(w.plain.selStart, 3);
}

TEST_F(Masking, SwitchingShowsOneLineAndSetsTheKeysAndMenu) {
    for (const bool masked : {false, true}) {
        w.MenuFake(Menu::ModeHiddenMouseAndHover).enabled = false;
        k.SetTextIsMasked(masked);
        SCOPED_TRACE(masked ? "masked" : "clear");
        EXPECT_EQ(w.plain.visible, !masked);
        EXPECT_EQ(w.password.visible, masked);
        EXPECT_EQ(w.password.passwordChar, masked ? u"*" : u"");
        EXPECT_EQ(w.Key(16).enabled, !masked);
        EXPECT_EQ(w.Key(29).enabled, !masked);
        EXPECT_EQ(w.MenuFake(Menu::ViewPasswordMask).checked, masked);
        EXPECT_EQ(w.MenuFake(Menu::ModeHiddenMouseAndHover).enabled, masked);
        EXPECT_EQ(w.toolbar.values["ToggleMask"], masked ? 0 : 1);
    }
}
