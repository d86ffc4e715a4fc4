#pragma once

#include "platform/WindowPlacement.h"

struct xcb_connection_t;

namespace mirvane::x11 {

// A window's place, translated to the root window by the X server.
class X11Placement final : public WindowPlacement {
public:
    X11Placement();
    ~X11Placement() override;
    X11Placement(const X11Placement&) = delete;
    X11Placement& operator=(const X11Placement&) = delete;

    std::optional<PixelPoint> InsideOrigin(std::uintptr_t windowHandle) override;

private:
    xcb_connection_t* mConnection = nullptr;
};

} // namespace mirvane::x11
