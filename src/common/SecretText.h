#pragma once

// Text that may hold the password. Every buffer it allocates lives in memory of its own
// that is locked against swap and wiped before it is freed. Short texts live inside the
// string object itself; Wipe clears that too.

#include "platform/SecureMemory.h"

#include <cstddef>
#include <string>

namespace mirvane {

template <class T> struct WipingAllocator {
    using value_type = T;
    WipingAllocator() noexcept = default;
    template <class U> WipingAllocator(const WipingAllocator<U>&) noexcept {}
    T* allocate(std::size_t count) { return static_cast<T*>(platform::AllocateSecret(count * sizeof(T))); }
    void deallocate(T* memory, std::size_t count) noexcept {
        platform::FreeSecret(memory, count * sizeof(T));
    }
    template <class U> bool operator==(const WipingAllocator<U>&) const noexcept { return true; }
};

using SecretText = std::basic_string<char16_t, std::char_traits<char16_t>, WipingAllocator<char16_t>>;

// Zeroes the whole buffer, not only the characters in use, and empties the text.
inline void Wipe(SecretText& text) noexcept {
    text.resize(text.capacity()); // within capacity: no new buffer
    platform::WipeMemory(text.data(), text.size() * sizeof(char16_t));
    text.clear();
}

} // namespace mirvane
