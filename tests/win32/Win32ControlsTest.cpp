#include "win32/Win32Controls.h"

#include "common/ErrorObject.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

namespace mirvane {
namespace {

// Buttons are found by key, each keeps its own value, the greyed "not working" value reads
// back as such, and an unknown key is the object model's "Element not found".
TEST(ToolbarWindow, ButtonsByKeyKeepTheirOwnValues) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    HWND parent =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 100, nullptr, nullptr, nullptr, nullptr);
    ToolbarWindow toolbar(parent);
    toolbar.SetButtonValue("Obsfucate", 2);
    toolbar.SetButtonValue("Hover", 1);
    EXPECT_EQ(toolbar.ButtonValue("Obsfucate"), 2);
    EXPECT_EQ(toolbar.ButtonValue("Hover"), 1);
    EXPECT_EQ(toolbar.ButtonValue("Standard"), 0);
    toolbar.SetButtonValue("Obsfucate", 0);
    EXPECT_EQ(toolbar.ButtonValue("Obsfucate"), 0);
    EXPECT_EQ(ToolbarWindow::KeyOf(ToolbarWindow::kFirstCommandId + 17), "Clear");
    EXPECT_EQ(ToolbarWindow::KeyOf(ToolbarWindow::kFirstCommandId + 3), ""); // a separator
    try {
        toolbar.ButtonValue("Nothing");
        ADD_FAILURE() << "an unknown key was found";
    } catch (const ErrorObject& error) {
        EXPECT_EQ(error.Number(), 35601);
    }
    DestroyWindow(parent);
}

// A key set up before its BUTTON exists is made with that caption, place and state, and
// follows every later change itself.
TEST(KeyButtonWindow, IsMadeAsItWasSetUp) {
    HWND parent =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 600, 100, nullptr, nullptr, nullptr, nullptr);
    KeyButtonWindow key(7);
    key.SetCaption(u"&&");
    key.SetLeft(45 * 15);
    key.SetWidth(50 * 15);
    key.SetVisible(false);
    key.SetEnabled(false);
    key.Make(parent, 3007);
    wchar_t text[8] = {};
    GetWindowTextW(key.Window(), text, 8);
    RECT place{};
    GetWindowRect(key.Window(), &place);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(std::wstring(text), L"&&");
    EXPECT_EQ(place.left, 45);
    EXPECT_EQ(place.right, 95);
    EXPECT_EQ(GetDlgCtrlID(key.Window()), 3007);
    EXPECT_FALSE(key.Visible());
    EXPECT_FALSE(IsWindowEnabled(key.Window()));
    key.SetCaption(u"q");
    key.SetEnabled(true);
    GetWindowTextW(key.Window(), text, 8);
    EXPECT_EQ(std::wstring(text), L"q");
    EXPECT_TRUE(IsWindowEnabled(key.Window()));
    DestroyWindow(parent);
}

} // namespace
} // namespace mirvane
