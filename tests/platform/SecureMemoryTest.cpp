#include "common/SecureMemory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>

#include <sys/mman.h>
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
    // AddressSanitizer and some sandboxes take mlock as a no-op; there is nothing to read there.
    const long unlocked = lockedKb();
    void* probe = mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(probe, MAP_FAILED);
    const bool counted = mlock(probe, 4096) == 0 && lockedKb() - unlocked == 4;
    munmap(probe, 4096);
    if (!counted) {
        GTEST_SKIP() << "this kernel does not count locked memory";
    }
    const long before = lockedKb();
    void* secret = mirvane::AllocateSecret(3 * 4096 - 100); // three pages
    EXPECT_EQ(lockedKb() - before, 12);
    mirvane::FreeSecret(secret, 3 * 4096 - 100);
    EXPECT_EQ(lockedKb(), before);
}

// Wiping writes zeros where the secret is, as far as asked and no further.
TEST(SecureMemory, WipingZeroesTheSecretInPlace) {
    auto* secret = static_cast<unsigned char*>(mirvane::AllocateSecret(64));
    std::memset(secret, 'x', 64);
    mirvane::WipeMemory(secret, 40);
    EXPECT_EQ(std::count(secret, secret + 64, 0), 40);
    EXPECT_EQ(secret[40], 'x');
    mirvane::FreeSecret(secret, 64);
}
