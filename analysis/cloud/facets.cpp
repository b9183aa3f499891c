#include "analysis/cloud/facets.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "analysis/orientation.h"
#include "analysis/vec3.h"
#include "model/error.h"
#include "model/numtext.h"
#include "model/wording.h"

namespace trelmox {

namespace {

TPoint3D downward(const TPoint3D& v) { return v.z > 0 ? -1 * v : v; }

// Running sums of a region's points about its seed, for refitting its
// plane as it grows without going over its points again.
class RunningPlane {
public:
    explicit RunningPlane(const TPoint3D& origin) : origin_(origin) {}
    void add(const TPoint3D& p) {
        const double d[3] = {p.x - origin_.x, p.y - origin_.y, p.z - origin_.z};
        ++n_;
        for (int a = 0; a < 3; ++a) s_[a] += d[a];
        ss_[0] += d[0] * d[0], ss_[1] += d[0] * d[1], ss_[2] += d[0] * d[2];
        ss_[3] += d[1] * d[1], ss_[4] += d[1] * d[2], ss_[5] += d[2] * d[2];
    }
    PlaneFit fit() const {
        const double m[3] = {s_[0] / n_, s_[1] / n_, s_[2] / n_};
        const double c[6] = {ss_[0] / n_ - m[0] * m[0], ss_[1] / n_ - m[0] * m[1], ss_[2] / n_ - m[0] * m[2],
                             ss_[3] / n_ - m[1] * m[1], ss_[4] / n_ - m[1] * m[2], ss_[5] / n_ - m[2] * m[2]};
        return fitPlane(origin_ + TPoint3D{m[0], m[1], m[2]}, c);
    }

private:
    TPoint3D origin_;
    double n_ = 0, s_[3] = {}, ss_[6] = {};
};

// The plane of some points, in two passes (centroid, then spread about it).
PlaneFit planeOf(const std::vector<TPoint3D>& points, const std::vector<std::uint32_t>& members) {
    TPoint3D centroid{};
    for (std::uint32_t i : members) centroid = centroid + points[i];
    centroid = (1.0 / members.size()) * centroid;
    double c[6] = {};
    for (std::uint32_t i : members) {
        const TPoint3D d = points[i] - centroid;
        c[0] += d.x * d.x, c[1] += d.x * d.y, c[2] += d.x * d.z, c[3] += d.y * d.y, c[4] += d.y * d.z;
        c[5] += d.z * d.z;
    }
    for (double& v : c) v /= members.size();
    return fitPlane(centroid, c);
}

double cross2(const std::pair<double, double>& o, const std::pair<double, double>& a,
              const std::pair<double, double>& b) {
    return (a.first - o.first) * (b.second - o.second) - (a.second - o.second) * (b.first - o.first);
}

std::vector<std::vector<std::uint32_t>> growRegions(const std::vector<TPoint3D>& points, const LocalPlanes& local,
                                                    const FacetSettings& settings, double tolerance,
                                                    std::vector<std::uint32_t>& member,
                                                    const ProgressCallback& progress) {
    const std::size_t n = points.size(), k = local.K;
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return local.Variation[a] < local.Variation[b]; });
    const double cosMax = std::cos(radians(settings.MaxAngle));
    // The nearest neighbours of an isolated point (an outlier, a leaf) lie
    // far off: no region grows across more than twice the usual reach of a
    // neighbourhood, and an isolated point seeds none.
    const double reach = 2 * local.MedianReach, reachSquared = reach * reach;
    std::vector<char> tried(n, 0);
    std::vector<std::vector<std::uint32_t>> regions;
    std::vector<std::uint32_t> grown;
    std::size_t seen = 0;
    for (const std::uint32_t seed : order) {
        if (++seen % 65536 == 0 && progress && !progress(seen, n)) return {};
        if (member[seed] != NoFacet || tried[seed] || local.Reach[seed] > reach) continue;
        const auto label = static_cast<std::uint32_t>(regions.size());
        grown.assign(1, seed);
        member[seed] = label;
        RunningPlane sums(points[seed]);
        sums.add(points[seed]);
        TPoint3D normal = local.Normals[seed], centre = points[seed];
        std::size_t refitAt = 8;
        for (std::size_t head = 0; head < grown.size(); ++head) {
            const std::uint32_t* around = &local.Neighbours[grown[head] * k];
            for (std::size_t j = 1; j < k; ++j) {
                const std::uint32_t q = around[j];
                if (member[q] != NoFacet) continue;
                const TPoint3D step = points[q] - points[grown[head]];
                if (dot(step, step) > reachSquared) continue;
                if (std::abs(dot(local.Normals[q], normal)) < cosMax) continue;
                if (std::abs(dot(points[q] - centre, normal)) > tolerance) continue;
                member[q] = label;
                grown.push_back(q);
                sums.add(points[q]);
                if (grown.size() >= refitAt) {
                    const PlaneFit fit = sums.fit();
                    normal = fit.Normal, centre = fit.Centroid;
                    refitAt = refitAt * 3 / 2;
                }
            }
        }
        if (grown.size() < settings.MinPoints) {
            // Too small for a facet: its points may still join a later one.
            for (std::uint32_t i : grown) member[i] = NoFacet, tried[i] = 1;
            continue;
        }
        regions.push_back(grown);
    }
    return regions;
}

} // namespace

HullSize hullSize(std::vector<std::pair<double, double>> p) {
    std::sort(p.begin(), p.end());
    p.erase(std::unique(p.begin(), p.end()), p.end());
    if (p.size() < 3) return {};
    // Andrew's monotone chain, counter-clockwise.
    std::vector<std::pair<double, double>> hull(2 * p.size());
    std::size_t h = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        while (h >= 2 && cross2(hull[h - 2], hull[h - 1], p[i]) <= 0) --h;
        hull[h++] = p[i];
    }
    for (std::size_t i = p.size() - 1, lower = h + 1; i-- > 0;) {
        while (h >= lower && cross2(hull[h - 2], hull[h - 1], p[i]) <= 0) --h;
        hull[h++] = p[i];
    }
    hull.resize(h - 1);
    HullSize size;
    for (std::size_t i = 0; i < hull.size(); ++i) {
        const auto& a = hull[i];
        const auto& b = hull[(i + 1) % hull.size()];
        size.Area += a.first * b.second - b.first * a.second;
        for (std::size_t j = i + 1; j < hull.size(); ++j)
            size.Extent = std::max(size.Extent, std::hypot(a.first - hull[j].first, a.second - hull[j].second));
    }
    size.Area = std::abs(size.Area) / 2;
    return size;
}

std::optional<FacetSearch> findFacets(const std::vector<TPoint3D>& points, const FacetSettings& settings,
                                      const ProgressCallback& progress) {
    if (!(settings.MaxAngle > 0 && settings.MaxAngle < 90))
        throw Error::refused(say("面片的法向容差 " + floatToText(settings.MaxAngle) + " 应大于 0、小于 90 度",
                                 "the facets' normal tolerance " + floatToText(settings.MaxAngle) +
                                     " should be above 0 and below 90 degrees"),
                             "angle");
    if (settings.MaxDistance && !(*settings.MaxDistance > 0 && std::isfinite(*settings.MaxDistance)))
        throw Error::refused(
            say("面片的距离容差 " + floatToText(*settings.MaxDistance) + " 应大于 0",
                "the facets' distance tolerance " + floatToText(*settings.MaxDistance) + " should be above 0"),
            "distance");
    if (!(settings.MinArea >= 0 && std::isfinite(settings.MinArea)))
        throw Error::refused(say("面片的最小面积 " + floatToText(settings.MinArea) + " 应不小于 0",
                                 "the facets' least area " + floatToText(settings.MinArea) + " should be at least 0"),
                             "min-facet-area");
    const std::size_t n = points.size();
    const auto half = [&](std::uint64_t offset) {
        return [&, offset](std::uint64_t done, std::uint64_t) { return !progress || progress(offset + done, 2 * n); };
    };
    std::optional<LocalPlanes> local = localPlanes(points, settings.Neighbours, half(0));
    if (!local) return std::nullopt;
    FacetSearch search;
    search.Spacing = local->Spacing;
    search.MaxDistance = settings.MaxDistance.value_or(std::max(3 * local->MedianRms, 0.1 * local->Spacing));
    // A cloud of coinciding points has no spacing: any plane will do.
    if (!(search.MaxDistance > 0)) search.MaxDistance = 1e-9;
    search.Member.assign(n, NoFacet);
    std::vector<std::vector<std::uint32_t>> regions =
        growRegions(points, *local, settings, search.MaxDistance, search.Member, half(n));
    if (progress && !progress(2 * n - 1, 2 * n)) return std::nullopt;
    local.reset();

    std::vector<Facet> facets(regions.size());
#pragma omp parallel for schedule(dynamic)
    for (std::size_t r = 0; r < regions.size(); ++r) {
        const PlaneFit fit = planeOf(points, regions[r]);
        std::vector<std::pair<double, double>> onPlane;
        onPlane.reserve(regions[r].size());
        for (std::uint32_t i : regions[r]) {
            const TPoint3D d = points[i] - fit.Centroid;
            onPlane.push_back({dot(d, fit.Major), dot(d, fit.Minor)});
        }
        const HullSize hull = hullSize(std::move(onPlane));
        Facet& f = facets[r];
        f.Pole = downward(fit.Normal);
        f.Plane = planeOfPole(f.Pole);
        f.Centroid = fit.Centroid;
        f.Area = hull.Area;
        f.Extent = hull.Extent;
        f.Rms = std::sqrt(fit.Least);
        f.Points = regions[r].size();
    }
    // The largest facets first; those below the least area are dropped.
    std::vector<std::uint32_t> byArea(regions.size());
    std::iota(byArea.begin(), byArea.end(), 0u);
    std::stable_sort(byArea.begin(), byArea.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return facets[a].Area > facets[b].Area; });
    std::vector<std::uint32_t> renumbered(regions.size(), NoFacet);
    for (std::uint32_t r : byArea) {
        if (facets[r].Area < settings.MinArea) continue;
        renumbered[r] = static_cast<std::uint32_t>(search.Facets.size());
        search.Facets.push_back(facets[r]);
    }
    for (std::uint32_t& m : search.Member)
        if (m != NoFacet) m = renumbered[m];

    std::vector<std::uint32_t> all(n);
    std::iota(all.begin(), all.end(), 0u);
    search.MeanPole = downward(planeOf(points, all).Normal);
    search.MeanSurface = planeOfPole(search.MeanPole);
    if (progress && !progress(2 * n, 2 * n)) return std::nullopt;
    return search;
}

} // namespace trelmox
