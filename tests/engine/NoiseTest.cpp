#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

using namespace mirvane;
using namespace mirvane::test;

namespace {
// One noise step on key number r (0 to 36) of the 36, with the next one due at the next tick.
void NoiseStep(EngineHarness& e, int r) {
    e.random.queued = {r / 36.0, 0.0};
    e.keyboard->RandomNoiseTimer();
}
using Keys = std::vector<KeyEvent>;
using NoiseSteps = EngineTest;
} // namespace

// The option's setter: the buffer, the visible line, the caret, the timer and entry mode.
TEST(NoiseOption, SwitchingOnAndOffRebuildsTheLineFromTheBuffer) {
    struct Case {
        const char* name;
        bool clickAb, masked;
        const char16_t* plainText; // typed into the plain line while it shows
        bool hover, on;
        const char16_t* buffer;
        const char16_t* line;
    };
    const Case cases[] = {
        {"on, masked: the buffer stays", true, true, u"", false, true, u"ab", u"**"},
        {"on, empty buffer, in clear: the line is the password", false, false, u"xy", false, true, u"xy", u"xy"},
        {"on in clear: the line is the newest text", true, false, u"xy", false, true, u"abxy", u"abxy"},
        {"on from hover entry", true, true, u"", true, true, u"ab", u"**"},
        {"off, masked: one star a character", true, true, u"", false, false, u"ab", u"**"},
        {"off in clear: the password itself", true, false, u"", false, false, u"ab", u"ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EngineHarness e;
        Keyboard& k = *e.keyboard;
        FakeWindow& w = *e.window;
        if (c.clickAb) {
            k.ButtonClick(w.Key(31)); // "a"
            k.ButtonClick(w.Key(47)); // "b"
        }
        if (!c.masked) {
            k.SetTextIsMasked(false);
        }
        for (const char16_t* p = c.plainText; *p != 0; ++p) {
            k.KeyPress(static_cast<std::int16_t>(*p));
        }
        if (c.hover) {
            k.SetInputMode(2);
        }
        k.SetObsfucate(true);
        FakeTextLine& line = c.masked ? w.password : w.plain;
        if (!c.on) {
            k.KeyPress(u'z'); // the person's, then noise, then Backspace takes the person's
            line.text += u"q";
            k.KeyPress(8);
            k.SetObsfucate(false);
        }
        EXPECT_EQ(k.CurrentPassword(), std::u16string(c.buffer));
        EXPECT_EQ(line.text, std::u16string(c.line));
        EXPECT_EQ(line.selStart, static_cast<std::int16_t>(line.text.size()));
        EXPECT_GT(line.focusCount, 0);
        EXPECT_EQ(w.noiseTimer.enabled, c.on);
        EXPECT_EQ(w.toolbar.values.at("Obsfucate"), c.on ? 1 : 0);
        EXPECT_EQ(k.InputMode(), 1);
        EXPECT_FALSE(w.timer1.enabled) << "hover entry ends";
    }
}

// The character each noise key is expected to give, for every Shift and Caps Lock state:
// digits follow Shift only; letters are upper case under Shift or a held Caps Lock, not both.
// Each key is released at once; a key the keyboard map cannot type now is not pressed.
TEST_F(NoiseSteps, EachKeysExpectedCharacterAndItsRelease) {
    const struct {
        bool shift, capsHeld;
        const char16_t* expected; // for r = 1, 3, 10, 11, 35, 0, 36
    } cases[] = {{false, false, u"029ayzz"}, {true, false, u")@(AYZZ"}, {false, true, u"029AYZZ"},
                 {true, true, u")@(ayzz"}};
    const int draws[] = {1, 3, 10, 11, 35, 0, 36};
    const char keys[] = "029AYZZ";
    for (const auto& c : cases) {
        h.keyState.held.clear();
        if (c.shift) {
            h.keyState.held.insert(160);
        }
        if (c.capsHeld) {
            h.keyState.held.insert(20);
        }
        for (std::size_t i = 0; i < std::size(draws); ++i) {
            SCOPED_TRACE(testing::Message() << "shift " << c.shift << " caps " << c.capsHeld << " r " << draws[i]);
            h.wire.events.clear();
            NoiseStep(h, draws[i]);
            EXPECT_EQ(k.NoiseChar(), std::u16string(1, c.expected[i]));
            EXPECT_EQ(h.wire.events, (Keys{Down(keys[i]), Up(keys[i])}));
        }
    }
    h.keyState.held = {160};
    h.wire.cannotType = u"@";
    h.wire.events.clear();
    NoiseStep(h, 3);
    EXPECT_TRUE(h.wire.events.empty());
}

// Over a million steps each key comes up within 3 % of its share, and the countdown takes
// its 26 values evenly, 0 and 25 half as often.
TEST(NoiseDraws, KeysAndCountdownsAreEvenlySpread) {
    EngineHarness e(2024);
    e.wire.keyboard = nullptr;
    std::map<int, int> keys;
    std::array<int, 26> countdowns{};
    const int steps = 1000000;
    int ticksSincePress = -1;
    for (int pressed = 0; pressed < steps + 1;) {
        e.wire.events.clear();
        e.keyboard->RandomNoiseTimer();
        ++ticksSincePress;
        if (e.wire.events.empty()) {
            continue;
        }
        if (pressed++ > 0) {
            ASSERT_LE(ticksSincePress, 26);
            ++countdowns[static_cast<std::size_t>(ticksSincePress - 1)];
        }
        ++keys[e.wire.events.front().key];
        ticksSincePress = 0;
    }
    EXPECT_EQ(keys.size(), 36u);
    for (const auto& [key, count] : keys) {
        EXPECT_NEAR(count, steps / 36.0, steps / 36.0 * 0.03) << static_cast<char>(key);
    }
    for (std::size_t value = 0; value < countdowns.size(); ++value) {
        const double share = steps / 25.0 * (value == 0 || value == 25 ? 0.5 : 1.0);
        EXPECT_NEAR(countdowns[value], share, share * 0.03) << value;
    }
}

// No noise while Ctrl or Alt is held: the countdown runs on below zero, and the first tick
// after the release types. Nor while another window is in front or no line has the focus.
TEST_F(NoiseSteps, NoneUnderCtrlOrAltOrInTheBackground) {
    k.SetObsfucate(true);
    for (int key : {17, 162, 163, 18}) {
        SCOPED_TRACE(key);
        h.wire.events.clear();
        h.keyState.held = {key};
        h.random.queued = {11 / 36.0, 0.0};
        for (int tick = 0; tick < 30; ++tick) {
            k.NoiseTimerTick();
        }
        EXPECT_TRUE(h.wire.events.empty());
        h.keyState.held.clear();
        k.NoiseTimerTick();
        EXPECT_EQ(h.wire.events, (Keys{Down('A'), Up('A')}));
    }
    for (bool inFront : {false, true}) {
        h.wire.foreground = inFront;
        w.lineHasFocus = !inFront;
        h.wire.events.clear();
        for (int tick = 0; tick < 30; ++tick) {
            k.NoiseTimerTick();
        }
        EXPECT_TRUE(h.wire.events.empty()) << inFront;
    }
}

// A noise key already on its way when the person selects (a double click before a drag)
// leaves the selection standing; the person's own key still types over it.
TEST_F(NoiseSteps, ANoiseKeyNeverTypesOverThePersonsSelection) {
    k.SetObsfucate(true);
    k.KeyPress(u'a');
    k.KeyPress(u'b');
    w.password.SetSelStart(0);
    w.password.SetSelLength(2);
    NoiseStep(h, 11); // "a"
    EXPECT_EQ(w.password.text, u"**");
    EXPECT_EQ(w.password.selLength, 2);
    k.KeyPress(u'd');
    EXPECT_EQ(w.password.text, u"*");
    EXPECT_EQ(k.CurrentPassword(), u"abd");
}

// Whatever the person types around and among noise keys, the buffer holds exactly what the
// person typed. A noise key's character arrives in its own pump, with at most one of the
// person's before or after it there; Shift may change just as the key goes down.
TEST(NoiseRecognition, TheBufferIsExactlyWhatThePersonTypedAmongNoise) {
    std::mt19937 draw(7);
    const std::u16string typable = u"abcxyzABCZ0129!@#)(-=[]{};:'\",.<>/?\\|`~ ";
    for (int run = 0; run < 300; ++run) {
        EngineHarness e(static_cast<unsigned>(run));
        Keyboard& k = *e.keyboard;
        k.SetObsfucate(true);
        std::u16string typed;
        for (int action = 0; action < 40; ++action) {
            const int r = static_cast<int>(draw() % 36) + 1;
            const char16_t coming = r <= 10 ? static_cast<char16_t>(u'0' + r - 1) : static_cast<char16_t>(u'a' + r - 11);
            const char16_t latest = k.NoiseChar().empty() ? u'q' : k.NoiseChar()[0];
            const std::array<char16_t, 6> choices{typable[draw() % typable.size()], 8, coming,
                                                   Keyboard::ShiftCounterpart(std::u16string(1, coming))[0], latest,
                                                   u'!'};
            const char16_t c = choices[draw() % choices.size()];
            const auto person = [&] {
                if (c != 8) {
                    typed.push_back(c);
                } else if (!typed.empty()) {
                    typed.pop_back();
                }
            };
            switch (draw() % 8) {
            case 0: // outside any pump
                k.KeyPress(static_cast<std::int16_t>(c));
                person();
                break;
            case 1: // just before the noise key's character, inside its pump
            case 2: // just after it
                (draw() % 2 == 0 ? e.wire.before : e.wire.after) = std::u16string(1, c);
                NoiseStep(e, r);
                person();
                break;
            case 3:
                NoiseStep(e, r);
                break;
            case 4: // Shift changes as the noise key goes down
                e.wire.flipShiftOnPress = true;
                NoiseStep(e, r);
                break;
            case 5:
                if (!e.keyState.held.erase(160)) {
                    e.keyState.held.insert(160);
                }
                break;
            case 6: // the plain line, holding noise, shows and hides again
                k.SetTextIsMasked(!k.TextIsMasked());
                break;
            default:
                e.keyState.capsLock = !e.keyState.capsLock;
                break;
            }
            ASSERT_EQ(k.CurrentPassword(), typed) << "run " << run << " action " << action;
        }
    }
}
