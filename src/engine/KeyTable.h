#pragma once

#include "Controls.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace mirvane {

// One character position: its normal and shifted code texts and the button that stands
// there in the standard and in the Dvorak order.
struct CharacterPosition {
    std::string_view normalCode;
    std::string_view shiftedCode;
    int standardButton;
    int dvorakButton;
};

inline constexpr int kCharacterKeyCount = 47;

inline constexpr std::array<CharacterPosition, kCharacterKeyCount> kCharacterPositions{{
    {"&H0060", "&H007E", 1, 1},   {"&H0031", "&H0021", 2, 2},   {"&H0032", "&H0040", 3, 3},
    {"&H0033", "&H0023", 4, 4},   {"&H0034", "&H0024", 5, 5},   {"&H0035", "&H0025", 6, 6},
    {"&H0036", "&H005e", 7, 7},   {"&H0037", "&H0026", 8, 8},   {"&H0038", "&H002A", 9, 9},
    {"&H0039", "&H0028", 10, 10}, {"&H0030", "&H0029", 11, 11}, {"&H002D", "&H005F", 12, 41},
    {"&H003D", "&H002B", 13, 28}, {"&H0071", "&H0051", 17, 44}, {"&H0077", "&H0057", 18, 50},
    {"&H0065", "&H0045", 19, 33}, {"&H0072", "&H0052", 20, 25}, {"&H0074", "&H0054", 21, 38},
    {"&H0079", "&H0059", 22, 21}, {"&H0075", "&H0055", 23, 34}, {"&H0069", "&H0049", 24, 35},
    {"&H006F", "&H004F", 25, 32}, {"&H0070", "&H0050", 26, 20}, {"&H005B", "&H007B", 27, 12},
    {"&H005D", "&H007D", 28, 13}, {"&H005C", "&H007C", 65, 65}, {"&H0061", "&H0041", 31, 31},
    {"&H0073", "&H0053", 32, 40}, {"&H0064", "&H0044", 33, 36}, {"&H0066", "&H0046", 34, 22},
    {"&H0067", "&H0047", 35, 23}, {"&H0068", "&H0048", 36, 37}, {"&H006A", "&H004A", 37, 45},
    {"&H006B", "&H004B", 38, 46}, {"&H006C", "&H004C", 39, 26}, {"&H003B", "&H003A", 40, 43},
    {"&H0027", "&H0022", 41, 17}, {"&H007A", "&H005A", 43, 52}, {"&H0078", "&H0058", 44, 47},
    {"&H0063", "&H0043", 45, 24}, {"&H0076", "&H0056", 46, 51}, {"&H0062", "&H0042", 47, 48},
    {"&H006E", "&H004E", 48, 39}, {"&H006D", "&H004D", 49, 49}, {"&H002C", "&H003C", 50, 18},
    {"&H002E", "&H003E", 51, 19}, {"&H002F", "&H003F", 52, 27},
}};

enum class ButtonOrder { Standard, Dvorak };

// The special keys' captions, in the order a refresh writes them. Each caption is spelt
// in code texts, like the character sets.
struct SpecialCaption {
    int button;
    std::array<std::string_view, 4> codes; // unused entries are empty
};

inline constexpr std::array<SpecialCaption, 11> kSpecialCaptions{{
    {15, {"&H0062", "&H006B", "&H0073", "&H0070"}}, // bksp
    {16, {"&H0074", "&H0061", "&H0062", ""}},       // tab
    {30, {"&H006C", "&H006F", "&H0063", "&H006B"}}, // lock
    {29, {"&H0065", "&H006E", "&H0074", ""}},       // ent
    {42, {"&H0073", "&H0068", "&H0066", "&H0074"}}, // shft
    {53, {"&H0073", "&H0068", "&H0066", "&H0074"}}, // shft
    {54, {"&H0063", "&H0074", "&H0072", "&H006C"}}, // ctrl
    {55, {"&H0077", "&H0069", "&H006E", ""}},       // win
    {56, {"&H0061", "&H006C", "&H0074", ""}},       // alt
    {58, {"&H0061", "&H006C", "&H0074", ""}},       // alt
    {57, {"", "", "", ""}},                         // the space bar shows nothing
}};

// Buttons with no key: they keep their design captions and type nothing.
inline constexpr std::array<int, 7> kSpareButtons{14, 59, 60, 61, 62, 63, 64};

// The character a code text such as "&H005e" stands for (hexadecimal after "&H").
char16_t CodeTextCharacter(std::string_view codeText);

// A cell of the key table: empty, an ordered key, a random key text, or a button.
using KeyCell = std::variant<std::monostate, std::int16_t, std::u16string, KeyButton*>;
inline constexpr int kKeyTableRows = 48;
using KeyTable = std::array<std::array<KeyCell, 3>, kKeyTableRows>;

// Column 0 holds a row's sort key, column 1 its button; column 2 is never used.
inline constexpr int kKeyColumn = 0;
inline constexpr int kButtonColumn = 1;

// A key as the sort compares it: as text ("" for an empty cell).
std::u16string KeyText(const KeyCell& cell);
// An empty cell compares equal to 0, which tells a table that was never filled.
bool KeyEqualsZero(const KeyCell& cell);

} // namespace mirvane
