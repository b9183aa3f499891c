// Fuzz harness of the probabilistic run's settings: the example block with
// size limits, a bolt and a crack or none, under distributions of every kind (with
// truncation, correlated strengths, joint sets) whose numbers come from the
// fuzzed bytes as raw doubles, so that NaN, infinities, zeros and extremes
// all reach the checks. A distribution is refused with a readable message
// or draws finite values inside its input's range and its truncation, in
// order of the uniforms; settings are refused with a readable message or
// the run gives the same bits in the vector lanes and one by one, on one
// thread and on two.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "analysis/probabilistic/probabilistic.h"
#include "analysis/probabilistic/sampling.h"
#include "model/error.h"
#include "tests/fuzz/readable.h"
#include "tests/fuzz/fuzz_bytes.h"

using namespace trelmox;

namespace {

using fuzz::Bytes;
using fuzz::require;

PlaneAttitudeArray attitudes() { return {{{45, 105}, {70, 235}, {12, 195}, {65, 185}}}; }

TWedgeParams params() {
    TWedgeParams p;
    p.RockUnitWeight = "25", p.WaterUnitWeight = "9.81", p.SlopeHeight = "40", p.OverhangCoefficient = "1";
    p.WaterPressureMode = TWaterPressureMode::Entered;
    p.WaterPressure1 = p.WaterPressure2 = "65.4";
    p.Cohesion1 = "24", p.Friction1 = "0.364", p.Cohesion2 = "48", p.Friction2 = "0.577";
    return p;
}

WedgeLoads loads() {
    WedgeLoads l;
    l.Crack = TensionCrack{{80, 190}, 6, 3};
    l.Bolts = {{500, {330, 15}, BoltMode::Active}};
    l.Size.FaceTrace = {35, 60};
    l.Size.Persistence[1] = 45;
    l.Size.Bench = BenchLimits{50, 30, 8};
    return l;
}

Distribution distribution(Bytes& in) {
    Distribution d;
    d.Type = static_cast<Distribution::Kind>(in.byte() % DistributionKindCount);
    d.Spread = in.value(), d.Low = in.value(), d.High = in.value();
    const std::uint8_t truncation = in.byte();
    if (truncation & 1) d.TruncateLow = in.value();
    if (truncation & 2) d.TruncateHigh = in.value();
    return d;
}

void checkSampler(Parameter input, double blockValue, const Distribution& d) {
    try {
        const Sampler sampler(input, blockValue, d);
        ParameterRange range = parameterRange(input);
        if (d.TruncateLow) range.Low = std::max(range.Low, *d.TruncateLow);
        if (d.TruncateHigh) range.High = std::min(range.High, *d.TruncateHigh);
        double previous = -INFINITY;
        for (const double u : {0x1p-53, 1e-9, 0.01, 0.3, 0.5, 0.77, 0.999, 1 - 0x1p-53}) {
            const double v = sampler.value(u);
            require(std::isfinite(v));
            if (sampler.varies()) require(v >= range.Low && v <= range.High);
            require(v >= previous);
            previous = v;
        }
    } catch (const Error& refusal) {
        fuzz::requireReadable(refusal.what());
    }
}

void requireSameRun(const ProbabilisticResult& a, const ProbabilisticResult& b) {
    require(a.SafetyFactors == b.SafetyFactors && a.Full.SafetyFactors == b.Full.SafetyFactors);
    require(a.Contacts == b.Contacts && a.Full.Contacts == b.Full.Contacts && a.Failed == b.Failed);
    require(a.Full.TooSmall == b.Full.TooSmall && a.Full.BenchTooNarrow == b.Full.BenchTooNarrow);
    require(a.Full.FailedSizes.has_value() == b.Full.FailedSizes.has_value());
    if (a.Full.FailedSizes)
        require(a.Full.FailedSizes->Count == b.Full.FailedSizes->Count &&
                a.Full.FailedSizes->MeanVolume == b.Full.FailedSizes->MeanVolume &&
                a.Full.FailedSizes->MeanWeight == b.Full.FailedSizes->MeanWeight);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    ProbabilisticSettings settings;
    settings.Samples = 1 + in.byte() % 40;
    settings.Seed = in.byte();
    settings.Method = in.byte() & 1 ? SamplingMethod::LatinHypercube : SamplingMethod::MonteCarlo;
    settings.Threads = 1;
    const BlockInputs base = blockInputs(attitudes(), parameterNumbers(params()), loads());
    for (int k = 0; k < 4 && !in.empty(); ++k) {
        const auto input = static_cast<Parameter>(in.byte() % ParameterCount);
        const Distribution d = distribution(in);
        checkSampler(input, parameterValue(base, input), d);
        settings.Distributions[static_cast<int>(input)] = d;
    }
    const std::uint8_t extras = in.byte();
    if (extras & 1) settings.Correlation[0] = in.value();
    if (extras & 2) settings.Correlation[1] = in.value();
    if (extras & 4) settings.FisherKappa[0] = in.value();
    // Without the crack the lanes size the wedge themselves.
    WedgeLoads blockLoads = loads();
    if (extras & 8) blockLoads.Crack.reset();
    // Barton-Bandis, which the lanes work out beside Mohr-Coulomb.
    for (int plane = 0; plane < 2; ++plane) {
        if (!(extras & (16 << plane))) continue;
        JointStrength& s = blockLoads.Strength[plane];
        s.Model = StrengthModel::BartonBandis;
        s.Jcs = plane ? 300 : 50000;
        if (extras & 64) s.Jrc = in.value(), s.Waviness = in.value();
    }
    ProbabilisticResult lanes;
    try {
        lanes = runProbabilistic(attitudes(), parameterNumbers(params()), blockLoads, settings);
    } catch (const Error& refusal) {
        fuzz::requireReadable(refusal.what());
        return 0;
    }
    // Without the values kept the histograms are counted from their keys.
    settings.KeepFactors = false;
    const ProbabilisticResult bare = runProbabilistic(attitudes(), parameterNumbers(params()), blockLoads, settings);
    require(bare.Bins.Counts == lanes.Bins.Counts && bare.Full.Bins.Counts == lanes.Full.Bins.Counts);
    settings.KeepFactors = true;
    settings.Threads = 2;
    requireSameRun(lanes, runProbabilistic(attitudes(), parameterNumbers(params()), blockLoads, settings));
    settings.Vectorised = false;
    requireSameRun(lanes, runProbabilistic(attitudes(), parameterNumbers(params()), blockLoads, settings));
    return 0;
}
