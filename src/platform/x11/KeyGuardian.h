#pragma once

#include <cstdint>

namespace mirvane::x11 {

// A key the program holds down stays down on the X server when the program dies without
// letting go (SIGKILL, a crash): the server does not release an ended client's keys. A small
// process of its own is told of every press and release and, when the program's end closes
// their socket, however it ends, releases whatever is still down.
//
// Start it while the program has a single thread (fork); until then, and if it cannot start,
// the program goes on without it.
void StartKeyGuardian();
void GuardKeyPressed(std::uint8_t keycode);  // before the press is sent
void GuardKeyReleased(std::uint8_t keycode); // after the release is sent

} // namespace mirvane::x11
