#pragma once

#include <cstdint>

namespace mirvane::x11 {

// The X keysym that a Windows virtual-key code stands for (0 when none). Letters give
// the lower-case keysym.
std::uint32_t KeysymOfVirtualKey(int virtualKey);

// The virtual-key code of a key, from its unshifted keysym; punctuation keys are named by
// their place on a US keyboard, so those come from the key's position (its keycode).
int VirtualKeyOfKey(std::uint32_t unshiftedKeysym, std::uint8_t keycode);

// The keycode of a punctuation virtual-key code at its US position (0 when not one).
std::uint8_t KeycodeOfPunctuationKey(int virtualKey);

// The keysym of a character: Latin-1 characters are their own keysyms, the rest
// 0x01000000 plus the code.
std::uint32_t KeysymOfCharacter(char16_t character);

} // namespace mirvane::x11
