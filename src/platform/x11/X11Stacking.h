#pragma once

#include "platform/WindowStacking.h"

struct xcb_connection_t;

namespace mirvane::x11 {

// Keep-on-top through the window manager: _NET_WM_STATE_ABOVE added or removed.
class X11Stacking final : public WindowStacking {
public:
    X11Stacking();
    ~X11Stacking() override;
    X11Stacking(const X11Stacking&) = delete;
    X11Stacking& operator=(const X11Stacking&) = delete;

    void SetTopMost(std::uintptr_t windowHandle, bool topMost) override;

private:
    xcb_connection_t* mConnection = nullptr;
};

} // namespace mirvane::x11
