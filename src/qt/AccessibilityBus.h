#pragma once

namespace mirvane {

// Whether the program joins the desktop's accessibility bus: only when the person asks
// (--accessible). Call before the application object of the window toolkit exists.
void PrepareAccessibilityBus(bool asked);

} // namespace mirvane
