#include "analysis/joints/pair_probability.h"

#include <algorithm>
#include <numeric>

namespace trelmox {

ProbabilisticSettings pairSettings(const CandidatePlane& first, const CandidatePlane& second,
                                   const PairProbabilitySettings& settings) {
    ProbabilisticSettings s;
    s.Samples = settings.Samples;
    s.Seed = settings.Seed;
    s.Threads = settings.Threads;
    s.FisherKappa = {first.Kappa, second.Kappa};
    s.KeepFactors = false;
    s.FailedVolumes = true;
    return s;
}

PairProbability pairProbability(const ProbabilisticResult& run) {
    PairProbability p;
    const FullFactorSummary& full = run.Full;
    p.Pf = full.PFailure;
    if (full.Statistics) p.PSliding = full.Statistics->Pf, p.FsMean = full.Statistics->Mean;
    if (full.FailedSizes) p.FailedVolumeMean = full.FailedSizes->MeanVolume;
    p.TooSmall = full.TooSmall;
    return p;
}

std::optional<std::vector<PairProbability>> pairProbabilitiesInOrder(const SavedBlock& slope, const WedgeLoads& loads,
                                                                     const std::vector<CandidatePlane>& planes,
                                                                     const std::vector<PlanePair>& pairs,
                                                                     const PairProbabilitySettings& settings,
                                                                     const ProgressCallback& progress) {
    std::vector<PairProbability> found;
    found.reserve(pairs.size());
    const std::uint64_t total = settings.Samples * pairs.size();
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const CandidatePlane& a = planes[pairs[i].First];
        const CandidatePlane& b = planes[pairs[i].Second];
        const SavedBlock block = pairBlock(slope, a, b);
        ProgressCallback pairProgress;
        if (progress)
            pairProgress = [&progress, before = settings.Samples * i, total](std::uint64_t done, std::uint64_t) {
                return progress(before + done, total);
            };
        const ProbabilisticResult run =
            runProbabilistic(block.Attitudes, block.Params, loads, pairSettings(a, b, settings), pairProgress);
        if (run.Cancelled) return std::nullopt;
        found.push_back(pairProbability(run));
    }
    return found;
}

std::vector<PairProbability> pairProbabilities(const SavedBlock& slope, const WedgeLoads& loads,
                                               const std::vector<CandidatePlane>& planes, std::vector<PlanePair>& pairs,
                                               const PairProbabilitySettings& settings) {
    std::vector<PairProbability> found = *pairProbabilitiesInOrder(slope, loads, planes, pairs, settings);
    std::vector<std::size_t> order(pairs.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t x, std::size_t y) { return found[x].Pf > found[y].Pf; });
    std::vector<PlanePair> sortedPairs;
    std::vector<PairProbability> sortedFound;
    for (std::size_t i : order) sortedPairs.push_back(pairs[i]), sortedFound.push_back(found[i]);
    pairs = std::move(sortedPairs);
    return sortedFound;
}

} // namespace trelmox
