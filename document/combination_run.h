#pragma once
// One combination run of a slope block with a measurement file, as the
// tool's combinations command and the module run it.
#include <optional>
#include <string>

#include "analysis/joints/combination_result.h"
#include "document/joint_document.h"
#include "model/datafile.h"
#include "model/loads.h"

namespace trelmox {

// How the planes are grouped: each on its own, by their labels, or into at
// most SetCount sets chosen automatically.
struct SetChoice {
    enum class Kind { Planes, Labels, Automatic } Type = Kind::Planes;
    int SetCount = 0;
};
// "planes", "labels" or "auto:N" (N >= 1). Throws a refused Error naming
// "sets" for anything else.
SetChoice setChoiceOf(const std::string& value);

// The pairs of the slope block's planes and the measurements `joints` has
// open, grouped as chosen, and with `probability` each pair's probability
// of failure. `loads` absent: the block has no companion file.
CombinationResult combinationRun(JointDocument& joints, const std::string& blockName, const SavedBlock& block,
                                 const std::optional<WedgeLoads>& loads, const SetChoice& choice,
                                 const std::optional<PairProbabilitySettings>& probability);

} // namespace trelmox
