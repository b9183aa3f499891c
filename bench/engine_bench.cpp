// The safety factor alone, a whole block analysis, and the full analysis of
// the real wedge.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "analysis/block_analysis.h"
#include "analysis/full_analysis.h"
#include "analysis/support.h"
#include "analysis/wedge.h"
#include "bench/example.h"
#include "model/error.h"
#include "model/numtext.h"

using namespace trelmox;

namespace {

// The computation every sample runs, on the example block.
void BM_SafetyFactor(benchmark::State& state) {
    const PlaneAttitudeArray attitudes = bench::exampleBlock().Attitudes;
    const WedgeNumbers numbers = wedgeNumbers(parameterNumbers(bench::exampleBlock().Params));
    for (auto _ : state) {
        benchmark::DoNotOptimize(attitudes);
        benchmark::DoNotOptimize(numbers);
        benchmark::DoNotOptimize(computeSafetyFactor(attitudes, numbers));
    }
}
BENCHMARK(BM_SafetyFactor);

// The arithmetic half alone, as a run that varies no attitude evaluates it.
void BM_SafetyFactorArithmetic(benchmark::State& state) {
    const WedgeNormals normals = wedgeNormals(bench::exampleBlock().Attitudes);
    const WedgeNumbers numbers = wedgeNumbers(parameterNumbers(bench::exampleBlock().Params));
    for (auto _ : state) {
        benchmark::DoNotOptimize(normals);
        benchmark::DoNotOptimize(numbers);
        benchmark::DoNotOptimize(computeSafetyFactor(normals, numbers));
    }
}
BENCHMARK(BM_SafetyFactorArithmetic);

// The same over 4096 varied inputs, as a Monte Carlo run feeds it: the
// branches of the contact cases are no longer predictable.
void BM_SafetyFactorVaried(benchmark::State& state) {
    std::mt19937_64 random(1);
    std::normal_distribution<double> spread(0, 1);
    const SavedBlock base = bench::exampleBlock();
    std::vector<PlaneAttitudeArray> attitudes(4096, base.Attitudes);
    std::vector<WedgeNumbers> numbers(4096, wedgeNumbers(parameterNumbers(base.Params)));
    for (std::size_t i = 0; i < attitudes.size(); ++i) {
        for (TPlaneAttitude& plane : attitudes[i]) {
            plane.DipAngle += 3 * spread(random);
            plane.DipDirection += 5 * spread(random);
        }
        numbers[i].WaterPressure1 *= 1 + spread(random);
        numbers[i].WaterPressure2 *= 1 + spread(random);
    }
    std::size_t i = 0;
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(computeSafetyFactor(attitudes[i], numbers[i]));
        } catch (const Error&) {}
        i = (i + 1) & 4095;
    }
}
BENCHMARK(BM_SafetyFactorVaried);

// account as the analysis window calls it: the parameter texts converted first.
void BM_AccountFromTexts(benchmark::State& state) {
    const SavedBlock block = bench::exampleBlock();
    for (auto _ : state)
        benchmark::DoNotOptimize(computeSafetyFactor(block.Attitudes, wedgeNumbers(parameterNumbers(block.Params))));
}
BENCHMARK(BM_AccountFromTexts);

// Half a degree off every angle of a block as saved, so that no sine or
// cosine comes from the whole-degree tables.
SavedBlock fractionalBlock() {
    SavedBlock block = bench::exampleBlock();
    for (TPlaneQuadrant& plane : block.Quadrants) {
        plane.StrikeAngle += ".5";
        plane.DipAngle += ".5";
    }
    for (TPlaneAttitude& plane : block.Attitudes) plane.DipAngle += 0.5, plane.DipDirection += 0.5;
    return block;
}

// The first part of a block's run (runBlock's, step for step): corners,
// volume, height and plunge from the saved texts, the numbers, Kc. With
// fractional:1 every angle half a degree off the whole degrees.
void BM_BlockKc(benchmark::State& state) {
    const SavedBlock block = state.range(0) ? fractionalBlock() : bench::exampleBlock();
    for (auto _ : state) {
        VertexGeometry corners;
        if (!corners.computeForBlock(block.Quadrants, block.Params.SlopeHeight).empty()) {
            state.SkipWithError("the example block has no corners");
            break;
        }
        benchmark::DoNotOptimize(wedgeGeometry(corners.vertices()));
        benchmark::DoNotOptimize(computeSafetyFactor(block.Attitudes, wedgeNumbers(parameterNumbers(block.Params))));
    }
}
BENCHMARK(BM_BlockKc)->ArgName("fractional")->Arg(0)->Arg(1);

// Everything a block has, as saved without loads: corners, volume, height,
// plunge, Kc, the full analysis and the support design.
void BM_WholeBlock(benchmark::State& state) {
    const BlockInput block = blockInput(bench::exampleBlock());
    for (auto _ : state) benchmark::DoNotOptimize(runBlock(block, WedgeLoads{}));
}
BENCHMARK(BM_WholeBlock);

// The same with every angle half a degree off the whole degrees.
void BM_WholeBlockFractionalAngles(benchmark::State& state) {
    const BlockInput block = blockInput(fractionalBlock());
    for (auto _ : state) benchmark::DoNotOptimize(runBlock(block, WedgeLoads{}));
}
BENCHMARK(BM_WholeBlockFractionalAngles);

// Loads that exercise every part of the full analysis: a tension crack
// with water, seismic load, an external force and both kinds of bolt.
WedgeLoads benchLoads() {
    WedgeLoads loads;
    loads.Water = WaterMode::Saturated;
    loads.Crack = TensionCrack{{75, 180}, 8, 6};
    loads.SeismicCoefficient = 0.1;
    loads.Forces = {{500, {150, 20}}};
    loads.Bolts = {{800, {330, 15}, BoltMode::Active}, {600, {340, 10}, BoltMode::Passive}};
    return loads;
}

// The full analysis of one block as saved (numbers converted, geometry,
// forces, factor), beside BM_WholeBlock: the block's own water, no crack;
// with the loads above; and (2) with its own water and size limits of every
// kind, the trace on the face deciding the scale.
void BM_FullBlock(benchmark::State& state) {
    const SavedBlock block = bench::exampleBlock();
    WedgeLoads loads = state.range(0) == 1 ? benchLoads() : WedgeLoads{};
    if (state.range(0) == 2) {
        loads.Size.FaceTrace = {30, 200};
        loads.Size.TopTrace = {200, 200};
        loads.Size.Persistence = {200, 200};
        loads.Size.SlopeLength = 200;
        loads.Size.Bench = BenchLimits{100, 200, 5};
        loads.Size.MinVolume = 10;
    }
    const BlockInput input = blockInput(block);
    for (auto _ : state) benchmark::DoNotOptimize(analyseSavedBlock(input, loads));
}
BENCHMARK(BM_FullBlock)->ArgName("loads")->Arg(0)->Arg(1)->Arg(2);

// The full analysis on numbers over 4096 varied, fractional attitudes, as a
// run over many pairs of planes calls it.
void BM_FullAnalysisVaried(benchmark::State& state) {
    std::mt19937_64 random(1);
    std::normal_distribution<double> spread(0, 1);
    const SavedBlock base = bench::exampleBlock();
    const WedgeNumbers numbers = wedgeNumbers(parameterNumbers(base.Params));
    std::vector<PlaneAttitudeArray> attitudes(4096, base.Attitudes);
    for (PlaneAttitudeArray& a : attitudes)
        for (TPlaneAttitude& plane : a) plane.DipAngle += 3 * spread(random), plane.DipDirection += 5 * spread(random);
    const WedgeLoads loads;
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(analyseWedge(attitudes[i], numbers, loads));
        i = (i + 1) & 4095;
    }
}
BENCHMARK(BM_FullAnalysisVaried);

// The support design of one block: the force along the loads' design bolt
// and the direction that needs the least. With the block's own loads (as a
// batch without companion files has them) the least force is the distance
// to the nearest safe loads; with the loads above, whose passive bolts turn
// with the sliding, the search decides.
void BM_SupportDesign(benchmark::State& state) {
    const SavedBlock block = bench::exampleBlock();
    WedgeLoads loads = state.range(0) ? benchLoads() : WedgeLoads{};
    loads.Design = DesignBolt{{340, 15}, BoltMode::Active};
    const WedgeNumbers numbers = wedgeNumbers(parameterNumbers(block.Params));
    const FullAnalysis analysis = analyseSavedBlock(blockInput(block), loads);
    for (auto _ : state) benchmark::DoNotOptimize(designSupport(analysis, numbers, loads));
}
BENCHMARK(BM_SupportDesign)->ArgName("loads")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Both cutting planes with a non-linear strength: Barton-Bandis (1), the
// power curve (2), Hoek-Brown with a = 0.55 (3, its envelope solved for the
// plane's stress), each with a waviness of 2 degrees.
WedgeLoads strengthLoads(int model) {
    WedgeLoads loads;
    for (JointStrength& s : loads.Strength) {
        s.Model = model == 1   ? StrengthModel::BartonBandis
                  : model == 2 ? StrengthModel::PowerCurve
                               : StrengthModel::HoekBrown;
        s.HoekA = 0.55;
        s.Waviness = 2;
    }
    return loads;
}

// The full analysis of the example block as saved (own water) with a
// non-linear strength on both planes.
void BM_FullBlockStrength(benchmark::State& state) {
    const SavedBlock block = bench::exampleBlock();
    const WedgeLoads loads = strengthLoads(static_cast<int>(state.range(0)));
    const BlockInput input = blockInput(block);
    for (auto _ : state) benchmark::DoNotOptimize(analyseSavedBlock(input, loads));
}
BENCHMARK(BM_FullBlockStrength)->ArgName("model")->Arg(1)->Arg(2)->Arg(3);

// The support design with a non-linear strength: the force along a design
// bolt and the least-force direction, both found through the analysis
// itself (Barton-Bandis, required factor 2 so that a bolt is needed).
void BM_SupportDesignStrength(benchmark::State& state) {
    const SavedBlock block = bench::exampleBlock();
    WedgeLoads loads = strengthLoads(1);
    loads.RequiredFactor = 2;
    loads.Preset.reset();
    loads.Design = DesignBolt{{340, 15}, BoltMode::Active};
    const WedgeNumbers numbers = wedgeNumbers(parameterNumbers(block.Params));
    const FullAnalysis analysis = analyseSavedBlock(blockInput(block), loads);
    for (auto _ : state) benchmark::DoNotOptimize(designSupport(analysis, numbers, loads));
}
BENCHMARK(BM_SupportDesignStrength)->Unit(benchmark::kMillisecond);

// Reading the numbers of a data file: short decimals as people type them,
// and a long one that needs the general conversion.
void BM_TextToFloat(benchmark::State& state) {
    const std::string texts[] = {"65", "40.5", "0.364", "26.5", "25", "2.6", "1500", "0.1234567890123456789"};
    for (auto _ : state)
        for (const std::string& text : texts) benchmark::DoNotOptimize(textToFloat(text));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(std::size(texts)));
}
BENCHMARK(BM_TextToFloat);

} // namespace
