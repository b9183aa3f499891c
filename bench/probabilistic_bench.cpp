// Monte Carlo throughput over 10^6 samples (every sample computes Kc and
// the full factor Fs), the CPU time of one sample in the vector lanes, Kc
// alone and with Fs, drawing included, and the cost of drawing the inputs
// alone, to hold sampling below evaluation.
#include <benchmark/benchmark.h>

#include <string>
#include <thread>

#include "analysis/probabilistic/kernel.h"
#include "analysis/probabilistic/probabilistic.h"
#include "bench/example.h"

using namespace trelmox;

namespace {

constexpr std::uint64_t Samples = 1'000'000;

// Six varied inputs: angles and strengths, or strengths and loads only (the
// attitudes' trigonometry is then done once for the whole run).
ProbabilisticSettings typicalSettings(bool angles, SamplingMethod method, unsigned threads) {
    ProbabilisticSettings s;
    s.Samples = Samples;
    s.Method = method;
    s.Threads = threads;
    auto set = [&](Parameter p, Distribution d) { s.Distributions[static_cast<int>(p)] = d; };
    if (angles) {
        set(Parameter::Dip1, normalDistribution(3));
        set(Parameter::Dip2, normalDistribution(3));
        set(Parameter::DipDir1, normalDistribution(5));
    } else {
        set(Parameter::Cohesion2, lognormalDistribution(10));
        set(Parameter::Friction1, normalDistribution(0.05));
        set(Parameter::RockUnitWeight, normalDistribution(1));
    }
    set(Parameter::Cohesion1, lognormalDistribution(6));
    set(Parameter::Friction2, normalDistribution(0.05));
    set(Parameter::SlopeHeight, uniformDistribution(35, 45));
    return s;
}

// The varied inputs of the settings with their samplers.
std::pair<std::vector<std::pair<Parameter, Sampler>>, std::vector<Parameter>>
typicalDraws(const ProbabilisticSettings& settings, const BlockInputs& base) {
    std::vector<std::pair<Parameter, Sampler>> draws;
    std::vector<Parameter> varying;
    for (int i = 0; i < ParameterCount; ++i) {
        const auto p = static_cast<Parameter>(i);
        const Sampler sampler(p, parameterValue(base, p), settings.Distributions[i]);
        if (sampler.varies()) draws.emplace_back(p, sampler), varying.push_back(p);
    }
    return {draws, varying};
}

const auto cores = static_cast<int>(std::thread::hardware_concurrency());

void BM_MonteCarlo(benchmark::State& state) {
    const bool angles = state.range(0) != 0;
    const auto method = static_cast<SamplingMethod>(state.range(1));
    const auto threads = static_cast<unsigned>(state.range(2));
    const SavedBlock& block = bench::exampleBlock();
    const ProbabilisticSettings settings = typicalSettings(angles, method, threads);
    for (auto _ : state)
        benchmark::DoNotOptimize(runProbabilistic(block.Attitudes, parameterNumbers(block.Params), settings));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * Samples));
}
// The same with a tension crack, saturated water, seismic load and bolts,
// the loads' magnitudes varied too.
void BM_MonteCarloLoads(benchmark::State& state) {
    const auto threads = static_cast<unsigned>(state.range(0));
    const SavedBlock& block = bench::exampleBlock();
    WedgeLoads loads;
    loads.Water = WaterMode::Saturated;
    loads.Crack = TensionCrack{{75, 180}, 8, 6};
    loads.SeismicCoefficient = 0.1;
    loads.Bolts = {{800, {330, 15}, BoltMode::Active}};
    ProbabilisticSettings settings = typicalSettings(true, SamplingMethod::MonteCarlo, threads);
    settings.Distributions[static_cast<int>(Parameter::Seismic)] = normalDistribution(0.05);
    settings.Distributions[static_cast<int>(Parameter::CrackWater)] = uniformDistribution(0, 10);
    settings.Distributions[static_cast<int>(Parameter::BoltForce)] = normalDistribution(100);
    for (auto _ : state)
        benchmark::DoNotOptimize(runProbabilistic(block.Attitudes, parameterNumbers(block.Params), loads, settings));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * Samples));
}

// Random wedge sizes: the six typical inputs, the trace of plane 1 on the
// face drawn exponential and the persistence of plane 2 lognormal (their
// usual fits to mapped lengths), every sample's wedge scaled to its limits
// (its Fs through the scalar analysis), the failed wedges' sizes kept.
// Process CPU time, since the machine is shared: samples per second on
// free cores follow from it.
void BM_MonteCarloSizes(benchmark::State& state) {
    const auto threads = static_cast<unsigned>(state.range(0));
    const SavedBlock& block = bench::exampleBlock();
    WedgeLoads loads;
    loads.Size.FaceTrace[0] = 30;
    loads.Size.Persistence[1] = 50;
    ProbabilisticSettings settings = typicalSettings(true, SamplingMethod::MonteCarlo, threads);
    settings.KeepFactors = false;
    settings.Distributions[static_cast<int>(Parameter::FaceTrace1)] = exponentialDistribution();
    settings.Distributions[static_cast<int>(Parameter::Persistence2)] = lognormalDistribution(20);
    for (auto _ : state)
        benchmark::DoNotOptimize(runProbabilistic(block.Attitudes, parameterNumbers(block.Params), loads, settings));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * Samples));
}
BENCHMARK(BM_MonteCarloSizes)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(cores)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// Barton-Bandis on both planes (JRC 8, JCS 50 MPa, phi_r 28 degrees,
// waviness 2 degrees), the six typical inputs varied: every sample's Fs
// needs each plane's logarithm and tangent. Process CPU time, as above.
void BM_MonteCarloStrength(benchmark::State& state) {
    const auto threads = static_cast<unsigned>(state.range(0));
    const SavedBlock& block = bench::exampleBlock();
    WedgeLoads loads;
    for (JointStrength& s : loads.Strength) s.Model = StrengthModel::BartonBandis, s.Waviness = 2;
    ProbabilisticSettings settings = typicalSettings(true, SamplingMethod::MonteCarlo, threads);
    settings.KeepFactors = false;
    for (auto _ : state)
        benchmark::DoNotOptimize(runProbabilistic(block.Attitudes, parameterNumbers(block.Params), loads, settings));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * Samples));
}
BENCHMARK(BM_MonteCarloStrength)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(cores)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

BENCHMARK(BM_MonteCarlo)
    ->ArgNames({"angles", "lhs", "threads"})
    ->Args({1, 0, 1})
    ->Args({1, 0, cores})
    ->Args({0, 0, 1})
    ->Args({0, 0, cores})
    ->Args({1, 1, 1})
    ->Args({1, 1, cores})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_MonteCarloLoads)->ArgName("threads")->Arg(1)->Arg(cores)->Unit(benchmark::kMillisecond)->UseRealTime();

// One thread's CPU time per sample as a run spends it on a chunk: six
// inputs drawn into columns (angles and strengths), then Kc alone or Kc and
// Fs in the lanes of one kernel (0: SSE2, 1: AVX, 2: AVX2, 3: AVX-512, if
// the processor has it).
void BM_SampleInLanes(benchmark::State& state) {
    const bool full = state.range(0) != 0;
    const char* const names[] = {"SSE2", "AVX", "AVX2", "AVX-512"};
    const std::string name = names[state.range(1)];
    const BlockKernel* kernel = nullptr;
    for (const BlockKernel* k : supportedKernels())
        if (k->Name == name) kernel = k;
    if (!kernel) return state.SkipWithError("the processor has no such kernel");
    state.SetLabel(name);
    const ProbabilisticSettings settings = typicalSettings(true, SamplingMethod::MonteCarlo, 1);
    const BlockInputs base =
        blockInputs(bench::exampleBlock().Attitudes, parameterNumbers(bench::exampleBlock().Params));
    const auto [draws, varying] = typicalDraws(settings, base);
    const SampleDesign design(SamplingMethod::MonteCarlo, 1, Samples, varying);
    KernelPlan plan;
    buildKernelPlan(base, varying, plan);
    constexpr std::size_t chunk = 4096;
    std::vector<std::vector<double>> columns(draws.size(), std::vector<double>(chunk));
    KernelColumns kernelColumns;
    kernelColumns.Count = chunk;
    for (std::size_t k = 0; k < draws.size(); ++k)
        kernelColumns.Input[static_cast<int>(draws[k].first)] = columns[k].data();
    std::vector<double> kc(chunk), fs(chunk);
    std::vector<SampleOutcome> kcOutcome(chunk), fsOutcome(chunk);
    std::uint64_t first = 0;
    for (auto _ : state) {
        for (std::size_t k = 0; k < draws.size(); ++k) {
            design.uniforms(first, chunk, draws[k].first, columns[k].data());
            kernel->Draw(draws[k].second.drawConstants(), columns[k].data(), chunk);
        }
        kernel->Evaluate(plan.Constants, kernelColumns,
                         {kc.data(), kcOutcome.data(), full ? fs.data() : nullptr, fsOutcome.data()});
        benchmark::DoNotOptimize(kc.data());
        benchmark::DoNotOptimize(fs.data());
        first = (first + chunk) % (Samples - chunk);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * chunk));
}
BENCHMARK(BM_SampleInLanes)->ArgNames({"fs", "kernel"})->ArgsProduct({{0, 1}, {0, 1, 2, 3}});

// The yardstick of a run's speed: a plain loop of the deterministic Kc
// (glibc's trigonometry, no lanes) over inputs drawn beforehand, one core;
// CPU time per evaluation. bench.sh sets it beside the whole tool's run.
void BM_ScalarKcLoop(benchmark::State& state) {
    const ProbabilisticSettings settings = typicalSettings(true, SamplingMethod::MonteCarlo, 1);
    const BlockInputs base =
        blockInputs(bench::exampleBlock().Attitudes, parameterNumbers(bench::exampleBlock().Params));
    const auto [draws, varying] = typicalDraws(settings, base);
    const SampleDesign design(SamplingMethod::MonteCarlo, 1, Samples, varying);
    constexpr std::size_t count = 1 << 16;
    std::vector<BlockInputs> inputs(count, base);
    for (const auto& [p, sampler] : draws)
        for (std::size_t j = 0; j < count; ++j) parameterField(inputs[j], p) = sampler.value(design.uniform(j, p));
    std::size_t j = 0;
    for (auto _ : state) {
        const BlockInputs& in = inputs[j];
        try {
            benchmark::DoNotOptimize(computeSafetyFactor(in.Attitudes, in.Numbers));
        } catch (const Error&) {}
        j = (j + 1) % count;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_ScalarKcLoop);

// Drawing the six inputs of 4096 samples, without evaluating them, as a
// run draws them chunk by chunk; per sample.
void BM_DrawSamples(benchmark::State& state) {
    const ProbabilisticSettings settings = typicalSettings(state.range(0) != 0, SamplingMethod::MonteCarlo, 1);
    const BlockInputs base =
        blockInputs(bench::exampleBlock().Attitudes, parameterNumbers(bench::exampleBlock().Params));
    const auto [draws, varying] = typicalDraws(settings, base);
    const SampleDesign design(SamplingMethod::MonteCarlo, 1, Samples, varying);
    constexpr std::size_t chunk = 4096;
    std::vector<double> column(chunk);
    std::uint64_t first = 0;
    for (auto _ : state) {
        for (const auto& [p, sampler] : draws) {
            design.uniforms(first, chunk, p, column.data());
            sampler.values(column.data(), chunk);
            benchmark::DoNotOptimize(column.data());
        }
        first = (first + chunk) % (Samples - chunk);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * chunk));
}
BENCHMARK(BM_DrawSamples)->ArgName("angles")->Arg(1)->Arg(0);

} // namespace
