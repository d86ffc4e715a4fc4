#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <array>

using namespace mirvane;
using namespace mirvane::test;

namespace {
// The character buttons of the four rows, left to right.
const std::vector<int> kRows[4] = {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
                                   {17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 65},
                                   {31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41},
                                   {43, 44, 45, 46, 47, 48, 49, 50, 51, 52}};

using Rows = std::array<std::u16string, 4>;
const Rows kStandard{u"`1234567890-=", u"qwertyuiop[]\\", u"asdfghjkl;'", u"zxcvbnm,./"};
const Rows kStandardShifted{u"~!@#$%^&&*()_+", u"QWERTYUIOP{}|", u"ASDFGHJKL:\"", u"ZXCVBNM<>?"};
const Rows kDvorak{u"`1234567890[]", u"',.pyfgcrl/=\\", u"aoeuidhtns-", u";qjkxbmwvz"};
const Rows kDvorakShifted{u"~!@#$%^&&*(){}", u"\"<>PYFGCRL?+|", u"AOEUIDHTNS_", u":QJKXBMWVZ"};
} // namespace

// Shift and Caps Lock each choose the shifted set and together cancel; "&" shows as "&&".
TEST(Captions, EveryRowForEachShiftAndCapsLockInBothArrangements) {
    using Case = std::tuple<bool, bool, std::int16_t, const Rows&>; // Shift, Caps Lock, layout, captions
    for (const auto& [shift, caps, layout, rows] :
         {Case{false, false, 0, kStandard}, Case{true, false, 0, kStandardShifted},
          Case{false, true, 0, kStandardShifted}, Case{true, true, 0, kStandard},
          Case{false, false, 1, kDvorak}, Case{true, false, 1, kDvorakShifted},
          Case{false, true, 1, kDvorakShifted}, Case{true, true, 1, kDvorak}}) {
        SCOPED_TRACE(std::to_string(shift) + std::to_string(caps) + std::to_string(layout));
        EngineHarness h;
        h.keyboard->SetKeyboardLayoutType(layout);
        for (const auto& [pressed, key] : {std::pair{caps, 30}, std::pair{shift, 42}}) {
            if (pressed) {
                h.keyboard->ButtonClick(h.window->Key(key));
            }
        }
        EXPECT_EQ(h.keyboard->ShiftIsDown(), shift);
        EXPECT_EQ(h.keyboard->CapsLockIsDown(), caps);
        for (std::size_t row = 0; row < 4; ++row) {
            std::u16string shown;
            for (const int number : kRows[row]) {
                shown += h.window->Key(number).caption;
            }
            EXPECT_EQ(shown, rows[row]) << "row " << row;
        }
    }
}

TEST(Captions, SpecialKeysKeepTheirCaptionsAndSparesTheirNumbers) {
    EngineHarness h;
    h.k.ButtonClick(h.w.Key(30)); // Caps Lock
    h.k.SetKeyboardLayoutType(3);
    const std::pair<int, std::u16string> specials[] = {
        {15, u"bksp"}, {16, u"tab"}, {30, u"lock"}, {29, u"ent"}, {42, u"shft"}, {53, u"shft"},
        {54, u"ctrl"}, {55, u"win"}, {56, u"alt"},  {58, u"alt"}, {57, u""},     {14, u"14"},
        {59, u"59"},   {60, u"60"},  {61, u"61"},   {62, u"62"},  {63, u"63"},   {64, u"64"}};
    for (const auto& [number, caption] : specials) {
        EXPECT_EQ(h.w.Key(number).caption, caption) << number;
    }
}
