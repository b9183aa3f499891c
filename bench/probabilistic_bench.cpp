// Monte Carlo throughput over 10^6 samples (every sample computes Kc and
// the full factor Fs), and the cost of drawing the inputs alone, to hold
// sampling below evaluation.
#include <benchmark/benchmark.h>

#include <thread>

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

void BM_MonteCarlo(benchmark::State& state) {
    const bool angles = state.range(0) != 0;
    const auto method = static_cast<SamplingMethod>(state.range(1));
    const auto threads = static_cast<unsigned>(state.range(2));
    const SavedBlock& block = bench::exampleBlock();
    const ProbabilisticSettings settings = typicalSettings(angles, method, threads);
    for (auto _ : state) benchmark::DoNotOptimize(runProbabilistic(block.Attitudes, block.Params, settings));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * Samples));
}
const auto cores = static_cast<int>(std::thread::hardware_concurrency());
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
    for (auto _ : state) benchmark::DoNotOptimize(runProbabilistic(block.Attitudes, block.Params, loads, settings));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * Samples));
}

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

// Drawing the six inputs of 4096 samples, without evaluating them, as a
// run draws them chunk by chunk; per sample.
void BM_DrawSamples(benchmark::State& state) {
    const ProbabilisticSettings settings = typicalSettings(state.range(0) != 0, SamplingMethod::MonteCarlo, 1);
    const BlockInputs base = blockInputs(bench::exampleBlock().Attitudes, bench::exampleBlock().Params);
    std::vector<std::pair<Parameter, Sampler>> draws;
    std::vector<Parameter> varying;
    for (int i = 0; i < ParameterCount; ++i) {
        const auto p = static_cast<Parameter>(i);
        const Sampler sampler(p, parameterValue(base, p), settings.Distributions[i]);
        if (sampler.varies()) draws.emplace_back(p, sampler), varying.push_back(p);
    }
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
