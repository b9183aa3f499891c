#include "analysis/cloud/cloud_analysis.h"

#include <algorithm>

#include "analysis/cloud/thinning.h"
#include "analysis/vec3.h"
#include "model/error.h"
#include "model/language.h"

namespace trelmox {

namespace {

constexpr std::uint64_t Steps = 1000;
constexpr std::uint64_t ThinningSteps = 50, FacetSteps = 900;

// The middle of the cloud's box: survey coordinates of millions of metres
// moved near the origin keep their millimetres in every sum that follows.
TPoint3D centreOf(const std::vector<TPoint3D>& points) {
    TPoint3D low = points.front(), high = points.front();
    for (const TPoint3D& p : points) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    return 0.5 * (low + high);
}

} // namespace

std::optional<CloudResult> analyseCloud(const PointCloud& cloud, const CloudSettings& settings,
                                        const ProgressCallback& progress) {
    const auto report = [&](std::uint64_t done) { return !progress || progress(done, Steps); };
    CloudResult result;
    result.Format = cloud.Format;
    result.PointsRead = cloud.Points.size();
    result.Dropped = cloud.Dropped;
    result.Settings = settings;
    if (cloud.Points.empty()) throw Error::refused(inLanguage("点云中没有点", "the cloud holds no point"));
    const TPoint3D centre = centreOf(cloud.Points);
    std::vector<TPoint3D> local(cloud.Points.size());
    for (std::size_t i = 0; i < local.size(); ++i) local[i] = cloud.Points[i] - centre;
    local = voxelThin(local, settings.Voxel);
    if (!report(ThinningSteps)) return std::nullopt;
    std::optional<FacetSearch> search =
        findFacets(local, settings.Facets, [&](std::uint64_t done, std::uint64_t total) {
            return report(ThinningSteps + done * FacetSteps / std::max<std::uint64_t>(total, 1));
        });
    if (!search) return std::nullopt;
    for (Facet& f : search->Facets) f.Centroid = f.Centroid + centre;
    result.Search = std::move(*search);
    result.Joints = cloudJoints(result.Search, settings.Sets);
    for (TPoint3D& p : local) p = p + centre;
    result.Points = std::move(local);
    if (!report(Steps)) return std::nullopt;
    return result;
}

} // namespace trelmox
