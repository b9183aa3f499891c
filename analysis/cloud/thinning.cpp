#include "analysis/cloud/thinning.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "model/error.h"
#include "model/numtext.h"
#include "model/wording.h"

namespace trelmox {

namespace {

constexpr int AxisBits = 21;
constexpr double AxisCells = 1 << AxisBits;

} // namespace

std::vector<TPoint3D> voxelThin(const std::vector<TPoint3D>& points, double voxel) {
    if (!(voxel >= 0) || !std::isfinite(voxel))
        throw Error::refused(say("体素边长 " + floatToText(voxel) + " 应为不小于 0 的数",
                                 "the voxel size " + floatToText(voxel) + " should be a number of at least 0"),
                             "voxel");
    if (voxel == 0 || points.empty()) return points;
    TPoint3D low = points.front(), high = points.front();
    for (const TPoint3D& p : points) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    const double span = std::max({high.x - low.x, high.y - low.y, high.z - low.z});
    if (!(span / voxel < AxisCells - 1))
        throw Error::refused(
            say("体素边长 " + floatToText(voxel) + " 相对点云范围 " + floatToText(span) + " 太小",
                "the voxel size " + floatToText(voxel) + " is too small for the cloud's extent " + floatToText(span)),
            "voxel");
    const auto cell = [&](double v, double from) { return static_cast<std::uint64_t>((v - from) / voxel); };
    std::vector<std::pair<std::uint64_t, std::uint32_t>> keys(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const TPoint3D& p = points[i];
        keys[i] = {cell(p.x, low.x) | cell(p.y, low.y) << AxisBits | cell(p.z, low.z) << 2 * AxisBits,
                   static_cast<std::uint32_t>(i)};
    }
    std::sort(keys.begin(), keys.end());
    std::vector<TPoint3D> thinned;
    for (std::size_t i = 0; i < keys.size();) {
        std::size_t j = i;
        // Summed from the cube's first point, so that survey coordinates of
        // millions of metres lose no digits in the sum.
        const TPoint3D origin = points[keys[i].second];
        TPoint3D sum{};
        for (; j < keys.size() && keys[j].first == keys[i].first; ++j) {
            const TPoint3D& p = points[keys[j].second];
            sum = {sum.x + (p.x - origin.x), sum.y + (p.y - origin.y), sum.z + (p.z - origin.z)};
        }
        const double n = static_cast<double>(j - i);
        thinned.push_back({origin.x + sum.x / n, origin.y + sum.y / n, origin.z + sum.z / n});
        i = j;
    }
    return thinned;
}

} // namespace trelmox
