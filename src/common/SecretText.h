#pragma once

// Text that may hold the password. Every character it holds lives in memory of its own that
// is locked against swap and wiped before it is freed; none in the string object itself.

#include "common/SecureMemory.h"

#include <cstddef>
#include <string>
#include <utility>

namespace mirvane {

template <class T> struct WipingAllocator {
    using value_type = T;
    WipingAllocator() noexcept = default;
    template <class U> WipingAllocator(const WipingAllocator<U>&) noexcept {}
    T* allocate(std::size_t count) { return static_cast<T*>(AllocateSecret(count * sizeof(T))); }
    void deallocate(T* memory, std::size_t count) noexcept { FreeSecret(memory, count * sizeof(T)); }
    template <class U> bool operator==(const WipingAllocator<U>&) const noexcept { return true; }
};

using SecretString = std::basic_string<char16_t, std::char_traits<char16_t>, WipingAllocator<char16_t>>;

// A string would keep a short text (up to seven characters here) inside the object itself, on
// the stack or wherever the object is, and leave it there unwiped when it goes: a whole short
// password. So a secret text takes its buffer from the secret memory before it holds a
// character, keeps one when moved from, and wipes itself when it goes; its substrings and sums
// are secret texts too.
class SecretText : public SecretString {
public:
    SecretText() { Reserve(); }
    // Whatever a string can be assigned from, it converts from, as the string it stands for does.
    template <class... Arguments>
        requires(sizeof...(Arguments) > 0 && requires(SecretString& text, Arguments&&... given) {
                    text.assign(std::forward<Arguments>(given)...);
                })
    SecretText(Arguments&&... arguments) {
        Reserve();
        assign(std::forward<Arguments>(arguments)...);
    }
    SecretText(const SecretText& other) : SecretText(static_cast<const SecretString&>(other)) {}
    SecretText(SecretText&& other) : SecretString(std::move(other)) {
        Reserve();
        other.Reserve();
    }
    SecretText& operator=(const SecretText& other) {
        assign(other);
        return *this;
    }
    SecretText& operator=(SecretText&& other) {
        swap(other); // both keep a buffer of the secret memory
        other.WipeAll();
        return *this;
    }
    template <class Argument>
        requires requires(SecretString& text, Argument&& given) { text.assign(std::forward<Argument>(given)); }
    SecretText& operator=(Argument&& argument) {
        assign(std::forward<Argument>(argument));
        return *this;
    }
    ~SecretText() { WipeAll(); }

    SecretText substr(size_type position = 0, size_type count = npos) const {
        return SecretText(*this, position, count);
    }

    // Zeroes the whole buffer, not only the characters in use, and empties the text.
    void WipeAll() noexcept {
        resize(capacity()); // within capacity: no new buffer
        WipeMemory(data(), size() * sizeof(char16_t));
        clear();
    }

private:
    void Reserve() { reserve(SecretString().capacity() + 1); }
};

inline SecretText operator+(const SecretText& left, std::u16string_view right) {
    SecretText sum;
    sum.reserve(left.size() + right.size());
    sum.append(left).append(right);
    return sum;
}

inline SecretText operator+(const SecretText& left, const SecretText& right) {
    return left + std::u16string_view(right);
}

inline SecretText operator+(std::u16string_view left, const SecretText& right) {
    return SecretText(left) + std::u16string_view(right);
}

inline SecretText operator+(const SecretText& left, const char16_t* right) {
    return left + std::u16string_view(right);
}

inline SecretText operator+(const char16_t* left, const SecretText& right) {
    return std::u16string_view(left) + right;
}

inline SecretText operator+(const SecretText& left, char16_t right) {
    return left + std::u16string_view(&right, 1);
}

inline bool operator==(const SecretText& left, std::u16string_view right) {
    return std::u16string_view(left) == right;
}

inline bool operator==(const SecretText& left, const SecretText& right) {
    return std::u16string_view(left) == std::u16string_view(right);
}

inline bool operator==(const SecretText& left, const char16_t* right) {
    return std::u16string_view(left) == std::u16string_view(right);
}

inline void Wipe(SecretText& text) noexcept { text.WipeAll(); }

} // namespace mirvane
