#include "analysis/joints/pair_probability.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <numeric>
#include <omp.h>

#include "analysis/probabilistic/team.h"

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

namespace {

// Each pair's run in turn, on the team its samples are worth.
std::optional<std::vector<PairProbability>> pairsInTurn(const CombinationSlope& slope,
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
        const PairInput pair = pairInput(slope, a, b);
        ProgressCallback pairProgress;
        if (progress)
            pairProgress = [&progress, before = settings.Samples * i, total](std::uint64_t done, std::uint64_t) {
                return progress(before + done, total);
            };
        const ProbabilisticResult run =
            runProbabilistic(pair.Attitudes, pair.Parameters, slope.Loads, pairSettings(a, b, settings), pairProgress);
        if (run.Cancelled) return std::nullopt;
        found.push_back(pairProbability(run));
    }
    return found;
}

// One team over all the pairs, each pair's run on one thread: a team a run
// would meet once a pair. A pair's run gives the same figures on any
// number of threads, and the first failure in pair order is thrown, as in
// turn (the pairs are handed out in order, so every pair before a failed
// one has run).
std::optional<std::vector<PairProbability>> pairsShared(const CombinationSlope& slope,
                                                        const std::vector<CandidatePlane>& planes,
                                                        const std::vector<PlanePair>& pairs,
                                                        const PairProbabilitySettings& settings,
                                                        const ProgressCallback& progress, unsigned team) {
    std::vector<PairProbability> found(pairs.size());
    const std::uint64_t total = settings.Samples * pairs.size();
    std::atomic<std::uint64_t> done{0};
    std::atomic<bool> stop{false};
    bool cancelled = false; // by thread 0 only
    std::exception_ptr failure;
    std::size_t failedPair = pairs.size();
    std::mutex failureMutex;
#pragma omp parallel for schedule(dynamic, 1) num_threads(team)
    for (std::int64_t k = 0; k < static_cast<std::int64_t>(pairs.size()); ++k) {
        if (stop.load(std::memory_order_relaxed)) continue;
        const auto i = static_cast<std::size_t>(k);
        try {
            const CandidatePlane& a = planes[pairs[i].First];
            const CandidatePlane& b = planes[pairs[i].Second];
            const PairInput pair = pairInput(slope, a, b);
            ProbabilisticSettings s = pairSettings(a, b, settings);
            s.Threads = 1;
            found[i] = pairProbability(runProbabilistic(pair.Attitudes, pair.Parameters, slope.Loads, s));
            const std::uint64_t finished = done.fetch_add(settings.Samples) + settings.Samples;
            // The callback runs on the calling thread only (thread 0 of the team).
            if (progress && omp_get_thread_num() == 0 && finished < total && !progress(finished, total)) {
                cancelled = true;
                stop = true;
            }
        } catch (...) {
            const std::lock_guard lock(failureMutex);
            if (i < failedPair) failure = std::current_exception(), failedPair = i;
            stop = true;
        }
    }
    if (failure) std::rethrow_exception(failure);
    if (cancelled || (progress && !progress(total, total))) return std::nullopt;
    return found;
}

} // namespace

std::optional<std::vector<PairProbability>> pairProbabilitiesInOrder(const CombinationSlope& slope,
                                                                     const std::vector<CandidatePlane>& planes,
                                                                     const std::vector<PlanePair>& pairs,
                                                                     const PairProbabilitySettings& settings,
                                                                     const ProgressCallback& progress) {
    // Shared out by pairs where they keep the team busy; few pairs of many
    // samples share out each run's samples instead.
    const unsigned team = teamSize(settings.Threads, settings.Samples * pairs.size());
    if (team > 1 && pairs.size() >= 4 * std::size_t{team})
        return pairsShared(slope, planes, pairs, settings, progress, team);
    return pairsInTurn(slope, planes, pairs, settings, progress);
}

std::vector<PairProbability> byProbability(std::vector<PlanePair>& pairs, std::vector<PairProbability> found) {
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

std::vector<PairProbability> pairProbabilities(const CombinationSlope& slope, const std::vector<CandidatePlane>& planes,
                                               std::vector<PlanePair>& pairs, const PairProbabilitySettings& settings) {
    return byProbability(pairs, *pairProbabilitiesInOrder(slope, planes, pairs, settings));
}

} // namespace trelmox
