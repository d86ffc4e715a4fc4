#pragma once

#include "platform/KeyInjection.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace mirvane::test {

struct KeyEvent {
    int key;
    bool down;
    bool operator==(const KeyEvent&) const = default;
};

inline KeyEvent Down(int key) { return {key, true}; }
inline KeyEvent Up(int key) { return {key, false}; }

// Records every synthetic key event instead of sending it. Past a limit it refuses new
// key presses, as a full input queue would, while releases still get through.
class RecordingInjector final : public KeyInjector {
public:
    void KeyboardEvent(std::uint8_t virtualKey, std::uint32_t flags) override {
        if (limit >= 0 && static_cast<long>(events.size()) >= limit && (flags & kKeyEventKeyUp) == 0) {
            throw std::runtime_error("input queue full");
        }
        events.push_back({virtualKey, (flags & kKeyEventKeyUp) == 0});
        lastFlags = flags;
    }
    std::int32_t RepeatDelay() override { return 660; }
    PressElsewhere PressedElsewhere(std::uint8_t) override { return PressElsewhere::None; }
    std::vector<KeyEvent> events;
    std::uint32_t lastFlags = 0;
    long limit = -1;
};

// The US keyboard layout: virtual-key code in the low byte, 1 in the high byte for Shift.
class UsLayout final : public KeyLayout {
public:
    std::int16_t ScanCharacter(char16_t c) override {
        if (c >= u'a' && c <= u'z') {
            return static_cast<std::int16_t>(c - u'a' + 'A');
        }
        if (c >= u'A' && c <= u'Z') {
            return static_cast<std::int16_t>(0x100 | c);
        }
        if (c >= u'0' && c <= u'9') {
            return static_cast<std::int16_t>(c);
        }
        static const std::u16string kUnshifted = u" `-=[]\\;',./\t\r";
        static const std::u16string kShifted = u" ~_+{}|:\"<>?";
        static const int kCodes[] = {32, 192, 189, 187, 219, 221, 220, 186, 222, 188, 190, 191, 9, 13};
        if (const auto at = kUnshifted.find(c); at != std::u16string::npos) {
            return static_cast<std::int16_t>(kCodes[at]);
        }
        if (const auto at = kShifted.find(c); at != std::u16string::npos) {
            return static_cast<std::int16_t>(0x100 | kCodes[at]);
        }
        if (const auto at = std::u16string_view(u")!@#$%^&*(").find(c); at != std::u16string::npos) {
            return static_cast<std::int16_t>(0x100 | ('0' + static_cast<int>(at)));
        }
        return -1;
    }
};

class CountingPump final : public EventPump {
public:
    void ProcessPendingEvents() override { ++pumps; }
    int pumps = 0;
};

} // namespace mirvane::test
