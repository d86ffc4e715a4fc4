#include "win32/CommandGuard.h"
#include "win32/MessagePump.h"

#include "support/Win32Messages.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <windows.h>

namespace mirvane {
namespace {

// A window that handles commands as the main window does, and lists those it carried out.
struct GuardedWindow {
    GuardedWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Procedure;
        windowClass.lpszClassName = L"GuardedWindow";
        RegisterClassW(&windowClass);
        window = CreateWindowExW(0, L"GuardedWindow", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        guard = std::make_unique<CommandGuard>(window);
    }
    ~GuardedWindow() {
        guard.reset();
        DestroyWindow(window);
    }
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<GuardedWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr && message == WM_COMMAND && CommandGuard::Accepts()) {
            self->done.push_back(LOWORD(wParam));
        } else if (self != nullptr && (message == WM_PASTE || message == WM_COPY)) {
            self->done.push_back(static_cast<WORD>(message));
        } else if (self != nullptr && message == WM_MENUSELECT) {
            self->guard->MenuSelected(wParam, lParam);
        } else if (self != nullptr && message == WM_EXITMENULOOP) {
            self->guard->MenuLoopEnded();
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // What a menu does when the person chooses item `id`: highlight, close, end its loop, post.
    void MenuChoice(WORD id) {
        SendMessageW(window, WM_MENUSELECT, MAKEWPARAM(id, MF_STRING), 1);
        SendMessageW(window, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        SendMessageW(window, WM_EXITMENULOOP, 0, 0);
    }
    HWND window = nullptr;
    std::unique_ptr<CommandGuard> guard;
    std::vector<WORD> done;
};

TEST(CommandGuard, OnlyTheWindowsOwnControlsAndTheMenusChoiceCarryOutACommand) {
    GuardedWindow w;
    MessagePump pump;
    PostMessageW(w.window, WM_COMMAND, 1, 0); // another program's post looks just like this
    pump.ProcessPendingEvents();
    FromAnotherThread([&] { SendMessageW(w.window, WM_COMMAND, 2, 0); });
    SendMessageW(w.window, WM_COMMAND, 3, 0); // a button or the toolbar, on the window's thread
    EXPECT_EQ(w.done, (std::vector<WORD>{3}));

    w.MenuChoice(4);
    PostMessageW(w.window, WM_COMMAND, 4, 0);
    PostMessageW(w.window, WM_COMMAND, 4, 0); // a second one is not the menu's
    pump.ProcessPendingEvents();
    w.MenuChoice(5);
    PostMessageW(w.window, WM_COMMAND, 6, 0); // not the item chosen
    pump.ProcessPendingEvents();
    w.MenuChoice(7); // left with Escape: the next message is somebody else's
    PostMessageW(w.window, WM_USER, 0, 0);
    PostMessageW(w.window, WM_COMMAND, 7, 0);
    pump.ProcessPendingEvents();
    EXPECT_EQ(w.done, (std::vector<WORD>{3, 4}));

    // A line's own paste and copy are sent; posted ones come from elsewhere.
    PostMessageW(w.window, WM_PASTE, 0, 0);
    PostMessageW(w.window, WM_COPY, 0, 0);
    pump.ProcessPendingEvents();
    SendMessageW(w.window, WM_COPY, 0, 0);
    EXPECT_EQ(w.done, (std::vector<WORD>{3, 4, WM_COPY}));
}

} // namespace
} // namespace mirvane
