#pragma once

#include <cstdint>
#include <optional>

namespace mirvane {

struct PixelPoint {
    int x;
    int y;
};

// Where a top-level window's inside is on the screen now, in the display server's pixels,
// as the server itself says; nothing when it cannot say.
class WindowPlacement {
public:
    virtual ~WindowPlacement() = default;
    virtual std::optional<PixelPoint> InsideOrigin(std::uintptr_t windowHandle) = 0;
};

} // namespace mirvane
