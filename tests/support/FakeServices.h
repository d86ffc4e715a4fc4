#pragma once

#include "FakeControls.h"
#include "RecordingInjector.h"

#include "engine/ErrorLog.h"
#include "engine/RandomSource.h"
#include "platform/KeyState.h"
#include "platform/WindowLayering.h"
#include "platform/WindowPlacement.h"
#include "platform/WindowStacking.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <random>
#include <set>

namespace mirvane::test {

// Draws from a fixed seed, or hands out queued values first.
class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(unsigned seed = 12345, std::deque<double> first = {})
        : queued(std::move(first)), mEngine(seed) {}
    double Next() override {
        ++draws;
        if (!queued.empty()) {
            const double value = queued.front();
            queued.pop_front();
            return value;
        }
        return std::uniform_real_distribution<double>(0.0, 1.0)(mEngine);
    }
    std::deque<double> queued;
    int draws = 0;

private:
    std::mt19937 mEngine;
};

struct LoggedError {
    std::string procedure;
    std::int32_t number;
    std::string description;
    bool operator==(const LoggedError&) const = default;
};

class RecordingErrorLog final : public ErrorLog {
public:
    void LogError(const std::string& procedure, std::int32_t number, const std::string& description,
                  MainWindow&) override {
        errors.push_back({procedure, number, description});
    }
    std::vector<LoggedError> errors;
};

class RecordingLayering final : public WindowLayering {
public:
    void MakeWindowLayered(std::uintptr_t handle, std::int16_t opacity) override {
        calls.emplace_back(handle, opacity);
    }
    std::vector<std::pair<std::uintptr_t, std::int16_t>> calls;
};

// Keys held and Caps Lock as a test sets them.
class FakeKeyState final : public KeyState {
public:
    std::int16_t GetAsyncKeyState(int key) override {
        return held.count(key) != 0 ? kKeyDownBit : std::int16_t{0};
    }
    std::int16_t GetKeyState(int key) override {
        const bool toggled = key == 20 && capsLock;
        return static_cast<std::int16_t>(GetAsyncKeyState(key) | (toggled ? kKeyToggledBit : 0));
    }
    bool OtherModifierHeld() override { return otherModifier; }
    std::set<int> held;
    bool capsLock = false, otherModifier = false; // otherModifier: AltGr, Super and the like
};

// The X server and the focused text line in one: a key pressed gives the character a US
// keyboard gives with Shift and Caps Lock as they are, and key entry receives it in the
// pump of the press. Characters a test queues arrive in the next pump, before or after it.
class FakeKeyboardWire final : public KeyInjector,
                               public KeyLayout,
                               public EventPump,
                               public ForegroundWindow {
public:
    explicit FakeKeyboardWire(FakeKeyState& state) : keyState(state) {}
    void KeyboardEvent(std::uint8_t key, std::uint32_t flags) override {
        events.push_back({key, (flags & kKeyEventKeyUp) == 0});
        unseen.push_back(events.back());
        if ((flags & kKeyEventKeyUp) != 0) {
            return;
        }
        if (flipShiftOnPress && !keyState.held.erase(160)) {
            keyState.held.insert(160);
        }
        flipShiftOnPress = false;
        const bool shift = keyState.held.count(16) + keyState.held.count(160) + keyState.held.count(161) != 0;
        if (key >= 'A' && key <= 'Z') {
            produced.push_back(static_cast<char16_t>(shift != keyState.capsLock ? key : key - 'A' + 'a'));
        } else if (key >= '0' && key <= '9') {
            produced.push_back(shift ? u")!@#$%^&*("[key - '0'] : static_cast<char16_t>(key));
        }
    }
    std::int16_t ScanCharacter(char16_t c) override {
        return cannotType.find(c) != std::u16string::npos ? std::int16_t{-1} : us.ScanCharacter(c);
    }
    // The line's key events come as the server sends them: key-down, its character, key-up.
    void ProcessPendingEvents() override {
        ++pumps;
        if (inPump) {
            std::exchange(inPump, nullptr)(); // an event of the window's own, pending just then
        }
        std::u16string arriving = before + produced + after;
        const std::size_t keyAt = before.size();
        const std::vector<KeyEvent> keys = std::exchange(unseen, {});
        before.clear();
        produced.clear();
        after.clear();
        for (std::size_t i = 0; i <= arriving.size() && keyboard != nullptr; ++i) {
            for (const KeyEvent& key : i == keyAt ? keys : std::vector<KeyEvent>{}) {
                key.down ? keyboard->KeyDown(static_cast<std::int16_t>(key.key), 0)
                         : keyboard->KeyUp(static_cast<std::int16_t>(key.key), 0);
            }
            if (i < arriving.size()) {
                keyboard->KeyPress(static_cast<std::int16_t>(arriving[i]));
            }
        }
    }
    bool IsForeground(std::uintptr_t) override { return foreground; }
    std::int32_t RepeatDelay() override { return repeatDelay; }
    PressElsewhere PressedElsewhere(std::uint8_t key) override {
        using enum PressElsewhere;
        const auto told = pressedElsewhere.extract(key);
        return !told ? None : told.mapped() ? Shifted : Unshifted;
    }

    FakeKeyState& keyState;
    Keyboard* keyboard = nullptr;
    UsLayout us;
    std::vector<KeyEvent> events;
    std::vector<KeyEvent> unseen; // key events the line has yet to see
    std::function<void()> inPump;
    std::u16string produced, before, after;
    std::u16string cannotType; // characters the keyboard map has no key for
    bool foreground = true;
    std::int32_t repeatDelay = 660;
    std::map<int, bool> pressedElsewhere; // keys pressed again while the program held them: with Shift?
    bool flipShiftOnPress = false;        // the person presses or lets go of Shift just then
    int pumps = 0;
};

class RecordingStacking final : public WindowStacking {
public:
    void SetTopMost(std::uintptr_t handle, bool topMost) override { calls.emplace_back(handle, topMost); }
    std::vector<std::pair<std::uintptr_t, bool>> calls;
};

// A display server that leaves the window's place to the toolkit.
class TrustingPlacement final : public WindowPlacement {
public:
    std::optional<PixelPoint> InsideOrigin(std::uintptr_t) override { return std::nullopt; }
};

// A keyboard engine on a fake window, with the fakes in reach.
struct EngineHarness {
    explicit EngineHarness(unsigned seed = 12345, std::deque<double> firstDraws = {})
        : random(seed, std::move(firstDraws)) {
        wire.keyboard = keyboard.get();
    }
    void Type(std::u16string_view text) {
        std::ranges::for_each(text, [this](char16_t c) { k.KeyPress(static_cast<std::int16_t>(c)); });
    }

    SeededRandom random;
    RecordingErrorLog errors;
    RecordingLayering layering;
    FakeKeyState keyState;
    FakeKeyboardWire wire{keyState};
    FakeWindow* window = nullptr;
    std::int64_t now = 0; // the clock's milliseconds
    std::unique_ptr<Keyboard> keyboard = std::make_unique<Keyboard>(
        KeyboardServices{[this] { return std::unique_ptr<FakeWindow>(window = new FakeWindow); }, random,
                         errors, layering, [] { return 2000; }, keyState, wire, wire, wire, wire,
                         [this] { return now; }});
    Keyboard& k = *keyboard;
    FakeWindow& w = *window;
};

// An engine on a fake window, for tests that need no more than that.
struct EngineTest : ::testing::Test {
    EngineHarness h;
    Keyboard& k = h.k;
    FakeWindow& w = h.w;
};

} // namespace mirvane::test
