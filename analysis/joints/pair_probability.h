#pragma once
// The probability of failure of every pair of cutting planes: for each pair
// a probabilistic run of the pair's block, both planes drawn from their
// sets' Fisher distributions about the sets' means (K from the
// measurements), the slope's loads and size limits applied to every
// sample's real wedge. A single Fs of the mean planes says nothing of how
// often the scattered joints cut out a wedge that fails, nor how large the
// failed wedges are.
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/joints/combinations.h"
#include "analysis/probabilistic/probabilistic.h"

namespace trelmox {

struct PairProbabilitySettings {
    std::uint64_t Samples = 10'000; // per pair
    std::uint64_t Seed = 1;
    unsigned Threads = 0; // 0: all cores
};

struct PairProbability {
    double Pf = 0; // failed real wedges (Fs < 1) over all samples
    // Over the samples whose planes cut out a wedge that can leave the
    // slope (wedges too small to count left out): the share with Fs < 1 and
    // the mean Fs; absent when no sample did.
    std::optional<double> PSliding, FsMean;
    std::optional<double> FailedVolumeMean; // absent when no wedge failed
    std::uint64_t TooSmall = 0;
};

// The settings of the pair's own probabilistic run: those given, each plane
// drawn from its Fisher distribution where it has a K, the failed wedges'
// volumes wanted. runProbabilistic on pairInput(...) with them is the
// pair's run.
ProbabilisticSettings pairSettings(const CandidatePlane& first, const CandidatePlane& second,
                                   const PairProbabilitySettings& settings);
PairProbability pairProbability(const ProbabilisticResult& run);

// Each pair's probability in the pairs' order. `progress` counts the
// samples of all pairs together; when it cancels, nothing is returned.
// Throws Error as runProbabilistic does.
std::optional<std::vector<PairProbability>> pairProbabilitiesInOrder(const CombinationSlope& slope,
                                                                     const std::vector<CandidatePlane>& planes,
                                                                     const std::vector<PlanePair>& pairs,
                                                                     const PairProbabilitySettings& settings,
                                                                     const ProgressCallback& progress = {});

// The probabilities `found` (by the pairs' order) and the pairs sorted by
// them, the most likely to fail first (ties keep their order).
std::vector<PairProbability> byProbability(std::vector<PlanePair>& pairs, std::vector<PairProbability> found);

// Each pair's probability (by the pairs' order), and the pairs sorted by
// it, the most likely to fail first (ties keep their order). Throws Error as
// runProbabilistic does.
std::vector<PairProbability> pairProbabilities(const CombinationSlope& slope, const std::vector<CandidatePlane>& planes,
                                               std::vector<PlanePair>& pairs, const PairProbabilitySettings& settings);

} // namespace trelmox
