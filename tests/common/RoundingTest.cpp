#include "common/Rounding.h"
#include "common/ErrorObject.h"
#include "form/Twips.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace mirvane;

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    using Case = std::pair<double, double>;
    for (const auto& [value, rounded] :
         {Case{0.5, 0}, Case{1.5, 2}, Case{2.5, 2}, Case{-0.5, 0}, Case{-1.5, -2}, Case{2.4999, 2},
          Case{2.5001, 3}, Case{40.4222, 40}, Case{1000.5, 1000}, Case{1001.5, 1002}}) {
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
    }
}

TEST(Rounding, AWholeNumberOutsideThirtyTwoBitsIsAnOverflowError) {
    EXPECT_EQ(ToLong(2147483647.0), 2147483647);
    EXPECT_EQ(ToLong(-2147483648.0), -2147483647 - 1);
    for (double tooLarge : {2147483648.0, -2147483649.0, 1e300, std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        try {
            ToLong(tooLarge);
            ADD_FAILURE() << tooLarge << " did not overflow";
        } catch (const ErrorObject& e) {
            EXPECT_EQ(e.Number(), 6);
            EXPECT_EQ(e.Description(), "Overflow");
        }
    }
}

// At 175 % a pixel is 8.5714... twips: to the nearest pixel, halves to the even one, and back.
TEST(Rounding, TwipsAndPixelsWhereAPixelIsNoWholeNumberOfTwips) {
    using Case = std::tuple<std::int32_t, int, std::int32_t>; // twips, pixels, twips again
    for (const auto& [twips, pixels, back] :
         {Case{30, 4, 34}, Case{90, 10, 86}, Case{-30, -4, -34}, Case{-90, -10, -86}, Case{100, 12, 103},
          Case{-100, -12, -103}, Case{4, 0, 0}, Case{1500, 175, 1500}}) {
        EXPECT_EQ(TwipsToPixels(twips, 15 / 1.75), pixels) << twips;
        EXPECT_EQ(PixelsToTwips(pixels, 15 / 1.75), back) << pixels;
    }
}
