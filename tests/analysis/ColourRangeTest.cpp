#include "analysis/ColourRange.h"

#include <gtest/gtest.h>

namespace varnolux {
namespace {

TEST(InChannelRange, PassesInsideAnOrdinaryRange)
{
    EXPECT_TRUE(InChannelRange(10, 10, 11));
    EXPECT_TRUE(InChannelRange(11, 10, 11));
    EXPECT_FALSE(InChannelRange(9, 10, 11));
    EXPECT_FALSE(InChannelRange(12, 10, 11));
}

TEST(InChannelRange, WrapsThroughZeroWhenMinIsAboveMax)
{
    EXPECT_TRUE(InChannelRange(5, 230, 20));
    EXPECT_TRUE(InChannelRange(240, 230, 20));
    EXPECT_TRUE(InChannelRange(0, 230, 20));
    EXPECT_TRUE(InChannelRange(255, 230, 20));
    EXPECT_FALSE(InChannelRange(100, 230, 20));
    EXPECT_FALSE(InChannelRange(229, 230, 20));
    EXPECT_FALSE(InChannelRange(21, 230, 20));
}

TEST(InChannelRange, EqualLimitsPassEverything)
{
    for (int value = 0; value < 256; ++value)
        EXPECT_TRUE(InChannelRange(value, 17, 17)) << value;
}

TEST(ApplyRangeText, SetsTheLimitOnlyForAWholeNumber)
{
    struct {
        const char* text;
        bool valid;
        int position;
    } const cases[] = {
        {"17", true, 17},    {"0", true, 0},
        {"300", true, 255},  {"-4", true, 0},
        {"255", true, 255},  {"1a", false, 100},
        {"", false, 100},    {"1.5", false, 100},
        {" 12", false, 100}, {"99999999999", false, 100},
    };
    for (const auto& c : cases) {
        int position = 100;
        EXPECT_EQ(ApplyRangeText(c.text, position), c.valid) << c.text;
        EXPECT_EQ(position, c.position) << c.text;
    }
}

} // namespace
} // namespace varnolux
