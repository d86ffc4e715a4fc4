#include "platform/win32/Win32Windows.h"

#include "common/ErrorObject.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace mirvane::win32 {
namespace {

// What the system reads back: the opacity asked for, top-most on and off, and a handle that
// is no window refused as the object model refuses it.
TEST(Win32Windows, OpacityAndTopMostReadBackAndANonWindowIsRefused) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                  nullptr, nullptr);
    Win32Windows windows;
    const auto handle = reinterpret_cast<std::uintptr_t>(window);
    windows.MakeWindowLayered(handle, 254);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 254);
    EXPECT_EQ(flags & LWA_ALPHA, static_cast<DWORD>(LWA_ALPHA));
    for (const bool topMost : {true, false}) {
        windows.SetTopMost(handle, topMost);
        EXPECT_EQ((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0, topMost);
    }
    DestroyWindow(window);
    try {
        windows.MakeWindowLayered(handle, 254);
        ADD_FAILURE() << "a destroyed window was layered";
    } catch (const ErrorObject& error) {
        EXPECT_EQ(error.Number(), 5);
    }
}

} // namespace
} // namespace mirvane::win32
