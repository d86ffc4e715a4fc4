#pragma once

#include <cstdint>

namespace mirvane {

// Keeps a top-level window above all others, or lets it go back among them.
class WindowStacking {
public:
    virtual ~WindowStacking() = default;
    virtual void SetTopMost(std::uintptr_t windowHandle, bool topMost) = 0;
};

} // namespace mirvane
