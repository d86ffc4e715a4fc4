#include "XdndWatch.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace mirvane {

namespace {
constexpr std::uint8_t kXiButtonRelease = 5;

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

std::uint8_t ExtensionOpcode(xcb_connection_t* connection, const char* name) {
    xcb_query_extension_reply_t* reply = xcb_query_extension_reply(
        connection, xcb_query_extension(connection, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    const std::uint8_t opcode = reply != nullptr && reply->present != 0 ? reply->major_opcode : 0;
    std::free(reply);
    return opcode;
}
} // namespace

struct XdndWatch::X11 {
    xcb_connection_t* connection;
    xcb_window_t root;
    std::uint32_t clientMask; // the bits of a resource id that one client chooses
    xcb_atom_t xdndSelection;
    std::uint8_t xinputOpcode;
};

std::unique_ptr<XdndWatch> XdndWatch::Install(DropGate& gate) {
    auto* x11Application = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11Application == nullptr || x11Application->connection() == nullptr) {
        return nullptr;
    }
    xcb_connection_t* connection = x11Application->connection();
    const xcb_setup_t* setup = xcb_get_setup(connection);
    auto x11 = std::make_unique<X11>(X11{connection, xcb_setup_roots_iterator(setup).data->root,
                                         setup->resource_id_mask, Atom(connection, "XdndSelection"),
                                         ExtensionOpcode(connection, "XInputExtension")});
    std::unique_ptr<XdndWatch> watch(new XdndWatch(gate, std::move(x11)));
    qGuiApp->installNativeEventFilter(watch.get());
    return watch;
}

XdndWatch::XdndWatch(DropGate& gate, std::unique_ptr<X11> x11) : mGate(gate), mX11(std::move(x11)) {}

XdndWatch::~XdndWatch() {
    if (qGuiApp != nullptr) {
        qGuiApp->removeNativeEventFilter(this);
    }
}

// The deepest window under the pointer belongs to the program the drop lands on; the
// window manager's frame around it belongs to another client and is passed through.
std::uint32_t XdndWatch::ClientUnderPointer() const {
    xcb_connection_t* connection = mX11->connection;
    xcb_query_pointer_reply_t* pointer =
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, mX11->root), nullptr);
    if (pointer == nullptr) {
        return 0;
    }
    const std::int16_t x = pointer->root_x;
    const std::int16_t y = pointer->root_y;
    std::free(pointer);
    xcb_window_t window = mX11->root;
    for (int depth = 0; depth < 64; ++depth) {
        xcb_translate_coordinates_reply_t* below = xcb_translate_coordinates_reply(
            connection, xcb_translate_coordinates(connection, mX11->root, window, x, y), nullptr);
        const xcb_window_t child =
            below != nullptr ? below->child : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
        std::free(below);
        if (child == XCB_WINDOW_NONE) {
            break;
        }
        window = child;
    }
    return window == mX11->root ? 0 : window & ~mX11->clientMask;
}

bool XdndWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) {
    if (!mGate.Open() || eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type == XCB_SELECTION_REQUEST) {
        const auto* request = static_cast<const xcb_selection_request_event_t*>(message);
        if (request->selection == mX11->xdndSelection) {
            mGate.Requested(request->requestor & ~mX11->clientMask);
        }
    } else if (type == XCB_BUTTON_RELEASE ||
               (type == XCB_GE_GENERIC && mX11->xinputOpcode != 0 &&
                static_cast<const xcb_ge_generic_event_t*>(message)->extension == mX11->xinputOpcode &&
                static_cast<const xcb_ge_generic_event_t*>(message)->event_type == kXiButtonRelease)) {
        // Seen before the toolkit drops, so the gate knows the target before it can ask.
        mGate.Dropped(ClientUnderPointer());
    }
    return false;
}

} // namespace mirvane
