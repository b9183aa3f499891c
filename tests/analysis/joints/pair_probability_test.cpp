#include "analysis/joints/pair_probability.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "tests/support/example_block.h"

namespace trelmox {
namespace {

// Five sets about the example block's planes: ten pairs, enough to share
// out by pairs on two threads.
struct FivePairs {
    SavedBlock Slope;
    std::vector<CandidatePlane> Planes;
    std::vector<PlanePair> Pairs;

    FivePairs() {
        Slope.Attitudes = testing::exampleAttitudes();
        Slope.Params = testing::exampleParams();
        const MeasurementFile file = parseMeasurements("dip,dipdir,set\n"
                                                       "41,101,J1\n49,109,J1\n45,99,J1\n"
                                                       "66,231,J2\n74,239,J2\n70,228,J2\n"
                                                       "58,147,J3\n63,153,J3\n60,156,J3\n"
                                                       "35,80,J4\n39,86,J4\n37,77,J4\n"
                                                       "75,260,J5\n79,266,J5\n77,255,J5\n");
        Planes = setCandidates(file.Planes, labelledSets(file.Planes));
        Pairs = combinePlanes(Planes, combinationSlope(Slope.Attitudes, parameterNumbers(Slope.Params), WedgeLoads{}));
    }
};

// Shared out by pairs (one team, each pair's run on one thread) the pairs
// get what they get one after the other; progress comes from the calling
// thread, never goes back and ends at the total; a cancel stops the runs.
TEST(PairProbability, PairsSharedOutGiveWhatTheyGiveInTurn) {
    const FivePairs f;
    ASSERT_EQ(f.Pairs.size(), 10u);
    // 10 pairs of 2^16 samples: worth two threads (team.h), and by pairs.
    const PairProbabilitySettings inTurn{1 << 16, 5, 1}, shared{1 << 16, 5, 2};
    const auto one = pairProbabilitiesInOrder(
        combinationSlope(f.Slope.Attitudes, parameterNumbers(f.Slope.Params), WedgeLoads{}), f.Planes, f.Pairs, inTurn);
    std::vector<std::uint64_t> reported;
    const auto caller = std::this_thread::get_id();
    bool onCaller = true;
    const auto two =
        pairProbabilitiesInOrder(combinationSlope(f.Slope.Attitudes, parameterNumbers(f.Slope.Params), WedgeLoads{}),
                                 f.Planes, f.Pairs, shared, [&](std::uint64_t done, std::uint64_t total) {
                                     onCaller = onCaller && std::this_thread::get_id() == caller;
                                     EXPECT_EQ(total, 10u << 16);
                                     reported.push_back(done);
                                     return true;
                                 });
    ASSERT_TRUE(one && two);
    for (std::size_t i = 0; i < one->size(); ++i) {
        EXPECT_EQ((*one)[i].Pf, (*two)[i].Pf) << i;
        EXPECT_EQ((*one)[i].PSliding, (*two)[i].PSliding) << i;
        EXPECT_EQ((*one)[i].FsMean, (*two)[i].FsMean) << i;
        EXPECT_EQ((*one)[i].FailedVolumeMean, (*two)[i].FailedVolumeMean) << i;
    }
    EXPECT_TRUE(onCaller);
    ASSERT_FALSE(reported.empty());
    EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
    EXPECT_EQ(reported.back(), 10u << 16);
    EXPECT_FALSE(
        pairProbabilitiesInOrder(combinationSlope(f.Slope.Attitudes, parameterNumbers(f.Slope.Params), WedgeLoads{}),
                                 f.Planes, f.Pairs, shared, [](std::uint64_t, std::uint64_t) { return false; }));
}

} // namespace
} // namespace trelmox
