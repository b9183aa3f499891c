// Reliability analysis of blocks: closed forms through the factor hook,
// the design point against a brute-force search and the exact factor,
// importance sampling against crude Monte Carlo, and reproducibility.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "analysis/probabilistic/reliability.h"
#include "model/error.h"
#include "tests/support/example_block.h"

using namespace trelmox;
using namespace trelmox::testing;

namespace {

void set(ReliabilitySettings& s, Parameter p, Distribution d) { s.Inputs.Distributions[static_cast<int>(p)] = d; }

double value(const BlockInputs& inputs, Parameter p) { return parameterValue(inputs, p); }

ReliabilityResult run(const ReliabilitySettings& s, const WedgeLoads& loads = {}) {
    return runReliability(exampleAttitudes(), parameterNumbers(exampleParams()), loads, s);
}

double sumOfSquares(const std::vector<double>& v) {
    double sum = 0;
    for (double x : v) sum += x * x;
    return sum;
}

// The factor at the design point's inputs, worked out afresh by the
// deterministic analyses.
double factorAt(const ReliabilityResult& r, const WedgeLoads& loads = {}) {
    BlockInputs inputs = blockInputs(exampleAttitudes(), parameterNumbers(exampleParams()), loads);
    for (std::size_t k = 0; k < r.Inputs.size(); ++k) parameterField(inputs, r.Inputs[k]) = r.Design->DesignPoint[k];
    return r.Factor == ReliabilityFactor::Kc ? evaluate(inputs).SafetyFactor : evaluateFull(inputs).Safety.Factor;
}

// The real factor's settings of the tests: strengths and loads of the example block.
ReliabilitySettings strengthSettings(double scale) {
    ReliabilitySettings s;
    set(s, Parameter::Cohesion1, lognormalDistribution(8 * scale));
    set(s, Parameter::Friction1, normalDistribution(0.06 * scale));
    set(s, Parameter::Cohesion2, lognormalDistribution(12 * scale));
    set(s, Parameter::Friction2, normalDistribution(0.08 * scale));
    set(s, Parameter::RockUnitWeight, normalDistribution(1.5 * scale));
    set(s, Parameter::SlopeHeight, normalDistribution(3 * scale));
    return s;
}

} // namespace

TEST(Reliability, LinearLimitStateOfNormalInputsGivesTheExactIndex) {
    // g = a0 + a1 x1 + a2 x2 on the dip directions, normal and unbounded.
    struct Case {
        double a0, a1, a2, sd1, sd2;
    };
    for (const Case& c : {Case{-4, 0.02, 0.01, 5, 10}, Case{-0.2, -0.01, 0.005, 8, 3}, Case{-0.1, 0.001, 0, 4, 6}}) {
        ReliabilitySettings s;
        set(s, Parameter::DipDir1, normalDistribution(c.sd1));
        set(s, Parameter::DipDir2, normalDistribution(c.sd2));
        s.MaxSamples = 20'000;
        s.Hook = [&](const BlockInputs& in) {
            return 1 + c.a0 + c.a1 * value(in, Parameter::DipDir1) + c.a2 * value(in, Parameter::DipDir2);
        };
        const ReliabilityResult r = run(s);
        ASSERT_TRUE(r.Design) << (r.Failure ? reliabilityFailureText(*r.Failure) : "");
        const double mean = c.a0 + c.a1 * 105 + c.a2 * 235;
        const double sd = std::hypot(c.a1 * c.sd1, c.a2 * c.sd2);
        EXPECT_NEAR(r.Design->Beta, mean / sd, 1e-6);
        EXPECT_NEAR(r.Design->PfForm / normalCdf(-mean / sd), 1, 1e-6);
        EXPECT_NEAR(r.Design->Alpha[0], -c.a1 * c.sd1 / sd, 1e-6);
        EXPECT_NEAR(sumOfSquares(r.Design->Alpha), 1, 1e-12);
        EXPECT_NEAR(*r.FactorAtDesignPoint, 1, 1e-6);
        // A flat limit state: the second order is the first.
        ASSERT_TRUE(r.PfBreitung && r.PfTvedt);
        EXPECT_NEAR(*r.PfBreitung / r.Design->PfForm, 1, 1e-5);
        EXPECT_NEAR(*r.PfTvedt / r.Design->PfForm, 1, 1e-5);
        EXPECT_EQ(r.Modes.size(), 1u);
    }
}

TEST(Reliability, LognormalProductGivesTheClosedFormIndex) {
    // Failure where c1 f1 / (k rock) < 1: a plane in the logarithms.
    struct Case {
        double sdC, sdF, sdRock, k;
    };
    for (const Case& c : {Case{6, 0.08, 2, 0.05}, Case{10, 0.05, 4, 0.2}, Case{3, 0.1, 1, 0.6}}) {
        ReliabilitySettings s;
        set(s, Parameter::Cohesion1, lognormalDistribution(c.sdC));
        set(s, Parameter::Friction1, lognormalDistribution(c.sdF));
        set(s, Parameter::RockUnitWeight, lognormalDistribution(c.sdRock));
        s.MaxSamples = 20'000;
        s.Hook = [&](const BlockInputs& in) {
            return value(in, Parameter::Cohesion1) * value(in, Parameter::Friction1) /
                   (c.k * value(in, Parameter::RockUnitWeight));
        };
        const ReliabilityResult r = run(s);
        ASSERT_TRUE(r.Design);
        double mu = -std::log(c.k), variance = 0;
        for (const auto& [mean, sd, sign] :
             {std::tuple(24.0, c.sdC, 1), std::tuple(0.364, c.sdF, 1), std::tuple(25.0, c.sdRock, -1)}) {
            const double v = std::log1p(sd * sd / (mean * mean));
            mu += sign * (std::log(mean) - v / 2);
            variance += v;
        }
        EXPECT_NEAR(r.Design->Beta, mu / std::sqrt(variance), 1e-6);
        EXPECT_NEAR(*r.PfTvedt / r.Design->PfForm, 1, 1e-5); // a plane in standard space
        EXPECT_NEAR(sumOfSquares(r.Design->Alpha), 1, 1e-12);
    }
}

TEST(Reliability, DesignPointIsTheNearestFailureOfABruteForceSearch) {
    // Two inputs of the real factor: the nearest failing point over 1440
    // directions of standard space, each bisected at its first failure.
    struct Case {
        Parameter first, second;
        Distribution d1, d2;
        ReliabilityFactor factor;
    };
    const Case cases[] = {
        {Parameter::Cohesion1, Parameter::Friction1, lognormalDistribution(10), normalDistribution(0.1),
         ReliabilityFactor::Fs},
        {Parameter::Friction2, Parameter::Dip1, normalDistribution(0.12), normalDistribution(4), ReliabilityFactor::Fs},
        {Parameter::Cohesion2, Parameter::SlopeHeight, normalDistribution(15), uniformDistribution(30, 60),
         ReliabilityFactor::Kc},
    };
    for (const Case& c : cases) {
        ReliabilitySettings s;
        set(s, c.first, c.d1);
        set(s, c.second, c.d2);
        s.Factor = c.factor;
        s.MaxSamples = 20'000;
        const ReliabilityResult r = run(s);
        ASSERT_TRUE(r.Design) << parameterName(c.first);
        const BlockInputs base = blockInputs(exampleAttitudes(), parameterNumbers(exampleParams()));
        StandardSpace space(base, s.Inputs);
        FactorEvaluator factor(base, space.inputs(), c.factor);
        auto fails = [&](double radius, double angle) {
            const double u[2] = {radius * std::cos(angle), radius * std::sin(angle)};
            double x[2];
            space.physical(u, x);
            return failing(factor(x));
        };
        double nearest = 1e9;
        constexpr int Directions = 1440;
        for (int i = 0; i < Directions; ++i) {
            const double angle = 2 * std::numbers::pi * i / Directions;
            double low = 0;
            while (low < 8 && !fails(low + 0.05, angle)) low += 0.05;
            if (low >= 8) continue;
            double high = low + 0.05;
            for (int b = 0; b < 40; ++b) ((fails((low + high) / 2, angle)) ? high : low) = (low + high) / 2;
            nearest = std::min(nearest, high);
        }
        EXPECT_NEAR(r.Design->Beta, nearest, 2e-4) << parameterName(c.first);
        EXPECT_NEAR(factorAt(r), 1, 1e-6);
    }
}

TEST(Reliability, DesignPointOfTheRealFactorLiesOnTheLimitState) {
    for (const ReliabilityFactor factor : {ReliabilityFactor::Fs, ReliabilityFactor::Kc}) {
        ReliabilitySettings s = strengthSettings(1);
        s.Factor = factor;
        s.Inputs.Correlation[0] = -0.5;
        s.MaxSamples = 50'000;
        const ReliabilityResult r = run(s);
        ASSERT_TRUE(r.Design);
        EXPECT_NEAR(*r.FactorAtDesignPoint, 1, 1e-6);
        EXPECT_NEAR(factorAt(r), 1, 1e-6);
        for (const ReliabilityMode& mode : r.Modes) EXPECT_NEAR(sumOfSquares(mode.Alpha), 1, 1e-12);
        EXPECT_LT(r.Evaluations, 20'000u);
    }
}

TEST(Reliability, ImportanceSamplingAgreesWithCrudeMonteCarlo) {
    // Spreads giving P(failure) near 1e-2 and 1e-3; the difference within
    // three standard errors of the two estimates together.
    for (const double scale : {0.63, 0.48}) {
        ReliabilitySettings s = strengthSettings(scale);
        s.TargetCov = 0.03;
        const ReliabilityResult r = run(s);
        ASSERT_TRUE(r.Importance && r.Importance->Cov);
        ProbabilisticSettings crude = s.Inputs;
        crude.Samples = 2'000'000;
        crude.KeepFactors = false;
        const ProbabilisticResult mc = runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), crude);
        const double p = mc.Full.PFailure;
        const double se = std::hypot(std::sqrt(p * (1 - p) / crude.Samples), *r.Importance->Cov * r.Importance->Pf);
        EXPECT_NEAR(r.Importance->Pf, p, 3 * se) << scale;
        EXPECT_NEAR(r.System->Pf, p, 3 * std::hypot(se, *r.System->Cov * r.System->Pf)) << scale;
        EXPECT_LE(*r.Importance->Cov, 0.03);
    }
}

TEST(Reliability, SameBitsOnAnyThreadsAndLaneWidths) {
    // The lanes give their scalar twins' bits on every width, so the scalar
    // run stands for every width.
    ReliabilitySettings s = strengthSettings(1);
    set(s, Parameter::Dip1, normalDistribution(2));
    s.Inputs.Correlation[1] = -0.3;
    s.TargetCov = 0.02;
    s.Inputs.Threads = 1;
    const ReliabilityResult one = run(s);
    s.Inputs.Threads = 2;
    const ReliabilityResult two = run(s);
    s.Inputs.Vectorised = false;
    const ReliabilityResult scalar = run(s);
    ASSERT_TRUE(one.Importance && one.System);
    EXPECT_GT(one.Importance->Samples, 1024u); // more than one batch
    for (const ReliabilityResult* r : {&two, &scalar}) {
        EXPECT_EQ(r->Importance->Pf, one.Importance->Pf);
        EXPECT_EQ(r->Importance->Cov, one.Importance->Cov);
        EXPECT_EQ(r->Importance->Samples, one.Importance->Samples);
        EXPECT_EQ(r->System->Pf, one.System->Pf);
        EXPECT_EQ(r->Design->Beta, one.Design->Beta);
        EXPECT_EQ(r->Design->DesignPoint, one.Design->DesignPoint);
    }
    s.Inputs.Seed = 7;
    EXPECT_NE(run(s).Importance->Pf, one.Importance->Pf);
}

TEST(Reliability, SeveralModesGiveTheSystemProbability) {
    // Two independent ways to fail, through the dip directions: the union
    // of two half-spaces, which the searches' several starts must both find.
    ReliabilitySettings s;
    set(s, Parameter::DipDir1, normalDistribution(1));
    set(s, Parameter::DipDir2, normalDistribution(1));
    s.TargetCov = 0.02;
    s.Hook = [](const BlockInputs& in) {
        const double u1 = value(in, Parameter::DipDir1) - 105, u2 = value(in, Parameter::DipDir2) - 235;
        return 1 + std::min(3 - u1, 3.2 + u2);
    };
    const ReliabilityResult r = run(s);
    ASSERT_EQ(r.Modes.size(), 2u);
    EXPECT_NEAR(r.Modes[0].Beta, 3, 1e-6);
    EXPECT_NEAR(r.Modes[1].Beta, 3.2, 1e-6);
    const double p1 = normalCdf(-3), p2 = normalCdf(-3.2), union_ = p1 + p2 - p1 * p2;
    EXPECT_NEAR(*r.DitlevsenLow / union_, 1, 1e-6);
    EXPECT_NEAR(*r.DitlevsenHigh / union_, 1, 1e-6);
    EXPECT_NEAR(r.System->Pf, union_, 3 * *r.System->Cov * r.System->Pf);
    EXPECT_LT(*r.SystemBeta, 3);
}

TEST(Reliability, TargetAndTheDesignBoltForceThatReachesIt) {
    ReliabilitySettings s = strengthSettings(1);
    s.MaxSamples = 20'000;
    s.TargetBeta = targetBeta(SafetyClass::First, FailureType::Brittle);
    s.DesignBolt = LineDirection{300, -10};
    const ReliabilityResult r = run(s);
    ASSERT_TRUE(r.Design && r.SystemBeta);
    EXPECT_EQ(*r.MeetsTarget, *r.SystemBeta >= 4.2);
    ASSERT_TRUE(r.RequiredBoltForce) << (r.BoltFailure ? reliabilityFailureText(*r.BoltFailure) : "");
    // The force found reaches the target, and a little less does not.
    WedgeLoads bolted;
    ReliabilitySettings check = s;
    check.DesignBolt.reset();
    bolted.Bolts.emplace_back(*r.RequiredBoltForce, *s.DesignBolt, BoltMode::Active);
    EXPECT_GE(*run(check, bolted).SystemBeta, 4.2);
    bolted.Bolts.front().Force *= 0.999;
    EXPECT_LT(*run(check, bolted).SystemBeta, 4.2);
}

TEST(Reliability, RefusesWhatItCannotAnalyse) {
    const auto refused = [](const ReliabilitySettings& s, const WedgeLoads& loads = {}) {
        try {
            run(s, loads);
        } catch (const Error& e) {
            return e.kind() == ErrorKind::RefusedInput;
        }
        return false;
    };
    ReliabilitySettings s = strengthSettings(1);
    s.TargetCov = 0;
    EXPECT_TRUE(refused(s));
    s = strengthSettings(1);
    s.DesignBolt = LineDirection{0, 0}; // without a target
    EXPECT_TRUE(refused(s));
    s.TargetBeta = 3;
    s.Factor = ReliabilityFactor::Kc;
    EXPECT_TRUE(refused(s));
    WedgeLoads small;
    small.Size.MinVolume = 10;
    EXPECT_TRUE(refused(strengthSettings(1), small));
    const ReliabilityResult none = run(ReliabilitySettings{});
    EXPECT_EQ(none.Failure, ReliabilityFailure::NoVariedInput);
}
