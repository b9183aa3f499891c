#pragma once
// Monte Carlo and Latin hypercube analysis of one block: inputs drawn from
// their distributions, the safety factor of every sample computed as the
// deterministic analysis computes it, and its statistics.
//
// Reproducible: sample i draws its inputs from a counter-based stream keyed
// by (seed, i), so a seed gives the same result on every run and with any
// number of threads. Parallel with OpenMP over chunks of samples.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "analysis/probabilistic/distribution.h"
#include "analysis/probabilistic/parameters.h"
#include "analysis/probabilistic/sampling.h"

namespace trelmox {

inline constexpr int ContactCount = 6; // values of TWedgeContact

struct ProbabilisticSettings {
    std::array<Distribution, ParameterCount> Distributions{}; // indexed by Parameter; Fixed by default
    std::uint64_t Samples = 10'000;                            // 1..MaxSamples
    std::uint64_t Seed = 1;
    SamplingMethod Method = SamplingMethod::MonteCarlo;
    unsigned Threads = 0; // 0: all cores; at most maxThreads()
    int HistogramBins = 20; // 1..MaxHistogramBins
};

// More bins than a histogram can show; each is a line of output.
inline constexpr int MaxHistogramBins = 10'000;
// Four threads per core: more only adds scheduling, and the thread
// runtime itself fails for tens of thousands.
unsigned maxThreads();

// Called now and then from the calling thread with the samples finished so
// far, and once at the end with done == total. Return false to cancel.
using ProgressCallback = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Over the samples that cut out a wedge (contact on both planes, on one, or
// lift-off, whose Kc of 0 counts as a failure).
struct SafetyStatistics {
    double Mean = 0, Sd = 0, Min = 0, Max = 0;
    double Pf = 0; // fraction with Kc < 1
};

struct Histogram {
    std::vector<double> Edges;          // Counts.size() + 1 ascending edges
    std::vector<std::uint64_t> Counts; // the last bin includes its upper edge
};

struct ProbabilisticResult {
    bool Cancelled = false;  // then nothing below is filled
    std::uint64_t Samples = 0;
    std::uint64_t Wedges = 0; // samples that cut out a wedge
    std::optional<SafetyStatistics> Statistics; // absent when Wedges == 0
    std::array<std::uint64_t, ContactCount> Contacts{}; // by TWedgeContact
    std::uint64_t Failed = 0; // computations that failed (zero divisor, ...)
    Histogram KcHistogram;    // over the wedge samples' Kc
    std::vector<double> SafetyFactors; // Kc of every wedge sample, in sample order
};

// Throws Error for settings that do not fit the block (see
// validateDistribution, requireVariable), a sample count outside
// 1..MaxSamples or more samples than the memory available holds, bins
// outside 1..MaxHistogramBins, more than maxThreads() threads, and for the
// block's own texts that do not convert (the deterministic analysis's
// messages).
void validateSettings(const BlockInputs& inputs, const ProbabilisticSettings& settings);
ProbabilisticResult runProbabilistic(const PlaneAttitudeArray& attitudes, const TWedgeParams& params,
                                     const ProbabilisticSettings& settings, const ProgressCallback& progress = {});

} // namespace trelmox
