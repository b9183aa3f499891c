#include "analysis/probabilistic/run_summary.h"

#include <algorithm>
#include <cmath>

#include "model/checked.h"
#include "model/error.h"

namespace trelmox::probabilistic_run {

namespace {

// One factor's chunks combined in chunk order (the moments by Chan's
// pairwise update), so that the figures do not depend on the threads.
struct FactorTotals {
    std::array<std::uint64_t, ContactCount> Contacts{};
    std::uint64_t Failed = 0, Wedges = 0, BelowOne = 0, BelowRequired = 0;
    double Mean = 0, SquaredDeviations = 0, Min = 0, Max = 0;
    std::uint64_t TooSmall = 0, BenchTooNarrow = 0;
    double FailedWeight = 0;
};

FactorTotals combine(const ChunkResults& results, FactorPartial ChunkResult::*factor) {
    FactorTotals t;
    for (const ChunkResult& chunk : results) {
        const FactorPartial& p = chunk.*factor;
        for (int c = 0; c < ContactCount; ++c) t.Contacts[c] += p.Contacts[c];
        t.Failed += p.Failed;
        t.BelowOne += p.BelowOne;
        t.BelowRequired += p.BelowRequired;
        t.TooSmall += p.TooSmall;
        t.BenchTooNarrow += p.BenchTooNarrow;
        t.FailedWeight += p.FailedWeight;
        const std::uint64_t count = p.Wedges;
        if (count == 0) continue;
        if (t.Wedges == 0) {
            t.Mean = p.Mean, t.SquaredDeviations = p.SquaredDeviations, t.Min = p.Min, t.Max = p.Max;
        } else {
            const double na = static_cast<double>(t.Wedges), nb = static_cast<double>(count), n = na + nb;
            const double delta = p.Mean - t.Mean;
            t.Mean += delta * (nb / n);
            t.SquaredDeviations += p.SquaredDeviations + delta * delta * (na * nb / n);
            t.Min = std::min(t.Min, p.Min), t.Max = std::max(t.Max, p.Max);
        }
        t.Wedges += count;
    }
    if (!std::isfinite(t.Mean) || !std::isfinite(t.SquaredDeviations))
        throw Error::arithmetic(OverflowMessage, ArithmeticFault::Overflow);
    return t;
}

SafetyStatistics statistics(const FactorTotals& t) {
    const double n = static_cast<double>(t.Wedges);
    SafetyStatistics s;
    s.Mean = t.Mean;
    s.Sd = t.Wedges > 1 ? std::sqrt(t.SquaredDeviations / (n - 1)) : 0;
    s.Min = t.Min;
    s.Max = t.Max;
    s.Pf = static_cast<double>(t.BelowOne) / n;
    return s;
}

std::vector<double> keptFactors(const ChunkResults& results, FactorPartial ChunkResult::*factor, std::uint64_t wedges) {
    std::vector<double> all;
    all.reserve(wedges);
    for (const ChunkResult& chunk : results)
        all.insert(all.end(), (chunk.*factor).Kept.begin(), (chunk.*factor).Kept.end());
    return all;
}

// The p-quantile of sorted values, interpolated between neighbours.
double quantile(const std::vector<double>& sorted, double p) {
    const double at = p * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(at);
    if (below + 1 >= sorted.size()) return sorted.back();
    return sorted[below] + (at - static_cast<double>(below)) * (sorted[below + 1] - sorted[below]);
}

// The failed wedges' volumes of every chunk, in sample order: their mean
// (summed in that order, so the same on any number of threads), weight,
// percentiles and histogram.
std::optional<FailedWedgeSizes> failedSizes(const ChunkResults& results, const FactorTotals& totals, int bins) {
    std::vector<double> volumes;
    for (const ChunkResult& chunk : results)
        volumes.insert(volumes.end(), chunk.Fs.FailedVolumes.begin(), chunk.Fs.FailedVolumes.end());
    if (volumes.empty()) return std::nullopt;
    FailedWedgeSizes f;
    f.Count = volumes.size();
    const double n = static_cast<double>(f.Count);
    double sum = 0;
    for (double v : volumes) sum += v;
    f.MeanVolume = sum / n;
    f.MeanWeight = totals.FailedWeight / n;
    std::sort(volumes.begin(), volumes.end());
    f.Volume5 = quantile(volumes, 0.05), f.Volume50 = quantile(volumes, 0.5), f.Volume95 = quantile(volumes, 0.95);
    const double low = volumes.front(), high = volumes.back();
    if (high == low) bins = 1;
    const BinScale scale{low, (high - low) / bins, bins};
    for (int b = 0; b <= bins; ++b) f.VolumeHistogram.Edges.push_back(b == bins ? high : low + b * scale.Width);
    f.VolumeHistogram.Counts.assign(bins, 0);
    for (double v : volumes) ++f.VolumeHistogram.Counts[scale.of(v)];
    return f;
}

// One factor's summary from the chunks; returns its totals for what only
// Fs has.
FactorTotals summarise(ChunkResults& results, FactorPartial ChunkResult::*factor, const ProbabilisticSettings& settings,
                       const SamplePlan& plan, unsigned team, FactorSummary& s) {
    const FactorTotals totals = combine(results, factor);
    s.Contacts = totals.Contacts;
    s.Failed = totals.Failed;
    s.Wedges = totals.Wedges;
    s.PFailure = static_cast<double>(totals.BelowOne) / static_cast<double>(settings.Samples);
    if (totals.Wedges > 0) {
        s.Statistics = statistics(totals);
        s.Bins = histogram(results, factor, *s.Statistics, settings.HistogramBins, plan, team);
    }
    if (settings.KeepFactors) s.SafetyFactors = keptFactors(results, factor, totals.Wedges);
    return totals;
}

} // namespace

ProbabilisticResult summarise(ChunkResults& results, const ProbabilisticSettings& settings, const SamplePlan& plan,
                              unsigned team, double required) {
    ProbabilisticResult result;
    result.Method = settings.Method;
    result.Samples = settings.Samples;
    summarise(results, &ChunkResult::Kc, settings, plan, team, result);
    FullFactorSummary& full = result.Full;
    const FactorTotals fs = summarise(results, &ChunkResult::Fs, settings, plan, team, full);
    full.RequiredFactor = required;
    full.TooSmall = fs.TooSmall;
    full.BenchTooNarrow = fs.BenchTooNarrow;
    if (full.Wedges > 0) {
        const double wedges = static_cast<double>(full.Wedges);
        full.PBelowRequired = static_cast<double>(fs.BelowRequired) / wedges;
        full.PBenchTooNarrow = static_cast<double>(fs.BenchTooNarrow) / wedges;
    }
    full.FailedSizes = failedSizes(results, fs, settings.HistogramBins);
    return result;
}

} // namespace trelmox::probabilistic_run
