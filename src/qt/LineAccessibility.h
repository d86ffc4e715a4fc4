#pragma once

namespace mirvane {

// What the accessibility bus learns of the two password lines: their role, state, place and
// caret, and for the masked line how many stars it shows; never a character of the password.
// Install once the application object exists, before the window opens.
void InstallLineAccessibility();

} // namespace mirvane
