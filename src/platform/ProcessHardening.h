#pragma once

namespace mirvane::platform {

// Keeps other programs of the same user out of this process's memory: no core file, no
// attaching a debugger, no reading its memory through /proc.
void HardenProcess();

} // namespace mirvane::platform
