#pragma once

#include "Application.h"

namespace mirvane::modMain {

// The program's one application object, once Main has made it.
Application* TheApplication();

// Start-up: make the application object (which opens the main window) and set the hover dwell time.
void Main();

// Releases the application object when the program ends.
void End();

// Draws a window at a constant opacity; a failure is reported in a message box and the window stays opaque.
void MakeWindowLayered(std::uintptr_t windowHandle, std::int16_t opacity);

} // namespace mirvane::modMain
