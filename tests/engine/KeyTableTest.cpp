#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace mirvane;
using namespace mirvane::test;

TEST(KeyTable, TheTwoSetsCoverEveryPrintableCharacterOnce) {
    std::u16string characters;
    for (const CharacterPosition& p : kCharacterPositions) {
        characters += CodeTextCharacter(p.normalCode);
        characters += CodeTextCharacter(p.shiftedCode);
    }
    std::ranges::sort(characters);
    EXPECT_EQ(characters, u"!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                          u"[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~");
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
