#pragma once

#include <cstdint>

namespace mirvane {

// The state of keys as 16-bit words: the top bit set while a key is down, the low bit
// set while a toggle key (Caps Lock) is on.
class KeyState {
public:
    virtual ~KeyState() = default;
    virtual std::int16_t GetAsyncKeyState(int virtualKey) = 0;
    virtual std::int16_t GetKeyState(int virtualKey) = 0;
    // Whether a modifier other than Shift and Caps Lock is held now: Ctrl, Alt, AltGr (a third
    // level or group switch), the Windows or Super keys.
    virtual bool OtherModifierHeld() = 0;
};

inline constexpr std::int16_t kKeyDownBit = static_cast<std::int16_t>(0x8000);
inline constexpr std::int16_t kKeyToggledBit = 1;

// Whether the window that has the keyboard now is the program's own.
class ForegroundWindow {
public:
    virtual ~ForegroundWindow() = default;
    virtual bool IsForeground(std::uintptr_t ownWindow) = 0;
};

} // namespace mirvane
