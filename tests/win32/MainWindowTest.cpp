#include "win32/Application.h"
#include "win32/MessagePump.h"

#include <gtest/gtest.h>

namespace mirvane {
namespace {

// A posted Password Mask leaves the program's main window masked; only the menu's own choice flips it.
TEST(MainWindow, ActsOnACommandOnlyWhenTheGuardAdmitsIt) {
    Application application;
    const HWND window = FindWindowW(L"MirvaneKeyboard", nullptr);
    const auto shown = [&](int line) { return IsWindowVisible(GetDlgItem(window, line)) != FALSE; };
    for (const auto& [chosen, plain] : {std::pair{false, false}, {true, true}, {true, false}}) {
        if (chosen) {
            SendMessageW(window, WM_MENUSELECT, MAKEWPARAM(1018, MF_STRING), 1);
            SendMessageW(window, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
            SendMessageW(window, WM_EXITMENULOOP, 0, 0);
        }
        PostMessageW(window, WM_COMMAND, 1018, 0);
        MessagePump().ProcessPendingEvents();
        EXPECT_EQ(std::pair(shown(101), shown(102)), std::pair(!plain, plain));
    }
    PostMessageW(window, WM_CLOSE, 0, 0); // and the program's loop takes the quit that follows
    EXPECT_EQ(application.Run(), 0);
}

} // namespace
} // namespace mirvane
