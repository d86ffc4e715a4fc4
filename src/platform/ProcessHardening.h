#pragma once

namespace mirvane::platform {

// Keeps other programs of the same user out of this process's memory: no core file, no
// attaching a debugger, no reading its memory through /proc; on Windows, libraries load only
// from the system folder. Called first, before anything loads a library or holds a secret.
void HardenProcess();

} // namespace mirvane::platform
