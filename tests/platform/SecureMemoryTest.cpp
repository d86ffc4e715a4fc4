#include "platform/SecureMemory.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

// The kernel's own count of this process's locked memory holds a secret's pages while it lives.
TEST(SecureMemory, ASecretsPagesStayInMemoryUntilItIsFreed) {
    const auto lockedKb = [] {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("VmLck:", 0) == 0) {
                return std::stol(line.substr(6));
            }
        }
        return -1L;
    };
    rlimit limit{};
    if (getrlimit(RLIMIT_MEMLOCK, &limit) != 0 || (geteuid() != 0 && limit.rlim_cur < 64 * 1024)) {
        GTEST_SKIP() << "the locked-memory limit leaves no room for a secret";
    }
    const long before = lockedKb();
    void* secret = mirvane::platform::AllocateSecret(3 * 4096 - 100); // three pages
    EXPECT_EQ(lockedKb() - before, 12);
    mirvane::platform::FreeSecret(secret, 3 * 4096 - 100);
    EXPECT_EQ(lockedKb(), before);
}
