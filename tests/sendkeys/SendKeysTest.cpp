#include "support/RecordingInjector.h"

#include "common/ErrorObject.h"
#include "sendkeys/cSendKeys.h"

#include <gtest/gtest.h>

#include <functional>

using namespace mirvane;
using namespace mirvane::test;

namespace {
struct SendKeysFixture : ::testing::Test {
    RecordingInjector injector;
    UsLayout layout;
    CountingPump pump;
    cSendKeys keys{injector, layout, pump};

    // Runs a command that must fail; returns the error.
    ErrorObject Failure(const std::u16string& command) {
        try {
            keys.SendKeys(command);
        } catch (const ErrorObject& error) {
            return error;
        }
        ADD_FAILURE() << "the command did not fail";
        return ErrorObject(-1, "", "");
    }
    std::vector<KeyEvent> Tap(int key) { return {Down(key), Up(key)}; }
};

std::vector<KeyEvent> operator+(std::vector<KeyEvent> a, const std::vector<KeyEvent>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
} // namespace

// Characters, modifiers, groups held under a modifier, Enter, and named keys in braces
// with their repetition counts, each as the key strokes it sends.
TEST_F(SendKeysFixture, EachCommandSendsItsKeyStrokes) {
    const auto hold = [this](std::vector<int> modifiers, std::vector<KeyEvent> inner) {
        std::vector<KeyEvent> events;
        for (int key : modifiers) {
            events.push_back(Down(key));
        }
        events = events + inner;
        for (auto key = modifiers.rbegin(); key != modifiers.rend(); ++key) {
            events.push_back(Up(*key));
        }
        return events;
    };
    const std::pair<std::u16string, std::vector<KeyEvent>> cases[] = {
        {u"", {}},
        {u"ab", Tap(65) + Tap(66)},
        {u"+a", Tap(16) + Tap(65)},
        {u"+(a)", hold({16}, Tap(65))},
        {u"+(^(a))", hold({16, 17}, Tap(65))},
        {u"%(xy)^", hold({18}, Tap(88) + Tap(89)) + Tap(17)},
        {u"A", Tap(65)},
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
    struct Case {
        std::u16string command;
        std::string message;
    };
    const std::vector<Case> cases{
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
    for (const Case& c : cases) {
        injector.events.clear();
        const ErrorObject error = Failure(c.command);
        SCOPED_TRACE(std::string(c.command.begin(), c.command.end()));
        EXPECT_EQ(error.Description(), c.message);
        EXPECT_EQ(error.Number(), 0);
        EXPECT_EQ(error.Source(), "mirvane.cSendKeys");
        // Every modifier that went down came up again.
        int held[256] = {};
        for (const KeyEvent& e : injector.events) {
            held[e.key] += e.down ? 1 : -1;
        }
        for (int key : {16, 17, 18}) {
            EXPECT_EQ(held[key], 0) << key;
        }
    }
    injector.events.clear();
    Failure(u"+(^(a{");
    EXPECT_EQ(injector.events, (std::vector<KeyEvent>{Down(16), Down(17), Down(65), Up(65), Up(17), Up(16)}));
}

TEST_F(SendKeysFixture, KeysThatCannotBeInterpretedFail) {
    // An empty name is no key; a character the layout lacks gives 255, which is sent.
    const ErrorObject empty = Failure(u"+({ 3})");
    EXPECT_EQ(empty.Number(), 9);
    EXPECT_EQ(empty.Source(), "mirvane.cSendKeys");
    EXPECT_EQ(injector.events.back(), Up(16));

    injector.events.clear();
    keys.SendKeys(u"\u00e9");
    EXPECT_EQ(injector.events, Tap(255));

    // A key stroke the system refuses ends the run with its message, modifiers released.
    injector.events.clear();
    injector.limit = 3;
    const ErrorObject refused = Failure(u"^(abc)");
    EXPECT_EQ(refused.Description(), "input queue full");
    injector.limit = -1;
    EXPECT_EQ(injector.events, (std::vector<KeyEvent>{Down(17), Down(65), Up(65), Up(17)}));
}

// What the command tests do not reach: the pump after each stroke, the extended flag, and
// codes or names that are no key.
TEST_F(SendKeysFixture, KeyPrimitives) {
    EXPECT_EQ(keys.KeyCode(u"A"), 65);
    EXPECT_EQ(keys.KeyCode(u"\u00e9"), 255);
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
    const std::function<void()> emptyKeys[] = {[&] { keys.KeyCode(u""); }, [&] { keys.KeyPress(u"", 1); }};
    for (const auto& call : emptyKeys) {
        try {
            call();
            ADD_FAILURE() << "an empty key has a code";
        } catch (const ErrorObject& error) {
            EXPECT_EQ(error.Number(), 9);
        }
    }
}
