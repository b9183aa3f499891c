#include "analysis/cloud/normals.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#ifdef _OPENMP
#include <omp.h>
#endif

#include <Eigen/Eigenvalues>
#include <nanoflann.hpp>

#include "model/error.h"
#include "model/wording.h"

namespace trelmox {

namespace {

// The points as nanoflann reads them.
struct PointsAdaptor {
    const std::vector<TPoint3D>& points;
    std::size_t kdtree_get_point_count() const { return points.size(); }
    double kdtree_get_pt(std::uint32_t i, std::size_t axis) const {
        return axis == 0 ? points[i].x : axis == 1 ? points[i].y : points[i].z;
    }
    template <class Box> bool kdtree_get_bbox(Box&) const { return false; }
};

using Tree =
    nanoflann::KDTreeSingleIndexAdaptor<nanoflann::L2_Simple_Adaptor<double, PointsAdaptor, double, std::uint32_t>,
                                        PointsAdaptor, 3, std::uint32_t>;

constexpr std::size_t Chunk = 16384;

} // namespace

PlaneFit fitPlane(const TPoint3D& centroid, const double c[6]) {
    Eigen::Matrix3d m;
    m << c[0], c[1], c[2], c[1], c[3], c[4], c[2], c[4], c[5];
    Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d> solver;
    // The direct (closed-form) solution loses accuracy in the least
    // eigenvector when the spread is tiny against the centroid; the
    // covariance here is about the centroid, so it is well conditioned.
    solver.computeDirect(m);
    const auto& values = solver.eigenvalues();
    const auto& vectors = solver.eigenvectors();
    const auto column = [&](int i) { return TPoint3D{vectors(0, i), vectors(1, i), vectors(2, i)}; };
    return {centroid, column(0), column(2), column(1), std::max(0.0, values(0)), values(1), values(2)};
}

std::optional<LocalPlanes> localPlanes(const std::vector<TPoint3D>& points, std::size_t k,
                                       const ProgressCallback& progress) {
    if (k < 3 || k > points.size())
        throw Error::refused(
            say("近邻点数 " + std::to_string(k) + " 应在 3 到点数 " + std::to_string(points.size()) + " 之间",
                "the number of neighbours " + std::to_string(k) + " should be between 3 and the " +
                    std::to_string(points.size()) + " points"),
            "neighbours");
    const PointsAdaptor adaptor{points};
    Tree tree(3, adaptor, nanoflann::KDTreeSingleIndexAdaptorParams(16));
    tree.buildIndex();
    LocalPlanes planes;
    planes.K = k;
    const std::size_t n = points.size();
    planes.Neighbours.resize(n * k);
    planes.Normals.resize(n);
    planes.Variation.resize(n);
    planes.Rms.resize(n);
    planes.Reach.resize(n);
    std::vector<float> nearest(n);
    std::atomic<bool> cancelled = false;
    std::atomic<std::size_t> done = 0;
    const std::size_t chunks = (n + Chunk - 1) / Chunk;
#pragma omp parallel
    {
        std::vector<double> distances(k);
#pragma omp for schedule(dynamic)
        for (std::size_t chunk = 0; chunk < chunks; ++chunk) {
            if (cancelled) continue;
            const std::size_t end = std::min(n, (chunk + 1) * Chunk);
            for (std::size_t i = chunk * Chunk; i < end; ++i) {
                std::uint32_t* found = &planes.Neighbours[i * k];
                const double query[3] = {points[i].x, points[i].y, points[i].z};
                tree.knnSearch(query, k, found, distances.data());
                // The point itself first (duplicates may have come before it).
                for (std::size_t j = 1; j < k; ++j)
                    if (found[j] == i) std::swap(found[0], found[j]);
                nearest[i] = static_cast<float>(std::sqrt(distances[1]));
                planes.Reach[i] = static_cast<float>(std::sqrt(distances[k - 1]));
                TPoint3D centroid{};
                for (std::size_t j = 0; j < k; ++j) {
                    const TPoint3D& p = points[found[j]];
                    centroid = {centroid.x + p.x, centroid.y + p.y, centroid.z + p.z};
                }
                centroid = {centroid.x / k, centroid.y / k, centroid.z / k};
                double c[6] = {};
                for (std::size_t j = 0; j < k; ++j) {
                    const TPoint3D& p = points[found[j]];
                    const double d[3] = {p.x - centroid.x, p.y - centroid.y, p.z - centroid.z};
                    c[0] += d[0] * d[0], c[1] += d[0] * d[1], c[2] += d[0] * d[2];
                    c[3] += d[1] * d[1], c[4] += d[1] * d[2], c[5] += d[2] * d[2];
                }
                for (double& v : c) v /= k;
                const PlaneFit fit = fitPlane(centroid, c);
                planes.Normals[i] = fit.Normal;
                const double total = fit.Least + fit.Middle + fit.Greatest;
                planes.Variation[i] = total > 0 ? static_cast<float>(fit.Least / total) : 0.0f;
                planes.Rms[i] = static_cast<float>(std::sqrt(fit.Least));
            }
            done += end - chunk * Chunk;
#ifdef _OPENMP
            if (omp_get_thread_num() == 0)
#endif
                if (progress && !progress(done, n)) cancelled = true;
        }
    }
    if (cancelled) return std::nullopt;
    const auto median = [](std::vector<float> v) {
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        return static_cast<double>(v[v.size() / 2]);
    };
    planes.Spacing = median(std::move(nearest));
    planes.MedianRms = median(planes.Rms);
    planes.MedianReach = median(planes.Reach);
    if (progress && !progress(n, n)) return std::nullopt;
    return planes;
}

} // namespace trelmox
