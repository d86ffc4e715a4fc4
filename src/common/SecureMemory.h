#pragma once

#include <cstddef>

namespace mirvane {

// The port through which text that may hold the password gets its memory; each platform
// implements it. Memory for secrets: pages of their own, locked against swap where the system allows,
// wiped and handed back to the system when freed, so that no copy outlives its use.
void* AllocateSecret(std::size_t bytes);
void FreeSecret(void* memory, std::size_t bytes) noexcept;

// Zeroes memory in a way the compiler may not drop as a dead store.
void WipeMemory(void* memory, std::size_t bytes) noexcept;

} // namespace mirvane
