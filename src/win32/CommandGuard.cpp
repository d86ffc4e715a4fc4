#include "CommandGuard.h"

namespace mirvane {

namespace {
thread_local CommandGuard* tGuard = nullptr;
} // namespace

CommandGuard::CommandGuard(HWND window) : mWindow(window) {
    tGuard = this;
    mHook = SetWindowsHookExW(WH_GETMESSAGE, &CommandGuard::Retrieved, nullptr, GetCurrentThreadId());
}

CommandGuard::~CommandGuard() {
    if (mHook != nullptr) {
        UnhookWindowsHookEx(mHook);
    }
    tGuard = nullptr;
}

void CommandGuard::MenuSelected(WPARAM wParam, LPARAM lParam) {
    const UINT flags = HIWORD(wParam);
    if (flags == 0xFFFF && lParam == 0) {
        return; // the menu closes: the highlight it had is the choice, if there was one
    }
    mHighlighted = (flags & MF_POPUP) != 0 ? 0 : LOWORD(wParam);
}

LRESULT CALLBACK CommandGuard::Retrieved(int code, WPARAM removal, LPARAM message) {
    if (code == HC_ACTION && removal == PM_REMOVE && tGuard != nullptr) {
        auto& retrieved = *reinterpret_cast<MSG*>(message);
        if (!tGuard->Admit(retrieved)) {
            retrieved.message = WM_NULL;
        }
    }
    return CallNextHookEx(nullptr, code, removal, message);
}

// The menu's own message is the first posted one after its loop; whatever comes first ends
// the wait, so that a choice abandoned with Escape admits nothing later.
bool CommandGuard::Admit(const MSG& message) {
    const UINT chosen = mChosen;
    mChosen = 0;
    const bool ours = message.hwnd == mWindow || IsChild(mWindow, message.hwnd);
    // The lines send these to themselves; posted, they come from another program.
    switch (message.message) {
    case WM_COPY:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
        return !ours;
    default:
        break;
    }
    if (message.message != WM_COMMAND || !ours) {
        return true;
    }
    return chosen != 0 && message.lParam == 0 && HIWORD(message.wParam) == 0 && LOWORD(message.wParam) == chosen;
}

} // namespace mirvane
