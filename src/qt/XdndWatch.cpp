#include "XdndWatch.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

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
    xcb_atom_t xdndFinished;
    xcb_atom_t netWmPid;
    xcb_atom_t mark;
    xcb_window_t markWindow; // unseen; a change of its property comes back behind earlier events
    std::uint8_t xinputOpcode;
};

std::unique_ptr<XdndWatch> XdndWatch::Install(DropGate& gate) {
    auto* x11Application = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11Application == nullptr || x11Application->connection() == nullptr) {
        return nullptr;
    }
    xcb_connection_t* connection = x11Application->connection();
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const xcb_window_t root = xcb_setup_roots_iterator(setup).data->root;
    const xcb_window_t markWindow = xcb_generate_id(connection);
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, markWindow, root, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    auto x11 = std::make_unique<X11>(X11{
        connection, root, setup->resource_id_mask, Atom(connection, "XdndSelection"),
        Atom(connection, "XdndFinished"), Atom(connection, "_NET_WM_PID"),
        Atom(connection, "MIRVANE_DROP_MARK"), markWindow, ExtensionOpcode(connection, "XInputExtension")});
    std::unique_ptr<XdndWatch> watch(new XdndWatch(gate, std::move(x11)));
    qGuiApp->installNativeEventFilter(watch.get());
    return watch;
}

XdndWatch::XdndWatch(DropGate& gate, std::unique_ptr<X11> x11) : mGate(gate), mX11(std::move(x11)) {}

XdndWatch::~XdndWatch() {
    if (qGuiApp != nullptr) {
        qGuiApp->removeNativeEventFilter(this);
    }
    xcb_destroy_window(mX11->connection, mX11->markWindow);
    xcb_flush(mX11->connection);
}

// The deepest window under the pointer belongs to the program the drop lands on; the
// window manager's frame around it belongs to another client and is passed through. Its
// process is the one its windows name, if any.
std::uint32_t XdndWatch::ClientUnderPointer() {
    mTargetPid = 0;
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
    std::vector<xcb_window_t> path;
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
        path.push_back(child);
    }
    if (window == mX11->root) {
        return 0;
    }
    const std::uint32_t client = window & ~mX11->clientMask;
    for (auto at = path.rbegin(); at != path.rend() && mTargetPid == 0; ++at) {
        if ((*at & ~mX11->clientMask) != client) {
            continue;
        }
        xcb_get_property_reply_t* pid = xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, *at, mX11->netWmPid, XCB_ATOM_CARDINAL, 0, 1),
            nullptr);
        if (pid != nullptr && pid->format == 32 && xcb_get_property_value_length(pid) == 4) {
            mTargetPid = *static_cast<const std::uint32_t*>(xcb_get_property_value(pid));
        }
        std::free(pid);
    }
    return client;
}

// The kernel's account of the target's main thread, which reads its X events.
bool XdndWatch::SampleTarget(Sample& sample) const {
    const std::string process = "/proc/" + std::to_string(mTargetPid);
    std::ifstream schedstat(process + "/schedstat");
    long long ran = 0;
    long long waited = 0;
    if (!(schedstat >> ran >> waited)) {
        return false;
    }
    std::ifstream statFile(process + "/stat");
    std::string stat;
    std::getline(statFile, stat);
    const std::size_t end = stat.rfind(')'); // the command name may hold anything
    if (end == std::string::npos || end + 2 >= stat.size()) {
        return false;
    }
    const char state = stat[end + 2];
    sample = {std::chrono::steady_clock::now(), std::chrono::nanoseconds(ran + waited),
              state == 'T' || state == 't' || state == 'D'};
    return true;
}

// A target that sleeps has chosen not to ask; one that runs may be on its way to asking, and
// one that is stopped or waiting for a processor cannot ask.
std::chrono::nanoseconds XdndWatch::TargetHeldBack() {
    Sample now{};
    if (mTargetPid == 0 || !SampleTarget(now)) {
        return {};
    }
    const std::chrono::nanoseconds wall = now.at - mLastSample.at;
    const std::chrono::nanoseconds held = now.held ? wall : now.busy - mLastSample.busy;
    mLastSample = now;
    return std::clamp(held, std::chrono::nanoseconds{}, wall);
}

void XdndWatch::CloseBehindRequests() {
    if (mClosing) {
        return;
    }
    mClosing = true;
    const std::uint32_t value = 0;
    xcb_change_property(mX11->connection, XCB_PROP_MODE_REPLACE, mX11->markWindow, mX11->mark,
                        XCB_ATOM_CARDINAL, 32, 1, &value);
    xcb_flush(mX11->connection);
}

bool XdndWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7f;
    if (type == XCB_PROPERTY_NOTIFY) {
        const auto* change = static_cast<const xcb_property_notify_event_t*>(message);
        if (mClosing && change->window == mX11->markWindow && change->atom == mX11->mark) {
            mClosing = false;
            mGate.Expire();
        }
    } else if (!mGate.Open()) {
        return false;
    } else if (type == XCB_CLIENT_MESSAGE) {
        const auto* said = static_cast<const xcb_client_message_event_t*>(message);
        if (said->type == mX11->xdndFinished && said->format == 32) {
            mGate.Finished(said->data.data32[0] & ~mX11->clientMask);
        }
    } else if (type == XCB_SELECTION_REQUEST) {
        const auto* request = static_cast<const xcb_selection_request_event_t*>(message);
        if (request->selection == mX11->xdndSelection) {
            mGate.Requested(request->requestor & ~mX11->clientMask);
        }
    } else if (type == XCB_BUTTON_RELEASE ||
               (type == XCB_GE_GENERIC && mX11->xinputOpcode != 0 &&
                static_cast<const xcb_ge_generic_event_t*>(message)->extension == mX11->xinputOpcode &&
                static_cast<const xcb_ge_generic_event_t*>(message)->event_type == kXiButtonRelease)) {
        // Seen before the toolkit drops, so the gate knows the target before it can ask; the
        // same release may come again from another device.
        if (!mGate.AwaitsDrop()) {
            return false;
        }
        mGate.Dropped(ClientUnderPointer());
        mClosing = false; // a mark still on its way was for an earlier drop
        if (mTargetPid != 0 && !SampleTarget(mLastSample)) {
            mTargetPid = 0;
        }
    }
    return false;
}

} // namespace mirvane
