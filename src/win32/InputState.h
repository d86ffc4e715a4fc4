#pragma once

#include <cstdint>

#include <windows.h>

namespace mirvane {

// Shift, Ctrl and Alt as the object model's Shift argument: 1, 2 and 4.
inline std::int16_t ShiftMask() {
    return static_cast<std::int16_t>((GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                                     (GetKeyState(VK_MENU) < 0 ? 4 : 0));
}

// The buttons a mouse message says are held, as the object model's Button argument.
inline std::int16_t ButtonsHeld(WPARAM wParam) {
    return static_cast<std::int16_t>((wParam & MK_LBUTTON ? 1 : 0) | (wParam & MK_RBUTTON ? 2 : 0) |
                                     (wParam & MK_MBUTTON ? 4 : 0));
}

} // namespace mirvane
