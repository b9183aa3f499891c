#include "model/angles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>

#include "model/error.h"

using namespace trelmox;

namespace {

// Bit-for-bit equality: the tables must never change a result, not even the
// sign of a zero. An x87 extended value has 10 significant bytes; the rest
// of its storage is padding.
template <typename Real> bool sameBits(Real a, Real b) {
    constexpr std::size_t bytes = std::is_same_v<Real, long double> ? 10 : sizeof(Real);
    return std::memcmp(&a, &b, bytes) == 0;
}

// What the computation takes when no table applies.
template <typename Real> SinCos<Real> library(double degrees) {
    volatile Real radians = Real(degrees) * std::numbers::pi_v<Real> / 180;
    return {std::sin(Real(radians)), std::cos(Real(radians))};
}

template <typename Real> void expectLibraryValues(double degrees) {
    const SinCos<Real> looked = sinCosOfDegrees<Real>(degrees), computed = library<Real>(degrees);
    EXPECT_TRUE(sameBits(looked.sin, computed.sin)) << degrees;
    EXPECT_TRUE(sameBits(looked.cos, computed.cos)) << degrees;
}

TEST(WholeDegreeTables, GiveTheLibraryValuesBitForBit) {
    for (int d = 0; d <= 360; ++d) {
        expectLibraryValues<double>(d);
        expectLibraryValues<long double>(d);
        volatile double radians = d * std::numbers::pi / 180;
        EXPECT_TRUE(sameBits(tanOfDegrees(d), std::tan(double(radians)))) << d;
    }
}

TEST(WholeDegreeTables, OtherAnglesGoToTheLibrary) {
    for (const double degrees : {-0.0, -1.0, 0.5, 44.999999999999993, 360.0000000000001, 361.0, 1e6, -720.0}) {
        EXPECT_EQ(wholeDegreeIndex(degrees), -1) << degrees;
        expectLibraryValues<double>(degrees);
        expectLibraryValues<long double>(degrees);
    }
    EXPECT_TRUE(std::signbit(sinCosOfDegrees<double>(-0.0).sin));
    EXPECT_EQ(wholeDegreeIndex(0.0), 0);
    EXPECT_EQ(wholeDegreeIndex(360.0), 360);
}

TEST(WholeDegreeTables, AnAngleBeyondTheRangeOverflows) {
    try {
        sinCosOfDegrees<double>(1e308);
        FAIL() << "no overflow";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Floating point overflow");
    }
    EXPECT_NO_THROW(sinCosOfDegrees<long double>(1e308));
}

} // namespace
