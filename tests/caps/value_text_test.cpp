// The grammar of value texts: numbers, reals, lists, ranges and shapes.
#include <gtest/gtest.h>

#include <string>

#include "caps/fix32.h"
#include "caps/value_text.h"

namespace {

using namespace caps;

TEST(ValueText, IntegersReadLikeTheProfileFunctions) {
    EXPECT_EQ(parseInteger("42"), 42u);
    EXPECT_EQ(parseInteger("  -7xyz"), static_cast<TW_UINT32>(-7));
    EXPECT_EQ(parseInteger("+12,3"), 12u);
    EXPECT_EQ(parseInteger(""), 0u);
    EXPECT_EQ(parseInteger("abc"), 0u);
    EXPECT_EQ(parseInteger("4000000000"), 4000000000u);
    // Beyond a 32-bit item: clamped, never wrapped.
    EXPECT_EQ(parseInteger("99999999999999999999999"), 0xFFFFFFFFu);
    EXPECT_EQ(parseInteger("-99999999999999999999999"), 0x80000000u);
}

TEST(ValueText, RealsIgnoreTheLocaleAndTrailingText) {
    EXPECT_DOUBLE_EQ(parseReal("72.000000"), 72.0);
    EXPECT_DOUBLE_EQ(parseReal(" -1.5_to_"), -1.5);
    EXPECT_DOUBLE_EQ(parseReal("8."), 8.0);
    EXPECT_DOUBLE_EQ(parseReal(".25"), 0.25);
    EXPECT_DOUBLE_EQ(parseReal("1e5"), 1.0);
    EXPECT_DOUBLE_EQ(parseReal("nan"), 0.0);
    EXPECT_EQ(formatReal(8.888889), "8.888889");
}

TEST(ValueText, NamesStartWithALetter) {
    EXPECT_TRUE(isSymbolicName("TWPT_RGB"));
    EXPECT_TRUE(isSymbolicName("x"));
    EXPECT_FALSE(isSymbolicName("2"));
    EXPECT_FALSE(isSymbolicName("-1"));
    EXPECT_FALSE(isSymbolicName("_A"));
    EXPECT_FALSE(isSymbolicName(""));
}

TEST(ValueText, ListsSkipEmptyItemsAndStopAtTheLimit) {
    auto items = splitList(",a,,b,");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0], "a");
    EXPECT_EQ(items[1], "b");
    EXPECT_TRUE(splitList("").empty());
    EXPECT_TRUE(splitList(",,,").empty());

    std::string many;
    for (int i = 0; i < 1000; ++i) many += std::to_string(i) + ",";
    EXPECT_EQ(splitList(many).size(), LIST_ITEMS_MAX);
    EXPECT_EQ(splitList(many, 3).size(), 3u);
}

TEST(ValueText, RangePartsAndWhatIsMissing) {
    RangeParts r = splitRange("1_to_100,2");
    EXPECT_EQ(r.minimum, "1");
    EXPECT_EQ(r.maximum, "100");
    EXPECT_EQ(r.step, "2");
    EXPECT_TRUE(r.hasTo && r.hasComma);

    r = splitRange("-1.5_to_2.5,0.5");
    EXPECT_EQ(r.minimum, "-1.5");
    EXPECT_EQ(r.maximum, "2.5");

    r = splitRange("1_to_100");
    EXPECT_TRUE(r.hasTo);
    EXPECT_FALSE(r.hasComma);
    EXPECT_EQ(r.maximum, "100");
    EXPECT_EQ(r.step, "");

    r = splitRange("5,3");
    EXPECT_FALSE(r.hasTo);
    EXPECT_EQ(r.minimum, "5,3");
    EXPECT_EQ(r.maximum, "");
    EXPECT_EQ(r.step, "3");

    r = splitRange("to_");
    EXPECT_EQ(r.maximum, "");
}

TEST(ValueText, ShapeRuleOrder) {
    EXPECT_EQ(shapeOf("1_to_5,1"), Shape::Range);
    EXPECT_EQ(shapeOf("[1,2]"), Shape::Array);
    EXPECT_EQ(shapeOf("1,2"), Shape::Enumeration);
    EXPECT_EQ(shapeOf("2"), Shape::OneValue);
    // "to" wins over brackets and commas, and is case-sensitive.
    EXPECT_EQ(shapeOf("[to,1]"), Shape::Range);
    EXPECT_EQ(shapeOf("TO,1"), Shape::Enumeration);
}

TEST(ValueText, ArrayBodyAndBrackets) {
    EXPECT_EQ(arrayBody("[1,2]"), "1,2");
    EXPECT_EQ(arrayBody("[]"), "");
    EXPECT_EQ(arrayBody("["), "");
    EXPECT_EQ(arrayBody(""), "");
    EXPECT_EQ(withoutBrackets("[1,[2],3]"), "1,2,3");
}

TEST(ValueText, FramesReadAndWriteFourEdges) {
    TW_FRAME f = parseFrame("0:0.5:8.888889:-1");
    EXPECT_EQ(f.Left.Whole, 0);
    EXPECT_EQ(f.Top.Frac, 32768);
    EXPECT_EQ(f.Right.Whole, 8);
    EXPECT_EQ(f.Bottom.Whole, -1);
    EXPECT_EQ(f.Bottom.Frac, 0);
    EXPECT_EQ(formatFrame(parseFrame("1:2")), "1.000000:2.000000:0.000000:0.000000");
}

}  // namespace
