#include "document/combination_run.h"

#include <utility>

#include "model/error.h"

namespace trelmox {

CombinationResult combinationRun(JointDocument& joints, const std::string& blockName, const ParsedBlock& block,
                                 const std::optional<WedgeLoads>& loads, const SetGrouping& choice,
                                 const std::optional<PairProbabilitySettings>& probability) {
    const WedgeLoads slopeLoads = loads.value_or(WedgeLoads{});
    const CombinationSlope slope = combinationSlope(block.Input.Attitudes, block.Input.Parameters, slopeLoads);
    if (choice.Type == SetGrouping::Kind::Labels) joints.useLabels();
    if (choice.Type == SetGrouping::Kind::Automatic) joints.groupAutomatically(choice.SetCount);
    joints.combine(blockName, block, slope);
    CombinationResult c;
    c.HasLoads = loads.has_value();
    c.Run = *joints.combinations();
    c.Sets = joints.sets();
    c.Summary = joints.measurements().Summary;
    if (probability) {
        std::vector<PlanePair> pairs = c.Run.Pairs;
        c.Probabilities = pairProbabilities(slope, c.Run.Planes, pairs, *probability);
        c.SortedPairs = std::move(pairs);
    }
    return c;
}

} // namespace trelmox
