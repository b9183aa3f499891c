// Reliability analysis of the example block with six random inputs (the
// strengths of both planes, the rock's unit weight and the slope height):
// one FORM search of the design point from the medians, with the factor's
// evaluations it takes; and a whole analysis at P(failure) near 1e-6 -
// searches from several starts, the curvatures and importance sampling to
// a CoV of 0.1 on both cores - with the samples plain Monte Carlo would
// need for the CoV reached and their ratio to those taken; and the bolt
// direction needing the least force to reach a target index of 3.2 at the
// spreads of P(failure) 0.07, with the directions and evaluations it takes.
#include <benchmark/benchmark.h>

#include <thread>

#include "analysis/probabilistic/reliability.h"
#include "analysis/probabilistic/reliability_bolt.h"
#include "bench/example.h"

using namespace trelmox;

namespace {

// The spreads of the tests, scaled: 1 gives P(failure) near 0.07, 0.31 near 1e-6.
ReliabilitySettings sixInputs(double scale) {
    ReliabilitySettings s;
    auto set = [&](Parameter p, Distribution d) { s.Inputs.Distributions[static_cast<int>(p)] = d; };
    set(Parameter::Cohesion1, lognormalDistribution(8 * scale));
    set(Parameter::Friction1, normalDistribution(0.06 * scale));
    set(Parameter::Cohesion2, lognormalDistribution(12 * scale));
    set(Parameter::Friction2, normalDistribution(0.08 * scale));
    set(Parameter::RockUnitWeight, normalDistribution(1.5 * scale));
    set(Parameter::SlopeHeight, normalDistribution(3 * scale));
    return s;
}

void BM_Form(benchmark::State& state) {
    const SavedBlock& block = bench::exampleBlock();
    const ReliabilitySettings settings = sixInputs(state.range(0) / 100.0);
    const BlockInputs base = blockInputs(block.Attitudes, parameterNumbers(block.Params));
    const StandardSpace space(base, settings.Inputs);
    FactorEvaluator evaluate(base, space.inputs(), ReliabilityFactor::Fs);
    std::vector<double> x(space.dimension());
    const StandardFactor factor = [&](const double* u) {
        space.physical(u, x.data());
        return evaluate(x.data());
    };
    DesignPoint point;
    for (auto _ : state) benchmark::DoNotOptimize(point = findDesignPoint(factor, std::vector<double>(x.size(), 0.0)));
    state.counters["evaluations"] = static_cast<double>(point.Evaluations);
    state.counters["iterations"] = point.Iterations;
    state.counters["beta"] = point.Beta;
}
BENCHMARK(BM_Form)->ArgName("scale%")->Arg(100)->Arg(31)->Unit(benchmark::kMicrosecond);

void BM_ReliabilityRare(benchmark::State& state) {
    const SavedBlock& block = bench::exampleBlock();
    ReliabilitySettings settings = sixInputs(0.31);
    settings.Inputs.Threads = static_cast<unsigned>(state.range(0));
    settings.TargetCov = 0.1;
    ReliabilityResult r;
    for (auto _ : state)
        benchmark::DoNotOptimize(r = runReliability(block.Attitudes, parameterNumbers(block.Params), {}, settings));
    const double p = r.Importance->Pf, cov = *r.Importance->Cov;
    // Plain Monte Carlo's CoV is sqrt((1 - p) / (n p)).
    const double plain = (1 - p) / (p * cov * cov);
    state.counters["pf_is"] = p;
    state.counters["cov"] = cov;
    state.counters["is_samples"] = static_cast<double>(r.Importance->Samples);
    state.counters["mc_samples"] = plain;
    state.counters["mc_ratio"] = plain / static_cast<double>(r.Importance->Samples);
    state.counters["evaluations"] = static_cast<double>(r.Evaluations);
}
BENCHMARK(BM_ReliabilityRare)
    ->ArgName("threads")
    ->Arg(static_cast<int>(std::thread::hardware_concurrency()))
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_LeastForceBolt(benchmark::State& state) {
    const SavedBlock& block = bench::exampleBlock();
    ReliabilitySettings settings = sixInputs(1);
    settings.TargetBeta = 3.2;
    settings.LeastForceBolt = true;
    settings.MaxSamples = 1024;
    // The unbolted design point, as the analysis hands it to the search.
    const ReliabilityResult unbolted = runReliability(block.Attitudes, parameterNumbers(block.Params), {}, settings);
    ReliabilityBolt bolt;
    for (auto _ : state)
        benchmark::DoNotOptimize(bolt = designReliabilityBolt(block.Attitudes, parameterNumbers(block.Params), {},
                                                              settings, unbolted.Design));
    state.counters["force"] = bolt.Force.value_or(-1);
    state.counters["directions"] = bolt.Directions;
    state.counters["evaluations"] = static_cast<double>(bolt.Evaluations);
    state.counters["confirmed"] = bolt.Confirmed.value_or(false);
}
BENCHMARK(BM_LeastForceBolt)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

} // namespace
