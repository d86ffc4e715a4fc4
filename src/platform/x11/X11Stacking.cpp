#include "X11Stacking.h"

#include "Display.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace mirvane::x11 {

namespace {
xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : XCB_NONE;
    std::free(reply);
    return atom;
}

constexpr std::uint32_t kRemove = 0;
constexpr std::uint32_t kAdd = 1;
constexpr std::uint32_t kFromApplication = 1;
} // namespace

X11Stacking::X11Stacking() : mConnection(Connect()) {}

X11Stacking::~X11Stacking() { xcb_disconnect(mConnection); }

// A mapped window asks the window manager, which owns its state.
void X11Stacking::SetTopMost(std::uintptr_t windowHandle, bool topMost) {
    const xcb_window_t root = RootWindow(mConnection);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(windowHandle);
    message.type = Atom(mConnection, "_NET_WM_STATE");
    message.data.data32[0] = topMost ? kAdd : kRemove;
    message.data.data32[1] = Atom(mConnection, "_NET_WM_STATE_ABOVE");
    message.data.data32[2] = 0;
    message.data.data32[3] = kFromApplication;
    xcb_send_event(mConnection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(mConnection);
}

} // namespace mirvane::x11
