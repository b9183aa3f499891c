#pragma once
// One combination run of a slope block with a measurement file, as the
// tool's combinations command and the module run it.
#include <optional>
#include <string>

#include "analysis/joints/combination_result.h"
#include "analysis/joints/set_grouping.h"
#include "document/joint_document.h"
#include "model/datafile.h"
#include "model/loads.h"

namespace trelmox {

// The pairs of the slope block's planes and the measurements `joints` has
// open, grouped as chosen, and with `probability` each pair's probability
// of failure. `loads` absent: the block has no companion file.
CombinationResult combinationRun(JointDocument& joints, const std::string& blockName, const ParsedBlock& block,
                                 const std::optional<WedgeLoads>& loads, const SetGrouping& choice,
                                 const std::optional<PairProbabilitySettings>& probability);

} // namespace trelmox
