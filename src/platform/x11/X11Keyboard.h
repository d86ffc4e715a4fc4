#pragma once

#include "platform/KeyInjection.h"
#include "platform/KeyState.h"

#include <array>
#include <cstdint>
#include <vector>

struct xcb_connection_t;

namespace mirvane::x11 {

// The keyboard of an X server: synthetic keys through XTest, key state from the server's
// key map and XKB, characters and keys through the keymap and group in force, the active window
// through the window manager's _NET_ACTIVE_WINDOW and the server's input focus.
class X11Keyboard final : public KeyInjector, public KeyLayout, public KeyState, public ForegroundWindow {
public:
    // Opens its own connection to the display named by DISPLAY.
    X11Keyboard();
    ~X11Keyboard() override;
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;

    void KeyboardEvent(std::uint8_t virtualKey, std::uint32_t flags) override;
    std::int32_t RepeatDelay() override;
    PressElsewhere PressedElsewhere(std::uint8_t virtualKey) override;
    std::int16_t ScanCharacter(char16_t character) override;
    std::int16_t GetAsyncKeyState(int virtualKey) override;
    std::int16_t GetKeyState(int virtualKey) override;
    bool OtherModifierHeld() override;
    bool IsForeground(std::uintptr_t ownWindow) override;

    // The keycodes held down on the server now.
    std::vector<std::uint8_t> KeysDown();

private:
    void LoadKeymap();
    void FollowKeyboardChanges();
    void WatchRawKeyPresses();
    int GroupColumn(int keycode) const;
    std::uint32_t KeysymAt(int keycode, int level) const;
    std::uint8_t KeycodeOf(int virtualKey);
    bool IsDown(const std::uint8_t* keys, int virtualKey);
    bool HoldsInputFocus(std::uint32_t focus, std::uintptr_t ownWindow, std::uint32_t root);

    xcb_connection_t* mConnection = nullptr;
    std::uint8_t mMinKeycode = 8;
    std::uint8_t mMaxKeycode = 255;
    int mKeysymsPerKeycode = 0;
    std::vector<std::uint32_t> mKeysyms; // keycode-major, as the server sends them
    bool mHasXkb = false;
    std::uint8_t mXkbFirstEvent = 0;
    std::uint8_t mGroup = 0; // the active group, 0 for the first
    std::uint32_t mActiveWindowAtom = 0;
    std::array<std::uint8_t, 256> mPressedKeycode{}; // by virtual key: the keycode its key-down pressed
    bool mHasRawEvents = false;
    std::uint8_t mInputOpcode = 0;
    std::array<int, 256> mOwnPressesUnseen{}; // by keycode: our presses whose raw events are still to come
    std::array<PressElsewhere, 256> mPressedByOthers{}; // by keycode: a press not ours since our own
    bool mShifted = false; // Shift in the server's state as of the last event read
};

} // namespace mirvane::x11
