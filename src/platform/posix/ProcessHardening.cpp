#include "platform/ProcessHardening.h"

#include <sys/prctl.h>
#include <sys/resource.h>

namespace mirvane::platform {

void HardenProcess() {
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
}

} // namespace mirvane::platform
