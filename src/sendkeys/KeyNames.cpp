#include "cSendKeys.h"

#include <array>
#include <string_view>

namespace mirvane {

namespace {
struct KeyName {
    std::string_view name;
    std::int32_t code;
};

// The names the command language knows, with their virtual-key codes. "PRTSC" is the
// Print key (42), not Print Screen.
constexpr std::array<KeyName, 41> kKeyNames{{
    {"BACKSPACE", 8}, {"BS", 8},        {"BKSP", 8},    {"TAB", 9},       {"ENTER", 13},       {"~", 13},
    {"BREAK", 19},    {"CAPSLOCK", 20}, {"ESC", 27},    {"PGUP", 33},     {"PGDN", 34},        {"END", 35},
    {"HOME", 36},     {"LEFT", 37},     {"UP", 38},     {"RIGHT", 39},    {"DOWN", 40},        {"PRTSC", 42},
    {"INS", 45},      {"INSERT", 45},   {"DELETE", 46}, {"DEL", 46},      {"HELP", 47},        {"F1", 112},
    {"F2", 113},      {"F3", 114},      {"F4", 115},    {"F5", 116},      {"F6", 117},         {"F7", 118},
    {"F8", 119},      {"F9", 120},      {"F10", 121},   {"F11", 122},     {"F12", 123},        {"F13", 124},
    {"F14", 125},     {"F15", 126},     {"F16", 127},   {"NUMLOCK", 144}, {"SCROLLLOCK", 145},
}};

char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }
} // namespace

std::int32_t cSendKeys::KeyNameCode(const std::u16string& name) {
    for (const KeyName& entry : kKeyNames) {
        if (entry.name.size() != name.size()) {
            continue;
        }
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i) {
            same = Upper(name[i]) == static_cast<char16_t>(entry.name[i]);
        }
        if (same) {
            return entry.code;
        }
    }
    return 0;
}

} // namespace mirvane
