#pragma once

#include <cstdint>

namespace mirvane {

// Flags of one synthetic key event, as the system's keyboard event call takes them.
inline constexpr std::uint32_t kKeyEventExtendedKey = 1;
inline constexpr std::uint32_t kKeyEventKeyUp = 2;

enum class PressElsewhere { None, Unshifted, Shifted };

// Puts key strokes into the system's input queue, where every program (and every key
// logger) sees them as typed. Virtual-key codes are the Windows codes.
class KeyInjector {
public:
    virtual ~KeyInjector() = default;
    // A key-up releases exactly the key its key-down pressed, whatever changed in between.
    virtual void KeyboardEvent(std::uint8_t virtualKey, std::uint32_t flags) = 0;
    // Milliseconds a key may stay down before the system repeats it; 0 when it does not say.
    virtual std::int32_t RepeatDelay() = 0;
    // Whether somebody else (the person, another program) has pressed a key since this injector
    // pressed it and while it was still down, and whether Shift was down at that press: by the
    // time it is asked the person may have let go of Shift. Asking answers once.
    virtual PressElsewhere PressedElsewhere(std::uint8_t virtualKey) = 0;
};

// The current keyboard layout's answer to "which key types this character": the virtual-key
// code in the low byte and the shift state in the high byte, or -1 when no key types it.
class KeyLayout {
public:
    virtual ~KeyLayout() = default;
    virtual std::int16_t ScanCharacter(char16_t character) = 0;
};

// Lets the program handle its pending window events, so that the character a synthetic
// key produces in the program's own text line is seen before the key call returns.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void ProcessPendingEvents() = 0;
};

} // namespace mirvane
