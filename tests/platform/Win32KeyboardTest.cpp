#include "platform/win32/Win32Keyboard.h"
#include "sendkeys/cSendKeys.h"
#include "support/RecordingInjector.h"

#include <gtest/gtest.h>

using namespace mirvane;

namespace {
struct Win32Keys : ::testing::Test {
    win32::Win32Keyboard keyboard;
    test::CountingPump pump;
    cSendKeys keys{keyboard, keyboard, pump};
};
} // namespace

TEST_F(Win32Keys, CharactersTranslateToTheKeysOfTheLayout) {
    for (const auto& [character, key] : {std::pair{u"a", 65}, {u"A", 65}, {u"1", 49}, {u"}", 221}}) {
        EXPECT_EQ(keys.KeyCode(character), key) << static_cast<char>(character[0]);
    }
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
