#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <set>

using namespace mirvane;
using namespace mirvane::test;

namespace {
std::set<int> CharacterButtons() {
    std::set<int> numbers;
    for (const CharacterPosition& p : kCharacterPositions) {
        numbers.insert(p.standardButton);
    }
    return numbers;
}

// Every row 0 to 46 holds one of the 47 character buttons, each once; row 47 and the
// third column stay empty.
void ExpectEachCharacterButtonOnce(const Keyboard& k) {
    const KeyTable& table = k.KeyTableRows();
    std::multiset<int> seen;
    for (int row = 0; row < 47; ++row) {
        const auto* button = std::get_if<KeyButton*>(&table[row][kButtonColumn]);
        ASSERT_NE(button, nullptr) << "row " << row;
        seen.insert((*button)->Number());
        EXPECT_TRUE(std::holds_alternative<std::monostate>(table[row][2]));
    }
    EXPECT_EQ(std::set<int>(seen.begin(), seen.end()), CharacterButtons());
    EXPECT_EQ(seen.size(), 47U);
    for (const KeyCell& cell : table[47]) {
        EXPECT_TRUE(std::holds_alternative<std::monostate>(cell));
    }
}
} // namespace

TEST(KeyTable, TheTwoSetsCoverEveryPrintableCharacterOnce) {
    std::multiset<char16_t> characters;
    for (const CharacterPosition& p : kCharacterPositions) {
        characters.insert(CodeTextCharacter(p.normalCode));
        characters.insert(CodeTextCharacter(p.shiftedCode));
    }
    std::multiset<char16_t> expected;
    for (char16_t c = 33; c <= 126; ++c) {
        expected.insert(c);
    }
    EXPECT_EQ(characters, expected);
    EXPECT_EQ(CodeTextCharacter("&H005e"), u'^');
}

TEST(KeyTable, EveryFillPutsEachCharacterButtonInOneRow) {
    EngineHarness h;
    Keyboard& k = *h.keyboard;
    ExpectEachCharacterButtonOnce(k);
    for (std::int16_t row = 0; row < 47; ++row) {
        EXPECT_EQ(std::get<std::int16_t>(k.KeyTableRows()[row][kKeyColumn]), row);
    }
    for (int layout : {2, 1, 3, 0, 1, 2, 2, 0}) {
        k.SetKeyboardLayoutType(static_cast<std::int16_t>(layout));
        SCOPED_TRACE("layout " + std::to_string(layout));
        ExpectEachCharacterButtonOnce(k);
    }
}

TEST(KeyTable, RandomKeysAreTextsFromOneTo1001) {
    EngineHarness h;
    for (int round = 0; round < 30; ++round) {
        h.keyboard->SetKeyboardLayoutType(2);
        for (int row = 0; row < 47; ++row) {
            const auto& key = std::get<std::u16string>(h.keyboard->KeyTableRows()[row][kKeyColumn]);
            const int value = std::stoi(std::string(key.begin(), key.end()));
            EXPECT_GE(value, 1);
            EXPECT_LE(value, 1001);
            EXPECT_NE(key[0], u'0');
        }
    }
}
