#include "analysis/probabilistic/probabilistic.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <fstream>
#include <limits>
#include <mutex>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <omp.h>
#include <sys/resource.h>
#include <unistd.h>

#include "analysis/orientation.h"
#include "analysis/probabilistic/chunk_run.h"
#include "analysis/probabilistic/chunk_tally.h"
#include "analysis/probabilistic/fisher.h"
#include "analysis/probabilistic/kernel.h"
#include "model/checked.h"
#include "analysis/probabilistic/sample_trig.h"
#include "analysis/probabilistic/run_summary.h"
#include "analysis/probabilistic/sample_plan.h"
#include "analysis/probabilistic/team.h"
#include "analysis/vec3.h"
#include "model/error.h"
#include "model/numtext.h"

namespace trelmox {

using namespace probabilistic_run;

namespace {

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

} // namespace

void probabilistic_run::workOut(std::uint64_t begin, std::size_t n, const SamplePlan& plan, ChunkScratch& s) {
    drawColumns(begin, n, paddedCount(n), plan, s);
    evaluateChunk(plan, s, n, paddedCount(n));
}

namespace {

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

ProbabilisticResult runProbabilistic(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters,
                                     const ProbabilisticSettings& settings, const ProgressCallback& progress) {
    return runProbabilistic(attitudes, parameters, WedgeLoads{}, settings, progress);
}

ProbabilisticResult runProbabilistic(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters,
                                     const WedgeLoads& loads, const ProbabilisticSettings& settings,
                                     const ProgressCallback& progress) {
    const BlockInputs base = blockInputs(attitudes, parameters, loads);
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

DrawnSamples drawSamples(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters,
                         const WedgeLoads& loads, const ProbabilisticSettings& settings) {
    const BlockInputs base = blockInputs(attitudes, parameters, loads);
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
