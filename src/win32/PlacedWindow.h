#pragma once

#include "common/ErrorObject.h"

#include <cstdint>

#include <windows.h>

namespace mirvane {

// Twips of the screen's logical density: 15 to a pixel at 96 dots per inch.
double TwipsPerPixel();
// The window has moved to a monitor of this density.
void SetDotsPerInch(int dotsPerInch);
int ToPixels(std::int32_t twips);
std::int32_t ToTwips(int pixels);

// A child window's place in pixels of its parent's client area. A new place is kept until
// ApplyPendingPlaces gives it to the window system: the engine sets left, top, width and height
// one at a time, and a move for each made the window three times slower to appear.
class ChildPlace {
public:
    explicit ChildPlace(HWND window) : mWindow(window) {}
    ~ChildPlace();
    ChildPlace(const ChildPlace&) = delete;
    ChildPlace& operator=(const ChildPlace&) = delete;
    HWND Window() const { return mWindow; }
    void Adopt(HWND window) { mWindow = window; }
    RECT Get() const;
    void Set(const RECT& place);
    void Apply();

private:
    HWND mWindow;
    RECT mPending{};
    bool mIsPending = false;
};

// Moves every child whose place changed; run after each message the window handles.
void ApplyPendingPlaces();

// Left, Top, Width, Height and Visible of a child window, in twips of its parent's client area.
template <class Interface> class PlacedWindow : public Interface {
public:
    explicit PlacedWindow(HWND window = nullptr) : mPlace(window) {}
    HWND Window() const { return mPlace.Window(); }

    std::int32_t Left() const override { return ToTwips(mPlace.Get().left); }
    void SetLeft(std::int32_t twips) override { MoveBy(ToPixels(twips) - mPlace.Get().left, 0); }
    std::int32_t Top() const override { return ToTwips(mPlace.Get().top); }
    void SetTop(std::int32_t twips) override { MoveBy(0, ToPixels(twips) - mPlace.Get().top); }
    std::int32_t Width() const override {
        const RECT box = mPlace.Get();
        return ToTwips(box.right - box.left);
    }
    void SetWidth(std::int32_t twips) override {
        RECT box = mPlace.Get();
        box.right = box.left + ToPixels(CheckedSize(twips));
        mPlace.Set(box);
    }
    std::int32_t Height() const override {
        const RECT box = mPlace.Get();
        return ToTwips(box.bottom - box.top);
    }
    void SetHeight(std::int32_t twips) override {
        RECT box = mPlace.Get();
        box.bottom = box.top + ToPixels(CheckedSize(twips));
        mPlace.Set(box);
    }
    bool Visible() const override {
        return Window() != nullptr ? (GetWindowLongPtrW(Window(), GWL_STYLE) & WS_VISIBLE) != 0
                                   : mVisibleUnmade;
    }
    void SetVisible(bool visible) override {
        if (Window() == nullptr) {
            mVisibleUnmade = visible;
            return;
        }
        ShowWindow(Window(), visible ? SW_SHOWNA : SW_HIDE);
    }

protected:
    void Adopt(HWND window) { mPlace.Adopt(window); }
    // A control made only later keeps its place and visibility here until then.
    void PlaceUnmade(const RECT& place) { mPlace.Set(place); }
    RECT Place() const { return mPlace.Get(); }

private:
    void MoveBy(int dx, int dy) {
        RECT box = mPlace.Get();
        OffsetRect(&box, dx, dy);
        mPlace.Set(box);
    }
    // A control cannot take a negative size: the object model raises "Invalid property value".
    static std::int32_t CheckedSize(std::int32_t twips) {
        if (twips < 0) {
            throw ErrorObject(380, "mirvane", "Invalid property value");
        }
        return twips;
    }

    ChildPlace mPlace;
    bool mVisibleUnmade = true;
};

} // namespace mirvane
