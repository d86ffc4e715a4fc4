#pragma once

#include <string>

namespace mirvane::x11 {

// Whether an X server answers at this display name (empty: the DISPLAY variable).
bool DisplayAnswers(const std::string& name);

} // namespace mirvane::x11
