#include "Keyboard.h"

namespace mirvane {

namespace {
constexpr std::string_view kAmpersandCode = "&H0026";
} // namespace

void Keyboard::RefreshKeyCaptions(std::int16_t mode) {
    const bool randomKeys = mode == kScramble;
    const bool neverFilled =
        KeyEqualsZero(mKeyTable[5][kKeyColumn]) && KeyEqualsZero(mKeyTable[15][kKeyColumn]);
    if (neverFilled || (mode >= kScramble && mode <= kLastRefillMode)) {
        FillKeyTable(ButtonOrder::Standard, randomKeys);
    }
    if (mode == kScramble) {
        SortKeyTable(mKeyTable);
    }

    // Shift and Caps Lock together cancel out, as on a desk keyboard.
    const bool shifted = mShiftIsDown != mCapsLockIsDown;
    std::int16_t row = 0;
    for (const CharacterPosition& position : kCharacterPositions) {
        SetKeyCaption(shifted ? position.shiftedCode : position.normalCode, row);
    }

    for (const SpecialCaption& special : kSpecialCaptions) {
        std::u16string caption;
        for (std::string_view code : special.codes) {
            if (!code.empty()) {
                caption += CodeTextCharacter(code);
            }
        }
        Button(special.button).SetCaption(caption);
    }
}

void Keyboard::SetKeyCaption(std::string_view codeText, std::int16_t& row) {
    const char16_t character = CodeTextCharacter(codeText);
    // A single "&" would mark an access key; "&&" shows one plain "&".
    const std::u16string caption(codeText == kAmpersandCode ? 2 : 1, character);
    std::get<KeyButton*>(mKeyTable[row][kButtonColumn])->SetCaption(caption);
    ++row;
}

} // namespace mirvane
