// Conversions between reals and TW_FIX32.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "caps/fix32.h"

namespace {

void expectFix(float value, int whole, unsigned frac) {
    TW_FIX32 f = FloatToFIX32(value);
    EXPECT_EQ(f.Whole, whole) << value;
    EXPECT_EQ(f.Frac, frac) << value;
}

TEST(Fix32, ConvertsToTheNearestSixtyFiveThousandth) {
    expectFix(300.0f, 300, 0);
    expectFix(-2.0f, -2, 0);
    expectFix(0.1f, 0, 6554);
    expectFix(0.5f, 0, 32768);
    expectFix(-1.5f, -2, 32768);
    expectFix(-0.25f, -1, 49152);
    expectFix(-0.5f, -1, 32768);
}

TEST(Fix32, IntegralValuesHaveNoFraction) {
    for (int v = -32768; v <= 32767; v += 97) expectFix(static_cast<float>(v), v, 0);
    expectFix(32767.0f, 32767, 0);
    expectFix(-32768.0f, -32768, 0);
}

TEST(Fix32, ValuesOutsideTheRangeAreClamped) {
    expectFix(32768.0f, 32767, 65535);
    expectFix(1e9f, 32767, 65535);
    expectFix(-32769.0f, -32768, 0);
    expectFix(-1e9f, -32768, 0);
    expectFix(std::numeric_limits<float>::infinity(), 32767, 65535);
    expectFix(-std::numeric_limits<float>::infinity(), -32768, 0);
    expectFix(std::numeric_limits<float>::quiet_NaN(), 0, 0);
}

TEST(Fix32, BackToFloat) {
    EXPECT_FLOAT_EQ(FIX32ToFloat(TW_FIX32{-2, 32768}), -1.5f);
    EXPECT_FLOAT_EQ(FIX32ToFloat(TW_FIX32{22, 33}), 22.0f + 33.0f / 65536.0f);
    for (float v = -300.0f; v < 300.0f; v += 0.37f)
        EXPECT_NEAR(FIX32ToFloat(FloatToFIX32(v)), v, 1.0 / 131072 + 1e-4 * std::fabs(v) / 256);
}

TEST(Fix32, ItemWordCarriesWholeInTheLowHalf) {
    TW_FIX32 f{-2, 32768};
    EXPECT_EQ(fix32ToWord(f), 0x8000FFFEu);
    TW_FIX32 back = wordToFix32(0x8000FFFEu);
    EXPECT_EQ(back.Whole, -2);
    EXPECT_EQ(back.Frac, 32768);
}

}  // namespace
