#pragma once
// The settings of a point cloud run from the options as the tool and the
// module take them, checked once here.
#include <cstddef>
#include <string>

#include "analysis/cloud/cloud_analysis.h"

namespace trelmox {

// sets: "N" joint sets or "auto:N" (chosen up to N), 1 <= N <= 50 in plain
// digits; weight: "area" or "count"; neighbours 3..200; voxel and the least
// facet area finite and >= 0. Throws a refused Error naming the option
// otherwise.
CloudSettings cloudSettings(double voxel, std::size_t neighbours, double minFacetArea, const std::string& sets,
                            const std::string& weight);

} // namespace trelmox
