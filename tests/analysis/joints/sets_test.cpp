#include "analysis/joints/sets.h"
#include "analysis/joints/set_grouping.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/orientation.h"
#include "analysis/probabilistic/fisher.h"
#include "analysis/vec3.h"
#include "tests/model/test_support.h"

namespace trelmox {
namespace {

using testing::messageOf;

Measurement plane(TPoint3D pole, std::string set = "", double weight = 1) {
    return {planeOfPole(pole), std::move(set), weight, 0};
}

// n planes whose poles lie at `angle` from the pole of `mean`, evenly
// round it: their resultant is exactly n cos(angle) along that pole.
std::vector<Measurement> ring(const TPlaneAttitude& mean, int n, double angle) {
    const TPoint3D axis = planePole(mean);
    const TPoint3D across1 = (1 / norm(cross(axis, {0, 0, 1}))) * cross(axis, {0, 0, 1});
    const TPoint3D across2 = cross(axis, across1);
    std::vector<Measurement> planes;
    for (int k = 0; k < n; ++k) {
        const double a = 2 * std::numbers::pi * k / n;
        planes.push_back(plane(std::cos(radians(angle)) * axis +
                               std::sin(radians(angle)) * (std::cos(a) * across1 + std::sin(a) * across2)));
    }
    return planes;
}

// n Fisher-distributed planes about the pole of `mean`.
std::vector<Measurement> fisherSet(const TPlaneAttitude& mean, double kappa, int n, std::uint64_t seed,
                                   const std::string& label = "") {
    const FisherDistribution distribution(planePole(mean), kappa);
    const FisherStream stream(seed, 0);
    std::vector<Measurement> planes;
    for (int i = 0; i < n; ++i) planes.push_back(plane(stream.pole(i, distribution), label));
    return planes;
}

double angleBetween(const TPoint3D& a, const TPoint3D& b) {
    return degrees(std::acos(std::min(1.0, std::abs(dot(a, b)))));
}

// R = n cos a, K = (n - 1) / (n - R), and the cone from Fisher's formula,
// worked by hand; a doubled weight counts as two planes.
TEST(FisherStatistics, MatchTheClosedFormsOnHandCheckedSets) {
    const TPlaneAttitude mean{40, 20};
    const struct {
        int n;
        double angle, resultant, kappa, cone;
    } cases[] = {
        {4, 10, 3.939231, 49.36729, 13.20666},
        {3, 20, 2.819078, 11.05448, 38.99817},
        {6, 5, 5.977168, 218.9927, 4.537638},
    };
    for (const auto& c : cases) {
        const FisherStats stats = fisherStatistics(polesOf(ring(mean, c.n, c.angle)));
        EXPECT_NEAR(stats.Resultant, c.resultant, 1e-6);
        EXPECT_NEAR(*stats.Kappa, c.kappa, 1e-4 * c.kappa);
        EXPECT_NEAR(*stats.Cone95, c.cone, 1e-5);
        EXPECT_NEAR(stats.MeanPlane.DipAngle, mean.DipAngle, 1e-9);
        EXPECT_NEAR(stats.MeanPlane.DipDirection, mean.DipDirection, 1e-9);
    }
    std::vector<Measurement> doubled = ring(mean, 2, 10);
    for (Measurement& m : doubled) m.Weight = 2;
    const FisherStats weighted = fisherStatistics(polesOf(doubled));
    EXPECT_EQ(weighted.Weight, 4);
    EXPECT_NEAR(weighted.Resultant, 3.939231, 1e-6);

    // No scatter: K infinite, the cone 0, also for a total weight just
    // above 1, where the cone's power overflows.
    for (const double weight : {1.0, 0.5000001}) {
        std::vector<Measurement> planes = ring(mean, 5, 0);
        if (weight != 1) planes.resize(2), planes[0].Weight = 0.5, planes[1].Weight = weight;
        const FisherStats same = fisherStatistics(polesOf(planes));
        EXPECT_TRUE(std::isinf(*same.Kappa));
        EXPECT_EQ(*same.Cone95, 0) << weight;
    }
    const FisherStats single = fisherStatistics(polesOf(ring(mean, 1, 0)));
    EXPECT_FALSE(single.Kappa || single.Cone95);
}

// K of a drawn set comes back within its sampling error (the estimate's
// relative deviation is about 1 / sqrt(n)), the mean within a few cones;
// also for steep planes whose poles straddle the rim, where half the poles
// are stored in the opposite sense.
TEST(FisherStatistics, RecoverTheConcentrationOfADrawnSet) {
    const int n = 2000;
    const struct {
        TPlaneAttitude mean;
        double kappa;
    } cases[] = {{{40, 20}, 20}, {{88, 135}, 50}, {{90, 270}, 8}, {{10, 300}, 200}};
    for (const auto& c : cases) {
        const FisherStats stats = fisherStatistics(polesOf(fisherSet(c.mean, c.kappa, n, 7)));
        EXPECT_NEAR(*stats.Kappa, c.kappa, 4 * c.kappa / std::sqrt(n)) << c.mean.DipAngle;
        EXPECT_LT(angleBetween(stats.MeanPole, planePole(c.mean)), 3 * *stats.Cone95) << c.mean.DipAngle;
    }
}

TEST(JointSets, FromLabelsAndFromAWindow) {
    std::vector<Measurement> planes = fisherSet({40, 20}, 100, 30, 1, "A");
    const auto b = fisherSet({70, 200}, 100, 20, 2, "B");
    planes.insert(planes.begin() + 10, b.begin(), b.end());
    planes.push_back(plane(planePole({5, 0})));
    const auto sets = labelledSets(planes);
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0].Label, "A");
    EXPECT_EQ(sets[0].Members.size(), 30u);
    EXPECT_EQ(sets[1].Members.front(), 10u);

    // The window takes B whichever sense its centre is given in.
    for (double sense : {1.0, -1.0}) {
        const JointSet window = windowSet(planes, {"W", sense * planePole({70, 200}), 20});
        EXPECT_EQ(window.Members, sets[1].Members);
    }
    EXPECT_EQ(messageOf([&] { windowSet(planes, {"W", {1, 0, 0}, 5}); }), "选取窗口“W”内没有结构面极点");
    EXPECT_EQ(messageOf([&] { windowSet(planes, {"W", {1, 0, 0}, 0}); }), "选取窗口的半顶角 0 应大于 0、不大于 90 度");
}

// Three well separated sets, one of steep planes across the rim, are found
// whole, largest first, and the same on every run with the same seed.
TEST(JointSets, GroupingFindsSeparatedSets) {
    std::vector<Measurement> planes;
    for (const auto& [mean, n] :
         {std::pair{TPlaneAttitude{30, 40}, 60}, {TPlaneAttitude{85, 300}, 90}, {TPlaneAttitude{60, 190}, 30}}) {
        const auto set = fisherSet(mean, 60, n, n);
        planes.insert(planes.end(), set.begin(), set.end());
    }
    const auto sets = groupSets(planes, 3, 11);
    ASSERT_EQ(sets.size(), 3u);
    EXPECT_EQ(sets[0].Label, "J1");
    EXPECT_EQ(sets[0].Members.front(), 60u);
    EXPECT_EQ(sets[0].Members.size(), 90u);
    EXPECT_EQ(sets[1].Members.size(), 60u);
    EXPECT_EQ(sets[2].Members.size(), 30u);
    const auto again = groupSets(planes, 3, 11);
    for (std::size_t s = 0; s < 3; ++s) EXPECT_EQ(again[s].Members, sets[s].Members);

    EXPECT_EQ(messageOf([&] { groupSets(planes, 181); }), "分组数 181 应在 1 到结构面数 180 之间");
    EXPECT_EQ(messageOf([&] { groupSets(ring({40, 20}, 4, 0), 2); }), "结构面只有 1 种不同产状，不能分成 2 组");
}

TEST(SetGroupingTest, ReadsEachGroupingAndRefusesEveryOtherText) {
    using Kind = SetGrouping::Kind;
    const struct {
        std::string text;
        SetGrouping grouping;
    } read[] = {{"planes", {}},
                {"labels", {Kind::Labels}},
                {"auto:1", {Kind::Automatic, 1}},
                {"auto:12", {Kind::Automatic, 12}},
                {"auto:007", {Kind::Automatic, 7}}};
    for (const auto& c : read) EXPECT_EQ(parseSetGrouping(c.text), c.grouping) << c.text;
    // No count, none at all, a sign, a fraction, trailing text, a count
    // beyond an int, another case or a space: each refused, not read in part.
    for (const std::string text : {"", "auto:", "auto:0", "auto:-2", "auto:+2", "auto:2.5", "auto:2x", "auto: 2",
                                   "auto:99999999999", "Auto:2", "auto", "plane", "labels ", "3"}) {
        try {
            parseSetGrouping(text);
            ADD_FAILURE() << "read '" << text << "'";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::RefusedInput) << text;
            EXPECT_EQ(e.field(), "sets") << text;
            EXPECT_EQ(std::string(e.what()),
                      "invalid value '" + text + "' for --sets (planes, labels or auto:N with N >= 1)");
        }
    }
}

} // namespace
} // namespace trelmox
