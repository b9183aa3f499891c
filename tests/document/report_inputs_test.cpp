#include "document/report_inputs.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/model/test_blocks.h"

using namespace trelmox;

// Entries whose texts do not all convert still show in the report whatever
// does: the corners from the planes and the slope height, the computed
// water pressure, and the parameters beside a plane whose letters form no
// attitude.
TEST(ReportInputs, FactsOfEntriesShowWhatConverts) {
    const struct {
        const char* name;
        std::function<void(SavedBlock&)> change;
        bool corners, parameters, values, water;
    } cases[] = {
        {"every text a number", [](SavedBlock&) {}, true, true, true, true},
        {"height not a number", [](SavedBlock& b) { b.Params.SlopeHeight = "4O"; }, false, false, false, false},
        {"c1 not a number", [](SavedBlock& b) { b.Params.Cohesion1 = "x"; }, true, false, false, true},
        {"water unit weight not a number", [](SavedBlock& b) { b.Params.WaterUnitWeight = ""; }, true, false, false,
         false},
        {"letters that form no attitude", [](SavedBlock& b) { b.Quadrants[0].DipNS = "X"; }, false, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SavedBlock block = trelmox::testing::exampleBlock(); // computed water
        c.change(block);
        for (const CalculationReportInputs& in :
             {reportInputs("W1", block, {}, std::nullopt, "never analysed", "2026-12-10"),
              analysedReportInputs("W1", block, {}, "2026-12-10")}) {
            const BlockFacts& facts = in.Facts;
            EXPECT_EQ(facts.Corners.Vertices.has_value(), c.corners);
            EXPECT_EQ(facts.Parameters.has_value(), c.parameters);
            EXPECT_EQ(facts.Values.has_value(), c.values);
            EXPECT_EQ(facts.ComputedWaterPressure.has_value(), c.water);
        }
    }
}
