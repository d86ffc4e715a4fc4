#include "support/FakeServices.h"

#include <gtest/gtest.h>

using namespace mirvane;
using namespace mirvane::test;

using Physical = EngineTest;

TEST_F(Physical, ShiftAndCapsLockDriveTheCaptionsWhileMapped) {
    struct Case {
        std::vector<int> held; // the Shift keys down: either side alone counts
        bool capsLock, shifted;
        char16_t typed;
        std::u16string entered;
    };
    k.SetKeyboardLayoutType(0); // standard, mapped
    for (const Case& c : {Case{{}, false, false, u'q', u"q"}, Case{{16, 160}, false, true, u'Q', u"Q"},
                          Case{{161}, false, true, u'Q', u"Q"}, Case{{160}, false, true, u'Q', u"Q"},
                          Case{{}, true, true, u'1', u"!"}, Case{{16, 161}, true, false, u'q', u"q"}}) {
        k.ClearText();
        h.keyState.held = {c.held.begin(), c.held.end()};
        h.keyState.capsLock = c.capsLock;
        k.KeyDown(c.held.empty() ? 81 : 16, c.held.empty() ? 0 : 1);
        EXPECT_EQ(k.ShiftIsDown(), c.shifted);
        EXPECT_EQ(w.Key(31).caption, c.shifted ? u"A" : u"a");
        k.KeyPress(static_cast<std::int16_t>(c.typed));
        EXPECT_EQ(k.CurrentPassword(), c.entered);
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
