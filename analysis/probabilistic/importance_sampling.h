#pragma once
// The probability of failure by importance sampling in standard space:
// points drawn from unit normals centred at design points (a mixture of
// them for several modes), each failure weighted by the ratio of the
// standard density to the sampling density, run in batches until the
// estimate's coefficient of variation reaches a target or the samples a cap.
//
// Reproducible as the probabilistic run is: sample j's coordinates come
// from counter-based streams keyed by (seed, j), drawn and evaluated in the
// kernels' vector lanes, and the batches are summed in sample order, so a
// seed gives the same bits on any number of threads and any lane width.
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/progress.h"
#include "analysis/probabilistic/reliability_space.h"

namespace trelmox {

struct ImportanceSettings {
    double TargetCov = 0.1;                // stop once the estimate's CoV is this or less
    std::uint64_t MaxSamples = 10'000'000; // and at the latest after so many samples
    std::uint64_t Seed = 1;
    unsigned Threads = 0; // 0: all cores
    // false: every sample through the scalar twins of the lanes, one by
    // one (the same bits, for checking).
    bool Vectorised = true;
    // Which of the run's uses of the seed this is (streams of their own).
    std::uint64_t Stream = 0;
};

struct SampledProbability {
    double Pf = 0;
    std::optional<double> Cov; // none until a sample fails
    std::uint64_t Samples = 0, Failures = 0;
};

// The sampling density: unit normals about `centres` (each of the space's
// dimension), centre m drawn with probability weights[m] / their sum.
struct SamplingMixture {
    std::vector<std::vector<double>> Centres;
    std::vector<double> Weights;
};

// Throws Error where the factor evaluation does (a value outside an
// input's range cannot arise: the space keeps inside them). Cancelled by
// the progress callback: the result so far, `cancelled` set.
SampledProbability importanceSampling(const BlockInputs& base, const StandardSpace& space, ReliabilityFactor factor,
                                      const SamplingMixture& mixture, const ImportanceSettings& settings,
                                      const FactorHook& hook = {}, const ProgressCallback& progress = {},
                                      bool* cancelled = nullptr);

} // namespace trelmox
