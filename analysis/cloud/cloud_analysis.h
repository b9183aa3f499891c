#pragma once
// From a point cloud to joint sets in one run: the cloud moved to its
// centre, thinned, its normals and facets found, and the facets grouped
// into sets with the slope face told apart.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "analysis/cloud/cloud_sets.h"
#include "analysis/cloud/facets.h"
#include "analysis/cloud/point_cloud.h"
#include "analysis/progress.h"

namespace trelmox {

struct CloudSettings {
    double Voxel = 0; // edge of the thinning cubes; 0: no thinning
    FacetSettings Facets;
    CloudSetSettings Sets;
};

struct CloudResult {
    std::string Format;         // of the file read
    std::size_t PointsRead = 0; // before thinning
    std::size_t Dropped = 0;    // LAS vegetation and noise left out by the reader
    CloudSettings Settings;
    // The thinned points the facets were found in, in the cloud's coordinates.
    std::vector<TPoint3D> Points;
    FacetSearch Search; // its centroids in the cloud's coordinates
    CloudJoints Joints;
};

// Throws a refused Error for settings out of range and a cloud without
// facets; nothing when the callback cancels (`done` counts to 1000).
std::optional<CloudResult> analyseCloud(const PointCloud& cloud, const CloudSettings& settings,
                                        const ProgressCallback& progress = {});

} // namespace trelmox
