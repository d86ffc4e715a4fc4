#include "win32/InputGuard.h"
#include "win32/MessagePump.h"
#include "win32/Win32Controls.h"

#include "platform/win32/Win32Keyboard.h"
#include "support/Win32Messages.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

namespace mirvane {
namespace {

constexpr int kButtonId = 7;

// A window that handles messages as the main window does, behind the guard, and writes down
// what reached it: commands by id, and the keys it saw go down and their characters.
struct GuardedWindow {
    GuardedWindow() {
        WNDCLASSW guarded{0, Procedure, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, L"GuardedWindow"};
        RegisterClassW(&guarded);
        window = CreateWindowExW(0, L"GuardedWindow", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 200, 100,
                                 nullptr, nullptr, nullptr, nullptr);
        button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 30, window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)), nullptr, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        guard = std::make_unique<InputGuard>(window);
    }
    ~GuardedWindow() {
        guard.reset();
        DestroyWindow(window);
    }
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<GuardedWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self == nullptr || InputGuard::RefusesSent(message, wParam)) {
            return self == nullptr ? DefWindowProcW(window, message, wParam, lParam) : 0;
        }
        InputGuard::KeepsPlace(window, message, wParam, lParam);
        if (message == WM_COMMAND) {
            self->commands.push_back(LOWORD(wParam));
        } else if (message == WM_NOTIFY) { // read as the main window reads a tooltip's request
            self->commands.push_back(static_cast<WORD>(reinterpret_cast<NMHDR*>(lParam)->code));
        } else if (message == WM_KEYDOWN || message == WM_CHAR) {
            self->typed +=
                message == WM_KEYDOWN ? "down " + std::to_string(wParam) + " " : std::string(1, char(wParam));
        } else if (message == WM_TIMER) {
            ++self->ticks;
        } else if (message == WM_MENUSELECT) {
            self->guard->MenuSelected(wParam, lParam);
        } else if (message == WM_ENTERMENULOOP) {
            self->guard->MenuLoopStarted();
        } else if (message == WM_EXITMENULOOP) {
            self->guard->MenuLoopEnded();
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // What a menu does when the person chooses item `id`: highlight, close, end its loop, post.
    void MenuChoice(WORD id) {
        SendMessageW(window, WM_MENUSELECT, MAKEWPARAM(id, MF_STRING), 1);
        SendMessageW(window, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        SendMessageW(window, WM_EXITMENULOOP, 0, 0);
        PostMessageW(window, WM_COMMAND, id, 0);
    }
    // Handles messages as the program's loops do, until `done` or a few seconds have passed.
    static bool PumpUntil(const std::function<bool()>& done) {
        for (const ULONGLONG until = GetTickCount64() + 5000; !done() && GetTickCount64() < until;) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            MessagePump().ProcessPendingEvents();
        }
        return done();
    }

    HWND window = nullptr;
    HWND button = nullptr;
    std::unique_ptr<InputGuard> guard;
    std::vector<WORD> commands;
    std::string typed;
    int ticks = 0;
};

LPARAM KeyData(char key) {
    return 1 | static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC) << 16);
}

TEST(InputGuard, OnlyTheWindowsOwnControlsAndTheMenusChoiceCarryOutACommand) {
    GuardedWindow w;
    MessagePump pump; // handles what is queued, as the program's loops do
    FromAnotherThread([&] { SendMessageW(w.window, WM_COMMAND, 2, 0); });
    SendMessageW(w.window, WM_COMMAND, 3, 0); // a button or the toolbar, on the window's thread
    EXPECT_EQ(w.commands, (std::vector<WORD>{3}));

    w.MenuChoice(4);
    PostMessageW(w.window, WM_COMMAND, 4, 0); // a second one is not the menu's
    pump.ProcessPendingEvents();
    w.MenuChoice(5);
    PostMessageW(w.window, WM_COMMAND, 6, 0); // not the item chosen, and behind the choice
    pump.ProcessPendingEvents();
    EXPECT_EQ(w.commands, (std::vector<WORD>{3, 4, 5}));

    // Another program plays the menu's part: its highlight and loop end are sent, so not the menu's.
    FromAnotherThread([&] {
        SendMessageW(w.window, WM_MENUSELECT, MAKEWPARAM(8, MF_STRING), 1);
        SendMessageW(w.window, WM_EXITMENULOOP, 0, 0);
        PostMessageW(w.window, WM_COMMAND, 8, 0);
    });
    // A click posted to a button, or its BM_CLICK posted or sent, presses nothing.
    PostMessageW(w.button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(w.button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PostMessageW(w.button, BM_CLICK, 0, 0);
    pump.ProcessPendingEvents();
    FromAnotherThread([&] { SendMessageW(w.button, BM_CLICK, 0, 0); });
    EXPECT_EQ(w.commands, (std::vector<WORD>{3, 4, 5}));
    SendMessageW(w.button, BM_CLICK, 0, 0); // the window's own
    EXPECT_EQ(w.commands, (std::vector<WORD>{3, 4, 5, kButtonId}));

    // A notification sent from elsewhere carries a pointer into another process: not read.
    FromAnotherThread([&] { SendMessageW(w.window, WM_NOTIFY, 0, 0x10); });
    EXPECT_EQ(w.commands.size(), 4u);
}

// Keys and characters count only from a device or from this program's own injected keys: a
// key or character another program posts, sends or injects reaches nothing.
TEST(InputGuard, OnlyADeviceOrTheProgramsOwnInjectedKeysType) {
    GuardedWindow w;
    SetForegroundWindow(w.window);
    ASSERT_TRUE(GuardedWindow::PumpUntil([&] { return GetForegroundWindow() == w.window; }));
    SetFocus(w.window);

    PostMessageW(w.window, WM_KEYDOWN, 'P', KeyData('P'));
    PostMessageW(w.window, WM_CHAR, 'q', KeyData('Q'));
    FromAnotherThread([&] {
        SendMessageW(w.window, WM_CHAR, 'r', KeyData('R'));
        SendMessageW(w.window, WM_KEYDOWN, 'S', KeyData('S'));
    });
    keybd_event('T', 0, 0, 0); // injected, but not by the key layer of this program
    keybd_event('T', 0, KEYEVENTF_KEYUP, 0);
    win32::Win32Keyboard own;
    own.KeyboardEvent('E', 0);
    own.KeyboardEvent('E', KEYEVENTF_KEYUP);
    // The program's own key comes after all the others: once it is in, they had their chance.
    ASSERT_TRUE(GuardedWindow::PumpUntil([&] { return w.typed.find('e') != std::string::npos; }));
    EXPECT_EQ(w.typed, "down 69 e");

    // A menu opened from the keyboard posts one key of its own, once, though a refused key-up
    // comes first.
    SendMessageW(w.window, WM_ENTERMENULOOP, 0, 0);
    PostMessageW(w.window, WM_KEYUP, 'P', KeyData('P'));
    PostMessageW(w.window, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(w.window, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(w.window, WM_CHAR, 'z', 0); // the end of the queue
    GuardedWindow::PumpUntil([] { return GetQueueStatus(QS_POSTMESSAGE) == 0; });
    SendMessageW(w.window, WM_EXITMENULOOP, 0, 0);
    EXPECT_EQ(w.typed, "down 69 edown 40 ");
}

// Another thread cannot move, hide or restack the window, nor change its styles.
TEST(InputGuard, AnotherThreadNeitherMovesNorHidesNorRestylesTheWindow) {
    GuardedWindow w;
    RECT before{};
    GetWindowRect(w.window, &before);
    FromAnotherThread([&] {
        SetWindowPos(w.window, HWND_TOPMOST, 300, 300, 50, 50, SWP_NOACTIVATE);
        ShowWindow(w.window, SW_HIDE);
        SetWindowLongPtrW(w.window, GWL_EXSTYLE, WS_EX_TOPMOST | WS_EX_TRANSPARENT);
    });
    RECT after{};
    GetWindowRect(w.window, &after);
    EXPECT_TRUE(EqualRect(&after, &before));
    EXPECT_TRUE(IsWindowVisible(w.window));
    EXPECT_EQ(GetWindowLongPtrW(w.window, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TRANSPARENT), 0);
    SetWindowPos(w.window, nullptr, 60, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER); // its own thread may
    GetWindowRect(w.window, &after);
    EXPECT_EQ(after.left, 60);
}

// A WM_TIMER anybody can post: a tick counts only on the timer's own schedule, once.
TEST(InputGuard, ATimersTickCountsOnlyOnItsScheduleAndOnce) {
    GuardedWindow w;
    WindowTimer timer(w.window, 9, 300);
    EXPECT_FALSE(timer.Due()); // not running
    timer.SetEnabled(true);
    EXPECT_FALSE(timer.Due()); // a posted tick right after the start
    const ULONGLONG started = GetTickCount64();
    ASSERT_TRUE(GuardedWindow::PumpUntil([&] { return w.ticks > 0; }));
    EXPECT_GE(GetTickCount64() - started + 16, 300u);
    EXPECT_TRUE(timer.Due());
    EXPECT_FALSE(timer.Due()); // a second one posted at once
}

} // namespace
} // namespace mirvane
