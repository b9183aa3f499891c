#include "analysis/probabilistic/block_facts.h"

#include <gtest/gtest.h>

#include "analysis/computation_counts.h"
#include "tests/model/test_blocks.h"

using namespace trelmox;

// What the calculation report shows of the block's own inputs, whether the
// run went through, failed or was never made.
TEST(BlockFacts, WorkedOutFromTheBlockAndItsRun) {
    SavedBlock negativeCohesion = trelmox::testing::exampleBlock();
    negativeCohesion.Params.Cohesion1 = "-1";
    const struct {
        const char* name;
        SavedBlock block;
        bool corners, values;
        std::optional<double> water;
    } cases[] = {
        // γw·H/6 = 9.81 · 40 / 6
        {"computed water", trelmox::testing::exampleBlock(), true, true, 9.81 * 40 / 6},
        {"entered water", trelmox::testing::workedExampleBlock(), true, true, std::nullopt},
        {"no corners", trelmox::testing::blockWithoutCorners(), false, true, std::nullopt},
        // out of range: no inputs to vary, but the corners and the water stand
        {"negative cohesion", negativeCohesion, true, false, 9.81 * 40 / 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const BlockFacts facts = blockFacts(blockInput(c.block), {}, nullptr);
        EXPECT_TRUE(facts.Parameters);
        EXPECT_EQ(facts.Corners.Vertices.has_value(), c.corners);
        EXPECT_EQ(facts.Corners.Problems.empty(), c.corners);
        EXPECT_EQ(facts.Values.has_value(), c.values);
        ASSERT_EQ(facts.ComputedWaterPressure.has_value(), c.water.has_value());
        if (c.water) EXPECT_DOUBLE_EQ(*facts.ComputedWaterPressure, *c.water);
    }
}

// With the run the corners are the run's: the report never works them out
// a second time.
TEST(BlockFacts, TakeTheCornersOfTheRun) {
    const SavedBlock block = trelmox::testing::exampleBlock();
    const BlockRun run = runBlock(blockInput(block), {});
    ASSERT_TRUE(run.complete());
    const long before = computationCounts().Corners;
    const BlockFacts facts = blockFacts(blockInput(block), {}, &run);
    EXPECT_EQ(computationCounts().Corners, before);
    ASSERT_TRUE(facts.Corners.Vertices);
    EXPECT_TRUE(*facts.Corners.Vertices == *run.Vertices);
}
