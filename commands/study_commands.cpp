#include "commands/study_commands.h"

#include <utility>

#include "analysis/joints/combinations.h"

namespace trelmox::commands {

ProbabilisticResult probabilisticStudy(const StudyBlock& block, const ProbabilisticSettings& settings,
                                       Feedback& feedback) {
    validateSettings(blockInputs(block.Attitudes, block.Parameters, block.Loads), settings);
    return runProbabilistic(block.Attitudes, block.Parameters, block.Loads, settings, feedback.progressCallback());
}

std::optional<std::vector<SensitivityStep>> sensitivityStudy(const StudyBlock& block, Parameter input, double from,
                                                             double to, int steps, Feedback& feedback) {
    if (feedback.isCancelled()) return std::nullopt;
    std::vector<SensitivityStep> found =
        runSensitivity(block.Attitudes, block.Parameters, block.Loads, input, from, to, steps);
    feedback.setProgress(found.size(), found.size());
    return found;
}

namespace {

const JointCombinations& combineInto(JointDocument& joints, const std::string& blockName, const SavedBlock& block,
                                     CombinationSlope slope, Feedback& feedback) {
    joints.combine(blockName, block, std::move(slope));
    const JointCombinations& found = *joints.combinations();
    feedback.setProgress(found.Pairs.size(), found.Pairs.size());
    return found;
}

} // namespace

const JointCombinations& combinationStudy(JointDocument& joints, const std::string& blockName, const SavedBlock& block,
                                          const BlockParameters& parameters, const WedgeLoads& loads,
                                          Feedback& feedback) {
    return combineInto(joints, blockName, block, combinationSlope(block.Attitudes, parameters, loads), feedback);
}

CombinationResult combinationStudy(JointDocument& joints, const std::string& blockName, const SavedBlock& block,
                                   const BlockParameters& parameters, const std::optional<WedgeLoads>& loads,
                                   const SetGrouping& grouping,
                                   const std::optional<PairProbabilitySettings>& probability, Feedback& feedback) {
    // The slope before the sets: a block whose loads are out of range is
    // told as such, whatever the measurements would have said.
    CombinationSlope slope = combinationSlope(block.Attitudes, parameters, loads.value_or(WedgeLoads{}));
    if (grouping.Type == SetGrouping::Kind::Labels) joints.useLabels();
    if (grouping.Type == SetGrouping::Kind::Automatic) joints.groupAutomatically(grouping.SetCount);
    CombinationResult c;
    c.HasLoads = loads.has_value();
    c.Run = combineInto(joints, blockName, block, std::move(slope), feedback);
    c.Sets = joints.sets();
    c.Summary = joints.measurements().Summary;
    if (!probability) return c;
    PairProbabilityJob job{c.Run.Slope, c.Run.Planes, c.Run.Pairs, *probability, 0};
    std::optional<std::vector<PairProbability>> found = pairProbabilityStudy(job, feedback);
    if (!found) return c;
    std::vector<PlanePair> pairs = c.Run.Pairs;
    c.Probabilities = byProbability(pairs, std::move(*found));
    c.SortedPairs = std::move(pairs);
    return c;
}

std::optional<std::vector<PairProbability>> pairProbabilityStudy(const PairProbabilityJob& job, Feedback& feedback) {
    return job.run(feedback.progressCallback());
}

} // namespace trelmox::commands
