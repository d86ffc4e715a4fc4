#include "Win32Keyboard.h"

#include <windows.h>

namespace mirvane::win32 {

void Win32Keyboard::KeyboardEvent(std::uint8_t virtualKey, std::uint32_t flags) {
    ::keybd_event(virtualKey, 0, flags, 0);
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

bool Win32Keyboard::IsForeground(std::uintptr_t ownWindow) {
    return reinterpret_cast<std::uintptr_t>(::GetForegroundWindow()) == ownWindow;
}

} // namespace mirvane::win32
