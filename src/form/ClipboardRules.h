#pragma once

namespace mirvane {

// A copy of the plain line that the person asked for is taken back after this long, unless
// something else has been put on the clipboard since.
inline constexpr int kCopyLifetimeMs = 10000;

} // namespace mirvane
