#include "document/combination_run.h"

#include <charconv>
#include <utility>

#include "model/error.h"

namespace trelmox {

SetChoice setChoiceOf(const std::string& value) {
    if (value == "planes") return {};
    if (value == "labels") return {SetChoice::Kind::Labels};
    if (value.starts_with("auto:")) {
        const char* first = value.data() + 5;
        const char* last = value.data() + value.size();
        int count = 0;
        const auto [end, error] = std::from_chars(first, last, count);
        if (first != last && error == std::errc() && end == last && count >= 1)
            return {SetChoice::Kind::Automatic, count};
    }
    throw Error::refused("invalid value '" + value + "' for --sets (planes, labels or auto:N with N >= 1)", "sets");
}

CombinationResult combinationRun(JointDocument& joints, const std::string& blockName, const SavedBlock& block,
                                 const std::optional<WedgeLoads>& loads, const SetChoice& choice,
                                 const std::optional<PairProbabilitySettings>& probability) {
    const WedgeLoads slopeLoads = loads.value_or(WedgeLoads{});
    const CombinationSlope slope = combinationSlope(block, slopeLoads);
    if (choice.Type == SetChoice::Kind::Labels) joints.useLabels();
    if (choice.Type == SetChoice::Kind::Automatic) joints.groupAutomatically(choice.SetCount);
    joints.combine(blockName, block, slope);
    CombinationResult c;
    c.HasLoads = loads.has_value();
    c.Run = *joints.combinations();
    c.Sets = joints.sets();
    c.Summary = joints.measurements().Summary;
    if (probability) {
        std::vector<PlanePair> pairs = c.Run.Pairs;
        c.Probabilities = pairProbabilities(block, slopeLoads, c.Run.Planes, pairs, *probability);
        c.SortedPairs = std::move(pairs);
    }
    return c;
}

} // namespace trelmox
