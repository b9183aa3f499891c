#include "commands/study_commands.h"

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

const JointCombinations& combinationStudy(JointDocument& joints, const std::string& blockName, const SavedBlock& block,
                                          const BlockParameters& parameters, const WedgeLoads& loads,
                                          Feedback& feedback) {
    joints.combine(blockName, block, combinationSlope(block.Attitudes, parameters, loads));
    const JointCombinations& found = *joints.combinations();
    feedback.setProgress(found.Pairs.size(), found.Pairs.size());
    return found;
}

std::optional<std::vector<PairProbability>> pairProbabilityStudy(const PairProbabilityJob& job, Feedback& feedback) {
    return job.run(feedback.progressCallback());
}

} // namespace trelmox::commands
