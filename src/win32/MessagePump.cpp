#include "MessagePump.h"

#include "InputGuard.h"

#include <windows.h>

namespace mirvane {

void MessagePump::ProcessPendingEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam)); // the main loop still ends
            return;
        }
        InputGuard::Deliver(message); // a key's character is handled with it
    }
}

} // namespace mirvane
