#include "Display.h"

#include "common/ErrorObject.h"

#include <xcb/xcb.h>

namespace mirvane::x11 {

bool DisplayAnswers(const std::string& name) {
    xcb_connection_t* connection = xcb_connect(name.empty() ? nullptr : name.c_str(), nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

xcb_connection_t* Connect(const char* noDisplay) {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        throw ErrorObject(kErrorInvalidCall, "mirvane", noDisplay);
    }
    return connection;
}

std::uint32_t RootWindow(xcb_connection_t* connection) {
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

} // namespace mirvane::x11
