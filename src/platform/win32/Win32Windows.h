#pragma once

#include "platform/WindowLayering.h"
#include "platform/WindowStacking.h"

namespace mirvane::win32 {

// Top-level windows through user32: a constant opacity, and the top-most place.
class Win32Windows final : public WindowLayering, public WindowStacking {
public:
    // A handle that is no window, or one that cannot be layered, raises "Invalid procedure call".
    void MakeWindowLayered(std::uintptr_t windowHandle, std::int16_t opacity) override;
    void SetTopMost(std::uintptr_t windowHandle, bool topMost) override;
};

} // namespace mirvane::win32
