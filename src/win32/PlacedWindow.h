#pragma once

#include "common/ErrorObject.h"

#include <cstdint>

#include <windows.h>

namespace mirvane {

// Twips of the screen's logical density: 15 to a pixel at 96 dots per inch.
double TwipsPerPixel();
int ToPixels(std::int32_t twips);
std::int32_t ToTwips(int pixels);

// Left, Top, Width, Height and Visible of a child window, in twips of its parent's client area.
template <class Interface> class PlacedWindow : public Interface {
public:
    explicit PlacedWindow(HWND window = nullptr) : mWindow(window) {}
    HWND Window() const { return mWindow; }

    std::int32_t Left() const override { return ToTwips(Place().left); }
    void SetLeft(std::int32_t twips) override { Move(ToPixels(twips), Place().top, Size().cx, Size().cy); }
    std::int32_t Top() const override { return ToTwips(Place().top); }
    void SetTop(std::int32_t twips) override { Move(Place().left, ToPixels(twips), Size().cx, Size().cy); }
    std::int32_t Width() const override { return ToTwips(Size().cx); }
    void SetWidth(std::int32_t twips) override {
        Move(Place().left, Place().top, ToPixels(CheckedSize(twips)), Size().cy);
    }
    std::int32_t Height() const override { return ToTwips(Size().cy); }
    void SetHeight(std::int32_t twips) override {
        Move(Place().left, Place().top, Size().cx, ToPixels(CheckedSize(twips)));
    }
    bool Visible() const override { return (GetWindowLongPtrW(mWindow, GWL_STYLE) & WS_VISIBLE) != 0; }
    void SetVisible(bool visible) override { ShowWindow(mWindow, visible ? SW_SHOWNA : SW_HIDE); }

protected:
    void Adopt(HWND window) { mWindow = window; }

private:
    RECT Place() const {
        RECT box{};
        GetWindowRect(mWindow, &box);
        MapWindowPoints(HWND_DESKTOP, GetParent(mWindow), reinterpret_cast<POINT*>(&box), 2);
        return box;
    }
    SIZE Size() const {
        const RECT box = Place();
        return {box.right - box.left, box.bottom - box.top};
    }
    void Move(int x, int y, int width, int height) {
        SetWindowPos(mWindow, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // A control cannot take a negative size: the object model raises "Invalid property value".
    static std::int32_t CheckedSize(std::int32_t twips) {
        if (twips < 0) {
            throw ErrorObject(380, "mirvane", "Invalid property value");
        }
        return twips;
    }

    HWND mWindow;
};

} // namespace mirvane
