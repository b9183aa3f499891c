#include "analysis/probabilistic/block_facts.h"

#include "analysis/wedge.h"
#include "model/error.h"
#include "model/numtext.h"

namespace trelmox {

BlockFacts blockFacts(const SavedBlock& block, const WedgeLoads& loads, const BlockRun* run) {
    const TWedgeParams& p = block.Params;
    BlockFacts facts{run ? blockCorners(*run) : blockCorners(block.Quadrants, p.SlopeHeight), {}, {}};
    if (p.WaterPressureMode != TWaterPressureMode::Entered) try {
            facts.ComputedWaterPressure =
                ComputeWaterPressure(textToFloat(p.WaterUnitWeight), textToFloat(p.SlopeHeight));
        } catch (const Error&) {}
    try {
        facts.Values = blockInputs(block.Attitudes, p, loads);
    } catch (const Error&) {}
    return facts;
}

} // namespace trelmox
