#include "win32/PlacedWindow.h"

#include "engine/Controls.h"

#include <gtest/gtest.h>

#include <utility>

#include <windows.h>

namespace mirvane {
namespace {

// Moved to a monitor of another scale, the window's twips become that monitor's pixels.
TEST(PlacedWindow, TwipsFollowTheDensityOfTheMonitorTheWindowMovedTo) {
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    PlacedWindow<Placeable> child(
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, parent, nullptr, nullptr, nullptr));
    const auto placed = [&](int dotsPerInch) {
        SetDotsPerInch(dotsPerInch);
        child.SetLeft(1500);
        child.SetWidth(3000);
        ApplyPendingPlaces();
        RECT box{};
        GetWindowRect(child.Window(), &box);
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&box), 2);
        return std::pair{box.left, box.right - box.left};
    };
    EXPECT_EQ(placed(96), std::pair(100L, 200L));
    SetDotsPerInch(144);
    EXPECT_EQ(child.Left(), 1000); // the same pixels are fewer twips there
    EXPECT_EQ(placed(144), std::pair(150L, 300L));
    SetDotsPerInch(96);
    DestroyWindow(parent);
}

} // namespace
} // namespace mirvane
