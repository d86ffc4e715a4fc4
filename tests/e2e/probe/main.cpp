// Another program on the same display, acting as an attacker would. Prints one line per
// answer it gets ("GOT:<text>" or "EMPTY"), so that a test can see what leaked.
//   probe spy X Y W H [--accept]  a window that declares itself a drop target and asks
//                                 for the drag's data at every pointer move over it;
//                                 with --accept it takes drops, never asks for the data
//                                 then, and asks again a second later ("LATE" first)
//   probe poll                    asks for the drag's data every 20 ms, with the current
//                                 time and with recent server time stamps
//   probe read SELECTION TARGET   reads PRIMARY or CLIPBOARD once as TARGET
//   probe own TEXT                owns CLIPBOARD and serves TEXT until killed

#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {
xcb_connection_t* gConnection = nullptr;
xcb_screen_t* gScreen = nullptr;

xcb_atom_t Atom(const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        gConnection, xcb_intern_atom(gConnection, 0, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

std::string AtomName(xcb_atom_t atom) {
    xcb_get_atom_name_reply_t* reply =
        xcb_get_atom_name_reply(gConnection, xcb_get_atom_name(gConnection, atom), nullptr);
    if (reply == nullptr) {
        return {};
    }
    std::string name(xcb_get_atom_name_name(reply),
                     static_cast<size_t>(xcb_get_atom_name_name_length(reply)));
    std::free(reply);
    return name;
}

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

xcb_window_t NewWindow(int16_t x, int16_t y, uint16_t w, uint16_t h, bool overrideRedirect) {
    const xcb_window_t window = xcb_generate_id(gConnection);
    const uint32_t values[] = {gScreen->white_pixel, overrideRedirect ? 1U : 0U,
                               XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(gConnection, XCB_COPY_FROM_PARENT, window, gScreen->root, x, y, w, h, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, gScreen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    return window;
}

// The answer to one conversion: the property's text, or empty.
std::string TakeProperty(xcb_window_t window, xcb_atom_t property) {
    if (property == XCB_ATOM_NONE) {
        return {};
    }
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        gConnection, xcb_get_property(gConnection, 1, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 65536),
        nullptr);
    std::string text;
    if (reply != nullptr) {
        if (reply->type == Atom("ATOM")) {
            const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
            for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i) {
                text += AtomName(atoms[i]) + " ";
            }
        } else {
            text.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                        static_cast<size_t>(xcb_get_property_value_length(reply)));
        }
        std::free(reply);
    }
    return text;
}

void Report(const std::string& text) { Say(text.empty() ? "EMPTY" : "GOT:" + text); }

// Asks for a selection and waits up to a second for the answer, handling other events on the way.
template <class OnOther>
std::string Convert(xcb_window_t window, xcb_atom_t selection, xcb_atom_t target, xcb_timestamp_t time,
                    OnOther onOther) {
    const xcb_atom_t property = Atom("PROBE_DATA");
    xcb_convert_selection(gConnection, window, selection, target, property, time);
    xcb_flush(gConnection);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (std::chrono::steady_clock::now() < deadline) {
        xcb_generic_event_t* event = xcb_poll_for_event(gConnection);
        if (event == nullptr) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            continue;
        }
        if ((event->response_type & 0x7f) == XCB_SELECTION_NOTIFY) {
            const auto* notify = reinterpret_cast<xcb_selection_notify_event_t*>(event);
            const xcb_atom_t answered = notify->property;
            std::free(event);
            return TakeProperty(window, answered);
        }
        onOther(event);
        std::free(event);
    }
    return {};
}

void ClientMessage(xcb_window_t to, xcb_atom_t type, std::vector<uint32_t> data) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = to;
    message.type = type;
    for (size_t i = 0; i < data.size() && i < 5; ++i) {
        message.data.data32[i] = data[i];
    }
    xcb_send_event(gConnection, 0, to, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    xcb_flush(gConnection);
}

int Spy(int16_t x, int16_t y, uint16_t w, uint16_t h, bool accept) {
    const xcb_window_t window = NewWindow(x, y, w, h, true);
    const uint32_t version = 5;
    xcb_change_property(gConnection, XCB_PROP_MODE_REPLACE, window, Atom("XdndAware"), XCB_ATOM_ATOM, 32, 1,
                        &version);
    xcb_map_window(gConnection, window);
    xcb_flush(gConnection);
    Say("READY");
    const xcb_atom_t position = Atom("XdndPosition"), drop = Atom("XdndDrop"), status = Atom("XdndStatus");
    const xcb_atom_t selection = Atom("XdndSelection"), utf8 = Atom("UTF8_STRING");
    const xcb_atom_t copy = Atom("XdndActionCopy");
    xcb_window_t source = XCB_WINDOW_NONE;
    xcb_timestamp_t dropTime = XCB_CURRENT_TIME;
    auto handle = [&](xcb_generic_event_t* event) {
        if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) {
            return;
        }
        const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
        source = message->data.data32[0];
        if (message->type == position) {
            ClientMessage(source, status, {window, accept ? 3U : 0U, 0, 0, accept ? copy : 0U});
            Say("POSITION");
        } else if (message->type == drop) {
            dropTime = message->data.data32[2];
            Say("DROPPED");
        }
    };
    for (;;) {
        xcb_generic_event_t* event = xcb_wait_for_event(gConnection);
        if (event == nullptr) {
            return 0;
        }
        const bool isPosition = (event->response_type & 0x7f) == XCB_CLIENT_MESSAGE &&
                                reinterpret_cast<xcb_client_message_event_t*>(event)->type == position;
        const xcb_timestamp_t time =
            isPosition ? reinterpret_cast<xcb_client_message_event_t*>(event)->data.data32[3] : 0;
        const bool isDrop = (event->response_type & 0x7f) == XCB_CLIENT_MESSAGE &&
                            reinterpret_cast<xcb_client_message_event_t*>(event)->type == drop;
        handle(event);
        std::free(event);
        if (isPosition) {
            Report(Convert(window, selection, utf8, time, handle));
        } else if (isDrop && accept) {
            // A target that never finishes: no request now, one a second later.
            std::this_thread::sleep_for(std::chrono::seconds(1));
            Say("LATE");
            Report(Convert(window, selection, utf8, dropTime, handle));
            Report(Convert(window, selection, utf8, XCB_CURRENT_TIME, handle));
        }
    }
}

int Poll() {
    const xcb_window_t window = NewWindow(0, 0, 1, 1, true);
    const xcb_atom_t selection = Atom("XdndSelection"), utf8 = Atom("UTF8_STRING");
    const xcb_atom_t stamp = Atom("PROBE_STAMP");
    Say("READY");
    auto ignore = [](xcb_generic_event_t*) {};
    for (;;) {
        // A property change tells the server's time now; a drag began a little before.
        xcb_change_property(gConnection, XCB_PROP_MODE_REPLACE, window, stamp, XCB_ATOM_STRING, 8, 0, "");
        xcb_flush(gConnection);
        xcb_timestamp_t now = XCB_CURRENT_TIME;
        while (xcb_generic_event_t* event = xcb_wait_for_event(gConnection)) {
            const bool found = (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY;
            if (found) {
                now = reinterpret_cast<xcb_property_notify_event_t*>(event)->time;
            }
            std::free(event);
            if (found) {
                break;
            }
        }
        for (const xcb_timestamp_t time :
             {static_cast<xcb_timestamp_t>(XCB_CURRENT_TIME), now, now - 50, now - 500}) {
            const std::string text = Convert(window, selection, utf8, time, ignore);
            if (!text.empty()) {
                Report(text);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

int Read(const char* selectionName, const char* targetName) {
    const xcb_window_t window = NewWindow(0, 0, 1, 1, true);
    auto ignore = [](xcb_generic_event_t*) {};
    Report(Convert(window, Atom(selectionName), Atom(targetName), XCB_CURRENT_TIME, ignore));
    return 0;
}

int Own(const std::string& text) {
    const xcb_window_t window = NewWindow(0, 0, 1, 1, true);
    const xcb_atom_t clipboard = Atom("CLIPBOARD"), utf8 = Atom("UTF8_STRING"), targets = Atom("TARGETS");
    // A property change gives a real time stamp to own the selection with.
    xcb_change_property(gConnection, XCB_PROP_MODE_REPLACE, window, Atom("PROBE_STAMP"), XCB_ATOM_STRING, 8,
                        0, "");
    xcb_flush(gConnection);
    xcb_timestamp_t now = XCB_CURRENT_TIME;
    while (xcb_generic_event_t* event = xcb_wait_for_event(gConnection)) {
        const bool found = (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY;
        if (found) {
            now = reinterpret_cast<xcb_property_notify_event_t*>(event)->time;
        }
        std::free(event);
        if (found) {
            break;
        }
    }
    xcb_set_selection_owner(gConnection, window, clipboard, now);
    xcb_flush(gConnection);
    Say("READY");
    while (xcb_generic_event_t* event = xcb_wait_for_event(gConnection)) {
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_SELECTION_CLEAR) {
            Say("LOST");
        } else if (type == XCB_SELECTION_REQUEST) {
            const auto* request = reinterpret_cast<xcb_selection_request_event_t*>(event);
            xcb_atom_t property = request->property;
            if (request->target == utf8) {
                xcb_change_property(gConnection, XCB_PROP_MODE_REPLACE, request->requestor, property, utf8, 8,
                                    static_cast<uint32_t>(text.size()), text.data());
            } else if (request->target == targets) {
                const xcb_atom_t offered[] = {targets, utf8};
                xcb_change_property(gConnection, XCB_PROP_MODE_REPLACE, request->requestor, property,
                                    XCB_ATOM_ATOM, 32, 2, offered);
            } else {
                property = XCB_ATOM_NONE;
            }
            xcb_selection_notify_event_t notify{};
            notify.response_type = XCB_SELECTION_NOTIFY;
            notify.time = request->time;
            notify.requestor = request->requestor;
            notify.selection = request->selection;
            notify.target = request->target;
            notify.property = property;
            xcb_send_event(gConnection, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(&notify));
            xcb_flush(gConnection);
        }
        std::free(event);
    }
    return 0;
}
} // namespace

int main(int argc, char* argv[]) {
    gConnection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(gConnection) != 0) {
        std::fprintf(stderr, "probe: no X display\n");
        return 1;
    }
    gScreen = xcb_setup_roots_iterator(xcb_get_setup(gConnection)).data;
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "spy" && argc >= 6) {
        return Spy(static_cast<int16_t>(std::atoi(argv[2])), static_cast<int16_t>(std::atoi(argv[3])),
                   static_cast<uint16_t>(std::atoi(argv[4])), static_cast<uint16_t>(std::atoi(argv[5])),
                   argc > 6 && std::string(argv[6]) == "--accept");
    }
    if (mode == "poll") {
        return Poll();
    }
    if (mode == "read" && argc == 4) {
        return Read(argv[2], argv[3]);
    }
    if (mode == "own" && argc == 3) {
        return Own(argv[2]);
    }
    std::fprintf(stderr, "usage: probe spy X Y W H [--accept] | poll | read SELECTION TARGET | own TEXT\n");
    return 2;
}
