#include "VirtualKeys.h"

#include <array>

namespace mirvane::x11 {

namespace {
struct NamedKey {
    int virtualKey;
    std::uint32_t keysym;
};

constexpr std::array<NamedKey, 44> kNamedKeys{{
    {8, 0xff08},   {9, 0xff09},   {13, 0xff0d},  {16, 0xffe1},  {17, 0xffe3},  {18, 0xffe9},  {19, 0xff13},
    {20, 0xffe5},  {27, 0xff1b},  {32, 0x0020},  {33, 0xff55},  {34, 0xff56},  {35, 0xff57},  {36, 0xff50},
    {37, 0xff51},  {38, 0xff52},  {39, 0xff53},  {40, 0xff54},  {42, 0xff61},  {45, 0xff63},  {46, 0xffff},
    {47, 0xff6a},  {91, 0xffeb},  {92, 0xffec},  {106, 0xffaa}, {107, 0xffab}, {109, 0xffad}, {110, 0xffae},
    {111, 0xffaf}, {144, 0xff7f}, {145, 0xff14}, {160, 0xffe1}, {161, 0xffe2}, {162, 0xffe3}, {163, 0xffe4},
    {164, 0xffe9}, {165, 0xffea}, {186, 0x003b}, {187, 0x003d}, {188, 0x002c}, {189, 0x002d}, {190, 0x002e},
    {191, 0x002f}, {192, 0x0060},
}};

// The US positions of the punctuation keys, as evdev keycodes.
struct PunctuationKey {
    int virtualKey;
    std::uint8_t keycode;
};
constexpr std::array<PunctuationKey, 11> kPunctuationKeys{{
    {186, 47}, // ; :
    {187, 21}, // = +
    {188, 59}, // , <
    {189, 20}, // - _
    {190, 60}, // . >
    {191, 61}, // / ?
    {192, 49}, // ` ~
    {219, 34}, // [ {
    {220, 51}, // \ |
    {221, 35}, // ] }
    {222, 48}, // ' "
}};
} // namespace

std::uint32_t KeysymOfVirtualKey(int virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        return static_cast<std::uint32_t>(virtualKey - 'A' + 'a');
    }
    if (virtualKey >= '0' && virtualKey <= '9') {
        return static_cast<std::uint32_t>(virtualKey);
    }
    if (virtualKey >= 96 && virtualKey <= 105) {
        return 0xffb0 + static_cast<std::uint32_t>(virtualKey - 96); // the number pad
    }
    if (virtualKey >= 112 && virtualKey <= 135) {
        return 0xffbe + static_cast<std::uint32_t>(virtualKey - 112); // F1 ...
    }
    for (const NamedKey& key : kNamedKeys) {
        if (key.virtualKey == virtualKey) {
            return key.keysym;
        }
    }
    return 0;
}

std::uint8_t KeycodeOfPunctuationKey(int virtualKey) {
    for (const PunctuationKey& key : kPunctuationKeys) {
        if (key.virtualKey == virtualKey) {
            return key.keycode;
        }
    }
    return 0;
}

int VirtualKeyOfKey(std::uint32_t unshiftedKeysym, std::uint8_t keycode) {
    for (const PunctuationKey& key : kPunctuationKeys) {
        if (key.keycode == keycode) {
            return key.virtualKey;
        }
    }
    if (unshiftedKeysym >= 'a' && unshiftedKeysym <= 'z') {
        return static_cast<int>(unshiftedKeysym - 'a' + 'A');
    }
    if (unshiftedKeysym >= 'A' && unshiftedKeysym <= 'Z') {
        return static_cast<int>(unshiftedKeysym);
    }
    if (unshiftedKeysym >= '0' && unshiftedKeysym <= '9') {
        return static_cast<int>(unshiftedKeysym);
    }
    for (const NamedKey& key : kNamedKeys) {
        if (key.keysym == unshiftedKeysym) {
            return key.virtualKey;
        }
    }
    return -1;
}

std::uint32_t KeysymOfCharacter(char16_t character) {
    if (character == u'\t') {
        return 0xff09;
    }
    if (character == u'\r' || character == u'\n') {
        return 0xff0d;
    }
    if (character == 8) {
        return 0xff08;
    }
    if (character == 27) {
        return 0xff1b;
    }
    if ((character >= 0x20 && character <= 0x7e) || (character >= 0xa0 && character <= 0xff)) {
        return character;
    }
    return 0x01000000U + character;
}

} // namespace mirvane::x11
