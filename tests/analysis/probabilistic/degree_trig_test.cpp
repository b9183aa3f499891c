#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "analysis/probabilistic/degree_trig.h"
#include "analysis/probabilistic/sample_trig.h"
#include "analysis/probabilistic/sampling.h"

using namespace trelmox;

namespace {

// The error of x in units of the last place of the true value.
double ulpsOff(double x, long double truth) {
    const double t = static_cast<double>(truth);
    const double ulp = std::nextafter(std::fabs(t), INFINITY) - std::fabs(t);
    return static_cast<double>(std::fabs(static_cast<long double>(x) - truth) / ulp);
}

} // namespace

// Against the long double functions: within 2 ulp wherever the reduction holds, near the quadrants'
// ends, for tiny angles and for angles far beyond a turn.
TEST(DegreeTrig, WithinTwoUlpOfTheTrueValues) {
    const struct {
        const char* what;
        double low, high;
    } ranges[] = {{"a turn either way", -360, 360},        {"tiny", 1e-12, 1e-3},
                  {"near 90", 90 - 1e-6, 90 + 1e-6},       {"near 45", 45 - 1e-9, 45 + 1e-9},
                  {"near -180", -180 - 1e-7, -180 + 1e-7}, {"large", 1e6, degree_trig::Limit}};
    for (const auto& range : ranges) {
        SCOPED_TRACE(range.what);
        double worst = 0;
        for (std::uint64_t j = 0; j < 20000; ++j) {
            const double degrees = range.low + (range.high - range.low) * counterUniform(7, j);
            const auto [sin, cos] = degree_trig::sinCos(degrees);
            // The nearest quarter turn taken off exactly in long double, so
            // that the reference keeps its precision where a value is small.
            const long double quarters = std::nearbyint(static_cast<long double>(degrees) / 90);
            const long double x = (degrees - 90 * quarters) * std::numbers::pi_v<long double> / 180;
            const int quadrant = static_cast<int>(std::fmod(quarters, 4.0L) + 4) % 4;
            const long double s = std::sin(x), c = std::cos(x);
            const long double trueSin[4] = {s, c, -s, -c}, trueCos[4] = {c, -s, -c, s};
            worst = std::max({worst, ulpsOff(sin, trueSin[quadrant]), ulpsOff(cos, trueCos[quadrant])});
        }
        EXPECT_LE(worst, 2.0);
    }
}

TEST(DegreeTrig, SignsAndFallback) {
    // -0 keeps its sign; whole degrees take the tables; beyond the
    // reduction's range SLEEF's function of the radians takes over.
    EXPECT_TRUE(std::signbit(sampleSinCosOfDegrees(-0.0).sin));
    EXPECT_EQ(sampleSinCosOfDegrees(-0.0).cos, 1.0);
    EXPECT_EQ(sampleSinCosOfDegrees(30).sin, WholeDegreeSinCos[30].sin);
    for (double degrees : {-90.5, 180.25, 269.75, 359.5}) {
        const auto [sin, cos] = sampleSinCosOfDegrees(degrees);
        EXPECT_EQ(std::signbit(sin), std::sin(degrees * std::numbers::pi / 180) < 0) << degrees;
        EXPECT_EQ(std::signbit(cos), std::cos(degrees * std::numbers::pi / 180) < 0) << degrees;
    }
    const double far = 3 * degree_trig::Limit;
    EXPECT_NEAR(sampleSinCosOfDegrees(far).sin, std::sin(far * std::numbers::pi / 180), 1e-12);
    EXPECT_THROW(sampleSinCosOfDegrees(1e308), Error);
    EXPECT_THROW(sampleSinCosOfDifference(1e308, -1e308), Error);
}
