// Density contours of 10,000 poles on the net, by both counting methods;
// the combinations of 500 measured planes against one slope, and of three
// sets with the probability of failure of every pair; the kinematic checks
// of 10,000 poles against 36 sectors.
#include <benchmark/benchmark.h>

#include <cmath>

#include "analysis/joints/combinations.h"
#include "analysis/joints/kinematics.h"
#include "analysis/joints/pair_probability.h"
#include "analysis/joints/sets.h"
#include "analysis/orientation.h"
#include "analysis/probabilistic/fisher.h"
#include "bench/example.h"
#include "drawing/contours.h"

using namespace trelmox;

namespace {

// Three Fisher sets, one of steep planes across the rim, and a scatter.
std::vector<WeightedPole> surveyPoles(int n) {
    const struct {
        TPlaneAttitude mean;
        double kappa;
    } sets[] = {{{60, 120}, 30}, {{65, 235}, 25}, {{85, 20}, 40}, {{45, 0}, 0}};
    std::vector<WeightedPole> poles;
    for (int i = 0; i < n; ++i) {
        const auto& set = sets[i % 4];
        const FisherStream stream(1, i % 4);
        poles.push_back({stream.pole(i, FisherDistribution(planePole(set.mean), set.kappa)), 1});
    }
    return poles;
}

// Arguments: method (0 Fisher, 1 Kamb), nodes across the net (201: about
// 0.8 degrees apart at the centre of an equal-area net). Wall clock: the
// directions are counted on both cores.
void BM_DensityContours(benchmark::State& state) {
    const DensityMethod method = state.range(0) == 0 ? DensityMethod::Fisher : DensityMethod::Kamb;
    const PoleDensity density(surveyPoles(10'000), {method, 0.01});
    for (auto _ : state)
        benchmark::DoNotOptimize(densityContours(density, NetProjection::EqualArea, static_cast<int>(state.range(1))));
}
BENCHMARK(BM_DensityContours)
    ->ArgNames({"kamb", "grid"})
    ->ArgsProduct({{0, 1}, {121, 201}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// 500 planes of the survey as a compass reads them (whole degrees, so some
// repeat and cut out no wedge), every pair (124,750) set into the example
// block's slope with its own water: Kc, the full factor, the kinematic check
// and the sort. Wall clock, on one thread and on every core.
void BM_Combinations(benchmark::State& state) {
    std::vector<Measurement> planes;
    for (const WeightedPole& pole : surveyPoles(500)) {
        const TPlaneAttitude plane = planeOfPole(pole.Pole);
        planes.push_back({{std::round(plane.DipAngle), std::fmod(std::round(plane.DipDirection), 360.0)},
                          "",
                          1,
                          static_cast<int>(planes.size()) + 1});
    }
    const std::vector<CandidatePlane> candidates = measuredCandidates(planes);
    const CombinationSlope slope =
        combinationSlope(bench::exampleBlock().Attitudes, parameterNumbers(bench::exampleBlock().Params), WedgeLoads{});
    for (auto _ : state)
        benchmark::DoNotOptimize(combinePlanes(candidates, slope, static_cast<unsigned>(state.range(0))));
    state.SetItemsProcessed(state.iterations() * 124'750);
}
BENCHMARK(BM_Combinations)->ArgName("threads")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// Three sets of 40 planes each about the first three means above, every
// pair (3) a probabilistic run of 10^5 samples with its sets' Fisher K:
// the whole of `combinations --probabilistic`, without the reading. Wall
// clock on both cores.
void BM_CombinationsProbabilistic(benchmark::State& state) {
    std::vector<Measurement> planes;
    const std::vector<WeightedPole> poles = surveyPoles(160);
    for (std::size_t i = 0; i < poles.size(); ++i) {
        if (i % 4 == 3) continue; // the scatter
        planes.push_back({planeOfPole(poles[i].Pole), "J" + std::to_string(i % 4 + 1), 1, static_cast<int>(i) + 1});
    }
    const std::vector<CandidatePlane> candidates = setCandidates(planes, labelledSets(planes));
    const SavedBlock block = bench::exampleBlock();
    const PairProbabilitySettings settings{100'000, 1, 2};
    for (auto _ : state) {
        const CombinationSlope slope = combinationSlope(block.Attitudes, parameterNumbers(block.Params), WedgeLoads{});
        std::vector<PlanePair> pairs = combinePlanes(candidates, slope);
        benchmark::DoNotOptimize(pairProbabilities(slope, candidates, pairs, settings));
    }
    state.SetItemsProcessed(state.iterations() * 3 * 100'000);
}
BENCHMARK(BM_CombinationsProbabilistic)->Unit(benchmark::kMillisecond)->UseRealTime();
// The survey's planes, and 36 sectors of a pit: faces of 55 to 80 degrees
// all round, 10 degrees apart.
std::vector<Measurement> surveyPlanes(int n) {
    std::vector<Measurement> planes;
    for (const WeightedPole& pole : surveyPoles(n))
        planes.push_back({planeOfPole(pole.Pole), "", 1, static_cast<int>(planes.size()) + 1});
    return planes;
}

std::vector<KinematicSlope> pitSectors() {
    std::vector<KinematicSlope> slopes;
    for (int k = 0; k < 36; ++k) slopes.push_back({55.0 + k % 6 * 5, 10.0 * k, 30, 20});
    return slopes;
}

// Planar sliding and flexural toppling of 10,000 poles against 36 sectors.
// Wall clock, on one thread and on both.
void BM_KinematicPoles(benchmark::State& state) {
    const std::vector<Measurement> planes = surveyPlanes(10'000);
    const std::vector<KinematicSlope> slopes = pitSectors();
    for (auto _ : state)
        benchmark::DoNotOptimize(kinematicAnalysis(planes, {}, slopes, static_cast<unsigned>(state.range(0)), false));
    state.SetItemsProcessed(state.iterations() * 10'000 * 36);
}
BENCHMARK(BM_KinematicPoles)->ArgName("threads")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// All four modes, the pairs included: 2,000 planes make 1,999,000 lines of
// intersection, each checked against the 36 sectors (wedge and direct
// toppling). Items: a line against a sector.
void BM_KinematicPairs(benchmark::State& state) {
    const std::vector<Measurement> planes = surveyPlanes(2'000);
    const std::vector<KinematicSlope> slopes = pitSectors();
    for (auto _ : state)
        benchmark::DoNotOptimize(kinematicAnalysis(planes, {}, slopes, static_cast<unsigned>(state.range(0))));
    state.SetItemsProcessed(state.iterations() * 1'999'000 * 36);
}
BENCHMARK(BM_KinematicPairs)->ArgName("threads")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The tool's `kinematics` on a survey of a pit: all four modes of 10,000
// planes (49,995,000 lines of intersection) against the 36 sectors. Items:
// a line against a sector.
void BM_KinematicPit(benchmark::State& state) {
    const std::vector<Measurement> planes = surveyPlanes(10'000);
    const std::vector<KinematicSlope> slopes = pitSectors();
    for (auto _ : state)
        benchmark::DoNotOptimize(kinematicAnalysis(planes, {}, slopes, static_cast<unsigned>(state.range(0))));
    state.SetItemsProcessed(state.iterations() * 49'995'000 * 36);
}
BENCHMARK(BM_KinematicPit)->ArgName("threads")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the joints window works out when the face or the limits change in a
// pair mode: all four modes of 10,000 planes (49,995,000 lines) against the
// one face it shows. Items: a line.
void BM_KinematicOneFace(benchmark::State& state) {
    const std::vector<Measurement> planes = surveyPlanes(10'000);
    const std::vector<KinematicSlope> face = {pitSectors().front()};
    for (auto _ : state)
        benchmark::DoNotOptimize(kinematicAnalysis(planes, {}, face, static_cast<unsigned>(state.range(0))));
    state.SetItemsProcessed(state.iterations() * 49'995'000);
}
BENCHMARK(BM_KinematicOneFace)->ArgName("threads")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
