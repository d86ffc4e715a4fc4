#include "Win32Windows.h"

#include "common/ErrorObject.h"

#include <windows.h>

namespace mirvane::win32 {

namespace {
HWND ToWindow(std::uintptr_t handle) { return reinterpret_cast<HWND>(handle); }

[[noreturn]] void ThrowInvalidCall() {
    throw ErrorObject(kErrorInvalidCall, "mirvane", "Invalid procedure call or argument");
}
} // namespace

void Win32Windows::MakeWindowLayered(std::uintptr_t windowHandle, std::int16_t opacity) {
    const HWND window = ToWindow(windowHandle);
    if (!IsWindow(window)) {
        ThrowInvalidCall();
    }
    SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
    if (!SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(opacity), LWA_ALPHA)) {
        ThrowInvalidCall();
    }
}

void Win32Windows::SetTopMost(std::uintptr_t windowHandle, bool topMost) {
    SetWindowPos(ToWindow(windowHandle), topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

} // namespace mirvane::win32
