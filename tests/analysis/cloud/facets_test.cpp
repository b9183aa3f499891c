#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "analysis/cloud/cloud_analysis.h"
#include "analysis/cloud/thinning.h"
#include "analysis/orientation.h"
#include "analysis/vec3.h"
#include "model/error.h"
#include "tests/analysis/cloud/synthetic_cloud.h"

using namespace trelmox;

namespace {

double axialAngle(const TPlaneAttitude& a, const TPlaneAttitude& b) {
    return degrees(std::acos(std::min(1.0, std::abs(dot(planePole(a), planePole(b))))));
}

CloudResult analysed(const test::SyntheticCloud& synthetic, const CloudSettings& settings) {
    PointCloud cloud;
    cloud.Points = synthetic.Points;
    return *analyseCloud(cloud, settings);
}

// The set nearest a true one.
const JointSet& nearestSet(const CloudJoints& joints, const TPlaneAttitude& truth) {
    const JointSet* nearest = &joints.Sets.front();
    for (const JointSet& s : joints.Sets)
        if (axialAngle(s.Stats.MeanPlane, truth) < axialAngle(nearest->Stats.MeanPlane, truth)) nearest = &s;
    return *nearest;
}

// The Fisher mean of the true poles of a set's facets, weighted as the
// run weights them: what a perfect measurement of these facets would give.
TPlaneAttitude sampleMean(const test::SyntheticCloud& synthetic, int set, bool byArea) {
    std::vector<WeightedPole> poles;
    for (std::size_t f = 0; f < synthetic.FacetOf.size(); ++f)
        if (synthetic.FacetOf[f] == set)
            poles.push_back({synthetic.FacetPole[f], byArea ? std::pow(synthetic.FacetSide[f], 2) : 1.0});
    return fisherStatistics(poles).MeanPlane;
}

// Fisher's K from n planes scatters by about K / sqrt(n - 1); weighted
// planes count as (sum w)^2 / sum w^2 of them.
double kappaError(const JointSet& set, const CloudJoints& joints) {
    double sum = 0, squares = 0;
    for (std::size_t i : set.Members) sum += joints.Planes[i].Weight, squares += std::pow(joints.Planes[i].Weight, 2);
    return *set.Stats.Kappa / std::sqrt(sum * sum / squares - 1);
}

TEST(CloudSets, SyntheticFaceGivesItsSetsAndFace) {
    struct Case {
        const char* name;
        double noise, outliers;
        int sets; // 0: automatic up to 6
        bool byArea;
    } cases[] = {
        {"quiet, three sets", 0.005, 0.0, 3, true},
        {"noisy with outliers, automatic", 0.02, 0.05, 0, true},
        {"counted, automatic", 0.01, 0.02, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::SyntheticFace face;
        face.Noise = c.noise;
        face.Outliers = c.outliers;
        CloudSettings settings;
        settings.Sets.Sets = c.sets;
        settings.Sets.ByArea = c.byArea;
        const test::SyntheticCloud synthetic = test::syntheticCloud(face);
        const CloudResult result = analysed(synthetic, settings);
        const CloudJoints& joints = result.Joints;
        ASSERT_TRUE(joints.Face.has_value());
        EXPECT_LT(axialAngle(joints.Face->Stats.MeanPlane, sampleMean(synthetic, -1, c.byArea)), 2.0);
        EXPECT_GE(joints.Face->Members.size(), static_cast<std::size_t>(face.FaceFacets * 0.9));
        ASSERT_EQ(joints.Sets.size(), face.Sets.size());
        for (std::size_t s = 0; s < face.Sets.size(); ++s) {
            const test::TrueSet& truth = face.Sets[s];
            const JointSet& set = nearestSet(joints, truth.Plane);
            EXPECT_LT(axialAngle(set.Stats.MeanPlane, sampleMean(synthetic, static_cast<int>(s), c.byArea)), 2.0)
                << set.Label;
            // A facet may come out in two pieces where noise breaks it.
            EXPECT_GE(set.Members.size(), static_cast<std::size_t>(truth.Facets * 0.8)) << set.Label;
            EXPECT_LE(set.Members.size(), static_cast<std::size_t>(truth.Facets * 1.2)) << set.Label;
            ASSERT_TRUE(set.Stats.Kappa.has_value());
            EXPECT_NEAR(*set.Stats.Kappa, truth.Kappa, 3 * kappaError(set, joints)) << set.Label;
        }
        // Labels by decreasing weight, no face facet among the joints'.
        for (std::size_t s = 0; s < joints.Sets.size(); ++s)
            EXPECT_EQ(joints.Sets[s].Label, "J" + std::to_string(s + 1));
        for (std::size_t p = 0; p < joints.Planes.size(); ++p)
            EXPECT_NE(joints.FacetSet[joints.PlaneFacet[p]], FaceLabel);
    }
}

TEST(CloudFacets, FacetsMeasureTheirSquares) {
    test::SyntheticFace face;
    face.Sides = {3.0, 1.5};
    face.Outliers = 0;
    const test::SyntheticCloud synthetic = test::syntheticCloud(face);
    const CloudResult result = analysed(synthetic, {});
    const std::vector<Facet>& facets = result.Search.Facets;
    ASSERT_GE(facets.size(), synthetic.FacetOf.size());
    // Largest first: the 3 m squares, then the 1.5 m ones.
    const std::size_t large = (synthetic.FacetOf.size() + 1) / 2;
    for (std::size_t i : {std::size_t{0}, large - 1, large, synthetic.FacetOf.size() - 1}) {
        SCOPED_TRACE(i);
        const double side = i < large ? 3.0 : 1.5;
        EXPECT_NEAR(facets[i].Area, side * side, 0.12 * side * side);
        // The corners of a square may be lost where a neighbouring facet
        // comes within reach of their neighbourhoods.
        EXPECT_NEAR(facets[i].Extent, side * std::sqrt(2.0), 0.1 * side * std::sqrt(2.0));
        EXPECT_NEAR(facets[i].Rms, face.Noise, 0.3 * face.Noise);
        EXPECT_NEAR(static_cast<double>(facets[i].Points), face.Density * side * side,
                    0.1 * face.Density * side * side);
        EXPECT_NEAR(facets[i].Centroid.z, face.Origin.z, 200); // back in survey coordinates
    }
    EXPECT_LT(axialAngle(result.Search.MeanSurface, face.Face), 3.0);
    // Facets below the least area are dropped.
    CloudSettings settings;
    settings.Facets.MinArea = 4;
    EXPECT_EQ(analysed(synthetic, settings).Search.Facets.size(), large);
}

TEST(CloudFacets, HullOfSquareAndDegenerateSets) {
    struct Case {
        std::vector<std::pair<double, double>> points;
        double area, extent;
    } cases[] = {
        {{{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0.5, 0.5}, {0.2, 0.7}}, 1, std::sqrt(2.0)},
        {{{0, 0}, {2, 0}, {0, 1}}, 1, std::sqrt(5.0)},
        {{{0, 0}, {1, 1}, {2, 2}, {3, 3}}, 0, 3 * std::sqrt(2.0)}, // collinear: a length, no area
        {{{1, 1}, {1, 1}, {1, 1}}, 0, 0},
    };
    for (const Case& c : cases) {
        const HullSize size = hullSize(c.points);
        EXPECT_NEAR(size.Area, c.area, 1e-12);
        EXPECT_NEAR(size.Extent, c.extent, 1e-12);
    }
}

TEST(CloudFacets, VoxelThinningKeepsCentroids) {
    const std::vector<TPoint3D> points = {{0.1, 0.1, 0.1}, {0.3, 0.1, 0.1}, {1.5, 0.2, 0.2}, {0.2, 0.4, 0.1}};
    const std::vector<TPoint3D> thinned = voxelThin(points, 1);
    ASSERT_EQ(thinned.size(), 2u);
    EXPECT_NEAR(thinned[0].x, 0.2, 1e-12);
    EXPECT_NEAR(thinned[0].y, 0.2, 1e-12);
    EXPECT_NEAR(thinned[1].x, 1.5, 1e-12);
    EXPECT_EQ(voxelThin(points, 0).size(), points.size());
    for (double bad : {-1.0, std::nan(""), 1e-9}) EXPECT_THROW(voxelThin(points, bad), Error) << bad;
}

TEST(CloudSets, ExtentFitsTellExponentialFromLognormal) {
    std::mt19937_64 random(3);
    std::vector<double> exponential, lognormal;
    std::exponential_distribution<double> e(1 / 2.0);
    std::lognormal_distribution<double> l(std::log(2.0), 0.3);
    for (int i = 0; i < 2000; ++i) exponential.push_back(e(random)), lognormal.push_back(l(random));
    const ExtentFit a = fitExtents(exponential), b = fitExtents(lognormal);
    EXPECT_NEAR(a.Mean, 2.0, 0.15);
    EXPECT_FALSE(a.LognormalBetter);
    EXPECT_TRUE(b.LognormalBetter);
    EXPECT_NEAR(*b.LognormalMean, 2.0 * std::exp(0.045), 0.05);
    EXPECT_NEAR(*b.LognormalSd, *b.LognormalMean * std::sqrt(std::expm1(0.09)), 0.05);
    const ExtentFit same = fitExtents({1.5, 1.5, 1.5});
    EXPECT_EQ(same.Mean, 1.5);
    EXPECT_FALSE(same.LognormalMean.has_value());
}

TEST(CloudFacets, CancelledAndRefusedRuns) {
    test::SyntheticFace face;
    face.Sets.resize(1);
    PointCloud cloud;
    cloud.Points = test::syntheticCloud(face).Points;
    EXPECT_FALSE(analyseCloud(cloud, {}, [](std::uint64_t done, std::uint64_t) { return done < 500; }));
    struct Case {
        const char* name;
        CloudSettings settings;
    } refused[] = {
        {"angle", {0, {20, 0, std::nullopt}, {}}},
        {"neighbours", {0, {2, 15, std::nullopt}, {}}},
        {"sets", {0, {}, {60}}},
        {"voxel", {-1, {}, {}}},
    };
    for (const Case& c : refused) EXPECT_THROW(analyseCloud(cloud, c.settings), Error) << c.name;
    PointCloud few;
    few.Points.assign(10, {1, 2, 3});
    EXPECT_THROW(analyseCloud(few, {}), Error); // fewer points than neighbours
}

} // namespace
