#include "X11Placement.h"

#include "Display.h"

#include <xcb/xcb.h>

#include <cstdlib>

namespace mirvane::x11 {

X11Placement::X11Placement() : mConnection(Connect()) {}

X11Placement::~X11Placement() { xcb_disconnect(mConnection); }

std::optional<PixelPoint> X11Placement::InsideOrigin(std::uintptr_t windowHandle) {
    const xcb_window_t root = RootWindow(mConnection);
    xcb_translate_coordinates_reply_t* reply = xcb_translate_coordinates_reply(
        mConnection, xcb_translate_coordinates(mConnection, static_cast<xcb_window_t>(windowHandle), root, 0, 0),
        nullptr);
    if (reply == nullptr) { // the window is gone
        return std::nullopt;
    }
    const PixelPoint origin{reply->dst_x, reply->dst_y};
    std::free(reply);
    return origin;
}

} // namespace mirvane::x11
