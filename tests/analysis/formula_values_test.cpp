#include "analysis/formula_values.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>

using namespace trelmox;

namespace {

std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }

} // namespace

// The formulas written once take std::max and std::min as the analysis
// always has, signed zeros and not-a-numbers included: a lane takes the
// same operand, so the order of the operands is part of the result.
TEST(FormulaValues, LargerAndSmallerAreStdMaxAndMinBitForBit) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const double values[] = {0.0, -0.0, 1.0, -1.0, nan, -nan, inf, -inf, 5e-324};
    for (double a : values)
        for (double b : values) {
            SCOPED_TRACE(testing::Message() << a << ", " << b);
            EXPECT_EQ(bits(largerOf(a, b)), bits(std::max(a, b)));
            EXPECT_EQ(bits(smallerOf(a, b)), bits(std::min(a, b)));
            EXPECT_EQ(bits(pick(true, a, b)), bits(a));
            EXPECT_EQ(bits(pick(false, a, b)), bits(b));
        }
}
