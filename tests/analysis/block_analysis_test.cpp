#include "analysis/block_analysis.h"

#include "analysis/computation_counts.h"

#include <gtest/gtest.h>

#include "tests/drawing/reference_blocks.h"
#include "tests/model/test_support.h"

using namespace trelmox;
using trelmox::testing::messageOf;

namespace {

// The example block as its data file holds it.
SavedBlock referenceBlock() {
    SavedBlock b;
    b.Attitudes = {{{45, 105}, {70, 235}, {12, 195}, {65, 185}}};
    b.Quadrants = trelmox::testing::exampleBlockQuadrants();
    b.Params.RockUnitWeight = "25";
    b.Params.WaterUnitWeight = "9.81";
    b.Params.SlopeHeight = "40";
    b.Params.OverhangCoefficient = "1";
    b.Params.ComputedWaterPressure1 = b.Params.ComputedWaterPressure2 = "65.4";
    b.Params.Cohesion1 = "24";
    b.Params.Friction1 = "0.364";
    b.Params.Cohesion2 = "48";
    b.Params.Friction2 = "0.577";
    b.Params.WaterPressureMode = TWaterPressureMode::Computed;
    return b;
}

} // namespace

TEST(RunBlock, ReferenceBlockFromCornersToSafetyFactor) {
    const BlockRun a = runBlock(blockInput(referenceBlock()), WedgeLoads{});
    ASSERT_TRUE(a.FailedTriples.empty() && a.Vertices);
    const struct {
        const char* name;
        TPoint3D actual, expected;
    } vertices[] = {
        {"Vertex1", a.Vertices->Vertex1, {0, 0, 0}},
        {"Vertex2", a.Vertices->Vertex2, {-34.7340090471, 84.8268963285, 55.5052926959}},
        {"Vertex3", a.Vertices->Vertex3, {-37.9581352395, 23.3069037531, 42.6970137193}},
        {"Vertex4", a.Vertices->Vertex4, {5.5231374687, 20.3370678905, 44.4793303154}},
    };
    for (const auto& v : vertices) {
        EXPECT_NEAR(v.actual.x, v.expected.x, 1e-10) << v.name;
        EXPECT_NEAR(v.actual.y, v.expected.y, 1e-10) << v.name;
        EXPECT_NEAR(v.actual.z, v.expected.z, 1e-10) << v.name;
    }
    ASSERT_TRUE(a.Geometry && a.Safety);
    EXPECT_NEAR(a.Geometry->Volume, 17896.9513, 5e-5);
    EXPECT_NEAR(a.Geometry->Height, 39.1259, 5e-5);
    EXPECT_NEAR(a.Geometry->IntersectionPlunge, 31.1965, 5e-5);
    EXPECT_EQ(a.Safety->Contact, TWedgeContact::BothPlanes);
    EXPECT_NEAR(a.Safety->SafetyFactor, 1.1891, 5e-5);
    // The real wedge under the real top, beside Kc's normalised one.
    ASSERT_TRUE(a.Full) << a.fullFailureMessage();
    EXPECT_NEAR(a.Full->Analysis.Safety.Factor, 1.1838, 5e-5);
}

// Each figure is computed once per run: the corners, Kc and the full
// analysis, however many outputs then format them.
TEST(RunBlock, ComputesEachFigureOnce) {
    const ComputationCounts before = computationCounts();
    const BlockRun run = runBlock(blockInput(referenceBlock()), WedgeLoads{});
    ASSERT_TRUE(run.complete() && run.Full);
    const ComputationCounts& after = computationCounts();
    EXPECT_EQ(after.Corners - before.Corners, 1);
    EXPECT_EQ(after.Kc - before.Kc, 1);
    EXPECT_EQ(after.Full - before.Full, 1);
}

TEST(RunBlock, SingularTripleStopsBeforeGeometryAndSafety) {
    SavedBlock flat = referenceBlock();
    flat.Quadrants[0].DipAngle = "0"; // first cutting plane parallel to the slope top
    flat.Quadrants[2].DipAngle = "0";
    const BlockRun a = runBlock(blockInput(flat), WedgeLoads{});
    EXPECT_EQ(a.FailedTriples, (std::vector<FailedTriple>{{1, 2, 3}, {1, 3, 4}}));
    EXPECT_FALSE(a.Vertices);
    EXPECT_FALSE(a.Geometry);
    EXPECT_FALSE(a.Safety);
    EXPECT_FALSE(a.Full);
    EXPECT_FALSE(a.Failure);
}

TEST(RunBlock, FailuresOfEachStepReachTheCaller) {
    const struct {
        const char* name;
        void (*spoil)(SavedBlock&);
        const char* message;
    } cases[] = {
        {"slope height", [](SavedBlock& b) { b.Params.SlopeHeight = "forty"; },
         "'forty' is not a valid floating point value"},
        {"angle text", [](SavedBlock& b) { b.Quadrants[3].StrikeAngle = "x"; },
         "'x' is not a valid floating point value"},
        {"parameter", [](SavedBlock& b) { b.Params.Friction2 = ""; }, "'' is not a valid floating point value"},
        {"cutting planes dip alike", [](SavedBlock& b) { b.Attitudes[0].DipDirection = 235; },
         "Floating point division by zero"},
    };
    for (const auto& c : cases) {
        SavedBlock block = referenceBlock();
        c.spoil(block);
        // A text that is not a number stops the block at its conversion,
        // a failure of the run is kept in the run and thrown from there.
        EXPECT_EQ(messageOf([&] {
                      const BlockRun run = runBlock(blockInput(block), WedgeLoads{});
                      EXPECT_FALSE(run.complete()) << c.name;
                      run.throwFailure();
                  }),
                  c.message)
            << c.name;
    }
}
