#include "common/SecretText.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace mirvane {
namespace {

bool HeldInsideTheObject(const SecretText& text) {
    const auto* object = reinterpret_cast<const char*>(&text);
    const auto* characters = reinterpret_cast<const char*>(text.data());
    return characters >= object && characters < object + sizeof(text);
}

// However a short text is made, its characters live in secret memory, not in the object that none wipes.
TEST(SecretText, AShortTextHoweverMadeLivesOutsideTheObject) {
    SecretText moved(u"abcdefghij");
    const struct {
        const char* how;
        std::function<SecretText()> make;
    } kWays[] = {
        {"empty", [] { return SecretText(); }},
        {"from characters", [] { return SecretText(u"pw1"); }},
        {"repeated", [] { return SecretText(3, u'*'); }},
        {"appended", [] { return SecretText().append(u"ab"); }},
        {"substring", [] { return SecretText(u"abcdefghijkl").substr(2, 3); }},
        {"sum", [] { return SecretText(u"ab") + u"c" + SecretText(u"d"); }},
        {"copied",
         [] {
             const SecretText original(u"xy");
             return SecretText(original);
         }},
        {"left after a move, then written",
         [&] {
             SecretText taken(std::move(moved));
             moved += u"z";
             return moved;
         }},
        {"assigned by move",
         [] {
             SecretText target(u"q");
             target = SecretText(u"rs");
             return target;
         }},
    };
    for (const auto& way : kWays) {
        EXPECT_FALSE(HeldInsideTheObject(way.make())) << way.how;
    }
    SecretText kept(u"left");
    SecretText other;
    other = std::move(kept);
    EXPECT_EQ(other, u"left");
    EXPECT_EQ(kept, u""); // the one moved from holds nothing of it
    EXPECT_EQ(std::u16string_view(kept.data(), kept.capacity()).find(u"left"), std::u16string_view::npos);
}

} // namespace
} // namespace mirvane
