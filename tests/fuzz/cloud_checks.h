#pragma once
// What the cloud readers' harnesses require beyond not crashing: a refusal
// is refused input with a readable message; a cloud read has points, every
// coordinate finite, colours for all points or none, and no more points
// than the bytes can hold (a reader never trusts a count it is told).
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <string_view>

#include "analysis/cloud/point_cloud.h"
#include "model/error.h"
#include "tests/fuzz/readable.h"

namespace trelmox::fuzz {

template <typename Reader> void checkCloudReader(Reader read, std::string_view bytes, std::size_t leastPointBytes) {
    PointCloud cloud;
    try {
        cloud = read(bytes);
    } catch (const Error& failure) {
        if (failure.kind() != ErrorKind::RefusedInput) std::abort();
        requireReadable(failure.what());
        return;
    }
    if (cloud.Points.empty() || cloud.Points.size() * leastPointBytes > bytes.size()) std::abort();
    if (!cloud.Colours.empty() && cloud.Colours.size() != cloud.Points.size()) std::abort();
    for (const TPoint3D& p : cloud.Points)
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) std::abort();
}

} // namespace trelmox::fuzz
