#pragma once
// A probabilistic run summed up from its chunks, in chunk order so that no
// figure depends on the threads: counts, moments and statistics
// (run_statistics.cpp), the histograms (run_histogram.cpp).
#include <cstdint>

#include "analysis/probabilistic/chunk_run.h"
#include "analysis/probabilistic/probabilistic.h"

namespace trelmox::probabilistic_run {

// Equal bins from the smallest to the largest value: which one a value
// falls in, the largest value in the last. Never decreases as the value
// grows. Compared before the cast, so that no value can index outside the
// bins.
struct BinScale {
    double Low, Width;
    int Count;
    int of(double value) const {
        const double at = Width > 0 ? (value - Low) / Width : 0;
        return at < Count ? (at > 0 ? static_cast<int>(at) : 0) : Count - 1;
    }
};

// Equal bins from the smallest to the largest value; all values equal give
// one bin of zero width. Each chunk counts its own values in parallel, from
// their keys, working out again the few whose key meets an edge's.
Histogram histogram(ChunkResults& results, FactorPartial ChunkResult::*factor, const SafetyStatistics& s, int count,
                    const SamplePlan& plan, unsigned team);

// Kc and Fs summed up: counts, statistics, histograms, the failed wedges'
// sizes.
ProbabilisticResult summarise(ChunkResults& results, const ProbabilisticSettings& settings, const SamplePlan& plan,
                              unsigned team, double required);

} // namespace trelmox::probabilistic_run
