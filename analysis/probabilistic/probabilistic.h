#pragma once
// Monte Carlo and Latin hypercube analysis of one block: inputs drawn from
// their distributions, both safety factors of every sample computed as the
// deterministic analyses compute them - Kc and the full factor Fs of the
// real wedge with its loads - and their statistics.
//
// Reproducible: sample i draws its inputs from a counter-based stream keyed
// by (seed, i) and is worked out in vector lanes that give the bits of
// their scalar twins on every x86-64 processor (kernel.h), so a seed gives
// the same result on every run, with any number of threads and any lane
// width. Parallel with OpenMP over chunks of samples; each chunk leaves its
// counts, moments and histogram counts, combined in chunk order.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "analysis/progress.h"
#include "analysis/probabilistic/distribution.h"
#include "analysis/probabilistic/kernel.h"
#include "analysis/probabilistic/parameters.h"
#include "analysis/probabilistic/sampling.h"

namespace trelmox {

inline constexpr int ContactCount = 6; // values of TWedgeContact

struct ProbabilisticSettings {
    std::array<Distribution, ParameterCount> Distributions{}; // indexed by Parameter; Fixed by default
    std::uint64_t Samples = 10'000;                           // 1..MaxSamples
    std::uint64_t Seed = 1;
    SamplingMethod Method = SamplingMethod::MonteCarlo;
    unsigned Threads = 0;   // 0: all cores; at most maxThreads()
    int HistogramBins = 20; // 1..MaxHistogramBins
    // The cutting planes (index 0 plane 1, 1 plane 2) whose attitude is
    // drawn as a whole: the pole from a Fisher distribution about the
    // block's own plane (the set's mean) with this concentration K >= 0,
    // instead of dip and dip direction drawn apart. A joint set scatters
    // about its mean pole in every direction alike, which independent dips
    // and dip directions do not describe: their spread in direction widens
    // as the dip flattens. The two uniforms of a draw are the plane's dip
    // and dip direction inputs (which then must not vary on their own), so
    // Latin hypercube sampling stratifies the angle to the mean and the
    // azimuth about it.
    // Index 2: the tension crack's attitude, its pole drawn about the
    // crack's own (its crackdip and crackdipdir inputs).
    std::array<std::optional<double>, 3> FisherKappa{};
    // The correlation -1..1 between the cohesion and the friction of plane 1
    // and of plane 2 (index 0, 1), both of which must then vary: a Gaussian
    // copula, friction's normal score drawn as rho z_c + sqrt(1 - rho^2) z,
    // which keeps each input's own distribution. Joints that are rougher
    // or cleaner show a high friction with a low cohesion, so a negative
    // value is usual. 0: independent.
    std::array<double, 2> Correlation{};
    // Samples in the widest vector lanes of the processor (kernel.h); false
    // works them out one by one through evaluate and evaluateFull, which
    // gives the same bits, for checking.
    bool Vectorised = true;
    // Keep Kc and Fs of every wedge sample (SafetyFactors); the statistics
    // and histograms do not need them afterwards.
    bool KeepFactors = true;
    // Work out the volume and weight of every failed real wedge (Fs < 1)
    // for FullFactorSummary::FailedSizes. Always done when the loads limit
    // the wedge's size, whose factor every sample then works out in full.
    bool FailedVolumes = false;
};

// More bins than a histogram can show; each is a line of output.
inline constexpr int MaxHistogramBins = 10'000;
// Four threads per core: more only adds scheduling, and the thread
// runtime itself fails for tens of thousands.
unsigned maxThreads();

// Over the samples that cut out a wedge (contact on both planes, on one, or
// lift-off, whose Kc of 0 counts as a failure).
struct SafetyStatistics {
    double Mean = 0, Sd = 0, Min = 0, Max = 0;
    // Fraction with Kc < 1: the probability of sliding, failed wedges over
    // the samples that cut out a wedge able to slide out of the face.
    double Pf = 0;
};

struct Histogram {
    std::vector<double> Edges;         // Counts.size() + 1 ascending edges
    std::vector<std::uint64_t> Counts; // the last bin includes its upper edge
};

// The sizes of the failed real wedges (Fs < 1).
struct FailedWedgeSizes {
    std::uint64_t Count = 0;
    double MeanVolume = 0, MeanWeight = 0;
    // Volume percentiles: 5 %, 50 % and 95 % of the failed wedges are no larger.
    double Volume5 = 0, Volume50 = 0, Volume95 = 0;
    Histogram VolumeHistogram;
};

// One factor's figures over the samples, alike for Kc and Fs: the samples
// of every contact case, the failed computations, and over the wedge
// samples the statistics, the histogram and (KeepFactors) every value.
struct FactorSummary {
    std::uint64_t Wedges = 0;                   // the samples the factor was worked out on
    std::optional<SafetyStatistics> Statistics; // Pf: fraction with factor < 1; absent when Wedges == 0
    // The probability of failure: failed wedges (factor < 1) over all
    // samples, those that cut out no wedge and failed computations
    // included. Beside the probability of sliding (Statistics->Pf) it tells
    // how often the drawn planes form a wedge at all, which matters once
    // their orientations vary.
    double PFailure = 0;
    std::array<std::uint64_t, ContactCount> Contacts{}; // by TWedgeContact; NoBlock: no wedge
    std::uint64_t Failed = 0;                           // computations that failed (zero divisor, ...)
    Histogram Bins;                                     // over the wedge samples' factor
    std::vector<double> SafetyFactors; // the factor of every wedge sample, in sample order (KeepFactors)
};

// The full factor over the samples where the real wedge exists (contact on
// both planes, on one, or lift-off, whose Fs of 0 counts as a failure).
// Wedges below the loads' minimum size count apart (TooSmall) and take no
// part in any figure of the factor: they cannot do harm worth the name.
struct FullFactorSummary : FactorSummary {
    double RequiredFactor = 0;
    double PBelowRequired = 0; // fraction of the wedges with Fs < RequiredFactor
    std::uint64_t TooSmall = 0;
    // With a bench and a catch width: the wedges whose back-break leaves a
    // narrower bench, and their share of the wedges (1 - bench reliability).
    std::uint64_t BenchTooNarrow = 0;
    double PBenchTooNarrow = 0;
    // With FailedVolumes or size limits; absent when no wedge failed.
    std::optional<FailedWedgeSizes> FailedSizes;
};

// Kc's figures over the samples (those that cut out a wedge) and Fs's.
struct ProbabilisticResult : FactorSummary {
    // What each factor is, for naming beside its probability.
    static constexpr const char* KcMethod = "Kc（楔块按坡顶面水平于坡高处归一化计算）";
    static constexpr const char* FsMethod = "Fs（实际楔块，矢量法，含张裂缝、荷载与支护）";
    bool Cancelled = false; // then nothing below is filled
    SamplingMethod Method = SamplingMethod::MonteCarlo;
    std::uint64_t Samples = 0;
    FullFactorSummary Full;
};

// Throws Error for settings that do not fit the block (see
// validateDistribution, requireVariable), a sample count outside
// 1..MaxSamples or more samples than the memory available holds, bins
// outside 1..MaxHistogramBins, more than maxThreads() threads, a negative K
// or a Fisher plane whose dip or dip direction is also varied, a
// correlation outside -1..1 or of a plane whose c and f do not both vary.
void validateSettings(const BlockInputs& inputs, const ProbabilisticSettings& settings);
// The block with its loads (the required factor among them); without, the
// defaults of a block that has no companion file.
ProbabilisticResult runProbabilistic(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters,
                                     const WedgeLoads& loads, const ProbabilisticSettings& settings,
                                     const ProgressCallback& progress = {});
ProbabilisticResult runProbabilistic(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters,
                                     const ProbabilisticSettings& settings, const ProgressCallback& progress = {});

// Kc and Fs of samples whose inputs are given rather than drawn: columns[k]
// holds `count` values of inputs[k], the other inputs keep the block's
// values. Each sample is worked out exactly as a probabilistic run works out
// a sample with those inputs (the same vector lanes, the same scalar
// analysis where the lanes do not reach), on `threads` threads (0: all
// cores). Outputs hold `count` values each: a factor and its outcome; a
// failed outcome's factor is NaN, a sample that cuts out no wedge has the
// factor the run gives it (0). Throws Error for an input given twice, one
// the block cannot vary (requireVariable) and a value outside its input's
// range (with the field and the row), before anything is worked out.
struct SampleFactors {
    double* Kc;
    SampleOutcome* KcOutcome;
    double* Fs;
    SampleOutcome* FsOutcome;
};
void evaluateSamples(const BlockInputs& base, const std::vector<Parameter>& inputs,
                     const std::vector<const double*>& columns, std::uint64_t count, unsigned threads,
                     const SampleFactors& out);
// Throws Error for an input given twice or one the block cannot vary.
void validateSampleInputs(const BlockInputs& base, const std::vector<Parameter>& inputs);

// The inputs a probabilistic run with these settings draws, sample by
// sample: one column per input whose value changes, in Inputs' order (the
// varied inputs, then dip and dip direction of each Fisher plane). Given to
// evaluateSamples, they give the run's factors. Throws as runProbabilistic.
struct DrawnSamples {
    std::vector<Parameter> Inputs;
    std::vector<std::vector<double>> Columns;
};
DrawnSamples drawSamples(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters,
                         const WedgeLoads& loads, const ProbabilisticSettings& settings);

} // namespace trelmox
