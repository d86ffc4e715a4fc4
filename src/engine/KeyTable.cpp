#include "Keyboard.h"

#include "common/Rounding.h"

namespace mirvane {

char16_t CodeTextCharacter(std::string_view codeText) {
    // Code texts are written "&H" and four hex digits; upper and lower case digits are alike.
    char16_t value = 0;
    for (char digit : codeText.substr(2)) {
        int nibble = 0;
        if (digit >= '0' && digit <= '9') {
            nibble = digit - '0';
        } else if (digit >= 'a' && digit <= 'f') {
            nibble = digit - 'a' + 10;
        } else if (digit >= 'A' && digit <= 'F') {
            nibble = digit - 'A' + 10;
        }
        value = static_cast<char16_t>(value * 16 + nibble);
    }
    return value;
}

std::u16string KeyText(const KeyCell& cell) {
    if (const auto* number = std::get_if<std::int16_t>(&cell)) {
        const std::string digits = std::to_string(*number);
        return std::u16string(digits.begin(), digits.end());
    }
    if (const auto* text = std::get_if<std::u16string>(&cell)) {
        return *text;
    }
    return {};
}

bool KeyEqualsZero(const KeyCell& cell) {
    if (std::holds_alternative<std::monostate>(cell)) {
        return true;
    }
    if (const auto* number = std::get_if<std::int16_t>(&cell)) {
        return *number == 0;
    }
    if (const auto* text = std::get_if<std::u16string>(&cell)) {
        return *text == u"0";
    }
    return false;
}

void Keyboard::AddKeyToTable(KeyTable& table, KeyButton& button, bool randomKey, bool restart) {
    if (restart) {
        iKeyRow = 0;
    } else {
        ++iKeyRow;
    }
    if (randomKey) {
        const float x = static_cast<float>(mRandom.Next()) * 1000.0F + 1.0F;
        const std::string digits = std::to_string(ToLong(x));
        table[iKeyRow][kKeyColumn] = std::u16string(digits.begin(), digits.end());
    } else {
        table[iKeyRow][kKeyColumn] = iKeyRow;
    }
    table[iKeyRow][kButtonColumn] = &button;
}

void Keyboard::FillKeyTable(ButtonOrder order, bool randomKeys) {
    bool restart = true;
    for (const CharacterPosition& position : kCharacterPositions) {
        const int number = order == ButtonOrder::Standard ? position.standardButton : position.dvorakButton;
        AddKeyToTable(mKeyTable, mWindow->Button(number), randomKeys, restart);
        restart = false;
    }
}

} // namespace mirvane
