#include "analysis/probabilistic/block_facts.h"

#include "analysis/wedge.h"
#include "model/error.h"

namespace trelmox {

BlockFacts blockFacts(const BlockInput& input, const WedgeLoads& loads, const BlockRun* run) {
    const BlockParameters& p = input.Parameters;
    BlockFacts facts{run ? blockCorners(*run) : blockCorners(input.Quadrants, p.SlopeHeight), {}, {}, p};
    if (p.WaterPressureMode != TWaterPressureMode::Entered) try {
            facts.ComputedWaterPressure = ComputeWaterPressure(p.WaterUnitWeight, p.SlopeHeight);
        } catch (const Error&) {}
    try {
        facts.Values = blockInputs(input.Attitudes, p, loads);
    } catch (const Error&) {}
    return facts;
}

} // namespace trelmox
