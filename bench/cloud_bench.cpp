// A point cloud of a rock face to its facets and joint sets: a synthetic
// face of a million and of ten million points (three Fisher sets and the
// face, 2% outliers), and the set means' error against the truth over a
// table of noise levels and point densities. Wall clock: the normals use
// both cores.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

#include "analysis/cloud/cloud_analysis.h"
#include "analysis/orientation.h"
#include "analysis/vec3.h"
#include "model/error.h"
#include "tests/analysis/cloud/synthetic_cloud.h"

using namespace trelmox;

namespace {

// 950 facets (250 a set, 200 of the face) of 1.2 to 3 m at `density`
// points a square metre: 220 gives a million points with the outliers.
test::SyntheticFace largeFace(double density) {
    test::SyntheticFace face;
    for (test::TrueSet& set : face.Sets) set.Facets = 250;
    face.FaceFacets = 200;
    face.Density = density;
    return face;
}

PointCloud cloudOf(const test::SyntheticFace& face) {
    PointCloud cloud;
    cloud.Points = test::syntheticCloud(face).Points;
    return cloud;
}

// Arguments: points a square metre of facet (220: 10^6 points, 2200: 10^7).
void BM_CloudToSets(benchmark::State& state) {
    const PointCloud cloud = cloudOf(largeFace(static_cast<double>(state.range(0))));
    std::size_t facets = 0;
    for (auto _ : state) {
        const std::optional<CloudResult> result = analyseCloud(cloud, {});
        facets = result->Search.Facets.size();
        benchmark::DoNotOptimize(result);
    }
    state.counters["points"] = static_cast<double>(cloud.Points.size());
    state.counters["facets"] = static_cast<double>(facets);
}
BENCHMARK(BM_CloudToSets)->Arg(220)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_CloudToSets)->Arg(2200)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

// The largest angle between a set's mean from the cloud and the Fisher
// mean of its facets' true poles (area-weighted, as the run weighs them),
// over the three sets and the face; a set not found counts as 90 degrees.
// Arguments: noise in millimetres, points a square metre.
void BM_CloudSetError(benchmark::State& state) {
    test::SyntheticFace face;
    face.Noise = static_cast<double>(state.range(0)) / 1000;
    face.Density = static_cast<double>(state.range(1));
    const test::SyntheticCloud synthetic = test::syntheticCloud(face);
    PointCloud cloud;
    cloud.Points = synthetic.Points;
    double worst = 0;
    for (auto _ : state) {
        worst = 0;
        std::optional<CloudResult> result;
        try {
            result = analyseCloud(cloud, {});
        } catch (const Error&) {
            worst = 90; // no facet at all
            continue;
        }
        for (int set = -1; set < static_cast<int>(face.Sets.size()); ++set) {
            std::vector<WeightedPole> truth;
            for (std::size_t f = 0; f < synthetic.FacetOf.size(); ++f)
                if (synthetic.FacetOf[f] == set)
                    truth.push_back({synthetic.FacetPole[f], std::pow(synthetic.FacetSide[f], 2)});
            const TPoint3D mean = fisherStatistics(truth).MeanPole;
            std::vector<const JointSet*> found;
            for (const JointSet& s : result->Joints.Sets) found.push_back(&s);
            if (set < 0)
                found = result->Joints.Face ? std::vector<const JointSet*>{&*result->Joints.Face}
                                            : std::vector<const JointSet*>{};
            double nearest = 90;
            for (const JointSet* s : found)
                nearest = std::min(nearest, degrees(std::acos(std::min(1.0, std::abs(dot(s->Stats.MeanPole, mean))))));
            worst = std::max(worst, nearest);
        }
        state.counters["sets"] = static_cast<double>(result->Joints.Sets.size());
    }
    state.counters["error_deg"] = worst;
    state.counters["points"] = static_cast<double>(cloud.Points.size());
}
BENCHMARK(BM_CloudSetError)
    ->ArgNames({"noise_mm", "density"})
    ->ArgsProduct({{2, 10, 30, 60}, {25, 100, 400}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace
