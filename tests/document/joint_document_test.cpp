#include "document/joint_document.h"

#include <gtest/gtest.h>

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
