#include "platform/win32/Win32Keyboard.h"
#include "sendkeys/cSendKeys.h"

#include <gtest/gtest.h>

using namespace mirvane;

namespace {
class NoPump final : public EventPump {
public:
    void ProcessPendingEvents() override { ++pumps; }
    int pumps = 0;
};

struct Win32Keys : ::testing::Test {
    win32::Win32Keyboard keyboard;
    NoPump pump;
    cSendKeys keys{keyboard, keyboard, pump};
};
} // namespace

TEST_F(Win32Keys, CharactersTranslateToTheKeysOfTheLayout) {
    EXPECT_EQ(keys.KeyCode(u"a"), 65);
    EXPECT_EQ(keys.KeyCode(u"A"), 65);
    EXPECT_EQ(keys.KeyCode(u"1"), 49);
    EXPECT_EQ(keys.KeyCode(u"}"), 221);
}

TEST_F(Win32Keys, AKeyDownShowsInTheAsyncStateAndItsKeyUpClearsIt) {
    for (int key : {65, 16}) {
        keys.KeyDown(key);
        EXPECT_NE(keyboard.GetAsyncKeyState(key) & 0x8000, 0) << key;
        keys.KeyUp(key);
        EXPECT_EQ(keyboard.GetAsyncKeyState(key) & 0x8000, 0) << key;
    }
    EXPECT_EQ(pump.pumps, 4);
    // Left down, as at a crash: let go, with the same extended flag, once.
    keys.KeyDown(65);
    keyboard.KeyboardEvent(163, kKeyEventExtendedKey); // the right Ctrl
    win32::ReleaseKeysStillDown();
    EXPECT_EQ(keyboard.GetAsyncKeyState(65) & 0x8000, 0);
    EXPECT_EQ(keyboard.GetAsyncKeyState(163) & 0x8000, 0);
}
