#pragma once
// The records of a combination run: the pairs of planes with what they
// were run against, and the result the tool prints and the module gives.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "analysis/joints/combinations.h"
#include "analysis/joints/measurements.h"
#include "analysis/joints/pair_probability.h"
#include "analysis/joints/sets.h"
#include "model/datafile.h"

namespace trelmox {

// The pairs of one combination run with what they were run against.
struct JointCombinations {
    std::string BlockName; // the slope's block
    SavedBlock Block;      // its planes and parameters
    CombinationSlope Slope;
    std::string Sector; // the sector whose face it was run in; empty: the block's
    std::vector<CandidatePlane> Planes;
    std::vector<PlanePair> Pairs; // critical first
    // Each pair's probability of failure, by Pairs; empty until worked out.
    std::vector<PairProbability> Probabilities;
};

// One combination run of a slope block with a measurement file: the pairs,
// the sets they were grouped into and, when asked for, each pair's
// probability of failure.
struct CombinationResult {
    bool HasLoads = false; // the block has a companion file
    JointCombinations Run;
    std::vector<JointSet> Sets; // empty: the planes were not grouped
    MeasurementSummary Summary;
    // With the probabilities: the pairs sorted by P(failure), each with its figures.
    std::optional<std::vector<PlanePair>> SortedPairs;
    std::vector<PairProbability> Probabilities;

    const std::vector<PlanePair>& pairs() const { return SortedPairs ? *SortedPairs : Run.Pairs; }
    const PairProbability* probability(std::size_t i) const { return SortedPairs ? &Probabilities[i] : nullptr; }
};

} // namespace trelmox
