#include "platform/ProcessHardening.h"

#include <gtest/gtest.h>

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Hardened, the process writes no core file and no other process of the user may attach to it
// or read its memory. In a child, so that the test process keeps its own settings.
TEST(ProcessHardening, TheProcessIsNotDumpableAndWritesNoCore) {
    const pid_t child = fork();
    if (child == 0) {
        mirvane::platform::HardenProcess();
        rlimit core{};
        getrlimit(RLIMIT_CORE, &core);
        _exit(prctl(PR_GET_DUMPABLE) == 0 && core.rlim_cur == 0 && core.rlim_max == 0 ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
