#include "win32/Win32Controls.h"

#include "common/ErrorObject.h"

#include <gtest/gtest.h>

#include <commctrl.h>

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

} // namespace
} // namespace mirvane
