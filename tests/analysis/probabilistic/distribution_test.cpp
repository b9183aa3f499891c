#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "analysis/probabilistic/distribution.h"
#include "analysis/probabilistic/sampling.h"
#include "model/error.h"

using namespace trelmox;

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();

struct Moments {
    double Mean = 0, Sd = 0, Min = Inf, Max = -Inf;
};

// Moments of the distribution by the midpoint rule over its quantile function.
Moments momentsOf(const Sampler& sampler) {
    constexpr int n = 200'000;
    Moments m;
    double sum = 0, squares = 0, previous = -Inf;
    for (int k = 0; k < n; ++k) {
        const double v = sampler.value((k + 0.5) / n);
        EXPECT_GE(v, previous) << "quantile function not monotone at " << k;
        previous = v;
        sum += v;
        squares += v * v;
        m.Min = std::min(m.Min, v);
        m.Max = std::max(m.Max, v);
    }
    m.Mean = sum / n;
    m.Sd = std::sqrt(squares / n - m.Mean * m.Mean);
    return m;
}

double pdf(double x) { return std::exp(-x * x / 2) / std::sqrt(2 * std::numbers::pi); }

// Mean of a normal (mu, sigma) truncated to lo..hi.
double truncatedMean(double mu, double sigma, double lo, double hi) {
    const double a = (lo - mu) / sigma, b = (hi - mu) / sigma;
    return mu + sigma * (pdf(a) - pdf(b)) / (normalCdf(b) - normalCdf(a));
}

} // namespace

TEST(NormalQuantile, InvertsTheCdfOverCentreAndTails) {
    // Lower half by the CDF (exact there); the upper half by symmetry, as far
    // as 1 - p still holds the tail's digits.
    for (double x : {-37.0, -8.0, -4.5, -3.0, -1.98, -1.97, -1.0, -0.3, -1e-3}) {
        EXPECT_NEAR(normalQuantile(normalCdf(x)), x, 1.2e-9 * std::abs(x)) << "x = " << x;
        if (x >= -4.5) {
            EXPECT_NEAR(normalQuantile(1 - normalCdf(x)), -x, 1e-6 * std::abs(x)) << "x = " << x;
        }
    }
    EXPECT_EQ(normalQuantile(0.5), 0);
    EXPECT_TRUE(std::isfinite(normalQuantile(0)));
    EXPECT_TRUE(std::isfinite(normalQuantile(1)));
}

TEST(Sampler, DrawsTheDistributionInsideTheRange) {
    const double halfNormal = std::sqrt(2 / std::numbers::pi);
    struct Case {
        const char* what;
        Parameter input;
        double blockValue;
        Distribution distribution;
        double mean, sd; // sd < 0: not checked
        double lo, hi;   // every value inside
    } cases[] = {
        {"untruncated dip direction", Parameter::DipDir1, 350, normalDistribution(20), 350, 20, -Inf, Inf},
        {"cohesion at zero keeps half", Parameter::Cohesion1, 0, normalDistribution(5), 5 * halfNormal, -1, 0, Inf},
        {"dip at 90 keeps half", Parameter::Dip2, 90, normalDistribution(3), 90 - 3 * halfNormal, -1, 0, 90},
        {"dip near 90", Parameter::DipFace, 85, normalDistribution(4), truncatedMean(85, 4, 0, 90), -1, 0, 90},
        {"friction far from 0", Parameter::Friction1, 0.6, normalDistribution(0.05), 0.6, 0.05, 0, Inf},
        {"uniform", Parameter::SlopeHeight, 40, uniformDistribution(30, 50), 40, 20 / std::sqrt(12.0), 30, 50},
        {"lognormal", Parameter::Cohesion2, 48, lognormalDistribution(12), 48, 12, 0, Inf},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Sampler sampler(c.input, c.blockValue, c.distribution);
        ASSERT_TRUE(sampler.varies());
        const Moments m = momentsOf(sampler);
        EXPECT_NEAR(m.Mean, c.mean, 1e-3 * std::max(1.0, std::abs(c.mean)));
        if (c.sd >= 0) {
            EXPECT_NEAR(m.Sd, c.sd, 1e-2 * c.sd);
        }
        EXPECT_GE(m.Min, c.lo);
        EXPECT_LE(m.Max, c.hi);
    }
}

// Draws from a seeded counter-based stream, through Sampler::values (the
// lanes) as a run draws them: their sample mean and deviation against the
// closed forms, within four standard errors (the deviation's error taken
// from the distribution's own fourth moment, bounded here by 3%).
TEST(Sampler, SeededDrawsMatchTheClosedFormMoments) {
    const double shortTrace = 3; // an exponential trace length of mean 20 truncated to 0..3
    const double kept = -std::expm1(-shortTrace / 20);
    struct Case {
        const char* what;
        Parameter input;
        double blockValue;
        Distribution distribution;
        double mean, sd, lo, hi, sdTolerance;
    } cases[] = {
        {"exponential trace length", Parameter::FaceTrace1, 20, exponentialDistribution(), 20, 20, 0, Inf, 0.03},
        {"lognormal trace length", Parameter::Persistence2, 20, lognormalDistribution(15), 20, 15, 0, Inf, 0.03},
        {"exponential truncated at 3", Parameter::TopTrace1, 20, truncated(exponentialDistribution(), {}, shortTrace),
         20 - shortTrace * (1 - kept) / kept, -1, 0, shortTrace, 0},
        {"triangular", Parameter::Cohesion1, 24, triangularDistribution(10, 50), 28,
         std::sqrt((100 + 2500 + 576 - 500 - 240 - 1200) / 18.0), 10, 50, 0.01},
        {"beta", Parameter::Friction1, 0.4, betaDistribution(0.1, 0.2, 0.9), 0.4, 0.1, 0.2, 0.9, 0.01},
        {"U-shaped beta", Parameter::DipFace, 50, betaDistribution(16, 30, 70), 50, 16, 30, 70, 0.01},
        {"gamma", Parameter::Cohesion2, 48, gammaDistribution(30), 48, 30, 0, Inf, 0.03},
        {"gamma of large shape", Parameter::RockUnitWeight, 25, gammaDistribution(0.2), 25, 0.2, 0, Inf, 0.01},
        {"normal truncated", Parameter::SlopeHeight, 40, truncated(normalDistribution(10), 35, 60),
         truncatedMean(40, 10, 35, 60), -1, 35, 60, 0},
        {"uniform truncated", Parameter::Friction2, 0.5, truncated(uniformDistribution(0.2, 0.8), 0.3, {}), 0.55,
         0.5 / std::sqrt(12.0), 0.3, 0.8, 0.01},
    };
    constexpr std::size_t n = 200'000;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Sampler sampler(c.input, c.blockValue, c.distribution);
        std::vector<double> draws(n);
        for (std::size_t i = 0; i < n; ++i) draws[i] = counterUniform(2026, i);
        sampler.values(draws.data(), n);
        double sum = 0, squares = 0;
        for (double v : draws) {
            ASSERT_TRUE(v >= c.lo && v <= c.hi) << v;
            sum += v;
        }
        const double mean = sum / n;
        for (double v : draws) squares += (v - mean) * (v - mean);
        const double sd = std::sqrt(squares / (n - 1));
        EXPECT_NEAR(mean, c.mean, 4 * sd / std::sqrt(double(n)));
        if (c.sd >= 0) {
            EXPECT_NEAR(sd, c.sd, c.sdTolerance * c.sd);
        }
        // The quantile function inverts the CDF where it is iterative.
        const double pLow = sampler.cdf(c.lo), pHigh = sampler.cdf(c.hi);
        for (double u : {0.01, 0.3, 0.999}) EXPECT_NEAR(sampler.cdf(sampler.value(u)), pLow + u * (pHigh - pLow), 1e-9);
    }
}

TEST(Sampler, ZeroSpreadGivesTheBlockValueExactly) {
    const double value = 0.1 + 0.2; // not a short decimal: any arithmetic would show
    for (const Distribution& d : {Distribution{}, normalDistribution(0), lognormalDistribution(0)}) {
        const Sampler sampler(Parameter::Friction2, value, d);
        EXPECT_FALSE(sampler.varies());
        for (double u : {1e-9, 0.5, 1 - 1e-9}) EXPECT_EQ(sampler.value(u), value);
    }
}

// A deviation far wider than the range stands for the uniform distribution
// over it (for a dip direction, over the turn), never for no variation;
// a huge lognormal deviation still draws finite values.
TEST(Sampler, HugeSpreadsDrawWhatTheyStandFor) {
    const struct {
        Parameter input;
        double blockValue, sd, low, high;
    } cases[] = {
        {Parameter::Dip1, 45, 1e18, 0, 90},
        {Parameter::Dip2, 10, 1e7, 0, 90},
        {Parameter::DipDir1, 105, 1e18, -75, 285},
        {Parameter::DipDirFace, 185, 720, 5, 365},
    };
    for (const auto& c : cases) {
        const Sampler sampler(c.input, c.blockValue, normalDistribution(c.sd));
        ASSERT_TRUE(sampler.varies());
        for (const double u : {0.001, 0.25, 0.5, 0.999})
            EXPECT_NEAR(sampler.value(u), c.low + u * (c.high - c.low), 1e-9 * (c.high - c.low)) << c.sd;
    }
    // Just below the switch the normal is as flat to within its rounding.
    const Sampler normal(Parameter::Dip1, 45, normalDistribution(4e6));
    EXPECT_NEAR(normal.value(0.25), 22.5, 1e-6);
    const Sampler lognormal(Parameter::Cohesion1, 20, lognormalDistribution(1e200));
    for (const double u : {1e-9, 0.5, 1 - 1e-9}) EXPECT_TRUE(std::isfinite(lognormal.value(u)));
    // A gamma of a tiny shape puts nearly all draws at zero, still finite and ordered.
    const Sampler gamma(Parameter::Cohesion1, 40, gammaDistribution(1e150));
    double previous = 0;
    for (const double u : {0x1p-53, 0.5, 1 - 0x1p-53}) {
        const double v = gamma.value(u);
        EXPECT_TRUE(std::isfinite(v) && v >= previous) << v;
        previous = v;
    }
}

// Truncated far into the upper tail, the CDF interval's top rounds to 1:
// the largest uniforms must still draw finite values, alike in the lanes.
TEST(Sampler, TruncationDeepInTheTailDrawsFiniteValues) {
    const struct {
        Parameter input;
        double blockValue;
        Distribution distribution;
    } cases[] = {
        {Parameter::FaceTrace1, 25, truncated(exponentialDistribution(), 80.5, {})},
        {Parameter::Cohesion1, 24, truncated(lognormalDistribution(3), 30, {})},
        {Parameter::Cohesion2, 48, truncated(gammaDistribution(10), 60, {})},
    };
    for (const auto& c : cases) {
        const Sampler sampler(c.input, c.blockValue, c.distribution);
        std::vector<double> draws(64, 1 - 0x1p-53);
        sampler.values(draws.data(), draws.size());
        for (double v : draws) {
            EXPECT_TRUE(std::isfinite(v)) << parameterName(c.input);
            EXPECT_EQ(v, sampler.value(1 - 0x1p-53));
        }
    }
}

// Small shapes put the quantile hundreds of decades below the scale (a
// gamma of shape 0.004 has its median near 1e-77) or within doubles of 1:
// each draw must still invert the CDF, in order, to the end of (0, 1).
TEST(Sampler, SmallShapesInvertTheirTails) {
    const struct {
        const char* name;
        double blockValue;
        Distribution distribution;
    } cases[] = {
        {"gamma of shape 0.0038", 8, gammaDistribution(130)},
        {"gamma of shape 0.053", 30, gammaDistribution(130)},
        {"U-shaped beta", 0.25, betaDistribution(0.344, 0, 1)},
        {"beta piled at its top", 0.685, betaDistribution(0.369, 0, 1)},
    };
    for (const auto& c : cases) {
        const Sampler sampler(Parameter::Cohesion1, c.blockValue, c.distribution);
        double previous = 0;
        for (const double u : {0x1p-53, 1e-9, 0.01, 0.3, 0.5, 0.77, 0.999, 1 - 0x1p-53}) {
            const double v = sampler.value(u);
            EXPECT_GE(v, previous) << c.name << " at " << u;
            previous = v;
            if (u < 0.9 && v > 1e-300) {
                EXPECT_NEAR(sampler.cdf(v) / u, 1, 1e-9) << c.name << " at " << u;
            }
        }
    }
}

TEST(Sampler, RefusesDistributionsThatDoNotFit) {
    const double nan = std::nan("");
    struct Case {
        Parameter input;
        double blockValue;
        Distribution distribution;
        const char* message;
    } cases[] = {
        {Parameter::Cohesion1, 24, normalDistribution(-1),
         "c1: the standard deviation must be a finite number >= 0, not -1"},
        {Parameter::Dip1, 45, normalDistribution(nan), "dip1: the standard deviation"},
        {Parameter::Dip1, 95, normalDistribution(2), "dip1: the block's value 95 lies outside 0..90"},
        {Parameter::Friction1, -0.1, normalDistribution(0.1), "f1: the block's value -0.1 lies outside 0..∞"},
        {Parameter::Dip2, 70, uniformDistribution(60, 95), "dip2: the range 60:95 leaves 0..90"},
        {Parameter::SlopeHeight, 40, uniformDistribution(50, 30), "height: the range must be LO:HI"},
        {Parameter::RockUnitWeight, 25, uniformDistribution(20, Inf), "rock: the range must be LO:HI"},
        {Parameter::DipDir1, 195, triangularDistribution(1e-66, 1e232), "dipdir1: the range must be LO:HI"},
        {Parameter::Cohesion2, 9.8, truncated(gammaDistribution(1.7e25), 66.5, {}),
         "c2: the truncation 66.5:∞ leaves no"},
        {Parameter::Cohesion1, 40, gammaDistribution(1e156), "c1: the standard deviation 1E156 is too large"},
        {Parameter::Friction1, 40, betaDistribution(7.5, 9, 1e93),
         "f1: a beta distribution between 9 and 1E93 is too narrow"},
        {Parameter::Friction1, 0.3, betaDistribution(1e-95, 1e-86, 1e68), "f1: a beta distribution between"},
        {Parameter::DipFace, 65, lognormalDistribution(3), "dipface: a lognormal distribution fits only"},
        {Parameter::DipDir1, 105, lognormalDistribution(3), "dipdir1: a lognormal distribution fits only"},
        {Parameter::Cohesion2, 0, lognormalDistribution(3), "c2: a lognormal distribution needs a block value > 0"},
        {Parameter::Cohesion2, 48, lognormalDistribution(-3), "c2: the standard deviation"},
        {Parameter::Cohesion1, 24, normalDistribution(1e307), "c1: the standard deviation 1E307 is too large"},
        {Parameter::Dip1, 45, gammaDistribution(3), "dip1: a gamma distribution fits only"},
        {Parameter::FaceTrace1, 0, exponentialDistribution(),
         "face_trace1: an exponential distribution needs a block value > 0"},
        {Parameter::Cohesion1, 60, triangularDistribution(10, 50),
         "c1: a triangular distribution needs the block's value 60 within its bounds 10:50"},
        {Parameter::Friction1, 0.4, betaDistribution(0.35, 0.2, 0.9),
         "f1: a beta distribution between 0.2 and 0.9 about the block's value has a standard deviation below"},
        {Parameter::Cohesion1, 24, truncated(normalDistribution(2), 50, 40),
         "c1: the truncation 50:40 leaves no value"},
        {Parameter::Cohesion1, 24, truncated(normalDistribution(0.1), 90, {}),
         "c1: the truncation 90:∞ leaves no value"},
        {Parameter::Cohesion1, 24, truncated(uniformDistribution(10, 30), 40, 50),
         "c1: the truncation 40:50 leaves no value"},
        {Parameter::Cohesion1, 24, truncated(normalDistribution(2), nan, {}), "c1: the truncation"},
    };
    for (const Case& c : cases) {
        try {
            Sampler(c.input, c.blockValue, c.distribution);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()).substr(0, std::string(c.message).size()), c.message);
        }
    }
}
