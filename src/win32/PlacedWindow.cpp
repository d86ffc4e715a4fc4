#include "PlacedWindow.h"

#include "form/Twips.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace mirvane {

namespace {
// Only the window's own thread places its children.
std::vector<ChildPlace*>& Pending() {
    static std::vector<ChildPlace*> pending;
    return pending;
}
} // namespace

namespace {
// The system's density at start, then the density of the monitor the window is on, as the
// system tells on a move to a monitor of another scale: asking the screen on every conversion
// cost more than the layout it served.
double& Density() {
    static double twipsPerPixel = [] {
        HDC screen = GetDC(nullptr);
        const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        return 1440.0 / (dotsPerInch > 0 ? dotsPerInch : 96);
    }();
    return twipsPerPixel;
}
} // namespace

double TwipsPerPixel() { return Density(); }

void SetDotsPerInch(int dotsPerInch) {
    if (dotsPerInch > 0) {
        Density() = 1440.0 / dotsPerInch;
    }
}

int ToPixels(std::int32_t twips) { return TwipsToPixels(twips, TwipsPerPixel()); }
std::int32_t ToTwips(int pixels) { return PixelsToTwips(pixels, TwipsPerPixel()); }

ChildPlace::~ChildPlace() {
    if (mIsPending) {
        std::erase(Pending(), this);
    }
}

RECT ChildPlace::Get() const {
    if (mIsPending) {
        return mPending;
    }
    RECT box{};
    GetWindowRect(mWindow, &box);
    MapWindowPoints(HWND_DESKTOP, GetParent(mWindow), reinterpret_cast<POINT*>(&box), 2);
    return box;
}

void ChildPlace::Set(const RECT& place) {
    if (!mIsPending) {
        Pending().push_back(this);
    }
    mPending = place;
    mIsPending = true;
}

void ChildPlace::Apply() {
    if (!mIsPending) {
        return;
    }
    if (mWindow == nullptr) {
        Pending().push_back(this); // the window is made at this place later
        return;
    }
    mIsPending = false;
    const RECT now = Get();
    if (EqualRect(&now, &mPending)) {
        return;
    }
    SetWindowPos(mWindow, nullptr, mPending.left, mPending.top, mPending.right - mPending.left,
                 mPending.bottom - mPending.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void ApplyPendingPlaces() {
    // A move's own messages may set new places: those wait for the next round.
    const std::vector<ChildPlace*> due = std::exchange(Pending(), {});
    for (ChildPlace* place : due) {
        place->Apply();
    }
}

} // namespace mirvane
