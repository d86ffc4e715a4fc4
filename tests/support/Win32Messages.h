#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include <windows.h>

namespace mirvane {

// Runs `other` on a second thread, as another program would send its messages, while this
// thread handles them.
inline void FromAnotherThread(const std::function<void()>& other) {
    std::atomic<bool> done = false;
    std::thread thread([&] {
        other();
        done = true;
    });
    for (MSG message; !done;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT | QS_SENDMESSAGE);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }
    thread.join();
}

inline std::u16string ClipboardText() {
    std::u16string text;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const char16_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

} // namespace mirvane
