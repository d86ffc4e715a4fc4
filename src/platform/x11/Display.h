#pragma once

#include <string>

struct xcb_connection_t;

namespace mirvane::x11 {

// Whether an X server answers at this display name (empty: the DISPLAY variable).
bool DisplayAnswers(const std::string& name);

// A connection of its own to the X server of the DISPLAY variable; throws when none answers.
xcb_connection_t* Connect();

} // namespace mirvane::x11
