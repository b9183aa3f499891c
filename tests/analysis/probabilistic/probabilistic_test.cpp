#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "analysis/probabilistic/probabilistic.h"
#include "tests/support/example_block.h"
#include "model/error.h"
#include "model/numtext.h"
#include "tests/analysis/probabilistic/run_settings.h"
#include "tests/model/test_support.h"

using namespace trelmox;
using namespace trelmox::testing;
using trelmox::testing::messageOf;

TEST(Probabilistic, SeededRunIsTheSameWithAnyNumberOfThreads) {
    for (SamplingMethod method : {SamplingMethod::MonteCarlo, SamplingMethod::LatinHypercube}) {
        const ProbabilisticResult one =
            runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), spreadSettings(method, 1));
        const ProbabilisticResult two =
            runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), spreadSettings(method, 2));
        const ProbabilisticResult three =
            runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), spreadSettings(method, 3));
        ASSERT_TRUE(one.Statistics && two.Statistics);
        EXPECT_GT(count(one, TWedgeContact::NoBlock), 0u);
        for (const ProbabilisticResult* r : {&two, &three}) {
            EXPECT_EQ(r->SafetyFactors, one.SafetyFactors); // bit for bit, in sample order
            EXPECT_EQ(r->Contacts, one.Contacts);
            EXPECT_EQ(r->Statistics->Mean, one.Statistics->Mean);
            EXPECT_EQ(r->Statistics->Sd, one.Statistics->Sd);
            EXPECT_EQ(r->Statistics->Pf, one.Statistics->Pf);
            EXPECT_EQ(r->Bins.Counts, one.Bins.Counts);
            EXPECT_EQ(r->Full.SafetyFactors, one.Full.SafetyFactors);
            EXPECT_EQ(r->Full.Contacts, one.Full.Contacts);
            EXPECT_EQ(r->Full.PBelowRequired, one.Full.PBelowRequired);
        }
        ProbabilisticSettings otherSeed = spreadSettings(method, 2);
        otherSeed.Seed = 2025;
        EXPECT_NE(runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), otherSeed).Statistics->Mean,
                  one.Statistics->Mean);
    }
}

// The histograms are counted from the factors' levels within their chunk;
// a value whose level meets a bin's edge's is worked out again. Both must
// give the bins of the exact values: over a wide spread, and over one so
// narrow (the height varied by a few parts in 10^9) that a float could not
// tell the values apart.
TEST(Probabilistic, HistogramCountsTheExactValues) {
    const auto exactCounts = [](const std::vector<double>& values, const SafetyStatistics& s, std::size_t bins) {
        const double width = (s.Max - s.Min) / static_cast<double>(bins);
        std::vector<std::uint64_t> counts(bins);
        for (double v : values) {
            const double at = width > 0 ? (v - s.Min) / width : 0;
            ++counts[at < static_cast<double>(bins) ? (at > 0 ? static_cast<std::size_t>(at) : 0) : bins - 1];
        }
        return counts;
    };
    ProbabilisticSettings narrow;
    narrow.Samples = 9000;
    set(narrow, Parameter::SlopeHeight, uniformDistribution(40, 40.0000001));
    for (const ProbabilisticSettings& s : {spreadSettings(SamplingMethod::LatinHypercube, 2), narrow}) {
        const ProbabilisticResult r = runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), s);
        ASSERT_TRUE(r.Statistics && r.Full.Statistics);
        EXPECT_LT(r.Statistics->Min, r.Statistics->Max);
        // The chunks' own tallies (a chunk of wedges only is counted on a
        // shorter path) against the kept values.
        for (const auto& [values, stats] :
             {std::pair(&r.SafetyFactors, *r.Statistics), std::pair(&r.Full.SafetyFactors, *r.Full.Statistics)}) {
            EXPECT_EQ(stats.Min, *std::min_element(values->begin(), values->end()));
            EXPECT_EQ(stats.Max, *std::max_element(values->begin(), values->end()));
            double sum = 0;
            for (double v : *values) sum += v;
            EXPECT_NEAR(stats.Mean, sum / static_cast<double>(values->size()), 1e-12);
        }
        EXPECT_EQ(r.Bins.Counts, exactCounts(r.SafetyFactors, *r.Statistics, r.Bins.Counts.size()));
        EXPECT_EQ(r.Full.Bins.Counts, exactCounts(r.Full.SafetyFactors, *r.Full.Statistics, r.Full.Bins.Counts.size()));
        ProbabilisticSettings keepNone = s;
        keepNone.KeepFactors = false;
        const ProbabilisticResult bare =
            runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), keepNone);
        EXPECT_EQ(bare.Bins.Counts, r.Bins.Counts);
        EXPECT_EQ(bare.Full.Bins.Counts, r.Full.Bins.Counts);
    }
}

TEST(Probabilistic, ZeroSpreadGivesTheDeterministicResultInEverySample) {
    struct Case {
        const char* what;
        PlaneAttitudeArray attitudes;
        TWedgeParams params;
    } cases[] = {
        {"computed water, both planes", exampleAttitudes(), exampleParams()},
        {"entered water, first plane only", exampleAttitudes(), enteredParams("0", "300")},
        {"entered water, second plane only", exampleAttitudes(), enteredParams("300", "0")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProbabilisticSettings s;
        s.Samples = 5000;
        s.Threads = 2;
        for (int i = 0; i < ParameterCount; ++i) {
            const auto input = static_cast<Parameter>(i);
            const bool pressure = input == Parameter::WaterPressure1 || input == Parameter::WaterPressure2;
            if (pressure && c.params.WaterPressureMode == TWaterPressureMode::Computed) continue;
            if (input > Parameter::Seismic) continue; // loads these blocks do not have
            s.Distributions[i] = i % 2 ? normalDistribution(0) : Distribution{};
        }
        set(s, Parameter::Cohesion1, lognormalDistribution(0));
        const double c2 = textToFloat(c.params.Cohesion2);
        set(s, Parameter::Cohesion2, uniformDistribution(c2, c2));
        const SafetyResult expected = computeSafetyFactor(c.attitudes, wedgeNumbers(parameterNumbers(c.params)));
        const ProbabilisticResult r = runProbabilistic(c.attitudes, parameterNumbers(c.params), s);
        EXPECT_EQ(count(r, expected.Contact), s.Samples);
        ASSERT_EQ(r.SafetyFactors.size(), s.Samples);
        for (double kc : r.SafetyFactors) ASSERT_EQ(kc, expected.SafetyFactor);
        ASSERT_TRUE(r.Statistics);
        EXPECT_EQ(r.Statistics->Min, expected.SafetyFactor);
        EXPECT_EQ(r.Statistics->Max, expected.SafetyFactor);
        EXPECT_EQ(r.Statistics->Sd, 0);
        EXPECT_EQ(r.Bins.Counts, std::vector<std::uint64_t>{s.Samples});
    }
}

// Every sample is the deterministic computation of its own inputs: the draws
// are redone here through the public samplers and each sample's inputs
// evaluated from scratch, for runs varying different attitudes (whose
// trigonometry the run redoes only in part) and parameters.
TEST(Probabilistic, EverySampleIsTheComputationOfItsInputs) {
    const std::vector<std::vector<std::pair<Parameter, Distribution>>> runs = {
        {{Parameter::Dip1, normalDistribution(4)}},
        {{Parameter::DipDir2, normalDistribution(10)}},
        {{Parameter::DipTop, uniformDistribution(0, 40)}, {Parameter::DipDirTop, normalDistribution(30)}},
        {{Parameter::DipFace, normalDistribution(5)}, {Parameter::Cohesion1, lognormalDistribution(8)}},
        {{Parameter::Dip1, normalDistribution(3)},
         {Parameter::DipDir1, normalDistribution(5)},
         {Parameter::Dip2, normalDistribution(3)},
         {Parameter::DipDir2, normalDistribution(5)},
         {Parameter::DipTop, normalDistribution(3)},
         {Parameter::DipFace, normalDistribution(3)},
         {Parameter::DipDirFace, normalDistribution(5)},
         {Parameter::SlopeHeight, uniformDistribution(20, 60)},
         {Parameter::WaterUnitWeight, normalDistribution(2)}},
        {{Parameter::Seismic, uniformDistribution(0, 0.3)},
         {Parameter::CrackDistance, uniformDistribution(0, 30)},
         {Parameter::CrackWater, uniformDistribution(0, 20)},
         {Parameter::ForceMagnitude, normalDistribution(300)},
         {Parameter::BoltForce, normalDistribution(500)},
         {Parameter::DipDir1, normalDistribution(5)}},
    };
    // Loads that the full factor takes and Kc does not.
    WedgeLoads loads;
    loads.Water = WaterMode::Saturated;
    loads.Crack = TensionCrack{{80, 170}, 10, 5};
    loads.Forces = {{600, {160, 10}}, {200, {100, 0}}};
    loads.Bolts = {{1500, {340, 20}, BoltMode::Active}, {500, {330, 10}, BoltMode::Passive}};
    const BlockInputs base = blockInputs(exampleAttitudes(), parameterNumbers(exampleParams()), loads);
    for (SamplingMethod method : {SamplingMethod::MonteCarlo, SamplingMethod::LatinHypercube}) {
        for (const auto& varied : runs) {
            ProbabilisticSettings s;
            s.Samples = 5000;
            s.Method = method;
            std::vector<Parameter> inputs;
            for (const auto& [p, d] : varied) set(s, p, d), inputs.push_back(p);
            const ProbabilisticResult r =
                runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), loads, s);
            const SampleDesign design(method, s.Seed, s.Samples, inputs);
            std::vector<double> expected, expectedFs;
            std::array<std::uint64_t, ContactCount> contacts{}, fullContacts{};
            for (std::uint64_t i = 0; i < s.Samples; ++i) {
                BlockInputs sample = base;
                for (const auto& [p, d] : varied)
                    parameterField(sample, p) = Sampler(p, parameterValue(base, p), d).value(design.uniform(i, p));
                const SafetyResult one = evaluate(sample);
                ++contacts[static_cast<int>(one.Contact)];
                if (one.Contact != TWedgeContact::NoBlock && one.Contact != TWedgeContact::Unresolved)
                    expected.push_back(one.SafetyFactor);
                const FullSafety full = evaluateFull(sample).Safety;
                ++fullContacts[static_cast<int>(full.Contact)];
                if (full.Contact != TWedgeContact::NoBlock && full.Contact != TWedgeContact::Unresolved)
                    expectedFs.push_back(full.Factor);
            }
            EXPECT_EQ(r.Contacts, contacts) << parameterName(inputs.front());
            EXPECT_EQ(r.SafetyFactors, expected) << parameterName(inputs.front());
            EXPECT_EQ(r.Failed, 0u);
            EXPECT_EQ(r.Full.Contacts, fullContacts) << parameterName(inputs.front());
            EXPECT_EQ(r.Full.SafetyFactors, expectedFs) << parameterName(inputs.front());
            EXPECT_EQ(r.Full.Failed, 0u);
        }
    }
}

// In the both-planes case Kc = a + b c1 (c1 enters only the numerator), so
// with c1 normal (mu, sigma) P(Kc < 1) = Phi((c1* - mu) / sigma) with
// a + b c1* = 1. The mean is placed 0.5 sigma above c1* and 8 sigma above
// zero, so that the truncation at zero takes nothing measurable.
TEST(Probabilistic, FailureProbabilityOfALinearCaseMatchesTheNormalDistribution) {
    const PlaneAttitudeArray attitudes = exampleAttitudes();
    TWedgeParams params = enteredParams("100", "100");
    auto kcAt = [&](double c1) {
        params.Cohesion1 = floatToText(c1);
        const SafetyResult r = computeSafetyFactor(attitudes, wedgeNumbers(parameterNumbers(params)));
        EXPECT_EQ(r.Contact, TWedgeContact::BothPlanes);
        return r.SafetyFactor;
    };
    const double a = kcAt(0), b = (kcAt(100) - a) / 100;
    const double critical = (1 - a) / b;
    ASSERT_GT(critical, 0);
    const double sigma = critical / 7.5, mu = critical + 0.5 * sigma;
    kcAt(mu);
    const double expected = normalCdf(-0.5);
    for (SamplingMethod method : {SamplingMethod::MonteCarlo, SamplingMethod::LatinHypercube}) {
        ProbabilisticSettings s;
        s.Samples = 200'000;
        s.Method = method;
        set(s, Parameter::Cohesion1, normalDistribution(sigma));
        const ProbabilisticResult r = runProbabilistic(attitudes, parameterNumbers(params), s);
        ASSERT_TRUE(r.Statistics);
        const double samplingError = std::sqrt(expected * (1 - expected) / s.Samples);
        EXPECT_NEAR(r.Statistics->Pf, expected, 4 * samplingError);
        EXPECT_NEAR(r.Statistics->Mean, a + b * mu, 4 * b * sigma / std::sqrt(s.Samples));
        EXPECT_NEAR(r.Statistics->Sd, b * sigma, 0.01 * b * sigma);
    }
}

TEST(Probabilistic, CountsEveryOutcomeAndTakesPfOverWedgesOnly) {
    struct Case {
        const char* what;
        PlaneAttitudeArray attitudes;
        TWedgeParams params;
        Parameter input;
        Distribution distribution;
        TWedgeContact contact; // of the samples that cut out something
        std::uint64_t failed;
        double pf; // < 0: no wedge, so no statistics
    } cases[] = {
        // The slope top dip does not change Kc, but above 34.26 degrees no block is cut out.
        {"slope top too steep for some", exampleAttitudes(), exampleParams(), Parameter::DipTop,
         uniformDistribution(0, 60), TWedgeContact::BothPlanes, 0, 0},
        {"lift-off counts as failure", exampleAttitudes(), enteredParams("300", "300"), Parameter::Cohesion1,
         normalDistribution(5), TWedgeContact::LiftOff, 0, 1},
        {"parallel line of intersection fails",
         {{{45, 235}, {70, 235}, {12, 195}, {65, 185}}},
         exampleParams(),
         Parameter::Cohesion1,
         normalDistribution(5),
         TWedgeContact::NoBlock,
         1000,
         -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProbabilisticSettings s;
        s.Samples = 1000;
        set(s, c.input, c.distribution);
        const ProbabilisticResult r = runProbabilistic(c.attitudes, parameterNumbers(c.params), s);
        std::uint64_t total = r.Failed;
        for (std::uint64_t n : r.Contacts) total += n;
        EXPECT_EQ(total, s.Samples);
        EXPECT_EQ(r.Samples, s.Samples);
        EXPECT_EQ(r.Failed, c.failed);
        EXPECT_EQ(r.Wedges, r.SafetyFactors.size());
        EXPECT_EQ(r.Wedges + count(r, TWedgeContact::NoBlock) + r.Failed, s.Samples);
        if (c.pf < 0) {
            EXPECT_FALSE(r.Statistics);
            EXPECT_TRUE(r.Bins.Counts.empty());
            continue;
        }
        EXPECT_EQ(count(r, c.contact), r.Wedges);
        ASSERT_TRUE(r.Statistics);
        EXPECT_EQ(r.Statistics->Pf, c.pf);
    }
}

TEST(Probabilistic, SlopeTopCutsOutNoBlockAboveItsLimit) {
    ProbabilisticSettings s;
    s.Samples = 60'000;
    s.Method = SamplingMethod::LatinHypercube;
    set(s, Parameter::DipTop, uniformDistribution(0, 60));
    const ProbabilisticResult r = runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), s);
    // The limit is about 34.26 degrees; stratified, the count is exact to a sample or two.
    EXPECT_NEAR(double(count(r, TWedgeContact::NoBlock)) / s.Samples, (60 - 34.26) / 60, 2e-4);
    EXPECT_NEAR(r.Statistics->Mean, 1.1891, 1e-4);
}

TEST(Probabilistic, HistogramCoversTheRangeAndEverySample) {
    ProbabilisticSettings s = spreadSettings(SamplingMethod::MonteCarlo, 2);
    s.HistogramBins = 7;
    const ProbabilisticResult r = runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), s);
    const Histogram& h = r.Bins;
    ASSERT_EQ(h.Counts.size(), 7u);
    ASSERT_EQ(h.Edges.size(), 8u);
    EXPECT_EQ(h.Edges.front(), r.Statistics->Min);
    EXPECT_EQ(h.Edges.back(), r.Statistics->Max);
    EXPECT_TRUE(std::is_sorted(h.Edges.begin(), h.Edges.end()));
    std::uint64_t total = 0;
    for (std::size_t b = 0; b < h.Counts.size(); ++b) {
        total += h.Counts[b];
        const auto inBin = std::count_if(r.SafetyFactors.begin(), r.SafetyFactors.end(), [&](double k) {
            return k >= h.Edges[b] && (k < h.Edges[b + 1] || (b + 1 == h.Counts.size() && k == h.Edges[b + 1]));
        });
        EXPECT_EQ(h.Counts[b], static_cast<std::uint64_t>(inBin)) << "bin " << b;
    }
    EXPECT_EQ(total, r.Wedges);
}

TEST(Probabilistic, ReportsProgressAndCanBeCancelled) {
    ProbabilisticSettings s = spreadSettings(SamplingMethod::MonteCarlo, 2);
    s.Samples = 100'000;
    std::vector<std::uint64_t> seen;
    const ProbabilisticResult done = runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), s,
                                                      [&](std::uint64_t d, std::uint64_t total) {
                                                          EXPECT_EQ(total, s.Samples);
                                                          seen.push_back(d);
                                                          return true;
                                                      });
    EXPECT_FALSE(done.Cancelled);
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), s.Samples);

    int calls = 0;
    const ProbabilisticResult cancelled =
        runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), s, [&](std::uint64_t, std::uint64_t) {
            ++calls;
            return false;
        });
    EXPECT_TRUE(cancelled.Cancelled);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(cancelled.Statistics);

    // A run of one chunk reports only at its end; a cancel answered there
    // still cancels (as it must when the other threads ran every chunk).
    s.Samples = 1000;
    calls = 0;
    const ProbabilisticResult lastAnswer = runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), s,
                                                            [&](std::uint64_t d, std::uint64_t total) {
                                                                ++calls;
                                                                EXPECT_EQ(d, total);
                                                                return false;
                                                            });
    EXPECT_TRUE(lastAnswer.Cancelled);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(lastAnswer.Statistics);

    s.Samples = 100'000;
    auto throwing = [](std::uint64_t, std::uint64_t) -> bool { throw std::runtime_error("window gone"); };
    EXPECT_THROW(runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), s, throwing),
                 std::runtime_error);
}

TEST(Probabilistic, RefusesSettingsThatDoNotFitTheBlock) {
    struct Case {
        const char* what;
        TWedgeParams params;
        std::uint64_t samples;
        int bins;
        Parameter input;
        Distribution distribution;
        const char* message;
        unsigned threads = 0;
    } cases[] = {
        {"zero samples", exampleParams(), 0, 20, Parameter::Dip1, {}, "the number of samples must lie between 1 and"},
        {"too many samples", exampleParams(), MaxSamples + 1, 20, Parameter::Dip1, {}, "the number of samples"},
        {"no bins", exampleParams(), 10, 0, Parameter::Dip1, {}, "the histogram needs at least one bin"},
        // Two billion bins once ended in the allocator, a hundred million wrote 2.8 GB.
        {"too many bins",
         exampleParams(),
         10,
         MaxHistogramBins + 1,
         Parameter::Dip1,
         {},
         "the histogram has at most 10000 bins"},
        // 100000 threads once crashed inside the thread runtime.
        {"too many threads",
         exampleParams(),
         10,
         20,
         Parameter::Dip1,
         {},
         "the number of threads must lie between 1",
         maxThreads() + 1},
        {"all 32 bits of threads", exampleParams(), 10, 20, Parameter::Dip1, {}, "the number of threads", 4294967295u},
        {"negative deviation", exampleParams(), 10, 20, Parameter::Friction1, normalDistribution(-0.1),
         "f1: the standard deviation must be"},
        {"computed water pressure", exampleParams(), 10, 20, Parameter::WaterPressure1, normalDistribution(1),
         "u1 cannot vary: this block's water pressures are computed"},
        {"bad block text",
         enteredParams("abc", "0"),
         10,
         20,
         Parameter::Dip1,
         {},
         "'abc' is not a valid floating point value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProbabilisticSettings s;
        s.Samples = c.samples;
        s.HistogramBins = c.bins;
        s.Threads = c.threads;
        set(s, c.input, c.distribution);
        try {
            runProbabilistic(exampleAttitudes(), parameterNumbers(c.params), s);
            ADD_FAILURE() << "accepted";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()).substr(0, std::string(c.message).size()), c.message) << e.what();
        }
    }
    // Entered water pressures may vary.
    ProbabilisticSettings s;
    s.Samples = 10;
    set(s, Parameter::WaterPressure2, normalDistribution(10));
    EXPECT_NO_THROW(runProbabilistic(exampleAttitudes(), parameterNumbers(enteredParams("65.4", "65.4")), s));
}

TEST(Probabilistic, RefusesASampleCountThatMemoryCannotHoldBeforeAllocating) {
    // In a child, whose address space is limited to what it has mapped plus
    // 64 MB: ten million Latin hypercube samples of six inputs need about
    // 420 MB, which the allocator would refuse part-way through the run.
    ProbabilisticSettings s = spreadSettings(SamplingMethod::LatinHypercube, 1);
    s.Samples = MaxSamples;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::uint64_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlimit limit{pages * ::sysconf(_SC_PAGESIZE) + (64u << 20), RLIM_INFINITY};
        ::setrlimit(RLIMIT_AS, &limit);
        try {
            runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), s);
        } catch (const Error& e) {
            ::_exit(std::string(e.what()).starts_with("the samples need about") ? 0 : 2);
        } catch (...) {
            ::_exit(3);
        }
        ::_exit(4);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// The full factor beside Kc: the seismic coefficient lowers Fs and leaves
// Kc alone, and P(Fs < required) is the share of the wedge samples below it.
TEST(Probabilistic, FullFactorBesideKcWithItsRequiredFactor) {
    WedgeLoads loads;
    loads.RequiredFactor = 1.1;
    loads.Preset.reset();
    ProbabilisticSettings s;
    s.Samples = 20'000;
    set(s, Parameter::Seismic, uniformDistribution(0, 0.4));
    const ProbabilisticResult r = runProbabilistic(exampleAttitudes(), parameterNumbers(exampleParams()), loads, s);
    ASSERT_TRUE(r.Statistics && r.Full.Statistics);
    EXPECT_EQ(r.Statistics->Sd, 0);
    EXPECT_GT(r.Full.Statistics->Sd, 0);
    EXPECT_EQ(r.Full.RequiredFactor, 1.1);
    const double plain =
        analyseWedge(exampleAttitudes(), wedgeNumbers(parameterNumbers(exampleParams())), loads).Safety.Factor;
    EXPECT_LT(r.Full.Statistics->Max, plain); // k = 0 would give the largest factor
    EXPECT_NEAR(r.Full.Statistics->Max, plain, 1e-3 * plain);
    const auto below =
        std::count_if(r.Full.SafetyFactors.begin(), r.Full.SafetyFactors.end(), [](double fs) { return fs < 1.1; });
    EXPECT_EQ(r.Full.PBelowRequired, double(below) / r.Full.Wedges);
    EXPECT_GT(r.Full.PBelowRequired, r.Full.Statistics->Pf);
    EXPECT_GT(r.Full.Statistics->Pf, 0);
}

TEST(Probabilistic, LoadsTheBlockDoesNotHaveCannotVary) {
    const BlockInputs inputs = blockInputs(exampleAttitudes(), parameterNumbers(exampleParams()));
    const struct {
        Parameter input;
        const char* message;
    } cases[] = {
        {Parameter::CrackDistance, "crackdist cannot vary: this block has no tension crack"},
        {Parameter::CrackWater, "crackwater cannot vary: this block has no tension crack"},
        {Parameter::ForceMagnitude, "force cannot vary: this block has no external force"},
        {Parameter::BoltForce, "bolt cannot vary: this block has no bolt"},
    };
    for (const auto& c : cases) EXPECT_EQ(messageOf([&] { requireVariable(inputs, c.input); }), c.message);
    EXPECT_EQ(messageOf([&] { requireVariable(inputs, Parameter::Seismic); }), "");
}
