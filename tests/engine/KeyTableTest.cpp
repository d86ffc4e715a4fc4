#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <set>

using namespace mirvane;
using namespace mirvane::test;

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

TEST(KeyTable, RandomKeysAreTextsFromOneTo1001) {
    EngineHarness h;
    for (int round = 0; round < 30; ++round) {
        h.keyboard->SetKeyboardLayoutType(2);
        for (int row = 0; row < 47; ++row) {
            const auto& key = std::get<std::u16string>(h.keyboard->KeyTableRows()[row][kKeyColumn]);
            const int value = std::stoi(std::string(key.begin(), key.end()));
            EXPECT_TRUE(value >= 1 && value <= 1001 && key[0] != u'0') << value;
        }
    }
}
