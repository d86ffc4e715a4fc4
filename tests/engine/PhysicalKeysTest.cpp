#include "support/FakeServices.h"

#include <gtest/gtest.h>

using namespace mirvane;
using namespace mirvane::test;

using Physical = EngineTest;

TEST_F(Physical, ShiftAndCapsLockDriveTheCaptionsWhileMapped) {
    // The Shift keys held (either side alone counts), Caps Lock, then the character typed.
    using Case = std::tuple<std::set<int>, bool, bool, char16_t, std::u16string>;
    k.SetKeyboardLayoutType(0); // standard, mapped
    for (const auto& [held, capsLock, shifted, typed, entered] :
         {Case{{}, false, false, u'q', u"q"}, Case{{16, 160}, false, true, u'Q', u"Q"},
          Case{{161}, false, true, u'Q', u"Q"}, Case{{160}, false, true, u'Q', u"Q"},
          Case{{}, true, true, u'1', u"!"}, Case{{16, 161}, true, false, u'q', u"q"}}) {
        k.ClearText();
        h.keyState.held = held;
        h.keyState.capsLock = capsLock;
        k.KeyDown(held.empty() ? 81 : 16, held.empty() ? 0 : 1);
        EXPECT_EQ(k.ShiftIsDown(), shifted);
        EXPECT_EQ(w.Key(31).caption, shifted ? u"A" : u"a");
        k.KeyPress(static_cast<std::int16_t>(typed));
        EXPECT_EQ(k.CurrentPassword(), entered);
    }
    // Releasing Shift with Caps Lock off gives the normal set again.
    h.keyState.held.clear();
    h.keyState.capsLock = false;
    k.KeyUp(16, 0);
    EXPECT_FALSE(k.ShiftIsDown());
    EXPECT_EQ(w.Key(31).caption, u"a");
}

TEST_F(Physical, APhysicalShiftLeavesTheOnScreenLatchAloneUnlessMapped) {
    k.ButtonClick(w.Key(42)); // latch the on-screen Shift
    h.keyState.held.insert(16);
    k.KeyDown(16, 1);
    h.keyState.held.clear();
    k.KeyUp(16, 0);
    EXPECT_TRUE(k.ShiftIsDown());

    k.SetKeyboardLayoutType(1); // mapped: the physical state wins
    k.KeyUp(16, 0);
    EXPECT_FALSE(k.ShiftIsDown());
}
