#include "common/SecureMemory.h"

#include <new>

#include <windows.h>

namespace mirvane {

void* AllocateSecret(std::size_t bytes) {
    const std::size_t length = bytes == 0 ? 1 : bytes;
    void* memory = VirtualAlloc(nullptr, length, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    // Beyond the working-set quota the pages stay swappable; the secret still works.
    VirtualLock(memory, length);
    return memory;
}

void FreeSecret(void* memory, std::size_t bytes) noexcept {
    if (memory == nullptr) {
        return;
    }
    const std::size_t length = bytes == 0 ? 1 : bytes;
    SecureZeroMemory(memory, length);
    VirtualUnlock(memory, length);
    VirtualFree(memory, 0, MEM_RELEASE);
}

void WipeMemory(void* memory, std::size_t bytes) noexcept {
    if (memory != nullptr) {
        SecureZeroMemory(memory, bytes);
    }
}

} // namespace mirvane
