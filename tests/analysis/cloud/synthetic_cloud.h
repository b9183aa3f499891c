#pragma once
// A synthetic scan of a rock face whose truth is known: square facets laid
// out over the face, those of each joint set with poles drawn from a Fisher
// distribution about the set's mean, those of the face about the face's own
// attitude, each sampled at a given density with noise along its normal, and
// outliers scattered through the box. Shared by the tests and the benchmarks.
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "analysis/orientation.h"
#include "analysis/vec3.h"
#include "model/block.h"

namespace trelmox::test {

struct TrueSet {
    TPlaneAttitude Plane;
    double Kappa = 50;
    int Facets = 25;
};

struct SyntheticFace {
    TPlaneAttitude Face{70, 120};
    std::vector<TrueSet> Sets{{{60, 215}, 50, 25}, {{30, 30}, 50, 25}, {{85, 320}, 50, 25}};
    int FaceFacets = 20;
    double FaceKappa = 400;
    std::vector<double> Sides{3.0, 2.0, 1.2}; // facet sides in turn
    double Density = 100;                     // points a square unit of facet
    double Noise = 0.01;                      // standard deviation along the facet's normal
    double Outliers = 0.02;                   // share of points scattered through the box
    double Cell = 5;                          // distance between facet centres on the face
    TPoint3D Origin{500000, 3000000, 200};
    std::uint64_t Seed = 1;
};

struct SyntheticCloud {
    std::vector<TPoint3D> Points;
    std::vector<int> FacetOf; // by facet: set index, -1 for the face
    std::vector<double> FacetSide;
    std::vector<TPoint3D> FacetPole; // the true unit pole of each facet
};

inline TPoint3D unitOf(const TPoint3D& v) { return (1 / norm(v)) * v; }

// A pole drawn from the Fisher distribution of concentration kappa about `mean`.
inline TPoint3D fisherPole(const TPoint3D& mean, double kappa, std::mt19937_64& random) {
    std::uniform_real_distribution<double> unit(0, 1);
    const double u = unit(random);
    const double c = 1 + std::log(1 - u * (1 - std::exp(-2 * kappa))) / kappa;
    const double s = std::sqrt(std::max(0.0, 1 - c * c)), phi = 2 * std::numbers::pi * unit(random);
    const TPoint3D helper = std::abs(mean.z) < 0.9 ? TPoint3D{0, 0, 1} : TPoint3D{1, 0, 0};
    const TPoint3D a = unitOf(cross(mean, helper)), b = cross(mean, a);
    return c * mean + (s * std::cos(phi)) * a + (s * std::sin(phi)) * b;
}

inline SyntheticCloud syntheticCloud(const SyntheticFace& face) {
    std::mt19937_64 random(face.Seed);
    std::uniform_real_distribution<double> unit(0, 1);
    std::normal_distribution<double> noise(0, face.Noise);
    SyntheticCloud cloud;
    struct Planned {
        TPoint3D Pole;
        int Set;
    };
    std::vector<Planned> planned;
    for (int f = 0; f < face.FaceFacets; ++f)
        planned.push_back({fisherPole(planePole(face.Face), face.FaceKappa, random), -1});
    for (std::size_t s = 0; s < face.Sets.size(); ++s)
        for (int f = 0; f < face.Sets[s].Facets; ++f)
            planned.push_back(
                {fisherPole(planePole(face.Sets[s].Plane), face.Sets[s].Kappa, random), static_cast<int>(s)});
    // Facets on a grid over the face: along strike and down its dip.
    const TPoint3D facePole = planePole(face.Face);
    const TPoint3D strike = unitOf(cross(facePole, TPoint3D{0, 0, 1}));
    const TPoint3D down = cross(facePole, strike);
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(planned.size()))));
    TPoint3D low{1e300, 1e300, 1e300}, high{-1e300, -1e300, -1e300};
    for (std::size_t i = 0; i < planned.size(); ++i) {
        const double side = face.Sides[i % face.Sides.size()];
        const TPoint3D centre = face.Origin + (face.Cell * static_cast<double>(i % columns)) * strike +
                                (face.Cell * static_cast<double>(i / columns)) * down + (unit(random) - 0.5) * facePole;
        const TPoint3D n = unitOf(planned[i].Pole);
        const TPoint3D a = unitOf(cross(n, std::abs(n.z) < 0.9 ? TPoint3D{0, 0, 1} : TPoint3D{1, 0, 0}));
        const TPoint3D b = cross(n, a);
        const auto count = static_cast<std::size_t>(face.Density * side * side);
        for (std::size_t p = 0; p < count; ++p) {
            const TPoint3D q =
                centre + (side * (unit(random) - 0.5)) * a + (side * (unit(random) - 0.5)) * b + noise(random) * n;
            cloud.Points.push_back(q);
            low = {std::min(low.x, q.x), std::min(low.y, q.y), std::min(low.z, q.z)};
            high = {std::max(high.x, q.x), std::max(high.y, q.y), std::max(high.z, q.z)};
        }
        cloud.FacetOf.push_back(planned[i].Set);
        cloud.FacetSide.push_back(side);
        cloud.FacetPole.push_back(n);
    }
    const auto outliers = static_cast<std::size_t>(face.Outliers * cloud.Points.size());
    for (std::size_t i = 0; i < outliers; ++i)
        cloud.Points.push_back({low.x + unit(random) * (high.x - low.x), low.y + unit(random) * (high.y - low.y),
                                low.z + unit(random) * (high.z - low.z)});
    return cloud;
}

} // namespace trelmox::test
