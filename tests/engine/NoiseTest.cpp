#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <random>

using namespace mirvane;
using namespace mirvane::test;

namespace {
using Keys = std::vector<KeyEvent>;
using NoiseSteps = EngineTest;

std::ptrdiff_t Presses(const Keys& events) { return std::ranges::count_if(events, &KeyEvent::down); }

// Ticks until noise key r (0 to 36) of the 36 goes down, the next due as soon as it may be;
// returns the ticks it took, 0 for none.
int NoiseStep(EngineHarness& e, int r) {
    e.random.queued = {r / 36.0};
    const std::ptrdiff_t before = Presses(e.wire.events);
    for (int tick = 1; tick <= 30; ++tick) {
        e.keyboard->RandomNoiseTimer();
        if (Presses(e.wire.events) > before) {
            return tick;
        }
    }
    return 0;
}
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
        {"on, empty, in clear: the line is the password", false, false, u"xy", false, true, u"xy", u"xy"},
        {"on in clear: the line is the newest text", true, false, u"xy", false, true, u"abxy", u"abxy"},
        {"on from hover entry", true, true, u"", true, true, u"ab", u"**"},
        {"off, masked: one star a character", true, true, u"", false, false, u"ab", u"**"},
        {"off in clear: the password itself", true, false, u"", false, false, u"ab", u"ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EngineHarness e;
        if (c.clickAb) {
            e.k.ButtonClick(e.w.Key(31)); // "a"
            e.k.ButtonClick(e.w.Key(47)); // "b"
        }
        if (!c.masked) {
            e.k.SetTextIsMasked(false);
        }
        e.Type(c.plainText);
        e.k.SetInputMode(c.hover ? 2 : 1);
        e.k.SetObsfucate(true);
        FakeTextLine& line = c.masked ? e.w.password : e.w.plain;
        if (!c.on) {
            e.k.KeyPress(u'z'); // the person's, then noise, then Backspace takes the person's
            line.text += u"q";
            e.k.KeyPress(8);
            e.k.SetObsfucate(false);
        }
        EXPECT_EQ(e.k.CurrentPassword(), std::u16string(c.buffer));
        EXPECT_EQ(line.text, std::u16string(c.line));
        EXPECT_EQ(line.selStart, static_cast<std::int16_t>(line.text.size()));
        EXPECT_GT(line.focusCount, 0);
        EXPECT_EQ(e.w.noiseTimer.enabled, c.on);
        EXPECT_EQ(e.w.toolbar.values.at("Obsfucate"), c.on ? 1 : 0);
        EXPECT_EQ(e.k.InputMode(), 1);
        EXPECT_FALSE(e.w.timer1.enabled) << "hover entry ends";
    }
}

// Each noise key's character under Shift and Caps Lock: digits follow Shift only; letters are
// upper case under Shift or a held Caps Lock, not both. A key the map cannot type is not pressed.
TEST_F(NoiseSteps, EachKeysExpectedCharacter) {
    const struct {
        std::set<int> held;       // nothing, Shift, Caps Lock, both
        const char16_t* expected; // for r = 1, 3, 10, 11, 35, 0, 36
    } cases[] = {{{}, u"029ayzz"}, {{160}, u")@(AYZZ"}, {{20}, u"029AYZZ"}, {{160, 20}, u")@(ayzz"}};
    const int draws[] = {1, 3, 10, 11, 35, 0, 36};
    const char keys[] = "029AYZZ";
    for (const auto& c : cases) {
        h.keyState.held = c.held;
        for (std::size_t i = 0; i < std::size(draws); ++i) {
            SCOPED_TRACE(testing::Message() << "case " << &c - cases << " r " << draws[i]);
            k.ReleaseNoiseKeys();
            h.wire.events.clear();
            ASSERT_GT(NoiseStep(h, draws[i]), 0);
            EXPECT_EQ(k.NoiseChar(), std::u16string(1, c.expected[i]));
            EXPECT_EQ(h.wire.events, (Keys{Down(keys[i])}));
        }
    }
    EngineHarness e;
    e.keyState.held = {160};
    e.wire.cannotType = u"@";
    e.random.queued = {3 / 36.0};
    e.k.RandomNoiseTimer();
    EXPECT_TRUE(e.wire.events.empty());
}

// The noise keeps the person's rhythm: before their first keys a typist's, then holds and
// gaps as long as theirs, to the millisecond, three streams of them, so that three presses in
// four are noise for a slow and a fast typist alike; but no hold reaches two thirds of the
// system's repeat delay.
TEST(NoiseRhythm, HoldsAndGapsFollowThePersonsOwnKeys) {
    const struct {
        const char* name;
        int hold, gap; // the person's, in ms; no gap: nobody types
        int repeatDelay;
        int shortestHold, longestHold; // the noise's, in ms
        double fewestPerSecond, mostPerSecond;
    } cases[] = {
        {"nobody yet: a typist's", 0, 0, 660, 50, 160, 12.0, 16.0},
        {"fast, 96 ms holds 144 ms apart", 96, 144, 660, 94, 98, 18.0, 22.0},
        {"slow, 128 ms holds 544 ms apart", 128, 544, 660, 126, 130, 4.8, 6.0},
        {"long holds, under the repeat delay", 304, 544, 300, 200, 200, 4.8, 6.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EngineHarness e(99);
        e.wire.repeatDelay = c.repeatDelay;
        e.k.SetObsfucate(true);
        std::map<int, int> downAt;
        std::set<int> holds;
        int noise = 0, person = 0, clock = 0, presses = 0, nextDown = 0, nextUp = -1;
        const int warmUp = 40 * std::max(c.gap, 100), end = warmUp + 50000;
        const auto key = [](int press) { return static_cast<std::int16_t>(0xBA + press % 6); }; // never noise keys
        while (clock < end) {
            clock += e.w.noiseTimer.interval; // the tick that comes next, and the person's keys before it
            while (c.gap > 0 && std::min(nextDown, nextUp < 0 ? clock : nextUp) < clock) {
                e.now = nextUp >= 0 && nextUp < nextDown ? std::exchange(nextUp, -1) : nextDown;
                if (e.now == nextDown) {
                    e.k.KeyDown(key(presses++), 0);
                    person += e.now >= warmUp;
                    nextUp = nextDown + c.hold;
                    nextDown += c.gap;
                } else {
                    e.k.KeyUp(key(presses - 1), 0);
                }
            }
            e.now = clock;
            const std::size_t before = e.wire.events.size();
            e.k.NoiseTimerTick();
            for (auto event = e.wire.events.begin() + static_cast<std::ptrdiff_t>(before); event != e.wire.events.end();
                 ++event) {
                if (event->down) {
                    downAt[event->key] = clock;
                    noise += clock >= warmUp;
                } else if (clock >= warmUp) {
                    holds.insert(clock - downAt[event->key]);
                }
            }
        }
        EXPECT_GE(*holds.begin(), c.shortestHold);
        EXPECT_LE(*holds.rbegin(), c.longestHold);
        const double perSecond = noise / ((end - warmUp) / 1000.0);
        EXPECT_GE(perSecond, c.fewestPerSecond);
        EXPECT_LE(perSecond, c.mostPerSecond);
        if (person > 0) {
            EXPECT_GE(noise, 2 * person) << "at least two presses in three are noise";
        }
    }
}

// Each key comes within 4 % of its share.
TEST(NoiseDraws, KeysAreEvenlySpread) {
    EngineHarness e(2024);
    e.wire.keyboard = nullptr;
    std::map<int, int> keys;
    const int presses = 200000;
    for (int pressed = 0; pressed < presses;) {
        const std::size_t before = e.wire.events.size();
        e.keyboard->RandomNoiseTimer();
        for (auto event = e.wire.events.begin() + static_cast<std::ptrdiff_t>(before); event != e.wire.events.end();
             ++event) {
            if (event->down) {
                ++keys[event->key];
                ++pressed;
            }
        }
        if (e.wire.events.size() > 64) {
            e.wire.events.clear();
        }
    }
    EXPECT_EQ(keys.size(), 36u);
    for (const auto& [key, count] : keys) {
        EXPECT_NEAR(count, presses / 36.0, presses / 36.0 * 0.04) << static_cast<char>(key);
    }
}

// No noise under a modifier but Shift (AltGr would give another character, Super a shortcut),
// and after the release the streams go on as they were, not in a burst. Nor in the background,
// where a key that is down goes up at once.
TEST_F(NoiseSteps, NoneUnderAModifierOrInTheBackground) {
    k.SetObsfucate(true);
    for (int key : {17, 162, 163, 18, 0}) {
        SCOPED_TRACE(key);
        k.ReleaseNoiseKeys();
        h.wire.events.clear();
        h.keyState.held = {key};
        h.keyState.otherModifier = key == 0;
        h.random.queued = {11 / 36.0};
        for (int tick = 0; tick < 60; ++tick) {
            k.NoiseTimerTick();
        }
        EXPECT_TRUE(h.wire.events.empty());
        h.keyState.held.clear();
        h.keyState.otherModifier = false;
        int ticks = 1;
        for (; Presses(h.wire.events) == 0 && ticks < 30; ++ticks) {
            k.NoiseTimerTick();
        }
        EXPECT_EQ(h.wire.events.front(), Down('A'));
        EXPECT_GT(ticks, 1) << "no stream was kept waiting";
    }
    for (bool inFront : {false, true}) {
        k.ReleaseNoiseKeys();
        ASSERT_GT(NoiseStep(h, 11), 0);
        h.wire.foreground = inFront;
        w.lineHasFocus = !inFront;
        h.wire.events.clear();
        k.NoiseTimerTick();
        EXPECT_EQ(h.wire.events, Keys{Up('A')}) << "without the focus or behind another window, up at once";
        for (int tick = 0; tick < 30; ++tick) {
            k.NoiseTimerTick();
        }
        EXPECT_EQ(Presses(h.wire.events), 0) << inFront;
        EXPECT_FALSE(k.NoiseKeyHeld()) << "released whichever window is in front";
        h.wire.foreground = true;
        w.lineHasFocus = true;
    }
}

// No noise key goes down over a selection (a double click before a drag), which it would type
// away; a key already on its way when the person selected leaves the selection standing.
TEST_F(NoiseSteps, NoNoiseKeyOverThePersonsSelection) {
    k.SetObsfucate(true);
    h.Type(u"ab");
    w.password.Select(0, 2);
    EXPECT_EQ(NoiseStep(h, 11), 0);
    k.KeyPress(u'd');
    EXPECT_EQ(w.password.text, u"*");
    EXPECT_GT(NoiseStep(h, 11), 0);
    k.ReleaseNoiseKeys();
    h.wire.inPump = [this] { w.password.Select(0, 2); };
    EXPECT_GT(NoiseStep(h, 12), 0); // "b"
    EXPECT_EQ(w.password.text, u"**");
    EXPECT_EQ(w.password.selLength, 2);
    EXPECT_EQ(k.CurrentPassword(), u"abd");
}

// The X server drops the press of a key a noise key holds: the key layer's word that it was
// pressed, asked before the person's next key, or else its key-up, types its character in
// place, with Caps Lock as it is and Shift as it was then, though it is up by now. Windows
// passes the press on: its character counts once.
TEST_F(NoiseSteps, APersonsKeyPressedWhileTheNoiseHoldsItTypesOnce) {
    enum class Press { Dropped, DroppedAndTold, PassedOn };
    k.SetObsfucate(true);
    for (bool shifted : {false, true}) {
        for (bool caps : {false, true}) {
            for (Press press : {Press::Dropped, Press::DroppedAndTold, Press::PassedOn}) {
                h.keyState.capsLock = caps;
                ASSERT_GT(NoiseStep(h, 11), 0); // "a" or "A", held
                if (press == Press::DroppedAndTold) {
                    h.wire.pressedElsewhere = {{65, shifted}};
                    k.KeyDown(49, 0); // the person's next key, "1"
                } else if (press == Press::PassedOn) {
                    k.KeyDown(65, shifted ? 1 : 0);
                    k.KeyPress(caps != shifted ? u'A' : u'a');
                }
                k.KeyUp(65, shifted && press == Press::Dropped ? 1 : 0);
                EXPECT_FALSE(k.NoiseKeyHeld());
                k.KeyPress(u'1');
            }
        }
    }
    EXPECT_EQ(k.CurrentPassword(), u"a1a1a1A1A1A1A1A1A1a1a1a1");
    EXPECT_EQ(w.password.text, std::u16string(36, u'*'));
}

// A noise key's own events are no sign of the person: switching the option off inside its
// pump keeps its character out, and they leave the on-screen Shift the person latched.
TEST_F(NoiseSteps, ANoiseKeysOwnEventsAreNeverThePersons) {
    k.SetObsfucate(true);
    h.Type(u"xy");
    k.ButtonClick(w.Key(42)); // "shft"
    ASSERT_GT(NoiseStep(h, 12), 0);
    k.ReleaseNoiseKeys();
    EXPECT_TRUE(k.ShiftIsDown());
    h.wire.inPump = [this] { k.SetObsfucate(false); };
    ASSERT_GT(NoiseStep(h, 11), 0); // "a"
    EXPECT_EQ(k.CurrentPassword(), u"xy");
    EXPECT_EQ(w.password.text, u"**");
    EXPECT_EQ(h.wire.events.back(), Up('A'));
    EXPECT_FALSE(k.NoiseKeyHeld());
}

// Among noise keys the buffer holds exactly what the person typed. A noise key's character comes
// in its own pump, with at most one of the person's before or after it; Shift may flip with it.
TEST(NoiseRecognition, TheBufferIsExactlyWhatThePersonTypedAmongNoise) {
    std::mt19937 draw(7);
    const std::u16string typable = u"abcxyzABCZ0129!@#)(-=[]{};:'\",.<>/?\\|`~ ";
    for (int run = 0; run < 300; ++run) {
        EngineHarness e(static_cast<unsigned>(run));
        e.k.SetObsfucate(true);
        std::u16string typed;
        for (int action = 0; action < 40; ++action) {
            const int r = static_cast<int>(draw() % 36) + 1;
            const auto coming = static_cast<char16_t>(r <= 10 ? u'0' + r - 1 : u'a' + r - 11);
            const char16_t latest = e.k.NoiseChar().empty() ? u'q' : e.k.NoiseChar()[0];
            const char16_t shifted = Keyboard::ShiftCounterpart(std::u16string(1, coming))[0];
            const std::array<char16_t, 6> choices{
                typable[draw() % typable.size()], 8, coming, shifted, latest, u'!'};
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
                e.k.KeyPress(static_cast<std::int16_t>(c));
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
                e.k.SetTextIsMasked(!e.k.TextIsMasked());
                break;
            default:
                e.keyState.capsLock = !e.keyState.capsLock;
                break;
            }
            ASSERT_EQ(e.k.CurrentPassword(), typed) << "run " << run << " action " << action;
        }
    }
}
