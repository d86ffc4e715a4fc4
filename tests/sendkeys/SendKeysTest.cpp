#include "support/RecordingInjector.h"

#include "common/ErrorObject.h"
#include "sendkeys/cSendKeys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using namespace mirvane;
using namespace mirvane::test;

namespace {
struct SendKeysFixture : ::testing::Test {
    RecordingInjector injector;
    UsLayout layout;
    CountingPump pump;
    cSendKeys keys{injector, layout, pump};

    // Runs a call that must fail; returns the error.
    ErrorObject Thrown(const std::function<void()>& call) {
        try {
            call();
        } catch (const ErrorObject& error) {
            return error;
        }
        ADD_FAILURE() << "the call did not fail";
        return ErrorObject(-1, "", "");
    }
    ErrorObject Failure(const std::u16string& command) {
        return Thrown([&] { keys.SendKeys(command); });
    }
    std::vector<KeyEvent> Tap(int key) { return {Down(key), Up(key)}; }
};

std::vector<KeyEvent> operator+(std::vector<KeyEvent> a, const std::vector<KeyEvent>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
} // namespace

// Characters, modifiers, held groups, Enter and named keys with repetitions, as the strokes each sends.
TEST_F(SendKeysFixture, EachCommandSendsItsKeyStrokes) {
    const auto hold = [](int key, const std::vector<KeyEvent>& inner) {
        return std::vector<KeyEvent>{Down(key)} + inner + std::vector<KeyEvent>{Up(key)};
    };
    const std::pair<std::u16string, std::vector<KeyEvent>> cases[] = {
        {u"", {}},
        {u"ab", Tap(65) + Tap(66)},
        {u"+a", Tap(16) + Tap(65)},
        {u"+(a)", hold(16, Tap(65))},
        {u"+(^(a))", hold(16, hold(17, Tap(65)))},
        {u"%(xy)^", hold(18, Tap(88) + Tap(89)) + Tap(17)},
        {u"A", Tap(65)},
        {u"\u00e9", Tap(255)}, // the layout lacks it
        {u"}", Tap(221)},
        {u"~{ENTER}{enter}{~}{Enter 1}", Tap(13) + Tap(13) + Tap(13) + Tap(13) + Tap(13)},
        {u"{TAB 3}", Tap(9) + Tap(9) + Tap(9)},
        {u"{a 0}", {}},
        {u"{a 2.5}", Tap(65) + Tap(65)}, // halves to even
        {u"{a +1e0}", Tap(65)},
        {u"{a -3}", {}},
        {u"{QWERTY}", Tap(81)}, // not a name: its first character's key
        {u"{}}", Tap(221)},
        {u"{{}", Tap(219)},
        {u"{F16}{prtsc}{del}", Tap(127) + Tap(42) + Tap(46)},
        {u"{bs}{BKSP}{backspace}", Tap(8) + Tap(8) + Tap(8)},
    };
    for (const auto& [command, events] : cases) {
        injector.events.clear();
        keys.SendKeys(command);
        EXPECT_EQ(injector.events, events) << std::string(command.begin(), command.end());
    }
}

TEST_F(SendKeysFixture, SyntaxErrorsNameTheirPositionAndReleaseModifiers) {
    const std::pair<std::u16string, std::string> cases[] = {
        {u"{a x}", "Invalid sendkeys command; key repetitions 'x' is invalid near position 6"},
        {u"ab{a 1x}", "Invalid sendkeys command; key repetitions '1x' is invalid near position 9"},
        {u"{a 1e}", "Invalid sendkeys command; key repetitions '1e' is invalid near position 7"},
        {u"{a .}", "Invalid sendkeys command; key repetitions '.' is invalid near position 6"},
        {u"{", "Invalid sendkeys command; opening { without content or closing } at position 1"},
        {u"{}", "Invalid sendkeys command; opening { without content or closing } at position 1"},
        {u"{}x", "Invalid sendkeys command; opening { without closing } at position 1"},
        {u")", "Invalid sendkeys command: unmatched ) at position 1"},
        {u"+(a))", "Invalid sendkeys command: unmatched ) at position 5"},
        {u"+(", "Invalid sendkeys command: more open brackets than close brackets."},
        {u"+(^(a{", "Invalid sendkeys command; opening { without content or closing } at position 6"},
    };
    for (const auto& [command, message] : cases) {
        injector.events.clear();
        const ErrorObject error = Failure(command);
        SCOPED_TRACE(std::string(command.begin(), command.end()));
        EXPECT_EQ(error.Description(), message);
        EXPECT_EQ(error.Number(), 0);
        EXPECT_EQ(error.Source(), "mirvane.cSendKeys");
        const auto& sent = injector.events;
        const auto downs = std::count_if(sent.begin(), sent.end(), [](auto& e) { return e.down; });
        EXPECT_EQ(2 * downs, std::ssize(sent)) << "every key that went down came up";
    }
    EXPECT_EQ(injector.events, (std::vector<KeyEvent>{Down(16), Down(17), Down(65), Up(65), Up(17), Up(16)}))
        << "the last command's";
}

TEST_F(SendKeysFixture, KeysThatCannotBeInterpretedFail) {
    // An empty name is no key.
    const ErrorObject empty = Failure(u"+({ 3})");
    EXPECT_EQ(empty.Number(), 9);
    EXPECT_EQ(empty.Source(), "mirvane.cSendKeys");
    EXPECT_EQ(injector.events.back(), Up(16));

    // A key stroke the system refuses ends the run with its message, modifiers released.
    injector.events.clear();
    injector.limit = 3;
    const ErrorObject refused = Failure(u"^(abc)");
    EXPECT_EQ(refused.Description(), "input queue full");
    EXPECT_EQ(injector.events, (std::vector<KeyEvent>{Down(17), Down(65), Up(65), Up(17)}));
}

// What the command tests do not reach: the pump after each stroke, the extended flag, codes that are no key.
TEST_F(SendKeysFixture, KeyPrimitives) {
    const int pumps = pump.pumps;
    keys.KeyDown(0);
    keys.KeyUp(0);
    EXPECT_EQ(pump.pumps, pumps + 2);
    EXPECT_EQ(injector.lastFlags, kKeyEventExtendedKey | kKeyEventKeyUp);

    injector.events.clear();
    for (int code : {-1, 256, 100000}) {
        EXPECT_THROW(keys.KeyDown(code), ErrorObject) << code;
    }
    EXPECT_TRUE(injector.events.empty());
    EXPECT_EQ(Thrown([&] { keys.KeyCode(u""); }).Number(), 9) << "an empty key has no code";
    EXPECT_EQ(Thrown([&] { keys.KeyPress(u"", 1); }).Number(), 9);
}
