#pragma once

#include "platform/KeyInjection.h"
#include "platform/KeyState.h"

namespace mirvane::win32 {

// The Windows keyboard through user32: keybd_event, VkKeyScan, the key state calls and
// the foreground window.
class Win32Keyboard final : public KeyInjector, public KeyLayout, public KeyState, public ForegroundWindow {
public:
    void KeyboardEvent(std::uint8_t virtualKey, std::uint32_t flags) override;
    std::int32_t RepeatDelay() override;
    // Windows delivers a key pressed again while down as a repeat: nothing is swallowed.
    PressElsewhere PressedElsewhere(std::uint8_t /*virtualKey*/) override { return PressElsewhere::None; }
    std::int16_t ScanCharacter(char16_t character) override;
    std::int16_t GetAsyncKeyState(int virtualKey) override;
    std::int16_t GetKeyState(int virtualKey) override;
    bool OtherModifierHeld() override;
    bool IsForeground(std::uintptr_t ownWindow) override;
};

// Lets go of every key this process pressed and has not let go of: Windows keeps an injected
// key down after the program that pressed it is gone. Safe to call from a crash handler.
void ReleaseKeysStillDown();

// Whether a key message the system marks as injected is one this process injected and has not
// yet received: another program's injected keys look the same. `take` uses the event up.
bool OwnInjectedKey(std::uint8_t virtualKey, bool up, bool take);

} // namespace mirvane::win32
