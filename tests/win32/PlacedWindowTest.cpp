#include "win32/PlacedWindow.h"

#include "engine/Controls.h"

#include <gtest/gtest.h>

#include <vector>

#include <windows.h>

namespace mirvane {
namespace {

std::vector<LONG> Pixels(HWND child) {
    RECT box{};
    GetWindowRect(child, &box);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&box), 2);
    return {box.left, box.top, box.right - box.left, box.bottom - box.top};
}

// Moved to a monitor of another scale, the window's twips become that monitor's pixels.
TEST(PlacedWindow, TwipsFollowTheDensityOfTheMonitorTheWindowMovedTo) {
    HWND parent =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr, nullptr, nullptr);
    PlacedWindow<Placeable> child(
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, parent, nullptr, nullptr, nullptr));
    const auto place = [&] {
        child.SetLeft(1500);
        child.SetTop(750);
        child.SetWidth(3000);
        child.SetHeight(450);
        ApplyPendingPlaces();
        return Pixels(child.Window());
    };
    SetDotsPerInch(96);
    EXPECT_EQ(place(), (std::vector<LONG>{100, 50, 200, 30}));
    SetDotsPerInch(144);
    EXPECT_EQ(child.Left(), 1000); // the same pixels are fewer twips there
    EXPECT_EQ(place(), (std::vector<LONG>{150, 75, 300, 45}));
    SetDotsPerInch(96);
    DestroyWindow(parent);
}

} // namespace
} // namespace mirvane
