#include "document/joint_document.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "analysis/joints/combinations.h"
#include "tests/support/example_block.h"

using namespace trelmox;

// The checks kept for a face are worked out again when more is asked of
// them: a net of a pole mode needs no pairs, a report of the same face does.
TEST(JointDocument, KinematicsKeptForAFaceGainThePairsWhenAsked) {
    JointDocument joints;
    joints.open(TRELMOX_TEST_DATA "/joint_measurements.csv");
    const TPlaneAttitude face{60, 105};
    const KinematicResult poles = joints.kinematics(face, false);
    EXPECT_EQ(poles.mode(KinematicMode::Planar).All.Total, 17u);
    EXPECT_EQ(poles.mode(KinematicMode::Wedge).All.Total, 0u);
    EXPECT_EQ(joints.kinematics(face).mode(KinematicMode::Wedge).All.Total, 17u * 16 / 2);
    EXPECT_EQ(joints.kinematics(face, false).mode(KinematicMode::Wedge).All.Total, 17u * 16 / 2); // kept
    EXPECT_EQ(joints.kinematics(face).mode(KinematicMode::Planar).All.Critical,
              poles.mode(KinematicMode::Planar).All.Critical);
}

// Checks worked out elsewhere are kept only for the planes, sets and limits
// they were taken from; kept, they are known for their face alone.
TEST(JointDocument, KinematicJobsBelongToTheirPlanesAndLimits) {
    JointDocument joints;
    joints.open(TRELMOX_TEST_DATA "/joint_measurements.csv");
    const TPlaneAttitude face{60, 105};
    const KinematicJob job = joints.kinematicJob(face);
    const std::optional<KinematicResult> found = job.run();
    ASSERT_TRUE(found);
    joints.groupAutomatically(3);
    EXPECT_FALSE(joints.takeKinematics(job, *found));
    EXPECT_EQ(joints.knownKinematics(face, true), nullptr);
    const KinematicJob again = joints.kinematicJob(face);
    ASSERT_TRUE(joints.takeKinematics(again, *again.run()));
    ASSERT_NE(joints.knownKinematics(face, true), nullptr);
    EXPECT_EQ(joints.knownKinematics(face, true)->mode(KinematicMode::Wedge).All.Total, 17u * 16 / 2);
    EXPECT_EQ(joints.knownKinematics({60, 106}, false), nullptr);
    joints.setKinematicLimits(35, 20);
    EXPECT_EQ(joints.knownKinematics(face, false), nullptr);
}

// A sector removed leaves the same sector shown, or the one after the
// removed one (the last when it was last); none left: the block's face.
TEST(JointDocument, RemovingASectorKeepsAShownSectorInRange) {
    const struct {
        std::size_t sectors, shown, removed;
        std::optional<std::size_t> after;
    } cases[] = {{3, 2, 2, 1}, {3, 0, 1, 0}, {3, 2, 0, 1}, {3, 1, 1, 1}, {1, 0, 0, std::nullopt}};
    for (const auto& c : cases) {
        JointDocument joints;
        for (std::size_t i = 0; i < c.sectors; ++i) {
            SlopeSector sector;
            sector.Name = "S" + std::to_string(i), sector.Dip = 60, sector.DipDirection = 30.0 * i;
            joints.addSector(sector);
        }
        joints.selectSector(c.shown);
        joints.removeSector(c.removed);
        EXPECT_EQ(joints.sectors().size(), c.sectors - 1);
        EXPECT_EQ(joints.selectedSector(), c.after) << c.shown << " " << c.removed;
    }
}

// Probabilities are kept only for the combination run they were worked out
// for: a run of the combinations made meanwhile drops them. Progress counts
// every pair's samples, and a cancel keeps nothing, however few samples a
// pair has (a pair's own run does not ask at its end).
TEST(JointDocument, PairProbabilitiesBelongToTheirCombinationRun) {
    JointDocument joints;
    joints.open(TRELMOX_TEST_DATA "/joint_measurements.csv");
    joints.groupAutomatically(3);
    SavedBlock slope;
    slope.Attitudes = trelmox::testing::exampleAttitudes();
    slope.Params = trelmox::testing::exampleParams();
    joints.combine("w1", slope, combinationSlope(slope.Attitudes, parameterNumbers(slope.Params), {}));
    joints.setProbabilitySettings(500, 3);
    const PairProbabilityJob job = joints.pairProbabilityJob();
    EXPECT_EQ(job.Settings.Samples, 500u);
    std::uint64_t last = 0, total = 0;
    const auto found = job.run([&](std::uint64_t done, std::uint64_t all) {
        last = done, total = all;
        return true;
    });
    ASSERT_TRUE(found);
    EXPECT_EQ(total, 3u * 500);
    EXPECT_EQ(last, total);
    EXPECT_FALSE(job.run([](std::uint64_t, std::uint64_t) { return false; }));

    joints.combine("w1", slope, combinationSlope(slope.Attitudes, parameterNumbers(slope.Params), {}));
    EXPECT_FALSE(joints.takePairProbabilities(job, *found));
    EXPECT_TRUE(joints.combinations()->Probabilities.empty());
    EXPECT_TRUE(joints.takePairProbabilities(joints.pairProbabilityJob(), *found));
    EXPECT_EQ(joints.combinations()->Probabilities.size(), 3u);
    EXPECT_THROW(joints.setProbabilitySettings(0, 1), Error);
}
