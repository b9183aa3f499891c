#include "analysis/joints/combinations.h"
#include "analysis/joints/pair_probability.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "model/companion.h"
#include "model/files.h"
#include "tests/model/test_support.h"
#include "tests/support/example_block.h"

namespace trelmox {
namespace {

using testing::messageOf;

SavedBlock exampleSlope() {
    SavedBlock slope;
    slope.Attitudes = testing::exampleAttitudes();
    slope.Params = testing::exampleParams();
    return slope;
}

WedgeLoads exampleLoads() {
    const auto path = std::filesystem::path(TRELMOX_TEST_DATA) / "example_loads.json";
    return parseCompanion(readTextFile(path), "example_loads.json");
}

// Two sets about the example block's cutting planes; the second gives its
// own c and f on one of its rows. The pair must come out as the block made
// of the two mean planes analyses it, with and without loads.
TEST(Combinations, TwoSetsGiveWhatTheirBlockGivesAnalysedDirectly) {
    const MeasurementFile file = parseMeasurements("dip,dipdir,set,c,f\n"
                                                   "44,104,J1,,\n46,106,J1,,\n45,105.5,J1,,\n"
                                                   "70,234,J2,30.000000000000004,0.5000000000000001\n71,236,J2,,\n");
    const std::vector<CandidatePlane> sets = setCandidates(file.Planes, labelledSets(file.Planes));
    ASSERT_EQ(sets.size(), 2u);
    const SavedBlock block = pairBlock(exampleSlope(), sets[0], sets[1]);
    EXPECT_EQ(block.Params.Cohesion1, "24");
    // Every digit of the plane's own c and f: the block is the pair to the bit.
    EXPECT_EQ(block.Params.Cohesion2, "30.000000000000004");
    EXPECT_EQ(block.Params.Friction2, "0.5000000000000001");
    for (const WedgeLoads& loads : {WedgeLoads{}, exampleLoads()}) {
        const std::vector<PlanePair> pairs = combinePlanes(
            sets, combinationSlope(exampleSlope().Attitudes, parameterNumbers(exampleSlope().Params), loads));
        ASSERT_EQ(pairs.size(), 1u);
        const SafetyResult kc = computeSafetyFactor(block.Attitudes, wedgeNumbers(parameterNumbers(block.Params)));
        const FullAnalysis full =
            analyseSavedBlock(trelmox::BlockInput{block.Attitudes, {}, trelmox::parameterNumbers(block.Params)}, loads);
        ASSERT_TRUE(pairs[0].Kc && pairs[0].hasFactor());
        EXPECT_EQ(pairs[0].Kc->SafetyFactor, kc.SafetyFactor);
        EXPECT_EQ(pairs[0].Kc->Contact, kc.Contact);
        EXPECT_EQ(pairs[0].Full->Factor, full.Safety.Factor);
        EXPECT_EQ(pairs[0].Full->Contact, full.Safety.Contact);
        EXPECT_EQ(pairs[0].State, full.State);
        EXPECT_TRUE(pairs[0].Kinematic);
    }
}

// Measured planes, one repeated (no line of intersection) and one dipping
// into the slope: the pairs with a factor come first from the smallest, the
// others after them in pair order with their reasons, on any thread count.
TEST(Combinations, CriticalWedgeFirstAndPairsWithoutWedgeKeepTheirReason) {
    const MeasurementFile file = parseMeasurements("45,105\n70,235\n45,105\n60,150\n30,10\n50,200\n80,120\n");
    const std::vector<CandidatePlane> planes = measuredCandidates(file.Planes);
    const CombinationSlope slope =
        combinationSlope(exampleSlope().Attitudes, parameterNumbers(exampleSlope().Params), WedgeLoads{});
    const std::vector<PlanePair> pairs = combinePlanes(planes, slope, 1);
    ASSERT_EQ(pairs.size(), 21u);
    const auto firstWithout =
        std::find_if(pairs.begin(), pairs.end(), [](const PlanePair& p) { return !p.hasFactor(); });
    ASSERT_NE(firstWithout, pairs.begin());
    ASSERT_NE(firstWithout, pairs.end());
    EXPECT_TRUE(std::is_sorted(pairs.begin(), firstWithout,
                               [](const PlanePair& a, const PlanePair& b) { return a.Full->Factor < b.Full->Factor; }));
    EXPECT_TRUE(
        std::all_of(firstWithout, pairs.end(), [](const PlanePair& p) { return !p.hasFactor() && pairProblem(p); }));
    EXPECT_TRUE(std::is_sorted(firstWithout, pairs.end(), [](const PlanePair& a, const PlanePair& b) {
        return std::pair(a.First, a.Second) < std::pair(b.First, b.Second);
    }));
    const auto repeated =
        std::find_if(pairs.begin(), pairs.end(), [](const PlanePair& p) { return p.First == 0 && p.Second == 2; });
    EXPECT_EQ(pairProblem(*repeated),
              refusalMessage(WedgeRefusal::ParallelPlanes) + "；Kc：Invalid floating point operation");
    // The joined message keeps the kind of the failure in it, for scripts.
    const std::optional<Error> failure = pairFailure(*repeated);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->kind(), ErrorKind::Arithmetic);
    EXPECT_EQ(failure->fault(), ArithmeticFault::InvalidOperation);
    EXPECT_EQ(planes[4].Label, "5");

    const std::vector<PlanePair> onTwo = combinePlanes(planes, slope, 2);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        EXPECT_EQ(onTwo[i].First, pairs[i].First);
        EXPECT_EQ(onTwo[i].Second, pairs[i].Second);
    }
}

// A set stands for one strength: rows that leave it out take the others',
// rows that contradict each other are refused.
TEST(Combinations, SetMembersMustAgreeOnTheirStrength) {
    const MeasurementFile agree = parseMeasurements("dip,dipdir,set,f\n45,105,J1,\n46,106,J1,0.6\n70,235,J2,\n");
    const std::vector<CandidatePlane> sets = setCandidates(agree.Planes, labelledSets(agree.Planes));
    EXPECT_EQ(sets[0].Friction, 0.6);
    EXPECT_FALSE(sets[1].Friction);
    const MeasurementFile contradict = parseMeasurements("dip,dipdir,set,c\n45,105,J1,10\n46,106,J1,12\n");
    EXPECT_EQ(messageOf([&] { setCandidates(contradict.Planes, labelledSets(contradict.Planes)); }),
              "组“J1”的黏聚力 c 不一致：第 2 行为 10，第 3 行为 12");
}

// The pair as the runs take it is the pair's block read back, to the last
// bit: the planes' own c and f where they give them (values a short text
// would round), the slope's elsewhere.
TEST(Combinations, PairInputIsThePairsBlockReadBack) {
    const SavedBlock slope = exampleSlope();
    const CombinationSlope numbers = combinationSlope(slope.Attitudes, parameterNumbers(slope.Params), {});
    const CandidatePlane plain{"J1", 0, {41.3, 101.7}, std::nullopt, std::nullopt, std::nullopt};
    const CandidatePlane own{"J2", 0, {66.1, 231.9}, 0.1 + 0.2, 1.0 / 3, std::nullopt};
    for (const auto& [first, second] : {std::pair{plain, own}, std::pair{own, plain}, std::pair{own, own}}) {
        const SavedBlock block = pairBlock(slope, first, second);
        const PairInput pair = pairInput(numbers, first, second);
        EXPECT_EQ(pair.Attitudes, block.Attitudes);
        EXPECT_EQ(pair.Parameters, parameterNumbers(block.Params));
    }
}

// Each pair's probability is the probabilistic run of the pair's block with
// both planes drawn about their sets' means with the sets' own K and the
// same seed; the pairs come sorted by it, and the failed wedges' volumes
// found beside the lanes are those the scalar analysis finds.
TEST(Combinations, PairProbabilityIsTheRunOfThePairsBlock) {
    const MeasurementFile file = parseMeasurements("dip,dipdir,set\n"
                                                   "41,101,J1\n49,109,J1\n45,99,J1\n44,112,J1\n"
                                                   "66,231,J2\n74,239,J2\n70,228,J2\n69,242,J2\n"
                                                   "58,147,J3\n63,153,J3\n60,156,J3\n61,144,J3\n");
    const std::vector<JointSet> sets = labelledSets(file.Planes);
    const std::vector<CandidatePlane> planes = setCandidates(file.Planes, sets);
    WedgeLoads limited;
    limited.Size.FaceTrace[0] = 30;
    for (const WedgeLoads& loads : {WedgeLoads{}, limited}) {
        std::vector<PlanePair> pairs = combinePlanes(
            planes, combinationSlope(exampleSlope().Attitudes, parameterNumbers(exampleSlope().Params), loads));
        const PairProbabilitySettings settings{20'000, 77, 2};
        const std::vector<PairProbability> found = pairProbabilities(
            combinationSlope(exampleSlope().Attitudes, parameterNumbers(exampleSlope().Params), loads), planes, pairs,
            settings);
        ASSERT_EQ(found.size(), 3u);
        EXPECT_TRUE(std::is_sorted(found.begin(), found.end(),
                                   [](const PairProbability& a, const PairProbability& b) { return a.Pf > b.Pf; }));
        ASSERT_GT(found[0].Pf, 0);
        ASSERT_TRUE(found[0].FailedVolumeMean);
        for (std::size_t i = 0; i < found.size(); ++i) {
            const SavedBlock block = pairBlock(exampleSlope(), planes[pairs[i].First], planes[pairs[i].Second]);
            ProbabilisticSettings own;
            own.Samples = 20'000, own.Seed = 77, own.Threads = 1;
            own.FisherKappa = {sets[pairs[i].First].Stats.Kappa, sets[pairs[i].Second].Stats.Kappa};
            own.FailedVolumes = true;
            for (bool vectorised : {true, false}) {
                own.Vectorised = vectorised;
                const ProbabilisticResult run =
                    runProbabilistic(block.Attitudes, parameterNumbers(block.Params), loads, own);
                EXPECT_EQ(found[i].Pf, run.Full.PFailure);
                EXPECT_EQ(found[i].FsMean,
                          run.Full.Statistics ? std::optional(run.Full.Statistics->Mean) : std::nullopt);
                EXPECT_EQ(found[i].FailedVolumeMean,
                          run.Full.FailedSizes ? std::optional(run.Full.FailedSizes->MeanVolume) : std::nullopt);
            }
        }
    }
}

} // namespace
} // namespace trelmox

namespace trelmox {
namespace {

// Planes of one dip direction meet in a horizontal line and cut out no
// wedge; rounding once gave such a pair Fs 0 and made it the critical one,
// and a passive bolt along the sliding direction once gave a negative Fs.
TEST(Combinations, NoPairOfOneDipDirectionAndNoNegativeFactor) {
    const MeasurementFile file = parseMeasurements("45,105\n70,235\n5,5\n35,5\n47,180\n22,110\n");
    const std::vector<CandidatePlane> planes = measuredCandidates(file.Planes);
    for (const WedgeLoads& loads : {WedgeLoads{}, exampleLoads()}) {
        const std::vector<PlanePair> pairs = combinePlanes(
            planes, combinationSlope(exampleSlope().Attitudes, parameterNumbers(exampleSlope().Params), loads), 1);
        ASSERT_TRUE(pairs.front().hasFactor());
        EXPECT_NE(pairs.front().First, 2u);
        for (const PlanePair& p : pairs) {
            if (p.First == 2 && p.Second == 3) {
                EXPECT_FALSE(p.hasFactor());
                EXPECT_EQ(p.Refusal, WedgeRefusal::HorizontalLine);
                EXPECT_NE(pairProblem(p)->find("交线水平"), std::string::npos);
            }
            if (p.hasFactor()) {
                EXPECT_GE(p.Full->Factor, 0) << p.First << ' ' << p.Second;
            }
        }
    }
}

} // namespace
} // namespace trelmox
