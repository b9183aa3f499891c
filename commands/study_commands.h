#pragma once
// The studies made on a block beside its own analysis: the probabilistic
// run, the sensitivity steps of one input, the combinations of measured
// joints with the block's slope and their pairs' probabilities. Each checks
// its settings against the block, runs with the feedback's progress and
// cancellation, and returns the typed result. A study writes no file
// itself: its result goes to the windows' figures or the tool's printers.
#include <optional>
#include <string>
#include <vector>

#include "analysis/joints/combination_result.h"
#include "analysis/joints/set_grouping.h"
#include "analysis/probabilistic/probabilistic.h"
#include "analysis/probabilistic/sensitivity.h"
#include "commands/feedback.h"
#include "document/joint_document.h"
#include "model/block.h"
#include "model/block_input.h"
#include "model/datafile.h"
#include "model/loads.h"

namespace trelmox::commands {

// The block a study is made on: its planes, its parameters and its loads,
// all as numbers (converted once, where the block was read or entered).
struct StudyBlock {
    PlaneAttitudeArray Attitudes{};
    BlockParameters Parameters{};
    WedgeLoads Loads{};
};

// Throws Error for a parameter out of its range, loads out of range
// and settings that do not fit the block (validateSettings), before any
// sample; then for a failure of the run. A cancelled run gives the result
// with Cancelled set.
ProbabilisticResult probabilisticStudy(const StudyBlock& block, const ProbabilisticSettings& settings,
                                       Feedback& feedback);

// Kc and Fs at `steps` values of `input` from `from` to `to`; nothing when
// cancelled before it began. Throws Error as runSensitivity does.
std::optional<std::vector<SensitivityStep>> sensitivityStudy(const StudyBlock& block, Parameter input, double from,
                                                             double to, int steps, Feedback& feedback);

// Every pair of the joints' sets (or planes) set into the slope of `block`
// named `blockName`, whose parameters are `parameters`, with its loads
// (JointDocument::combine); the last run stays when it throws.
const JointCombinations& combinationStudy(JointDocument& joints, const std::string& blockName, const SavedBlock& block,
                                          const BlockParameters& parameters, const WedgeLoads& loads,
                                          Feedback& feedback);

// One whole combination run as a script asks for it: the slope of `block`
// (throws for loads out of range first, before any set is made), the joints
// regrouped as `grouping` says, the pairs, and with `probability` each
// pair's probability of failure, the pairs then sorted by it. `loads`
// absent: the block has no companion file (no loads, and none told in the
// result). The figures do not depend on the feedback; a run cancelled in
// its probabilities gives the pairs without them.
CombinationResult combinationStudy(JointDocument& joints, const std::string& blockName, const SavedBlock& block,
                                   const BlockParameters& parameters, const std::optional<WedgeLoads>& loads,
                                   const SetGrouping& grouping,
                                   const std::optional<PairProbabilitySettings>& probability, Feedback& feedback);

// The probability of failure of each pair of a combination run; nothing
// when cancelled.
std::optional<std::vector<PairProbability>> pairProbabilityStudy(const PairProbabilityJob& job, Feedback& feedback);

} // namespace trelmox::commands
