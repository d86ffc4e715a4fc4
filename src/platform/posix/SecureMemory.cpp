#include "common/SecureMemory.h"

#include <new>

#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

namespace mirvane {

namespace {
std::size_t WholePages(std::size_t bytes) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}
} // namespace

void* AllocateSecret(std::size_t bytes) {
    const std::size_t length = WholePages(bytes == 0 ? 1 : bytes);
    void* memory = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
        throw std::bad_alloc();
    }
    // Over the locked-memory limit the pages stay swappable; the secret still works.
    mlock(memory, length);
    return memory;
}

void FreeSecret(void* memory, std::size_t bytes) noexcept {
    if (memory == nullptr) {
        return;
    }
    const std::size_t length = WholePages(bytes == 0 ? 1 : bytes);
    explicit_bzero(memory, length);
    munlock(memory, length);
    munmap(memory, length);
}

void WipeMemory(void* memory, std::size_t bytes) noexcept {
    if (memory != nullptr) {
        explicit_bzero(memory, bytes);
    }
}

} // namespace mirvane
