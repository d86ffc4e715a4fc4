#include "Win32Keyboard.h"

#include <windows.h>

#include <array>
#include <atomic>
#include <initializer_list>

namespace mirvane::win32 {

namespace {
// The flags of the key-down of each key still down, plus one; 0 for a key that is up.
std::array<std::atomic<std::uint32_t>, 256> gKeysDown{};

// Key events injected and not yet received, by key and direction, with when the last was sent.
// One that never arrives (the focus moved on) stops counting after a while.
struct Injected {
    int count = 0;
    ULONGLONG sentAt = 0;
};
std::array<std::array<Injected, 2>, 256> gInjected{};
constexpr ULONGLONG kInjectedLifetimeMs = 2000;

// Messages name a Shift, Ctrl or Alt key without its side.
std::uint8_t AsInMessages(std::uint8_t virtualKey) {
    switch (virtualKey) {
    case VK_LSHIFT:
    case VK_RSHIFT:
        return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
        return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
        return VK_MENU;
    default:
        return virtualKey;
    }
}
} // namespace

void Win32Keyboard::KeyboardEvent(std::uint8_t virtualKey, std::uint32_t flags) {
    const bool up = (flags & KEYEVENTF_KEYUP) != 0;
    // Marked down before the press, so that a crash in between still lets it go.
    if (!up) {
        gKeysDown.at(virtualKey) = flags + 1;
    }
    Injected& injected = gInjected.at(AsInMessages(virtualKey)).at(up ? 1 : 0);
    injected.count = (::GetTickCount64() - injected.sentAt > kInjectedLifetimeMs ? 0 : injected.count) + 1;
    injected.sentAt = ::GetTickCount64();
    ::keybd_event(virtualKey, 0, flags, 0);
    if (up) {
        gKeysDown.at(virtualKey) = 0;
    }
}

void ReleaseKeysStillDown() {
    for (std::size_t key = 0; key < gKeysDown.size(); ++key) {
        if (const std::uint32_t down = gKeysDown.at(key).exchange(0); down != 0) {
            ::keybd_event(static_cast<BYTE>(key), 0, (down - 1) | KEYEVENTF_KEYUP, 0);
        }
    }
}

bool OwnInjectedKey(std::uint8_t virtualKey, bool up, bool take) {
    Injected& injected = gInjected.at(virtualKey).at(up ? 1 : 0);
    if (injected.count == 0 || ::GetTickCount64() - injected.sentAt > kInjectedLifetimeMs) {
        injected.count = 0;
        return false;
    }
    injected.count -= take ? 1 : 0;
    return true;
}

// The keyboard delay setting: 0 to 3 for 250 to 1000 ms.
std::int32_t Win32Keyboard::RepeatDelay() {
    int setting = 0;
    if (::SystemParametersInfoW(SPI_GETKEYBOARDDELAY, 0, &setting, 0) == 0) {
        return 0;
    }
    return 250 * (setting + 1);
}

std::int16_t Win32Keyboard::ScanCharacter(char16_t character) {
    // The top bit of the version tells the Windows 95 family, which has only the ANSI call.
    if ((::GetVersion() & 0x80000000U) == 0) {
        return ::VkKeyScanW(static_cast<WCHAR>(character));
    }
    const WCHAR wide[1] = {static_cast<WCHAR>(character)};
    char ansi[4] = {};
    if (::WideCharToMultiByte(CP_ACP, 0, wide, 1, ansi, sizeof(ansi), nullptr, nullptr) < 1) {
        return -1;
    }
    return ::VkKeyScanA(ansi[0]);
}

std::int16_t Win32Keyboard::GetAsyncKeyState(int virtualKey) { return ::GetAsyncKeyState(virtualKey); }

std::int16_t Win32Keyboard::GetKeyState(int virtualKey) { return ::GetKeyState(virtualKey); }

// AltGr is Ctrl and Alt together here.
bool Win32Keyboard::OtherModifierHeld() {
    for (const int key : {VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN}) {
        if ((::GetAsyncKeyState(key) & 0x8000) != 0) {
            return true;
        }
    }
    return false;
}

bool Win32Keyboard::IsForeground(std::uintptr_t ownWindow) {
    return reinterpret_cast<std::uintptr_t>(::GetForegroundWindow()) == ownWindow;
}

} // namespace mirvane::win32
