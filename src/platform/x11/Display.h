#pragma once

#include <cstdint>
#include <string>

struct xcb_connection_t;

namespace mirvane::x11 {

// Whether an X server answers at this display name (empty: the DISPLAY variable).
bool DisplayAnswers(const std::string& name);

// A connection of its own to the X server of the DISPLAY variable; throws the message when
// none answers.
xcb_connection_t* Connect(const char* noDisplay = "No X display");

// The root window of the connection's first screen.
std::uint32_t RootWindow(xcb_connection_t* connection);

} // namespace mirvane::x11
