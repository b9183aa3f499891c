#pragma once
// What the chunks of a probabilistic run give and work with: each factor's
// counts, keys and moments over a chunk, a thread's working storage, and
// the samples worked out again where the histogram needs their values.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "analysis/full_analysis.h"
#include "analysis/probabilistic/chunk_tally.h"
#include "analysis/probabilistic/huge_pages.h"
#include "analysis/probabilistic/sample_plan.h"

namespace trelmox::probabilistic_run {

// One factor over one chunk: its outcomes counted, the keys of its samples
// (NoValue where a sample is not counted) and, if wanted, its values on the
// wedge samples in sample order, and their moments about the chunk's first
// value (exact when all values are equal).
struct FactorPartial {
    std::array<std::uint64_t, ContactCount> Contacts{};
    std::uint64_t Failed = 0;
    std::uint64_t Begin = 0, Wedges = 0; // the chunk's first sample; the values counted
    std::span<const ValueKey> Keys;      // one a sample, in the run's key store (none with KeepFactors)
    KeyScale Levels;                     // of the keys
    std::span<const double> Kept;        // the values themselves, with KeepFactors
    double Mean = 0, SquaredDeviations = 0, Min = 0, Max = 0;
    std::uint64_t BelowOne = 0, BelowRequired = 0;
    // Fs only: wedges too small to count, benches left too narrow, and the
    // failed wedges' volumes (in sample order) and summed weights.
    std::uint64_t TooSmall = 0, BenchTooNarrow = 0;
    std::vector<double> FailedVolumes;
    double FailedWeight = 0;
};

// What the full analysis of a sample says about its wedge's size.
struct SampleSize {
    double Volume = 0, Weight = 0;
    std::uint8_t Flags = 0;
};

struct ChunkResult {
    FactorPartial Kc, Fs;
};

using ChunkResults = std::vector<ChunkResult, HugePages<ChunkResult>>;

// Whether the lanes size the wedges (and give their sizes) themselves.
inline bool lanesSize(const SamplePlan& plan) {
    return plan.Vectorised && !plan.ScalarFull && plan.FailedSizes && plan.Kernel.Constants.Sized;
}

// A thread's working storage, reused from chunk to chunk.
struct ChunkScratch {
    explicit ChunkScratch(const SamplePlan& plan)
        : Columns(plan.Inputs.size() * ChunkSize), Kc(ChunkSize), Fs(ChunkSize), KcOutcome(ChunkSize),
          FsOutcome(ChunkSize), Sizes(plan.FailedSizes ? ChunkSize : 0), Inputs(plan.Base) {
        if (lanesSize(plan)) Volumes.resize(ChunkSize), Weights.resize(ChunkSize), SizeFlags.resize(ChunkSize);
    }
    std::vector<double> Columns; // ChunkSize values per changing input
    std::vector<double> Kc, Fs;
    std::vector<SampleOutcome> KcOutcome, FsOutcome;
    std::vector<SampleSize> Sizes;
    std::vector<double> Volumes, Weights; // the lanes' sizes, before they go into Sizes
    std::vector<std::uint8_t> SizeFlags;
    BlockInputs Inputs; // the scalar path's working copy
    FullAnalysis Full;
};

inline double* column(ChunkScratch& scratch, std::size_t k) { return scratch.Columns.data() + k * ChunkSize; }

// Kc and Fs of samples [begin, begin + n) into the scratch; the same values
// whenever they are worked out, a sample's inputs depending on its number
// only.
void workOut(std::uint64_t begin, std::size_t n, const SamplePlan& plan, ChunkScratch& s);

} // namespace trelmox::probabilistic_run
