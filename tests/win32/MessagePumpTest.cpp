#include "win32/MessagePump.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace mirvane {
namespace {

// A key in the queue has typed its character once the pump returns; a request to quit that
// was among the messages is still there for the main loop.
TEST(MessagePump, AQueuedKeyHasTypedItsCharacterAndAQuitIsKept) {
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 30, nullptr, nullptr, nullptr, nullptr);
    PostMessageW(edit, WM_KEYDOWN, 'A', 1 | (MapVirtualKeyW('A', MAPVK_VK_TO_VSC) << 16));
    MessagePump().ProcessPendingEvents();
    wchar_t text[8] = {};
    GetWindowTextW(edit, text, 8);
    EXPECT_STREQ(text, L"a");

    PostQuitMessage(3);
    MessagePump().ProcessPendingEvents();
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 3u);
    DestroyWindow(edit);
}

} // namespace
} // namespace mirvane
