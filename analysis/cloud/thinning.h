#pragma once
// Voxel thinning: a dense scan (several points a square centimetre) holds
// far more points than a joint's orientation needs, and the time of every
// later step grows with them. The space is cut into cubes of edge `voxel`
// and the points of each cube are replaced by their centroid.
#include <vector>

#include "model/block.h"

namespace trelmox {

// The centroids, ordered by cube (z, then y, then x), the same on every run.
// A voxel of 0 returns the points as they are. Throws a refused Error for a
// voxel that is negative or no number, or so small that the cloud spans
// more than 2^21 cubes along an axis.
std::vector<TPoint3D> voxelThin(const std::vector<TPoint3D>& points, double voxel);

} // namespace trelmox
