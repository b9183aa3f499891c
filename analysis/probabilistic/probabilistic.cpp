#include "analysis/probabilistic/probabilistic.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <exception>
#include <fstream>
#include <limits>
#include <mutex>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <omp.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include "analysis/orientation.h"
#include "analysis/probabilistic/chunk_tally.h"
#include "analysis/probabilistic/fisher.h"
#include "analysis/probabilistic/kernel.h"
#include "model/checked.h"
#include "analysis/probabilistic/sample_trig.h"
#include "analysis/probabilistic/team.h"
#include "analysis/vec3.h"
#include "model/error.h"
#include "model/numtext.h"

namespace trelmox {

namespace {

// Samples per unit of work: large enough that scheduling costs nothing,
// small enough that progress and cancellation answer within a millisecond.
// A multiple of every lane width, so only a run's last chunk is padded.
constexpr std::uint64_t ChunkSize = 4096;
static_assert(ChunkSize % MaxLanes == 0);
// n samples padded to whole blocks of the widest lanes.
constexpr std::size_t paddedCount(std::size_t n) { return (n + MaxLanes - 1) / MaxLanes * MaxLanes; }

struct VaryingInput {
    Parameter Input;
    Sampler Draw;
};

// A cutting plane whose pole is drawn from its Fisher distribution, from
// the uniforms of its dip (the angle to the mean) and its dip direction
// (the azimuth about it).
struct FisherPlane {
    TPlaneRole Plane;
    FisherDistribution Distribution;
    Parameter AngleInput, AzimuthInput;
};

// Everything the samples share, read-only while they run.
// The cohesion and the friction of a plane drawn together (their columns
// among Varying) with correlation Rho of their normal scores.
struct CorrelatedPair {
    std::size_t Cohesion, Friction;
    double Rho;
};

struct SamplePlan {
    BlockInputs Base;
    std::vector<VaryingInput> Varying;
    std::vector<FisherPlane> Fisher;
    std::vector<CorrelatedPair> Correlated;
    // Every input whose value changes from sample to sample, in the order of
    // their columns: the varied ones, then dip and dip direction of each
    // Fisher plane.
    std::vector<Parameter> Inputs;
    KernelPlan Kernel;
    // The scalar path's full factor: the planes' normals (absent when the
    // block's attitudes fail: each sample then reports its own failure), and
    // the planes whose attitude varies.
    std::optional<WedgePlanes> BasePlanes;
    std::vector<TPlaneRole> ChangingPlanes;
    SampleDesign Design;
    bool Vectorised;
    double RequiredFactor;
    // The full factor of every sample through the scalar analysis: size
    // limits and passive bolts (which of them carry is decided per wedge),
    // which the lanes do not take, or no lanes at all.
    bool ScalarFull;
    // Each failed wedge's volume and weight are wanted.
    bool FailedSizes;
    // The tension crack's attitude changes from sample to sample.
    bool CrackTurns;
};

std::vector<VaryingInput> varyingInputs(const BlockInputs& base, const ProbabilisticSettings& settings) {
    std::vector<VaryingInput> varying;
    for (int i = 0; i < ParameterCount; ++i) {
        const auto input = static_cast<Parameter>(i);
        Sampler draw(input, parameterValue(base, input), settings.Distributions[i]);
        if (draw.varies()) varying.push_back({input, draw});
    }
    return varying;
}

// The cohesion and the friction inputs of cutting plane k (0 or 1).
std::pair<Parameter, Parameter> strengthInputs(int k) {
    return k == 0 ? std::pair(Parameter::Cohesion1, Parameter::Friction1)
                  : std::pair(Parameter::Cohesion2, Parameter::Friction2);
}

// The dip and the dip direction inputs of cutting plane k (0 or 1), or of
// the tension crack (2).
std::pair<Parameter, Parameter> attitudeInputs(int k) {
    if (k == 2) return {Parameter::CrackDip, Parameter::CrackDipDir};
    return k == 0 ? std::pair(Parameter::Dip1, Parameter::DipDir1) : std::pair(Parameter::Dip2, Parameter::DipDir2);
}

const char* attitudeName(int k) { return k == 0 ? "plane 1" : k == 1 ? "plane 2" : "the tension crack"; }

std::vector<FisherPlane> fisherPlanes(const BlockInputs& base, const ProbabilisticSettings& settings) {
    std::vector<FisherPlane> planes;
    for (int k = 0; k < 3; ++k) {
        if (!settings.FisherKappa[k]) continue;
        const auto [dip, dipDirection] = attitudeInputs(k);
        const TPlaneAttitude& mean = k < 2 ? base.Attitudes[k] : base.CrackAttitude;
        planes.push_back({static_cast<TPlaneRole>(k), FisherDistribution(planePole(mean), *settings.FisherKappa[k]),
                          dip, dipDirection});
    }
    return planes;
}

std::optional<WedgePlanes> basePlanes(const BlockInputs& base) {
    try {
        return sampleWedgePlanes(base.Attitudes, base.Loads.Crack);
    } catch (const Error&) {
        return std::nullopt;
    }
}

std::vector<TPlaneRole> changingPlanes(const std::vector<Parameter>& varying) {
    std::vector<TPlaneRole> planes;
    for (Parameter input : varying) {
        const auto plane = planeOf(input);
        if (plane && std::find(planes.begin(), planes.end(), *plane) == planes.end()) planes.push_back(*plane);
    }
    return planes;
}

std::vector<CorrelatedPair> correlatedPairs(const std::vector<VaryingInput>& varying,
                                            const ProbabilisticSettings& settings) {
    std::vector<CorrelatedPair> pairs;
    auto columnOf = [&](Parameter p) {
        return static_cast<std::size_t>(
            std::find_if(varying.begin(), varying.end(), [p](const VaryingInput& v) { return v.Input == p; }) -
            varying.begin());
    };
    for (int k = 0; k < 2; ++k) {
        if (settings.Correlation[k] == 0) continue;
        const auto [cohesion, friction] = strengthInputs(k);
        const std::size_t c = columnOf(cohesion), f = columnOf(friction);
        // A strength drawn as its block's value (a zero spread) has nothing to correlate.
        if (c < varying.size() && f < varying.size()) pairs.push_back({c, f, settings.Correlation[k]});
    }
    return pairs;
}

std::vector<Parameter> changingInputs(const std::vector<VaryingInput>& varying,
                                      const std::vector<FisherPlane>& fisher) {
    std::vector<Parameter> inputs;
    for (const VaryingInput& v : varying) inputs.push_back(v.Input);
    for (const FisherPlane& f : fisher) inputs.insert(inputs.end(), {f.AngleInput, f.AzimuthInput});
    return inputs;
}

// The lanes take the crack's attitude as fixed: a turning crack's full
// factor goes through the scalar analysis.
bool crackTurns(const std::vector<Parameter>& inputs) {
    return std::any_of(inputs.begin(), inputs.end(),
                       [](Parameter p) { return p == Parameter::CrackDip || p == Parameter::CrackDipDir; });
}

SamplePlan samplePlan(const BlockInputs& base, const ProbabilisticSettings& settings, std::vector<VaryingInput> varying,
                      std::vector<FisherPlane> fisher, std::vector<CorrelatedPair> correlated,
                      std::vector<Parameter> inputs) {
    KernelPlan kernel;
    buildKernelPlan(base, inputs, kernel);
    std::vector<TPlaneRole> planes = changingPlanes(inputs);
    SampleDesign design(settings.Method, settings.Seed, settings.Samples, inputs, settings.Threads);
    const bool sized = sizes(base.Loads.Size);
    const bool turns = crackTurns(inputs);
    return {base,
            std::move(varying),
            std::move(fisher),
            std::move(correlated),
            std::move(inputs),
            std::move(kernel),
            basePlanes(base),
            std::move(planes),
            std::move(design),
            settings.Vectorised,
            base.Loads.RequiredFactor,
            (sized && base.Loads.Crack) || !settings.Vectorised || needsScalarFull(base.Loads) || turns,
            settings.FailedVolumes || sized,
            turns};
}

SamplePlan samplePlan(const BlockInputs& base, const ProbabilisticSettings& settings) {
    std::vector<VaryingInput> varying = varyingInputs(base, settings);
    std::vector<FisherPlane> fisher = fisherPlanes(base, settings);
    std::vector<CorrelatedPair> correlated = correlatedPairs(varying, settings);
    std::vector<Parameter> inputs = changingInputs(varying, fisher);
    return samplePlan(base, settings, std::move(varying), std::move(fisher), std::move(correlated), std::move(inputs));
}

// Memory in whole huge pages where the system offers them, freed with
// std::free: a few page faults where 4 KiB pages would take one each.
void* hugePageMemory(std::size_t bytes) {
    constexpr std::size_t huge = std::size_t(1) << 21;
    bytes = (bytes + huge - 1) / huge * huge;
    void* memory = std::aligned_alloc(huge, bytes);
    if (!memory) throw std::bad_alloc();
    madvise(memory, bytes, MADV_HUGEPAGE); // a hint: without it, plain pages
    return memory;
}

// Values of the whole run, one stretch per chunk, until the histogram has
// binned them (its bins need the smallest and the largest value of the run).
// Neither zeroed nor written beyond the values kept, and in huge pages;
// fresh memory is still the dearest part of a long run on some machines
// (the system clears every page), hence the 16-bit keys (chunk_tally.h).
template <typename T> class ValueStore {
public:
    explicit ValueStore(std::uint64_t samples) {
        if (samples > 0) data_.reset(static_cast<T*>(hugePageMemory(samples * sizeof(T))));
    }
    T* at(std::uint64_t sample) const { return data_ ? data_.get() + sample : nullptr; }

private:
    struct Free {
        void operator()(T* p) const { std::free(p); }
    };
    std::unique_ptr<T[], Free> data_;
};

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

// The wedge outcomes of a chunk, and those on both planes, on the first
// and on the second alone: bytes compared and summed, which the compiler
// does in vectors (32 bytes a step where the processor has AVX2).
struct ContactCounts {
    std::uint32_t Wedges, Both, First, Second;
};
[[gnu::target_clones("avx2", "default")]] ContactCounts countedContacts(const SampleOutcome* outcomes, std::size_t n) {
    static_assert(int(SampleOutcome::BothPlanes) == 1 && int(SampleOutcome::LiftOff) == 4);
    std::uint32_t wedges = 0, both = 0, first = 0, second = 0;
    const auto* code = reinterpret_cast<const std::uint8_t*>(outcomes);
    for (std::size_t j = 0; j < n; ++j) {
        const std::uint8_t o = code[j];
        wedges += static_cast<std::uint8_t>(o - 1) < 4; // BothPlanes .. LiftOff
        both += o == std::uint8_t(SampleOutcome::BothPlanes);
        first += o == std::uint8_t(SampleOutcome::FirstPlaneOnly);
        second += o == std::uint8_t(SampleOutcome::SecondPlaneOnly);
    }
    return {wedges, both, first, second};
}

// The chunk's outcomes counted, its keys written and the moments of its
// wedge values about the first of them (in plainSums's order, or where some
// sample is not a finite wedge, in sample order).
// keys: one a sample (null: the values are kept instead); kept: the values
// in sample order (null: not kept);
// sizes: each sample's wedge size (null: not worked out).
void tally(FactorPartial& p, std::uint64_t begin, const double* factors, const SampleOutcome* outcomes, std::size_t n,
           double required, ValueKey* keys, double* kept, const SampleSize* sizes = nullptr) {
    // Counted in locals: a counter in memory would make every sample wait
    // for the last one's store.
    std::size_t count = 0;
    std::uint64_t failed = 0, belowOne = 0, belowRequired = 0;
    std::array<std::uint64_t, ContactCount> contacts{};
    double shift = 0, sum = 0, squares = 0, low = 0, high = 0;
    // The common chunk, a finite wedge value in every sample and no sizes
    // to check: its contacts counted in registers, its sums in plainSums.
    // Any other chunk is counted below.
    bool plain = sizes == nullptr && n > 0;
    if (plain) {
        const auto [wedges, both, first, second] = countedContacts(outcomes, n);
        plain = wedges == n;
        PlainSums sums;
        if (plain) sums = plainSums(factors, n, required);
        plain &= sums.Finite;
        if (plain) {
            contacts[static_cast<int>(TWedgeContact::BothPlanes)] = both;
            contacts[static_cast<int>(TWedgeContact::FirstPlaneOnly)] = first;
            contacts[static_cast<int>(TWedgeContact::SecondPlaneOnly)] = second;
            contacts[static_cast<int>(TWedgeContact::LiftOff)] = n - both - first - second;
            shift = factors[0], sum = sums.Sum, squares = sums.Squares, low = sums.Low, high = sums.High;
            belowOne = sums.BelowOne, belowRequired = sums.BelowRequired;
            if (kept) std::copy(factors, factors + n, kept);
            count = n;
        }
    }
    for (std::size_t j = 0; j < n && !plain; ++j) {
        if (keys) keys[j] = NoValue;
        if (failedOutcome(outcomes[j])) {
            ++failed;
            continue;
        }
        const auto contact = static_cast<TWedgeContact>(outcomes[j]);
        const double f = factors[j];
        const bool wedge = cutsOutWedge(contact);
        // A factor beyond the range of a double fails its sample, as the
        // scalar analysis's overflow does; the lanes leave that to here.
        if (wedge && !std::isfinite(f)) {
            ++failed;
            continue;
        }
        if (sizes && wedge) {
            if (sizes[j].Flags & TooSmallFlag) {
                ++p.TooSmall;
                continue;
            }
            p.BenchTooNarrow += (sizes[j].Flags & BenchTooNarrowFlag) != 0;
            if (f < 1) p.FailedVolumes.push_back(sizes[j].Volume), p.FailedWeight += sizes[j].Weight;
        }
        ++contacts[static_cast<int>(contact)];
        if (!wedge) continue;
        if (keys) keys[j] = 0; // counted: its level below
        if (kept) kept[count] = f;
        if (count++ == 0) shift = low = high = f;
        sum += f - shift;
        squares += (f - shift) * (f - shift);
        low = std::min(low, f), high = std::max(high, f);
        belowOne += f < 1;
        belowRequired += f < required;
    }
    for (int c = 0; c < ContactCount; ++c) p.Contacts[c] += contacts[c];
    p.Failed += failed, p.BelowOne += belowOne, p.BelowRequired += belowRequired;
    p.Min = low, p.Max = high;
    p.Begin = begin, p.Wedges = count;
    if (keys) {
        p.Levels = KeyScale(low, high);
        writeKeys(keys, factors, n, p.Levels, plain);
        p.Keys = {keys, n};
    }
    if (kept) p.Kept = {kept, count};
    if (count == 0) return;
    // Factors whose squares leave the range of a double (beyond about 1e154)
    // have no spread to report: the run fails as the analysis's own
    // arithmetic does, rather than giving a deviation of 0 or not a number.
    if (!std::isfinite(sum) || !std::isfinite(squares))
        throw Error::arithmetic(OverflowMessage, ArithmeticFault::Overflow);
    const double wedges = static_cast<double>(count);
    p.Mean = shift + sum / wedges;
    p.SquaredDeviations = std::max(0.0, squares - sum * sum / wedges);
}

// Where the chunks keep the keys of Kc and of Fs, or with KeepFactors their
// values, which the histogram then counts as they are.
struct RunStores {
    RunStores(std::uint64_t samples, bool keep)
        : Kc(keep ? 0 : samples), Fs(keep ? 0 : samples), KeptKc(keep ? samples : 0), KeptFs(keep ? samples : 0) {}
    ValueStore<ValueKey> Kc, Fs;
    ValueStore<double> KeptKc, KeptFs;
    // What the stores hold per sample, for the memory check.
    static constexpr std::uint64_t KeyBytesPerSample = 2 * sizeof(ValueKey);
    static constexpr std::uint64_t KeptBytesPerSample = 2 * sizeof(double);
};

struct ChunkResult {
    FactorPartial Kc, Fs;
};

// The chunks' results in huge pages from half a megabyte on: a run of 10^7
// samples has 2,441 of them, a megabyte that one thread clears before the
// others start.
template <typename T> struct HugePages {
    using value_type = T;
    static constexpr std::size_t From = std::size_t(1) << 19;
    HugePages() = default;
    template <typename U> explicit HugePages(const HugePages<U>&) {}
    T* allocate(std::size_t n) {
        return n * sizeof(T) < From ? std::allocator<T>().allocate(n) : static_cast<T*>(hugePageMemory(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) {
        if (n * sizeof(T) < From)
            std::allocator<T>().deallocate(p, n);
        else
            std::free(p);
    }
    bool operator==(const HugePages&) const = default;
};
using ChunkResults = std::vector<ChunkResult, HugePages<ChunkResult>>;

// A thread's working storage, reused from chunk to chunk.
// Whether the lanes size the wedges (and give their sizes) themselves.
bool lanesSize(const SamplePlan& plan) {
    return plan.Vectorised && !plan.ScalarFull && plan.FailedSizes && plan.Kernel.Constants.Sized;
}

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

double* column(ChunkScratch& scratch, std::size_t k) { return scratch.Columns.data() + k * ChunkSize; }

// The chunk's inputs into their columns, the last value repeated up to
// `padded` so that the lanes past the end compute a real sample.
void drawColumns(std::uint64_t begin, std::size_t n, std::size_t padded, const SamplePlan& plan,
                 ChunkScratch& scratch) {
    for (std::size_t k = 0; k < plan.Varying.size(); ++k) {
        double* values = column(scratch, k);
        plan.Design.uniforms(begin, n, plan.Varying[k].Input, values);
        std::fill(values + n, values + padded, values[n - 1]);
    }
    // Correlated strengths: friction's uniform from its normal score mixed
    // with cohesion's, one by one on every lane width alike.
    for (const CorrelatedPair& pair : plan.Correlated) {
        const double* cohesion = column(scratch, pair.Cohesion);
        double* friction = column(scratch, pair.Friction);
        const double own = std::sqrt(1 - pair.Rho * pair.Rho);
        for (std::size_t j = 0; j < padded; ++j)
            friction[j] =
                std::clamp(normalCdf(pair.Rho * normalQuantile(cohesion[j]) + own * normalQuantile(friction[j])),
                           0x1p-53, 1 - 0x1p-53);
    }
    for (std::size_t k = 0; k < plan.Varying.size(); ++k) {
        double* values = column(scratch, k);
        if (plan.Vectorised)
            plan.Varying[k].Draw.values(values, padded);
        else
            for (std::size_t j = 0; j < n; ++j) values[j] = plan.Varying[k].Draw.value(values[j]);
    }
    for (std::size_t f = 0; f < plan.Fisher.size(); ++f) {
        const FisherPlane& fisher = plan.Fisher[f];
        double* dips = column(scratch, plan.Varying.size() + 2 * f);
        double* directions = dips + ChunkSize;
        plan.Design.uniforms(begin, n, fisher.AngleInput, dips);
        plan.Design.uniforms(begin, n, fisher.AzimuthInput, directions);
        for (std::size_t j = 0; j < n; ++j) {
            const TPlaneAttitude a = planeOfPole(fisher.Distribution.pole(dips[j], directions[j]));
            dips[j] = a.DipAngle, directions[j] = a.DipDirection;
        }
        std::fill(dips + n, dips + padded, dips[n - 1]);
        std::fill(directions + n, directions + padded, directions[n - 1]);
    }
}

// Sample j's inputs written into the working copy.
void setInputs(const SamplePlan& plan, ChunkScratch& scratch, std::size_t j) {
    for (std::size_t k = 0; k < plan.Inputs.size(); ++k)
        parameterField(scratch.Inputs, plan.Inputs[k]) = column(scratch, k)[j];
}

template <typename Compute> void scalarOutcome(Compute compute, double& factor, SampleOutcome& outcome) {
    try {
        const auto [value, contact] = compute();
        factor = value, outcome = static_cast<SampleOutcome>(contact);
    } catch (const Error& e) {
        factor = 0, outcome = outcomeOfFailure(e);
    }
}

void scalarKc(const SamplePlan& plan, ChunkScratch& s, std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        setInputs(plan, s, j);
        scalarOutcome(
            [&] {
                const SafetyResult r = evaluate(s.Inputs);
                return std::pair(r.SafetyFactor, r.Contact);
            },
            s.Kc[j], s.KcOutcome[j]);
    }
}

SampleSize sampleSize(const FullAnalysis& a) {
    if (a.Refusal) return {};
    std::uint8_t flags = 0;
    if (a.Size.TooSmall) flags |= TooSmallFlag;
    if (a.Size.BenchTooNarrow) flags |= BenchTooNarrowFlag;
    return {a.Shape.Volume, norm(a.Forces.Weight), flags};
}

// The full analysis of sample j in the working copy; returns Fs and its contact.
std::pair<double, TWedgeContact> fullOfSample(const SamplePlan& plan, ChunkScratch& s,
                                              std::optional<WedgePlanes>& planes, std::size_t j) {
    setInputs(plan, s, j);
    if (!planes) {
        s.Full = evaluateFull(s.Inputs);
    } else {
        for (TPlaneRole plane : plan.ChangingPlanes) refreshPlane(*planes, s.Inputs.Attitudes, plane);
        if (plan.CrackTurns) planes->Crack = sampleUpwardNormal(s.Inputs.CrackAttitude);
        evaluateFull(s.Inputs, *planes, s.Full);
    }
    return {s.Full.Safety.Factor, s.Full.Safety.Contact};
}

void scalarFs(const SamplePlan& plan, ChunkScratch& s, std::size_t n) {
    std::optional<WedgePlanes> planes = plan.BasePlanes;
    for (std::size_t j = 0; j < n; ++j) {
        if (plan.FailedSizes) s.Sizes[j] = {};
        scalarOutcome([&] { return fullOfSample(plan, s, planes, j); }, s.Fs[j], s.FsOutcome[j]);
        if (plan.FailedSizes && !failedOutcome(s.FsOutcome[j])) s.Sizes[j] = sampleSize(s.Full);
    }
}

// The lanes give Fs but not the wedge: the failed wedges' sizes through the
// scalar analysis, whose Fs is the lanes' to the last bit.
void failedSizesOfLanes(const SamplePlan& plan, ChunkScratch& s, std::size_t n) {
    std::optional<WedgePlanes> planes = plan.BasePlanes;
    for (std::size_t j = 0; j < n; ++j) {
        s.Sizes[j] = {};
        if (failedOutcome(s.FsOutcome[j]) || !(s.Fs[j] < 1)) continue;
        try {
            fullOfSample(plan, s, planes, j);
            s.Sizes[j] = sampleSize(s.Full);
        } catch (const Error&) { // the lanes failed it too; never reached
        }
    }
}

// Kc and Fs of the chunk's samples, whose inputs are in their columns.
void evaluateChunk(const SamplePlan& plan, ChunkScratch& s, std::size_t n, std::size_t padded) {
    if (plan.Vectorised) {
        KernelColumns columns;
        for (std::size_t k = 0; k < plan.Inputs.size(); ++k)
            columns.Input[static_cast<int>(plan.Inputs[k])] = column(s, k);
        columns.Count = padded;
        const bool sizes = lanesSize(plan);
        widestKernel().Evaluate(plan.Kernel.Constants, columns,
                                {s.Kc.data(), s.KcOutcome.data(), plan.ScalarFull ? nullptr : s.Fs.data(),
                                 s.FsOutcome.data(), sizes ? s.Volumes.data() : nullptr,
                                 sizes ? s.Weights.data() : nullptr, sizes ? s.SizeFlags.data() : nullptr});
        if (sizes) {
            for (std::size_t j = 0; j < n; ++j) s.Sizes[j] = {s.Volumes[j], s.Weights[j], s.SizeFlags[j]};
            return;
        }
    } else {
        scalarKc(plan, s, n);
    }
    if (plan.ScalarFull)
        scalarFs(plan, s, n);
    else if (plan.FailedSizes)
        failedSizesOfLanes(plan, s, n);
}

// Kc and Fs of samples [begin, begin + n) into the scratch; the same values
// whenever they are worked out, a sample's inputs depending on its number
// only.
void workOut(std::uint64_t begin, std::size_t n, const SamplePlan& plan, ChunkScratch& s) {
    drawColumns(begin, n, paddedCount(n), plan, s);
    evaluateChunk(plan, s, n, paddedCount(n));
}

ChunkResult runChunk(std::uint64_t begin, std::uint64_t end, const SamplePlan& plan, ChunkScratch& s,
                     const RunStores& stores) {
    const std::size_t n = end - begin;
    workOut(begin, n, plan, s);
    ChunkResult result;
    tally(result.Kc, begin, s.Kc.data(), s.KcOutcome.data(), n, plan.RequiredFactor, stores.Kc.at(begin),
          stores.KeptKc.at(begin));
    tally(result.Fs, begin, s.Fs.data(), s.FsOutcome.data(), n, plan.RequiredFactor, stores.Fs.at(begin),
          stores.KeptFs.at(begin), plan.FailedSizes ? s.Sizes.data() : nullptr);
    return result;
}

// The team of a run of `samples` samples (team.h): the scalar full factor
// costs many times what a sample in the lanes does.
unsigned runTeam(const SamplePlan& plan, unsigned requested, std::uint64_t samples) {
    return teamSize(requested, samples * (plan.ScalarFull ? ScalarSampleWork : 1));
}

// Runs every chunk unless cancelled; returns false when cancelled.
bool runSamples(const SamplePlan& plan, const ProbabilisticSettings& settings, unsigned team,
                const ProgressCallback& progress, const RunStores& stores, ChunkResults& results) {
    const std::uint64_t total = settings.Samples;
    const auto chunks = static_cast<std::int64_t>((total + ChunkSize - 1) / ChunkSize);
    results.resize(static_cast<std::size_t>(chunks));
    std::atomic<std::uint64_t> done{0};
    std::atomic<bool> cancelled{false};
    std::exception_ptr failure;
    std::mutex failureMutex;
#pragma omp parallel num_threads(team)
    {
        ChunkScratch scratch(plan);
#pragma omp for schedule(dynamic, 1)
        for (std::int64_t chunk = 0; chunk < chunks; ++chunk) {
            if (cancelled.load(std::memory_order_relaxed)) continue;
            try {
                const std::uint64_t begin = static_cast<std::uint64_t>(chunk) * ChunkSize;
                const std::uint64_t end = std::min(total, begin + ChunkSize);
                results[static_cast<std::size_t>(chunk)] = runChunk(begin, end, plan, scratch, stores);
                const std::uint64_t finished = done.fetch_add(end - begin) + (end - begin);
                // The callback runs on the calling thread only (thread 0 of the team).
                if (progress && omp_get_thread_num() == 0 && finished < total && !progress(finished, total))
                    cancelled = true;
            } catch (...) {
                const std::lock_guard lock(failureMutex);
                if (!failure) failure = std::current_exception();
                cancelled = true;
            }
        }
    }
    if (failure) std::rethrow_exception(failure);
    if (cancelled) return false;
    // The answer to the last report counts too: on a busy machine the
    // reporting thread may finish no chunk before the others have run them
    // all, and a run the user stopped must not come back as done.
    return !progress || progress(total, total);
}

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

// Equal bins from the smallest to the largest value; all values equal give
// one bin of zero width. Each chunk counts its own values in parallel, from
// their keys, working out again the few whose key meets an edge's.
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

constexpr std::uint64_t MB = 1 << 20;

// What the process may still allocate: the memory the system has available,
// and no more than an address-space limit leaves. Nothing when neither is
// known.
std::optional<std::uint64_t> availableMemory() {
    std::optional<std::uint64_t> available;
    std::ifstream meminfo("/proc/meminfo");
    for (std::string key; meminfo >> key;) {
        std::uint64_t kilobytes = 0;
        if (key == "MemAvailable:" && meminfo >> kilobytes) {
            available = kilobytes * 1024;
            break;
        }
        meminfo.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    rlimit limit{};
    std::uint64_t mappedPages = 0;
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        std::ifstream("/proc/self/statm") >> mappedPages) {
        const std::uint64_t mapped = mappedPages * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
        const std::uint64_t left = limit.rlim_cur > mapped ? limit.rlim_cur - mapped : 0;
        available = std::min(available.value_or(left), left);
    }
    return available;
}

// The run keeps each sample's two factors until the histograms are counted
// (and copies them into the result with KeepFactors), and Latin hypercube
// sampling one stratum number per sample and varied input; the stores are
// taken before the first sample, so a run that cannot fit is refused
// beforehand rather than ended by the allocator.
void checkSampleMemory(const ProbabilisticSettings& settings, int varied) {
    std::uint64_t perSample = RunStores::KeyBytesPerSample;
    if (settings.KeepFactors) perSample = 2 * RunStores::KeptBytesPerSample; // the stores and the result
    if (settings.Method == SamplingMethod::LatinHypercube) perSample += varied * sizeof(std::uint32_t);
    const std::uint64_t needed = settings.Samples * perSample;
    const auto available = availableMemory();
    if (available && needed > *available)
        throw Error::refused("the samples need about " + std::to_string(needed / MB + 1) +
                             " MB of memory, more than the " + std::to_string(*available / MB) + " MB available");
}

} // namespace

unsigned maxThreads() { return 4 * static_cast<unsigned>(std::max(1, omp_get_num_procs())); }

void validateSettings(const BlockInputs& inputs, const ProbabilisticSettings& settings) {
    if (settings.Samples < 1 || settings.Samples > MaxSamples)
        throw Error::refused("the number of samples must lie between 1 and " + std::to_string(MaxSamples));
    if (settings.HistogramBins < 1) throw Error::refused("the histogram needs at least one bin");
    if (settings.HistogramBins > MaxHistogramBins)
        throw Error::refused("the histogram has at most " + std::to_string(MaxHistogramBins) + " bins");
    if (settings.Threads > maxThreads())
        throw Error::refused("the number of threads must lie between 1 and " + std::to_string(maxThreads()));
    int varied = 0;
    for (int k = 0; k < 3; ++k) {
        if (!settings.FisherKappa[k]) continue;
        const std::string plane = attitudeName(k);
        if (k == 2 && !inputs.Loads.Crack)
            throw Error::refused("this block has no tension crack to draw as a joint set");
        if (!(*settings.FisherKappa[k] >= 0))
            throw Error::refused("the Fisher concentration K of " + plane + " must be at least 0");
        const auto [dip, dipDirection] = attitudeInputs(k);
        for (Parameter own : {dip, dipDirection})
            if (settings.Distributions[int(own)].Type != Distribution::Kind::Fixed)
                throw Error::refused(std::string(parameterName(own)) +
                                     " cannot vary on its own beside the Fisher distribution of " + plane);
        varied += 2; // the angle to the mean and the azimuth about it
    }
    for (int k = 0; k < 2; ++k) {
        const double rho = settings.Correlation[k];
        if (rho == 0) continue;
        const std::string plane = "plane " + std::to_string(k + 1);
        if (!(rho >= -1 && rho <= 1))
            throw Error::refused("the correlation of c and f of " + plane + " must lie between -1 and 1, not " +
                                 floatToText(rho));
        const auto [cohesion, friction] = strengthInputs(k);
        for (Parameter own : {cohesion, friction})
            if (settings.Distributions[int(own)].Type == Distribution::Kind::Fixed)
                throw Error::refused("the correlation of c and f of " + plane + " needs " + parameterName(own) +
                                     " to vary");
    }
    for (int i = 0; i < ParameterCount; ++i) {
        const auto input = static_cast<Parameter>(i);
        if (settings.Distributions[i].Type == Distribution::Kind::Fixed) continue;
        requireVariable(inputs, input);
        validateDistribution(input, parameterValue(inputs, input), settings.Distributions[i]);
        ++varied;
    }
    checkSampleMemory(settings, varied);
}

ProbabilisticResult runProbabilistic(const PlaneAttitudeArray& attitudes, const TWedgeParams& params,
                                     const ProbabilisticSettings& settings, const ProgressCallback& progress) {
    return runProbabilistic(attitudes, params, WedgeLoads{}, settings, progress);
}

ProbabilisticResult runProbabilistic(const PlaneAttitudeArray& attitudes, const TWedgeParams& params,
                                     const WedgeLoads& loads, const ProbabilisticSettings& settings,
                                     const ProgressCallback& progress) {
    const BlockInputs base = blockInputs(attitudes, params, loads);
    validateSettings(base, settings);
    const SamplePlan plan = samplePlan(base, settings);
    const RunStores stores(settings.Samples, settings.KeepFactors);
    ChunkResults results;
    const unsigned team = runTeam(plan, settings.Threads, settings.Samples);
    if (runSamples(plan, settings, team, progress, stores, results))
        return summarise(results, settings, plan, team, loads.RequiredFactor);
    ProbabilisticResult cancelled;
    cancelled.Cancelled = true;
    return cancelled;
}

namespace {

// Each of the chunks [0, count) in ChunkSize steps, shared out over the
// threads, `work(begin, n, padded, scratch)` with a working storage per
// thread. The first failure stops the rest and is thrown.
template <typename Work>
void forEachChunk(const SamplePlan& plan, std::uint64_t count, unsigned threads, const Work& work) {
    const auto chunks = static_cast<std::int64_t>((count + ChunkSize - 1) / ChunkSize);
    std::exception_ptr failure;
    std::mutex failureMutex;
    std::atomic<bool> stop{false};
#pragma omp parallel num_threads(runTeam(plan, threads, count))
    {
        ChunkScratch scratch(plan);
#pragma omp for schedule(dynamic, 1)
        for (std::int64_t chunk = 0; chunk < chunks; ++chunk) {
            if (stop.load(std::memory_order_relaxed)) continue;
            try {
                const std::uint64_t begin = static_cast<std::uint64_t>(chunk) * ChunkSize;
                const std::size_t n = std::min(count - begin, ChunkSize);
                work(begin, n, paddedCount(n), scratch);
            } catch (...) {
                const std::lock_guard lock(failureMutex);
                if (!failure) failure = std::current_exception();
                stop = true;
            }
        }
    }
    if (failure) std::rethrow_exception(failure);
}

// The outcome the run's tally counts: a factor beyond the range of a double
// on a wedge fails its sample as the scalar analysis's overflow does.
void settleOutcomes(double* factors, SampleOutcome* outcomes, std::size_t n) {
    for (std::size_t j = 0; j < n; ++j) {
        if (!failedOutcome(outcomes[j]) && cutsOutWedge(static_cast<TWedgeContact>(outcomes[j])) &&
            !std::isfinite(factors[j]))
            outcomes[j] = SampleOutcome::Overflow;
        if (failedOutcome(outcomes[j])) factors[j] = std::numeric_limits<double>::quiet_NaN();
    }
}

} // namespace

void validateSampleInputs(const BlockInputs& base, const std::vector<Parameter>& inputs) {
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        if (std::find(inputs.begin(), inputs.begin() + static_cast<std::ptrdiff_t>(k), inputs[k]) !=
            inputs.begin() + static_cast<std::ptrdiff_t>(k))
            throw Error::refused(std::string(parameterName(inputs[k])) + " is given twice", parameterName(inputs[k]));
        try {
            requireVariable(base, inputs[k]);
        } catch (const ParameterRefusal& refusal) {
            throw Error::refused(refusal.what(), parameterName(inputs[k]));
        }
    }
}

void evaluateSamples(const BlockInputs& base, const std::vector<Parameter>& inputs,
                     const std::vector<const double*>& columns, std::uint64_t count, unsigned threads,
                     const SampleFactors& out) {
    validateSampleInputs(base, inputs);
    if (columns.size() != inputs.size()) throw Error::refused("one column is needed for every input");
    if (threads > maxThreads())
        throw Error::refused("the number of threads must lie between 1 and " + std::to_string(maxThreads()));
    // A value no draw could give is refused before anything is worked out:
    // the lanes compute what a sample's inputs give, and only values within
    // the inputs' ranges are samples. Rock, height and the size limits must
    // be above 0, which their ranges leave open.
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        const ParameterRange range = parameterRange(inputs[k]);
        const bool open = inputs[k] == Parameter::RockUnitWeight || inputs[k] == Parameter::SlopeHeight ||
                          sizeLimitOf(inputs[k]).has_value();
        const double* values = columns[k];
        for (std::uint64_t i = 0; i < count; ++i)
            if (!(values[i] >= range.Low && values[i] <= range.High && std::isfinite(values[i])) ||
                (open && !(values[i] > range.Low)))
                throw Error::refused(
                    ParameterRefusal(inputs[k], ParameterRefusal::Reason::ValueOutside, values[i]).what(),
                    parameterName(inputs[k]), static_cast<int>(std::min<std::uint64_t>(i, INT32_MAX)));
    }
    if (count == 0) return;
    ProbabilisticSettings settings;
    settings.Samples = std::min<std::uint64_t>(count, MaxSamples);
    const SamplePlan plan = samplePlan(base, settings, {}, {}, {}, inputs);
    forEachChunk(plan, count, threads, [&](std::uint64_t begin, std::size_t n, std::size_t padded, ChunkScratch& s) {
        for (std::size_t k = 0; k < inputs.size(); ++k) {
            double* values = column(s, k);
            std::copy_n(columns[k] + begin, n, values);
            std::fill(values + n, values + padded, values[n - 1]);
        }
        evaluateChunk(plan, s, n, padded);
        settleOutcomes(s.Kc.data(), s.KcOutcome.data(), n);
        settleOutcomes(s.Fs.data(), s.FsOutcome.data(), n);
        std::copy_n(s.Kc.data(), n, out.Kc + begin);
        std::copy_n(s.KcOutcome.data(), n, out.KcOutcome + begin);
        std::copy_n(s.Fs.data(), n, out.Fs + begin);
        std::copy_n(s.FsOutcome.data(), n, out.FsOutcome + begin);
    });
}

DrawnSamples drawSamples(const PlaneAttitudeArray& attitudes, const TWedgeParams& params, const WedgeLoads& loads,
                         const ProbabilisticSettings& settings) {
    const BlockInputs base = blockInputs(attitudes, params, loads);
    validateSettings(base, settings);
    const SamplePlan plan = samplePlan(base, settings);
    DrawnSamples drawn;
    drawn.Inputs = plan.Inputs;
    drawn.Columns.assign(plan.Inputs.size(), std::vector<double>(settings.Samples));
    forEachChunk(plan, settings.Samples, settings.Threads,
                 [&](std::uint64_t begin, std::size_t n, std::size_t padded, ChunkScratch& s) {
                     drawColumns(begin, n, padded, plan, s);
                     for (std::size_t k = 0; k < plan.Inputs.size(); ++k)
                         std::copy_n(column(s, k), n, drawn.Columns[k].data() + begin);
                 });
    return drawn;
}

} // namespace trelmox
