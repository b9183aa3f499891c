#pragma once
// Each point's local plane: the principal components of its k nearest
// neighbours. The direction of least spread is the normal; the least
// eigenvalue's share of the spread (the surface variation) is small on a
// flat facet and large at an edge, a corner or in vegetation.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/progress.h"
#include "model/block.h"

namespace trelmox {

struct LocalPlanes {
    std::size_t K = 0;                     // neighbours a point, itself included
    std::vector<std::uint32_t> Neighbours; // K a point, the point itself first, nearest next
    std::vector<TPoint3D> Normals;         // unit, either sense
    std::vector<float> Variation;          // lambda_min / (sum of lambdas), 0..1/3
    std::vector<float> Rms;                // sqrt(lambda_min): scatter about the local plane
    std::vector<float> Reach;              // distance to the farthest of the K
    double Spacing = 0;                    // median distance to the nearest other point
    double MedianReach = 0;
    double MedianRms = 0;
};

// The points should be near the origin (subtract a centre first): the
// neighbour search works in their coordinates. Uses every core. Throws a
// refused Error for k < 3 or more neighbours than points; nothing when the
// callback cancels (it is called from the calling thread, `done` counting
// points up to points.size()).
std::optional<LocalPlanes> localPlanes(const std::vector<TPoint3D>& points, std::size_t k,
                                       const ProgressCallback& progress = {});

// The best-fitting plane of some points (through their centroid): its unit
// normal (either sense) and the eigenvalues of their covariance, least
// first, with the directions of the other two.
struct PlaneFit {
    TPoint3D Centroid, Normal, Major, Minor;
    double Least = 0, Middle = 0, Greatest = 0;
};
PlaneFit fitPlane(const TPoint3D& centroid, const double covariance[6]);

} // namespace trelmox
