#include "support/FakeServices.h"

#include <gtest/gtest.h>

using namespace mirvane;
using namespace mirvane::test;

namespace {
struct Physical : ::testing::Test {
    EngineHarness h;
    Keyboard& k = *h.keyboard;
    FakeWindow& w = *h.window;
    FakeKeyState& keys = h.keyState;

    // A physical key as the text line reports it: down, the character, up.
    void TypeKey(std::int16_t code, char16_t character) {
        k.KeyDown(code, 0);
        k.KeyPress(static_cast<std::int16_t>(character));
        k.KeyUp(code, 0);
    }
};
} // namespace

TEST_F(Physical, ShiftAndCapsLockDriveTheCaptionsWhileMapped) {
    struct Case {
        bool shiftHeld;
        bool capsLock;
        bool shifted;
        char16_t typed;
        std::u16string entered;
    };
    k.SetKeyboardLayoutType(0); // standard, mapped
    for (const Case& c : {Case{false, false, false, u'q', u"q"}, Case{true, false, true, u'Q', u"Q"},
                          Case{false, true, true, u'1', u"!"}, Case{true, true, false, u'q', u"q"}}) {
        k.ClearText();
        keys.held.clear();
        if (c.shiftHeld) {
            keys.held.insert(16);
            keys.held.insert(160);
        }
        keys.capsLock = c.capsLock;
        k.KeyDown(c.shiftHeld ? 16 : 81, c.shiftHeld ? 1 : 0);
        EXPECT_EQ(k.ShiftIsDown(), c.shifted);
        EXPECT_EQ(w.Key(31).caption, c.shifted ? u"A" : u"a");
        k.KeyPress(static_cast<std::int16_t>(c.typed));
        EXPECT_EQ(k.CurrentPassword(), c.entered);
    }
    // Releasing Shift with Caps Lock off gives the normal set again.
    keys.held.clear();
    keys.capsLock = false;
    k.KeyUp(16, 0);
    EXPECT_FALSE(k.ShiftIsDown());
    EXPECT_EQ(w.Key(31).caption, u"a");
}

TEST_F(Physical, DvorakAndScrambledLayoutsMapThePhysicalKeys) {
    k.SetKeyboardLayoutType(1);
    TypeKey(81, u'q');
    EXPECT_EQ(k.CurrentPassword(), w.Key(17).caption);
    EXPECT_EQ(k.CurrentPassword(), u"'");

    k.ClearText();
    k.SetKeyboardLayoutType(3);
    std::u16string expected;
    for (const auto& [character, button] :
         std::vector<std::pair<char16_t, int>>{{u'q', 17}, {u'a', 31}, {u'/', 52}, {u'1', 2}}) {
        TypeKey(0, character);
        expected += w.Key(button).caption == u"&&" ? u"&" : w.Key(button).caption;
    }
    EXPECT_EQ(k.CurrentPassword(), expected);
    EXPECT_EQ(w.password.text, u"****");

    // Scrambling the on-screen keys alone leaves typing as it is.
    k.ClearText();
    k.SetKeyboardLayoutType(2);
    TypeKey(81, u'q');
    EXPECT_EQ(k.CurrentPassword(), u"q");
}

TEST_F(Physical, TheAmpersandKeyMapsToOneAmpersand) {
    k.SetKeyboardLayoutType(1);
    keys.held.insert(16);
    k.KeyDown(16, 1);
    TypeKey(55, u'&');
    EXPECT_EQ(k.CurrentPassword(), u"&");
}

TEST_F(Physical, DeleteInTheMaskedLineKeepsTheBufferInStep) {
    for (char16_t c : std::u16string(u"abcd")) {
        k.KeyPress(static_cast<std::int16_t>(c));
    }
    k.KeyDown(46, 0); // caret at the end: nothing after it
    EXPECT_EQ(k.CurrentPassword(), u"abcd");
    w.password.SetSelStart(3);
    k.KeyDown(46, 0);
    EXPECT_EQ(k.CurrentPassword(), u"abc");
    w.password.SetSelStart(0);
    w.password.SetSelLength(2);
    k.KeyDown(46, 0);
    EXPECT_EQ(k.CurrentPassword(), u"c");
    // The engine leaves the line to the text box.
    EXPECT_EQ(w.password.text, u"****");

    // In clear, Delete is the text box's alone.
    k.SetTextIsMasked(false);
    w.plain.SetSelStart(0);
    k.KeyDown(46, 0);
    EXPECT_EQ(k.CurrentPassword(), u"c");
}

TEST_F(Physical, APhysicalShiftLeavesTheOnScreenLatchAloneUnlessMapped) {
    k.ButtonClick(w.Key(42)); // latch the on-screen Shift
    keys.held.insert(16);
    k.KeyDown(16, 1);
    keys.held.clear();
    k.KeyUp(16, 0);
    EXPECT_TRUE(k.ShiftIsDown());

    k.SetKeyboardLayoutType(1); // mapped: the physical state wins
    k.KeyUp(16, 0);
    EXPECT_FALSE(k.ShiftIsDown());
}
