#include "analysis/probabilistic/run_summary.h"

#include <bit>
#include <cmath>
#include <limits>
#include <optional>
#include <omp.h>

namespace trelmox::probabilistic_run {

namespace {

// The doubles in the order of their values, as integers.
std::int64_t orderOf(double x) {
    const auto bits = std::bit_cast<std::int64_t>(x);
    return bits < 0 ? std::numeric_limits<std::int64_t>::min() - bits : bits;
}
double valueOfOrder(std::int64_t order) {
    return std::bit_cast<double>(order < 0 ? std::numeric_limits<std::int64_t>::min() - order : order);
}

// The bins' inner edges: edge[b] is the smallest double in [low, high]
// that falls in bin b or above (found by bisection, the bins never
// decreasing), for b = 1 .. count - 1.
std::vector<double> edgeValues(const BinScale& bins, double low, double high) {
    std::vector<double> edges(static_cast<std::size_t>(bins.Count), low);
    for (int b = 1; b < bins.Count; ++b) {
        std::int64_t below = orderOf(low), at = orderOf(high); // bins.of(below) = 0 < b <= bins.of(at)
        // As unsigned: the orders of -DBL_MAX and DBL_MAX lie almost 2^64 apart.
        const auto distance = [&] { return static_cast<std::uint64_t>(at) - static_cast<std::uint64_t>(below); };
        while (distance() > 1) {
            const auto middle = static_cast<std::int64_t>(static_cast<std::uint64_t>(below) + distance() / 2);
            (bins.of(valueOfOrder(middle)) >= b ? at : below) = middle;
        }
        edges[static_cast<std::size_t>(b)] = valueOfOrder(at);
    }
    return edges;
}

// One chunk's keys against the run's bins: the levels of the inner edges
// (Bounds[b], b = 1 .. count - 1; Bounds[0] below every level, Bounds[count]
// NoValue) and a first guess of a level's bin, linear in the level.
// Cells[k >> CellShift], for up to 254 bins: the bin of every level in that
// cell of 16 levels, or Mixed where an edge's level (or NoValue) lies in it.
// Narrow cells leave few keys to the guess, each a mispredicted branch: with
// 20 bins one in 280 (cells of 256 levels left one in 18, with 64 bins one
// in six); they are filled bin by bin, four kilobytes a chunk.
struct ChunkBins {
    static constexpr std::uint8_t Mixed = 0xff;
    static constexpr int CellShift = 4;
    std::vector<int> Bounds;
    double Slope = 0, Offset = 0;
    int Count = 0;
    std::array<std::uint8_t, (NoValue >> CellShift) + 1> Cells;
    ChunkBins(const std::vector<double>& edges, const BinScale& bins, const FactorPartial& p) : Count(bins.Count) {
        Bounds.assign(static_cast<std::size_t>(Count) + 1, -1);
        for (int b = 1; b < Count; ++b) Bounds[b] = p.Levels.edge(edges[static_cast<std::size_t>(b)], p.Max);
        Bounds[Count] = NoValue;
        Cells.fill(Mixed);
        // Bin b holds the levels strictly between Bounds[b] and Bounds[b + 1];
        // the cells of edges' levels and NoValue's stay Mixed.
        if (Count < Mixed)
            for (int b = 0; b < Count; ++b) {
                const int first = (Bounds[b] >> CellShift) + 1, last = (Bounds[b + 1] >> CellShift) - 1;
                if (first <= last) std::fill(&Cells[first], &Cells[last] + 1, static_cast<std::uint8_t>(b));
            }
        // Level k stands for about Min + k / Scale; for one bin (Width 0)
        // or Scale 0 the guess is 0 and the bounds decide.
        if (bins.Width > 0 && p.Levels.Scale > 0) {
            Slope = 1 / (p.Levels.Scale * bins.Width);
            Offset = (p.Min - bins.Low) / bins.Width;
            if (!std::isfinite(Slope) || !std::isfinite(Offset)) Slope = Offset = 0;
        }
    }
    int guess(ValueKey key) const { return truncatedWithin(key * Slope + Offset, Count - 1); }
    bool inside(ValueKey key, int bin) const { return (Bounds[bin] < key) & (key < Bounds[bin + 1]); }
    // The bin of a key the guess left open, -1 where the key equals an
    // edge's level (its value alone decides).
    int scan(ValueKey key) const {
        int bin = 0;
        for (int b = 1; b < Count; ++b) {
            if (key == Bounds[b]) return -1;
            bin += Bounds[b] < key;
        }
        return bin;
    }
};

// Counts each key (NoValue: none) in the bin of its own value: that of its
// cell, or where an edge crosses the cell, a first guess checked against
// the edges' levels. The keys a first guess leaves open (about one a chunk)
// are counted afterwards, by ChunkBins::scan or, where a key equals an
// edge's, by `settle(samples)` with the chunk's offsets of all such keys.
// Up to 64 bins, four tallies, one per sample modulo four: neighbouring
// samples mostly fall in one bin, and each would wait for the last one's
// increment in memory.
template <typename Settle>
void countKeys(std::span<const ValueKey> keys, const ChunkBins& bins, std::uint64_t* counts, const Settle& settle) {
    const ValueKey* key = keys.data();
    const std::size_t n = keys.size();
    const int count = bins.Count;
    // The open keys' offsets: every offset written, the count advanced for
    // open keys only.
    std::uint32_t open[ChunkSize];
    std::size_t opened = 0;
    constexpr int Ways = 4, MaxInterleaved = 64;
    static_assert(MaxInterleaved < ChunkBins::Mixed);
    // The keys of a cell an edge crosses, each counted in the bin of a first
    // guess where that holds it, else left open.
    const auto countMixed = [&](std::size_t j, auto&& add) {
        const ValueKey k = key[j];
        const int bin = bins.guess(k);
        const bool inside = bins.inside(k, bin);
        add(bin, inside);
        open[opened] = static_cast<std::uint32_t>(j);
        opened += !inside & (k != NoValue);
    };
    const std::uint8_t* const cells = bins.Cells.data();
    const auto cellOf = [&](std::size_t j) { return cells[key[j] >> ChunkBins::CellShift]; };
    if (count <= MaxInterleaved) {
        // Most keys lie in a cell no edge crosses. Every key is counted in
        // its cell's slot, Mixed's a slot of no bin, without a branch, and
        // only the keys of crossed cells are looked at again.
        std::uint32_t tallies[Ways][256] = {};
        std::size_t j = 0;
        for (; j + Ways <= n; j += Ways)
            for (int way = 0; way < Ways; ++way) {
                const std::uint8_t cell = cellOf(j + way);
                ++tallies[way][cell];
                if (cell == ChunkBins::Mixed) [[unlikely]]
                    countMixed(j + way, [&](int bin, bool counted) { tallies[way][bin] += counted; });
            }
        for (; j < n; ++j) {
            const std::uint8_t cell = cellOf(j);
            ++tallies[0][cell];
            if (cell == ChunkBins::Mixed) countMixed(j, [&](int bin, bool counted) { tallies[0][bin] += counted; });
        }
        for (int way = 0; way < Ways; ++way)
            for (int b = 0; b < count; ++b) counts[b] += tallies[way][b];
    } else {
        for (std::size_t j = 0; j < n; ++j) {
            const std::uint8_t cell = cellOf(j);
            if (cell != ChunkBins::Mixed)
                ++counts[cell];
            else
                countMixed(j, [&](int bin, bool counted) { counts[bin] += counted; });
        }
    }
    std::vector<std::size_t> onEdges;
    for (std::size_t i = 0; i < opened; ++i) {
        const int bin = bins.scan(key[open[i]]);
        if (bin >= 0)
            ++counts[bin];
        else
            onEdges.push_back(open[i]);
    }
    if (!onEdges.empty()) settle(std::span<const std::size_t>(onEdges));
}

} // namespace

Histogram histogram(ChunkResults& results, FactorPartial ChunkResult::*factor, const SafetyStatistics& s, int count,
                    const SamplePlan& plan, unsigned team) {
    if (s.Max == s.Min) count = 1;
    Histogram h;
    const BinScale bins{s.Min, (s.Max - s.Min) / count, count};
    for (int b = 0; b <= count; ++b) h.Edges.push_back(b == count ? s.Max : s.Min + b * bins.Width);
    h.Counts.assign(count, 0);
    const std::vector<double> edges = edgeValues(bins, s.Min, s.Max);
    const bool fs = factor == &ChunkResult::Fs;
    const auto chunks = static_cast<std::int64_t>(results.size());
#pragma omp parallel num_threads(team)
    {
        // Each thread's counts, added up at the end: sums of whole numbers,
        // the same in any order (and no storage a chunk).
        std::vector<std::uint64_t> counts(static_cast<std::size_t>(count));
        std::optional<ChunkScratch> scratch; // only for values worked out again
        // The samples whose keys equal an edge's, counted in the bins of
        // their values worked out again: one by one, or where a chunk has
        // many (values repeated on a level at an edge), the whole chunk at
        // once, as its run did.
        const auto settle = [&](FactorPartial& p, std::span<const std::size_t> samples) {
            if (!scratch) scratch.emplace(plan);
            const auto valueAt = [&](std::size_t j) { return fs ? scratch->Fs[j] : scratch->Kc[j]; };
            if (samples.size() > 16) {
                workOut(p.Begin, p.Keys.size(), plan, *scratch);
                for (std::size_t j : samples) ++counts[bins.of(valueAt(j))];
                return;
            }
            for (std::size_t j : samples) {
                workOut(p.Begin + j, 1, plan, *scratch);
                ++counts[bins.of(valueAt(0))];
            }
        };
#pragma omp for schedule(dynamic, 16)
        for (std::int64_t c = 0; c < chunks; ++c) {
            FactorPartial& p = results[static_cast<std::size_t>(c)].*factor;
            if (p.Keys.empty()) { // the values kept
                for (double v : p.Kept) ++counts[bins.of(v)];
                continue;
            }
            if (p.Wedges == 0) continue;
            countKeys(p.Keys, ChunkBins(edges, bins, p), counts.data(),
                      [&](std::span<const std::size_t> samples) { settle(p, samples); });
        }
#pragma omp critical
        for (int b = 0; b < count; ++b) h.Counts[b] += counts[b];
    }
    return h;
}

} // namespace trelmox::probabilistic_run
