#pragma once

#include <cstdint>

namespace mirvane {

// Makes a top-level window translucent at a constant opacity (0 to 255).
class WindowLayering {
public:
    virtual ~WindowLayering() = default;
    virtual void MakeWindowLayered(std::uintptr_t windowHandle, std::int16_t opacity) = 0;
};

} // namespace mirvane
