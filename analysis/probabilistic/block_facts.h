#pragma once
// What a block's calculation report shows of the block's own inputs beside
// its run, worked out here so that the report only formats: the corners
// (as the run found them, or from the planes and the slope height where
// there is no run, to draw the block and say why it was not analysed), the
// water pressure the parameters give in computed mode, and the inputs as
// numbers (the block's values beside the random inputs' distributions).
#include <optional>

#include "analysis/block_analysis.h"
#include "analysis/probabilistic/parameters.h"
#include "model/datafile.h"
#include "model/loads.h"

namespace trelmox {

struct BlockFacts {
    BlockCorners Corners;
    // γw·H/6 in computed water mode; none in entered mode or where the
    // unit weight or the height is not a number.
    std::optional<double> ComputedWaterPressure;
    // None where a text is not a number or a load is out of range.
    std::optional<BlockInputs> Values;
    // The parameters as numbers; none where a text is not a number.
    std::optional<BlockParameters> Parameters;
};

// `run`: the block's run on these very inputs, or null when there is none.
BlockFacts blockFacts(const BlockInput& input, const WedgeLoads& loads, const BlockRun* run);

} // namespace trelmox
