#pragma once

namespace mirvane {

// SIGTERM and SIGINT end the program as its Exit command does: the event loop returns and
// everything is torn down in order, so no copy of the password and no pressed key is left.
void QuitOnTerminationSignals();

} // namespace mirvane
