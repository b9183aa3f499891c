#pragma once
// Planar facets: the flat patches of a rock face that are joints laid bare.
// Points are grown into regions from the flattest ones outwards: a
// neighbour joins a region when its own normal lies within MaxAngle of the
// region's plane and it lies within the distance tolerance of that plane.
// The region's plane is refitted as it grows, so a region follows one
// plane and never drifts round a curved surface. Each facet is then
// summarised by its best-fitting plane, its area, its extent and its scatter.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/cloud/normals.h"
#include "model/block.h"

namespace trelmox {

struct FacetSettings {
    std::size_t Neighbours = 20; // k of the normals and of the growing
    double MaxAngle = 15;        // degrees between a point's normal and its facet's plane
    // Distance from the facet's plane; absent: 3 times the median local
    // scatter, at least a tenth of the point spacing.
    std::optional<double> MaxDistance;
    std::size_t MinPoints = 30; // smaller regions are no facet
    double MinArea = 0;         // facets of a smaller area are dropped
};

struct Facet {
    TPlaneAttitude Plane;
    TPoint3D Pole;     // unit, pointing down
    TPoint3D Centroid; // in the cloud's coordinates
    double Area = 0;   // of the convex hull of its points on its plane
    double Extent = 0; // the hull's largest dimension
    double Rms = 0;    // root mean square distance of its points from its plane
    std::size_t Points = 0;
};

inline constexpr std::uint32_t NoFacet = 0xFFFFFFFF;

struct FacetSearch {
    std::vector<Facet> Facets;         // by decreasing area
    std::vector<std::uint32_t> Member; // by point: its facet, or NoFacet
    double Spacing = 0;                // median distance between neighbouring points
    double MaxDistance = 0;            // the distance tolerance used
    // The cloud's mean surface: the plane of all its points.
    TPlaneAttitude MeanSurface;
    TPoint3D MeanPole; // unit, pointing down
};

// `points` near the origin (see localPlanes). Nothing when the callback
// cancels; `done` runs to points.size() twice (normals, then growing).
std::optional<FacetSearch> findFacets(const std::vector<TPoint3D>& points, const FacetSettings& settings,
                                      const ProgressCallback& progress = {});

// The area and the largest dimension of the convex hull of points in a
// plane (2D coordinates), exposed for the tests.
struct HullSize {
    double Area = 0, Extent = 0;
};
HullSize hullSize(std::vector<std::pair<double, double>> points);

} // namespace trelmox
