#include "analysis/probabilistic/probabilistic.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <fstream>
#include <limits>
#include <mutex>
#include <optional>
#include <omp.h>
#include <sys/resource.h>
#include <unistd.h>

#include "analysis/orientation.h"
#include "analysis/probabilistic/fisher.h"
#include "model/error.h"

namespace trelmox {

namespace {

// Samples per unit of work: large enough that scheduling costs nothing,
// small enough that progress and cancellation answer within a millisecond.
constexpr std::uint64_t ChunkSize = 4096;
// Outcome code of a sample whose computation failed; the others are the
// TWedgeContact values.
constexpr std::uint8_t FailedOutcome = ContactCount;

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
struct SamplePlan {
    BlockInputs Base;
    std::vector<VaryingInput> Varying;
    std::vector<FisherPlane> Fisher;
    // The normals of the block's attitudes, absent when those fail (each
    // sample then computes and reports its own failure); per sample only the
    // parts that the varied attitudes enter are redone.
    std::optional<WedgeNormals> BaseNormals;
    WedgeNormalParts Changing;
    // The same for the full factor: the planes' normals, and the planes whose
    // attitude varies.
    std::optional<WedgePlanes> BasePlanes;
    std::vector<TPlaneRole> ChangingPlanes;
    SampleDesign Design;
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

// The dip and the dip direction inputs of cutting plane k (0 or 1).
std::pair<Parameter, Parameter> attitudeInputs(int k) {
    return k == 0 ? std::pair(Parameter::Dip1, Parameter::DipDir1) : std::pair(Parameter::Dip2, Parameter::DipDir2);
}

std::vector<FisherPlane> fisherPlanes(const BlockInputs& base, const ProbabilisticSettings& settings) {
    std::vector<FisherPlane> planes;
    for (int k = 0; k < 2; ++k) {
        if (!settings.FisherKappa[k]) continue;
        const auto [dip, dipDirection] = attitudeInputs(k);
        planes.push_back({static_cast<TPlaneRole>(k),
                          FisherDistribution(planePole(base.Attitudes[k]), *settings.FisherKappa[k]), dip,
                          dipDirection});
    }
    return planes;
}

std::optional<WedgeNormals> baseNormals(const BlockInputs& base) {
    try {
        return wedgeNormals(base.Attitudes);
    } catch (const Error&) {
        return std::nullopt;
    }
}

std::optional<WedgePlanes> basePlanes(const BlockInputs& base) {
    try {
        return wedgePlanes(base.Attitudes, base.Loads.Crack);
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

WedgeNormalParts changingParts(const std::vector<Parameter>& varying) {
    WedgeNormalParts changing;
    for (Parameter input : varying) {
        const WedgeNormalParts parts = normalParts(input);
        changing.Plane1 |= parts.Plane1;
        changing.Plane2 |= parts.Plane2;
        changing.Face |= parts.Face;
        changing.Top |= parts.Top;
    }
    return changing;
}

SamplePlan samplePlan(const BlockInputs& base, const ProbabilisticSettings& settings) {
    std::vector<VaryingInput> varying = varyingInputs(base, settings);
    std::vector<FisherPlane> fisher = fisherPlanes(base, settings);
    // Every input whose value changes from sample to sample.
    std::vector<Parameter> inputs;
    for (const VaryingInput& v : varying) inputs.push_back(v.Input);
    for (const FisherPlane& f : fisher) inputs.insert(inputs.end(), {f.AngleInput, f.AzimuthInput});
    const WedgeNormalParts changing = changingParts(inputs);
    std::vector<TPlaneRole> planes = changingPlanes(inputs);
    return {base,
            std::move(varying),
            std::move(fisher),
            baseNormals(base),
            changing,
            basePlanes(base),
            std::move(planes),
            SampleDesign(settings.Method, settings.Seed, settings.Samples, inputs)};
}

// What every sample leaves behind; the statistics are taken afterwards in
// sample order, so they do not depend on how the samples were shared out.
struct SampleOutcomes {
    explicit SampleOutcomes(std::uint64_t n) : Kc(n), Outcome(n), Fs(n), FullOutcome(n) {}
    std::vector<double> Kc;
    std::vector<std::uint8_t> Outcome;
    std::vector<double> Fs;
    std::vector<std::uint8_t> FullOutcome;
    // What the four vectors hold per sample, for the memory check.
    static constexpr std::uint64_t BytesPerSample = 2 * (sizeof(double) + sizeof(std::uint8_t));
};

void runKc(BlockInputs& inputs, std::optional<WedgeNormals>& normals, const WedgeNormalParts& changing, bool refresh,
           std::uint64_t sample, SampleOutcomes& out) {
    try {
        if (normals && refresh) refreshWedgeNormals(*normals, inputs.Attitudes, changing);
        const SafetyResult result = normals ? evaluate(inputs, *normals) : evaluate(inputs);
        out.Kc[sample] = result.SafetyFactor;
        out.Outcome[sample] = static_cast<std::uint8_t>(result.Contact);
    } catch (const Error&) {
        out.Outcome[sample] = FailedOutcome;
    }
}

void runFull(BlockInputs& inputs, std::optional<WedgePlanes>& planes, const std::vector<TPlaneRole>& changing,
             FullAnalysis& full, std::uint64_t sample, SampleOutcomes& out) {
    try {
        if (planes)
            for (TPlaneRole plane : changing) refreshPlane(*planes, inputs.Attitudes, plane);
        if (planes)
            evaluateFull(inputs, *planes, full);
        else
            full = evaluateFull(inputs);
        out.Fs[sample] = full.Safety.Factor;
        out.FullOutcome[sample] = static_cast<std::uint8_t>(full.Safety.Contact);
    } catch (const Error&) {
        out.FullOutcome[sample] = FailedOutcome;
    }
}

// One working copy per chunk: a sample overwrites only the varied inputs
// (and evaluate the derived water pressures), so the rest stays the block's.
// The draws come first, input by input over the whole chunk, into
// `columns` (ChunkSize values per varied input, then two per Fisher plane).
void runChunk(std::uint64_t begin, std::uint64_t end, const SamplePlan& plan, std::vector<double>& columns,
              SampleOutcomes& out) {
    const std::size_t n = end - begin;
    BlockInputs inputs = plan.Base;
    std::vector<double*> targets;
    for (std::size_t k = 0; k < plan.Varying.size(); ++k) {
        const VaryingInput& v = plan.Varying[k];
        double* column = columns.data() + k * ChunkSize;
        plan.Design.uniforms(begin, n, v.Input, column);
        v.Draw.values(column, n);
        targets.push_back(&parameterField(inputs, v.Input));
    }
    const double* fisherColumns = columns.data() + plan.Varying.size() * ChunkSize;
    for (std::size_t f = 0; f < plan.Fisher.size(); ++f) {
        double* angles = columns.data() + (plan.Varying.size() + 2 * f) * ChunkSize;
        plan.Design.uniforms(begin, n, plan.Fisher[f].AngleInput, angles);
        plan.Design.uniforms(begin, n, plan.Fisher[f].AzimuthInput, angles + ChunkSize);
    }
    const WedgeNormalParts& changing = plan.Changing;
    const bool refresh = changing.Plane1 || changing.Plane2 || changing.Face || changing.Top;
    std::optional<WedgeNormals> normals = plan.BaseNormals;
    std::optional<WedgePlanes> planes = plan.BasePlanes;
    FullAnalysis full;
    for (std::size_t j = 0; j < n; ++j) {
        for (std::size_t k = 0; k < targets.size(); ++k) *targets[k] = columns[k * ChunkSize + j];
        for (std::size_t f = 0; f < plan.Fisher.size(); ++f) {
            const double* angles = fisherColumns + 2 * f * ChunkSize;
            inputs.Attitudes[int(plan.Fisher[f].Plane)] =
                planeOfPole(plan.Fisher[f].Distribution.pole(angles[j], angles[ChunkSize + j]));
        }
        runKc(inputs, normals, changing, refresh, begin + j, out);
        runFull(inputs, planes, plan.ChangingPlanes, full, begin + j, out);
    }
}

unsigned threadCount(unsigned requested) {
    return requested != 0 ? requested : static_cast<unsigned>(omp_get_max_threads());
}

// Runs every sample unless cancelled; returns false when cancelled.
bool runSamples(const SamplePlan& plan, const ProbabilisticSettings& settings, const ProgressCallback& progress,
                SampleOutcomes& out) {
    const std::uint64_t total = settings.Samples;
    const auto chunks = static_cast<std::int64_t>((total + ChunkSize - 1) / ChunkSize);
    std::atomic<std::uint64_t> done{0};
    std::atomic<bool> cancelled{false};
    std::exception_ptr failure;
    std::mutex failureMutex;
#pragma omp parallel num_threads(threadCount(settings.Threads))
    {
        std::vector<double> columns((plan.Varying.size() + 2 * plan.Fisher.size()) * ChunkSize);
#pragma omp for schedule(dynamic, 1)
        for (std::int64_t chunk = 0; chunk < chunks; ++chunk) {
            if (cancelled.load(std::memory_order_relaxed)) continue;
            try {
                const std::uint64_t begin = static_cast<std::uint64_t>(chunk) * ChunkSize;
                const std::uint64_t end = std::min(total, begin + ChunkSize);
                runChunk(begin, end, plan, columns, out);
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
    if (progress) progress(total, total);
    return true;
}

// Sums of deviations from the first value: stable, and exact (mean equal to
// that value, deviation 0) when all values are equal.
SafetyStatistics statistics(const std::vector<double>& kc) {
    SafetyStatistics s;
    const double n = static_cast<double>(kc.size());
    const double shift = kc.front();
    double sum = 0, squares = 0, failures = 0;
    for (double k : kc) {
        sum += k - shift;
        squares += (k - shift) * (k - shift);
        failures += k < 1;
    }
    s.Mean = shift + sum / n;
    s.Sd = kc.size() > 1 ? std::sqrt(std::max(0.0, (squares - sum * sum / n) / (n - 1))) : 0;
    const auto [lowest, highest] = std::minmax_element(kc.begin(), kc.end());
    s.Min = *lowest;
    s.Max = *highest;
    s.Pf = failures / n;
    return s;
}

// Equal bins from the smallest to the largest Kc; all values equal give one
// bin of zero width.
Histogram histogram(const std::vector<double>& kc, const SafetyStatistics& s, int bins) {
    if (s.Max == s.Min) bins = 1;
    Histogram h;
    const double width = (s.Max - s.Min) / bins;
    for (int b = 0; b <= bins; ++b) h.Edges.push_back(b == bins ? s.Max : s.Min + b * width);
    h.Counts.assign(bins, 0);
    for (double k : kc) {
        const int bin = width > 0 ? static_cast<int>((k - s.Min) / width) : 0;
        ++h.Counts[std::min(bin, bins - 1)];
    }
    return h;
}

// The outcomes of one factor counted, and its values on the wedge samples
// kept, compacted in place in sample order.
struct FactorTally {
    std::array<std::uint64_t, ContactCount> Contacts{};
    std::uint64_t Failed = 0;
    std::vector<double> Factors;
};

FactorTally tally(std::vector<double>&& factors, const std::vector<std::uint8_t>& outcomes) {
    FactorTally t;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        if (outcomes[i] == FailedOutcome) {
            ++t.Failed;
            continue;
        }
        ++t.Contacts[outcomes[i]];
        if (cutsOutWedge(static_cast<TWedgeContact>(outcomes[i]))) factors[kept++] = factors[i];
    }
    factors.resize(kept);
    t.Factors = std::move(factors);
    return t;
}

// Failed wedges over all samples.
double failureProbability(const std::vector<double>& factors, std::uint64_t samples) {
    const auto failed = std::count_if(factors.begin(), factors.end(), [](double f) { return f < 1; });
    return static_cast<double>(failed) / static_cast<double>(samples);
}

FullFactorSummary fullSummary(FactorTally&& t, std::uint64_t samples, double required, int bins) {
    FullFactorSummary full;
    full.RequiredFactor = required;
    full.Contacts = t.Contacts;
    full.Failed = t.Failed;
    full.SafetyFactors = std::move(t.Factors);
    full.Wedges = full.SafetyFactors.size();
    full.PFailure = failureProbability(full.SafetyFactors, samples);
    if (full.Wedges == 0) return full;
    full.Statistics = statistics(full.SafetyFactors);
    full.FsHistogram = histogram(full.SafetyFactors, *full.Statistics, bins);
    const auto below = std::count_if(full.SafetyFactors.begin(), full.SafetyFactors.end(),
                                     [&](double fs) { return fs < required; });
    full.PBelowRequired = static_cast<double>(below) / static_cast<double>(full.Wedges);
    return full;
}

ProbabilisticResult summarise(SampleOutcomes&& out, const ProbabilisticSettings& settings, double required) {
    ProbabilisticResult result;
    result.Method = settings.Method;
    result.Samples = out.Outcome.size();
    FactorTally kc = tally(std::move(out.Kc), out.Outcome);
    result.Contacts = kc.Contacts;
    result.Failed = kc.Failed;
    result.SafetyFactors = std::move(kc.Factors);
    result.Wedges = result.SafetyFactors.size();
    result.PFailure = failureProbability(result.SafetyFactors, result.Samples);
    result.Full =
        fullSummary(tally(std::move(out.Fs), out.FullOutcome), result.Samples, required, settings.HistogramBins);
    if (result.Wedges == 0) return result;
    result.Statistics = statistics(result.SafetyFactors);
    result.KcHistogram = histogram(result.SafetyFactors, *result.Statistics, settings.HistogramBins);
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

// The run keeps each sample's factors and outcomes, and Latin hypercube
// sampling one stratum number per sample and varied input; all of it is
// allocated before the first sample, so a run that cannot fit is refused
// beforehand rather than ended by the allocator.
void checkSampleMemory(const ProbabilisticSettings& settings, int varied) {
    std::uint64_t perSample = SampleOutcomes::BytesPerSample;
    if (settings.Method == SamplingMethod::LatinHypercube) perSample += varied * sizeof(std::uint32_t);
    const std::uint64_t needed = settings.Samples * perSample;
    const auto available = availableMemory();
    if (available && needed > *available)
        throw Error("the samples need about " + std::to_string(needed / MB + 1) + " MB of memory, more than the " +
                    std::to_string(*available / MB) + " MB available");
}

} // namespace

unsigned maxThreads() { return 4 * static_cast<unsigned>(std::max(1, omp_get_num_procs())); }

void validateSettings(const BlockInputs& inputs, const ProbabilisticSettings& settings) {
    if (settings.Samples < 1 || settings.Samples > MaxSamples)
        throw Error("the number of samples must lie between 1 and " + std::to_string(MaxSamples));
    if (settings.HistogramBins < 1) throw Error("the histogram needs at least one bin");
    if (settings.HistogramBins > MaxHistogramBins)
        throw Error("the histogram has at most " + std::to_string(MaxHistogramBins) + " bins");
    if (settings.Threads > maxThreads())
        throw Error("the number of threads must lie between 1 and " + std::to_string(maxThreads()));
    int varied = 0;
    for (int k = 0; k < 2; ++k) {
        if (!settings.FisherKappa[k]) continue;
        const std::string plane = "plane " + std::to_string(k + 1);
        if (!(*settings.FisherKappa[k] >= 0))
            throw Error("the Fisher concentration K of " + plane + " must be at least 0");
        const auto [dip, dipDirection] = attitudeInputs(k);
        for (Parameter own : {dip, dipDirection})
            if (settings.Distributions[int(own)].Type != Distribution::Kind::Fixed)
                throw Error(std::string(parameterName(own)) + " cannot vary on its own beside the Fisher distribution of " +
                            plane);
        varied += 2; // the angle to the mean and the azimuth about it
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
    SampleOutcomes out(settings.Samples);
    if (runSamples(plan, settings, progress, out)) return summarise(std::move(out), settings, loads.RequiredFactor);
    ProbabilisticResult cancelled;
    cancelled.Cancelled = true;
    return cancelled;
}

} // namespace trelmox
