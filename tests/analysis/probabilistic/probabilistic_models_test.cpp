#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "analysis/probabilistic/probabilistic.h"
#include "analysis/probabilistic/sensitivity.h"
#include "tests/support/example_block.h"
#include "model/error.h"
#include "model/numtext.h"
#include "tests/analysis/probabilistic/run_settings.h"
#include "tests/model/test_support.h"

using namespace trelmox;
using namespace trelmox::testing;
using trelmox::testing::messageOf;

namespace {

ProbabilisticSettings fisherSettings(SamplingMethod method, unsigned threads) {
    ProbabilisticSettings s;
    s.Samples = 20'000;
    s.Seed = 11;
    s.Method = method;
    s.Threads = threads;
    s.FisherKappa = {12, 20}; // loose sets: many draws cut out no wedge
    set(s, Parameter::Cohesion2, normalDistribution(8));
    return s;
}

} // namespace

TEST(Probabilistic, FisherPlanesGiveTheSameResultWithAnyNumberOfThreads) {
    for (SamplingMethod method : {SamplingMethod::MonteCarlo, SamplingMethod::LatinHypercube}) {
        const ProbabilisticResult one =
            runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), fisherSettings(method, 1));
        const ProbabilisticResult two =
            runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), fisherSettings(method, 2));
        EXPECT_GT(count(one, TWedgeContact::NoBlock), 0u);
        EXPECT_EQ(two.SafetyFactors, one.SafetyFactors);
        EXPECT_EQ(two.Contacts, one.Contacts);
        EXPECT_EQ(two.Full.SafetyFactors, one.Full.SafetyFactors);
        EXPECT_EQ(two.PFailure, one.PFailure);
    }
}

// The probability of failure counts the failed wedges over all samples, the
// probability of sliding over the samples that cut out a wedge; loose sets
// make the two differ.
TEST(Probabilistic, FailureOverSamplesAndSlidingOverWedges) {
    const ProbabilisticResult r = runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()),
                                                   fisherSettings(SamplingMethod::MonteCarlo, 0));
    ASSERT_TRUE(r.Statistics && r.Full.Statistics);
    for (const auto& [factors, pf, pFailure] :
         {std::tuple(r.SafetyFactors, r.Statistics->Pf, r.PFailure),
          std::tuple(r.Full.SafetyFactors, r.Full.Statistics->Pf, r.Full.PFailure)}) {
        const double failed =
            static_cast<double>(std::count_if(factors.begin(), factors.end(), [](double f) { return f < 1; }));
        EXPECT_GT(failed, 0);
        EXPECT_EQ(pf, failed / static_cast<double>(factors.size()));
        EXPECT_EQ(pFailure, failed / static_cast<double>(r.Samples));
        EXPECT_LT(pFailure, pf);
    }
}

// Infinite concentration draws the block's own planes: every sample is the
// block's deterministic result.
TEST(Probabilistic, FisherPlanesAtInfiniteConcentrationAreTheBlocksPlanes) {
    ProbabilisticSettings s;
    s.Samples = 100;
    s.FisherKappa = {INFINITY, INFINITY};
    const ProbabilisticResult r = runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), s);
    const double kc =
        computeSafetyFactor(exampleAttitudes(), wedgeNumbers(parameterNumbers(exampleParams()))).SafetyFactor;
    ASSERT_EQ(r.SafetyFactors.size(), s.Samples);
    for (double k : r.SafetyFactors) EXPECT_NEAR(k, kc, 1e-9);
}

TEST(Probabilistic, RefusesAFisherPlaneThatAlsoVariesApartOrHasNegativeK) {
    ProbabilisticSettings both;
    both.FisherKappa[1] = 20;
    set(both, Parameter::DipDir2, normalDistribution(5));
    ProbabilisticSettings negative;
    negative.FisherKappa[0] = -1;
    EXPECT_EQ(messageOf([&] { runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), both); }),
              "dipdir2 cannot vary on its own beside the Fisher distribution of plane 2");
    EXPECT_EQ(messageOf([&] { runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), negative); }),
              "the Fisher concentration K of plane 1 must be at least 0");
}

// With size limits every sample's wedge is scaled; the run, its too-small
// wedges, its failed wedges' sizes and its benches left too narrow are the
// same on any number of threads, in the lanes or one by one.
// The trace length and the persistence drawn as a mapped joint's are (an
// exponential and a lognormal length), the wedge scaled in every sample.
TEST(Probabilistic, SizedWedgesGiveTheSameResultOnAnyThreadsAndLanes) {
    WedgeLoads loads;
    loads.Size.FaceTrace[0] = 45;
    loads.Size.Persistence[1] = 50;
    loads.Size.Bench = BenchLimits{60, 25, 12};
    loads.Size.MinVolume = 2000;
    const auto run = [&](unsigned threads, bool vectorised, bool randomSizes = true) {
        ProbabilisticSettings s = fisherSettings(SamplingMethod::MonteCarlo, threads);
        s.Vectorised = vectorised;
        if (randomSizes) {
            set(s, Parameter::FaceTrace1, exponentialDistribution());
            set(s, Parameter::Persistence2, lognormalDistribution(30));
        }
        return runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), loads, s);
    };
    const ProbabilisticResult one = run(1, true);
    EXPECT_NE(run(1, true, false).Full.FailedSizes->MeanVolume, one.Full.FailedSizes->MeanVolume);
    ASSERT_TRUE(one.Full.FailedSizes);
    EXPECT_GT(one.Full.TooSmall, 0u);
    EXPECT_GT(one.Full.BenchTooNarrow, 0u);
    const FailedWedgeSizes& f = *one.Full.FailedSizes;
    EXPECT_LE(f.Volume5, f.Volume50);
    EXPECT_LE(f.Volume50, f.Volume95);
    EXPECT_GE(f.Volume5, 2000);
    for (const ProbabilisticResult& r : {run(2, true), run(3, false)}) {
        EXPECT_EQ(r.Full.SafetyFactors, one.Full.SafetyFactors);
        EXPECT_EQ(r.Full.TooSmall, one.Full.TooSmall);
        EXPECT_EQ(r.Full.BenchTooNarrow, one.Full.BenchTooNarrow);
        EXPECT_EQ(r.Full.FailedSizes->MeanVolume, f.MeanVolume);
        EXPECT_EQ(r.Full.FailedSizes->MeanWeight, f.MeanWeight);
        EXPECT_EQ(r.Full.FailedSizes->Volume95, f.Volume95);
        EXPECT_EQ(r.Full.FailedSizes->VolumeHistogram.Counts, f.VolumeHistogram.Counts);
    }
}

// Every kind of limit, both measures of persistence and every minimum,
// with water from the height and saturated: the lanes size the wedge as
// the scalar analysis does, to the last bit.
TEST(Probabilistic, EveryLimitSizesTheWedgeInTheLanesAsOneByOne) {
    const auto limits = [](auto&& set) {
        WedgeLoads loads;
        set(loads.Size, loads);
        return loads;
    };
    const WedgeLoads cases[] = {
        limits([](WedgeSizeLimits& l, WedgeLoads&) {
            l.TopTrace = {35, 30};
            l.SlopeLength = 40;
            l.MinWeight = 5e4;
        }),
        limits([](WedgeSizeLimits& l, WedgeLoads& loads) {
            l.Persistence = {35, 45};
            l.Measure = PersistenceMeasure::LargestExtent;
            l.MinHeight = 8;
            loads.Water = WaterMode::Saturated;
        }),
        limits([](WedgeSizeLimits& l, WedgeLoads&) {
            l.FaceTrace[1] = 30;
            l.Bench = BenchLimits{30, 18, 5};
        }),
    };
    for (const WedgeLoads& loads : cases) {
        const auto run = [&](bool vectorised) {
            ProbabilisticSettings s = fisherSettings(SamplingMethod::MonteCarlo, 1);
            s.Vectorised = vectorised;
            return runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), loads, s);
        };
        const ProbabilisticResult lanes = run(true), single = run(false);
        ASSERT_TRUE(lanes.Full.FailedSizes);
        EXPECT_EQ(lanes.Full.SafetyFactors, single.Full.SafetyFactors);
        EXPECT_EQ(lanes.Full.Contacts, single.Full.Contacts);
        EXPECT_EQ(lanes.Full.TooSmall, single.Full.TooSmall);
        EXPECT_EQ(lanes.Full.BenchTooNarrow, single.Full.BenchTooNarrow);
        EXPECT_EQ(lanes.Full.FailedSizes->MeanVolume, single.Full.FailedSizes->MeanVolume);
        EXPECT_EQ(lanes.Full.FailedSizes->MeanWeight, single.Full.FailedSizes->MeanWeight);
    }
}

// Kc is linear in c1 and f1 while the wedge rests on both planes: with
// deviations that give both the same share s of Kc, Var(Kc) = 2 s^2 (1 + rho),
// which gives the drawn correlation back.
TEST(Probabilistic, CorrelatedStrengthsDrawTheirCorrelationBack) {
    BlockInputs inputs = blockInputs(exampleAttitudes(), parameterNumbers(exampleParams()));
    const double kc = evaluate(inputs).SafetyFactor;
    const auto slope = [&](Parameter p, double step) {
        BlockInputs shifted = inputs;
        parameterField(shifted, p) += step;
        return (evaluate(shifted).SafetyFactor - kc) / step;
    };
    const double perCohesion = slope(Parameter::Cohesion1, 1), perFriction = slope(Parameter::Friction1, 0.01);
    const double share = std::min(2 * perCohesion, 0.04 * perFriction);
    for (const double rho : {-0.5, 0.0, 0.7}) {
        SCOPED_TRACE(rho);
        ProbabilisticSettings s;
        s.Samples = 200'000;
        s.Seed = 5;
        s.Correlation[0] = rho;
        set(s, Parameter::Cohesion1, normalDistribution(share / perCohesion));
        set(s, Parameter::Friction1, normalDistribution(share / perFriction));
        const ProbabilisticResult r = runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), s);
        ASSERT_EQ(count(r, TWedgeContact::BothPlanes), s.Samples);
        const double drawn = r.Statistics->Sd * r.Statistics->Sd / (2 * share * share) - 1;
        // The variance's standard error is sqrt(2 / n) of it.
        EXPECT_NEAR(drawn, rho, 4 * (1 + rho) * std::sqrt(2.0 / s.Samples));
    }
    ProbabilisticSettings alone;
    alone.Correlation[1] = -0.5;
    set(alone, Parameter::Cohesion2, normalDistribution(5));
    EXPECT_EQ(messageOf([&] { runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), alone); }),
              "the correlation of c and f of plane 2 needs f2 to vary");
    alone.Correlation[1] = -1.5;
    EXPECT_EQ(messageOf([&] { runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), alone); }),
              "the correlation of c and f of plane 2 must lie between -1 and 1, not -1.5");
}

// The tension crack drawn as a joint set about its own attitude: the same
// bits in the lanes and one by one, on one thread and two; at infinite K
// the crack as given; refused for a block without a crack.
TEST(Probabilistic, TensionCrackDrawnAboutItsOwnAttitude) {
    WedgeLoads loads;
    loads.Crack = TensionCrack{{80, 170}, 10, 5};
    const auto run = [&](std::optional<double> kappa, unsigned threads, bool vectorised) {
        ProbabilisticSettings s = spreadSettings(SamplingMethod::MonteCarlo, threads);
        s.FisherKappa[2] = kappa;
        s.Vectorised = vectorised;
        return runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), loads, s);
    };
    const ProbabilisticResult one = run(25, 1, true);
    EXPECT_NE(one.Full.SafetyFactors, run(std::nullopt, 1, true).Full.SafetyFactors);
    EXPECT_EQ(run(25, 2, true).Full.SafetyFactors, one.Full.SafetyFactors);
    EXPECT_EQ(run(25, 1, false).Full.SafetyFactors, one.Full.SafetyFactors);
    const ProbabilisticResult fixed = run(INFINITY, 1, true), plain = run(std::nullopt, 1, true);
    ASSERT_EQ(fixed.Full.SafetyFactors.size(), plain.Full.SafetyFactors.size());
    for (std::size_t i = 0; i < fixed.Full.SafetyFactors.size(); ++i)
        EXPECT_NEAR(fixed.Full.SafetyFactors[i], plain.Full.SafetyFactors[i], 1e-9);
    ProbabilisticSettings s;
    s.FisherKappa[2] = 25;
    EXPECT_EQ(messageOf([&] { runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), s); }),
              "this block has no tension crack to draw as a joint set");
}

// Bench reliability against its closed form: with only the slope height
// varying the wedge keeps its shape, its back-break is r H, and the bench
// of width W leaves less than the catch width c exactly when H > (W - c) / r.
TEST(Probabilistic, BenchReliabilityMatchesItsClosedForm) {
    const FullAnalysis unit = analyseWedge(exampleAttitudes(), wedgeNumbers(parameterNumbers(exampleParams())), [] {
        WedgeLoads l;
        l.Size.Bench = BenchLimits{1e6, 1e6, std::nullopt};
        return l;
    }());
    const double r = unit.Size.Lengths.BackBreak / 40;
    WedgeLoads loads;
    const double width = 45 * r + 10; // narrow above H = 45
    loads.Size.Bench = BenchLimits{1e6, width, 10};
    ProbabilisticSettings s;
    s.Samples = 40'000;
    s.Seed = 5;
    set(s, Parameter::SlopeHeight, uniformDistribution(20, 60));
    const ProbabilisticResult result =
        runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), loads, s);
    const double expected = (60 - (width - 10) / r) / 40;
    ASSERT_GT(expected, 0.1);
    ASSERT_LT(expected, 0.9);
    ASSERT_EQ(result.Full.Wedges, s.Samples);
    const double sigma = std::sqrt(expected * (1 - expected) / static_cast<double>(s.Samples));
    EXPECT_NEAR(result.Full.PBenchTooNarrow, expected, 4 * sigma);
}

// Cohesions near the largest double once gave infinite factors, a deviation
// of 0 for factors beyond 1e154 and a crash in the histogram: every figure
// is finite, or the run fails with the arithmetic message.
TEST(Probabilistic, FactorsBeyondTheRangeOfADoubleFailInsteadOfPrinting) {
    for (double sd : {1e306, 1e200, 1e160}) {
        ProbabilisticSettings s;
        s.Samples = 1000;
        s.Seed = 7;
        set(s, Parameter::Cohesion1, normalDistribution(sd));
        try {
            const ProbabilisticResult r = runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), s);
            for (const std::optional<SafetyStatistics>& st : {r.Statistics, r.Full.Statistics}) {
                ASSERT_TRUE(st) << sd;
                for (double v : {st->Mean, st->Sd, st->Min, st->Max, st->Pf}) EXPECT_TRUE(std::isfinite(v)) << sd;
                EXPECT_GT(st->Sd, 0) << sd;
            }
            for (const Histogram* h : {&r.Bins, &r.Full.Bins})
                for (double e : h->Edges) EXPECT_TRUE(std::isfinite(e)) << sd;
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "Floating point overflow") << sd;
        }
    }
}

// A power curve is the scalar analysis's (the lanes know c + f N and
// Barton-Bandis), so every sample's Fs, and every sensitivity step's, must
// be the analysis of its inputs with the planes' own models.
TEST(Probabilistic, NonLinearStrengthTakesTheScalarAnalysis) {
    WedgeLoads loads;
    loads.Strength[0].Model = StrengthModel::BartonBandis;
    loads.Strength[1].Model = StrengthModel::PowerCurve;
    const BlockInputs base = blockInputs(exampleAttitudes(), parameterNumbers(exampleParams()), loads);
    ProbabilisticSettings s;
    s.Samples = 2000;
    set(s, Parameter::Dip1, normalDistribution(3));
    set(s, Parameter::Cohesion2, normalDistribution(5));
    const ProbabilisticResult r = runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), loads, s);
    const SampleDesign design(s.Method, s.Seed, s.Samples, {Parameter::Dip1, Parameter::Cohesion2});
    std::vector<double> expected;
    for (std::uint64_t i = 0; i < s.Samples; ++i) {
        BlockInputs sample = base;
        for (Parameter p : {Parameter::Dip1, Parameter::Cohesion2})
            parameterField(sample, p) =
                Sampler(p, parameterValue(base, p), s.Distributions[int(p)]).value(design.uniform(i, p));
        const FullSafety full = evaluateFull(sample).Safety;
        if (full.Contact != TWedgeContact::NoBlock && full.Contact != TWedgeContact::Unresolved)
            expected.push_back(full.Factor);
    }
    EXPECT_EQ(r.Full.SafetyFactors, expected);

    const auto steps =
        runSensitivity(exampleAttitudes(), parameterNumbers(exampleParams()), loads, Parameter::Dip1, 40, 50, 2);
    for (const SensitivityStep& step : steps) {
        PlaneAttitudeArray attitudes = exampleAttitudes();
        attitudes[0].DipAngle = step.Value;
        ASSERT_TRUE(step.Full);
        EXPECT_EQ(step.Full->Factor,
                  analyseWedge(attitudes, wedgeNumbers(parameterNumbers(exampleParams())), loads).Safety.Factor);
    }
}

// Given inputs are worked out as the run works out its own draws: the run's
// drawn columns, handed back in a count that fills no chunk and no block of
// lanes, give the run's Kc and Fs of its wedge samples, on any threads.
TEST(GivenSamples, DrawnInputsGiveTheRunsFactors) {
    for (unsigned threads : {1u, 2u}) {
        ProbabilisticSettings s = spreadSettings(SamplingMethod::MonteCarlo, threads);
        s.Samples = 4096 + 4096 + 13;
        const ProbabilisticResult run =
            runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), WedgeLoads{}, s);
        const DrawnSamples drawn = drawSamples(exampleAttitudes(), parameterNumbers(exampleParams()), WedgeLoads{}, s);
        std::vector<const double*> columns;
        for (const auto& column : drawn.Columns) columns.push_back(column.data());
        const std::size_t n = s.Samples;
        std::vector<double> kc(n), fs(n);
        std::vector<SampleOutcome> kcOutcome(n), fsOutcome(n);
        evaluateSamples(blockInputs(exampleAttitudes(), parameterNumbers(exampleParams())), drawn.Inputs, columns, n,
                        threads, {kc.data(), kcOutcome.data(), fs.data(), fsOutcome.data()});
        std::vector<double> kcWedges, fsWedges;
        for (std::size_t i = 0; i < n; ++i) {
            if (!failedOutcome(kcOutcome[i]) && cutsOutWedge(static_cast<TWedgeContact>(kcOutcome[i])))
                kcWedges.push_back(kc[i]);
            if (!failedOutcome(fsOutcome[i]) && cutsOutWedge(static_cast<TWedgeContact>(fsOutcome[i])))
                fsWedges.push_back(fs[i]);
        }
        EXPECT_EQ(kcWedges, run.SafetyFactors);
        EXPECT_EQ(fsWedges, run.Full.SafetyFactors);
    }
}

TEST(GivenSamples, ValuesNoSampleCouldTakeAreRefusedWithTheirRow) {
    const BlockInputs base = blockInputs(exampleAttitudes(), parameterNumbers(exampleParams()));
    const std::vector<double> heights = {40, 35, 0, 45};
    const std::vector<double> dips = {45, 91, 45, 45};
    double kc[4], fs[4];
    SampleOutcome kcOutcome[4], fsOutcome[4];
    const SampleFactors out{kc, kcOutcome, fs, fsOutcome};
    struct Case {
        std::vector<Parameter> Inputs;
        std::vector<const double*> Columns;
        std::string Field;
        int Row;
    };
    for (const Case& c : {Case{{Parameter::SlopeHeight}, {heights.data()}, "height", 2},
                          Case{{Parameter::Dip1}, {dips.data()}, "dip1", 1},
                          Case{{Parameter::Dip1, Parameter::Dip1}, {dips.data(), dips.data()}, "dip1", -1},
                          Case{{Parameter::WaterPressure1}, {heights.data()}, "u1", -1}}) { // computed water
        try {
            evaluateSamples(base, c.Inputs, c.Columns, 4, 0, out);
            ADD_FAILURE() << c.Field << " was not refused";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::RefusedInput) << e.what();
            EXPECT_EQ(e.field(), c.Field);
            EXPECT_EQ(e.row(), c.Row);
        }
    }
}
