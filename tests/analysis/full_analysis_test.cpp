#include "analysis/full_analysis.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <iostream>
#include <random>

#include "analysis/support.h"
#include "analysis/vec3.h"
#include "model/error.h"
#include "tests/support/example_block.h"

using namespace trelmox;
using trelmox::testing::exampleAttitudes;
using trelmox::testing::exampleParams;

namespace {

struct RandomWedge {
    PlaneAttitudeArray Attitudes;
    WedgeNumbers Numbers;
};

class Randoms {
public:
    explicit Randoms(std::uint64_t seed) : random_(seed) {}
    double between(double lo, double hi) { return lo + (hi - lo) * unit_(random_); }
    bool chance(double p) { return unit_(random_) < p; }

    // Planes and parameters over their whole ranges, an overhanging face now
    // and then, water pressures from none to enough to lift the wedge.
    RandomWedge wedge(double topDip) {
        RandomWedge w;
        w.Attitudes[0] = {between(5, 85), between(0, 360)};
        w.Attitudes[1] = {between(5, 85), between(0, 360)};
        w.Attitudes[2] = {topDip, between(0, 360)};
        w.Attitudes[3] = {between(30, 89), between(0, 360)};
        WedgeNumbers& n = w.Numbers;
        n.RockUnitWeight = between(20, 30);
        n.SlopeHeight = between(5, 100);
        n.Cohesion1 = chance(0.3) ? 0 : between(0, 50);
        n.Cohesion2 = chance(0.3) ? 0 : between(0, 50);
        n.Friction1 = between(0, 1);
        n.Friction2 = between(0, 1);
        n.WaterUnitWeight = 9.81;
        n.OverhangCoefficient = chance(0.1) ? -1 : 1;
        const double u = between(0, 3) * n.SlopeHeight * n.WaterUnitWeight / 6;
        n.WaterPressure1 = chance(0.3) ? 0 : u * between(0, 2);
        n.WaterPressure2 = chance(0.3) ? 0 : u * between(0, 2);
        return w;
    }

    // Wedges that exist, under tops dipping up to 30 degrees.
    std::vector<std::pair<RandomWedge, FullAnalysis>> existing(int count, const WedgeLoads& loads = {}) {
        std::vector<std::pair<RandomWedge, FullAnalysis>> found;
        while (int(found.size()) < count) {
            RandomWedge w = wedge(between(0, 30));
            FullAnalysis a = analyseWedge(w.Attitudes, w.Numbers, loads);
            if (!a.Refusal) found.emplace_back(w, a);
        }
        return found;
    }

private:
    std::mt19937_64 random_;
    std::uniform_real_distribution<double> unit_{0, 1};
};

WedgeNumbers exampleNumbers() { return readWedgeNumbers(exampleParams()); }

double factorWith(const PlaneAttitudeArray& attitudes, const WedgeNumbers& numbers, const WedgeLoads& loads) {
    return analyseWedge(attitudes, numbers, loads).Safety.Factor;
}

} // namespace

// The check that both computations are right: under a horizontal top the
// real wedge is the one Kc is normalised to.
TEST(FullAnalysis, AgreesWithKcUnderAHorizontalTopInEveryContactCase) {
    Randoms r(11);
    std::array<int, 6> seen{};
    for (int i = 0; i < 20000; ++i) {
        const RandomWedge w = r.wedge(0);
        SafetyResult kc;
        try {
            kc = computeSafetyFactor(w.Attitudes, w.Numbers);
        } catch (const Error&) {
            continue;
        }
        const FullAnalysis full = analyseWedge(w.Attitudes, w.Numbers, WedgeLoads{});
        ++seen[int(kc.Contact)];
        ASSERT_EQ(full.Safety.Contact, kc.Contact) << i;
        if (kc.SafetyFactor != 0) {
            ASSERT_NEAR(full.Safety.Factor / kc.SafetyFactor, 1, 1e-9) << i;
        }
    }
    std::cout << "contact cases seen:";
    for (int c = 0; c < 6; ++c) std::cout << ' ' << contactName(TWedgeContact(c)) << ' ' << seen[c];
    std::cout << '\n';
    for (TWedgeContact c : {TWedgeContact::NoBlock, TWedgeContact::BothPlanes, TWedgeContact::FirstPlaneOnly,
                            TWedgeContact::SecondPlaneOnly, TWedgeContact::LiftOff})
        EXPECT_GT(seen[int(c)], 100) << contactName(c);
}

TEST(FullAnalysis, ExampleBlockIsTheWedgeTheCornersDescribe) {
    const FullAnalysis a = analyseWedge(exampleAttitudes(), exampleNumbers(), WedgeLoads{});
    EXPECT_NEAR(a.Shape.Volume, 17896.9513, 5e-4);
    EXPECT_NEAR(intersectionDirection(a.Shape).Plunge, 31.1965, 5e-5);
    EXPECT_NEAR(a.Shape.LineTop.z, 55.5052926959, 1e-9);
    const BlockVertices v = trelmox::testing::exampleVertices();
    for (const TPoint3D& corner : {v.Vertex2, v.Vertex3, v.Vertex4}) {
        const std::vector<TPoint3D> corners = wedgeCorners(a.Shape);
        EXPECT_TRUE(std::any_of(corners.begin(), corners.end(),
                                [&](const TPoint3D& c) { return norm(c - corner) < 1e-8; }));
    }
    // Saturated from the real height the line of intersection climbs (55.5, not 40).
    WedgeLoads saturated;
    saturated.Water = WaterMode::Saturated;
    EXPECT_NEAR(factorWith(exampleAttitudes(), exampleNumbers(), saturated), 1.0076, 5e-5);
}

TEST(FullAnalysis, DecidesWhetherTheInclinedTopCutsOutAWedge) {
    WedgeNumbers n = exampleNumbers();
    n.SlopeHeight = 30;
    n.WaterPressure1 = n.WaterPressure2 = ComputeWaterPressure(n.WaterUnitWeight, n.SlopeHeight);
    // The line of intersection rises more gently than the top above it.
    const PlaneAttitudeArray never{{{30, 105}, {30, 195}, {24, 150}, {70, 180}}};
    const FullAnalysis refused = analyseWedge(never, n, WedgeLoads{});
    ASSERT_EQ(refused.Refusal, WedgeRefusal::MissesUpperSlope);
    EXPECT_EQ(refused.Safety.Contact, TWedgeContact::NoBlock);
    EXPECT_EQ(refusalMessage(*refused.Refusal), "两切割面的交线不在坡顶线后方与坡顶面相交，不能切除块体");
    // A top dipping into the slope, which Kc's test refuses.
    const PlaneAttitudeArray real{{{31.33, 140}, {31.33, 220}, {30, 0}, {60, 180}}};
    EXPECT_EQ(computeSafetyFactor(real, n).Contact, TWedgeContact::NoBlock);
    const FullAnalysis analysed = analyseWedge(real, n, WedgeLoads{});
    EXPECT_FALSE(analysed.Refusal);
    EXPECT_EQ(analysed.Safety.Contact, TWedgeContact::BothPlanes);
    EXPECT_NEAR(analysed.Shape.Volume, 6620.37, 5e-3);
    EXPECT_GT(analysed.Safety.Factor, 1.3);
}

TEST(FullAnalysis, RefusesWhatIsNoFiniteWedge) {
    const struct {
        const char* name;
        PlaneAttitudeArray attitudes;
        double height;
        WedgeRefusal refusal;
    } cases[] = {
        {"no height", exampleAttitudes(), 0, WedgeRefusal::ToeNotBelowTop},
        {"parallel planes", {{{45, 105}, {45, 105}, {12, 195}, {65, 185}}}, 40, WedgeRefusal::ParallelPlanes},
        {"plunging into the slope", {{{45, 285}, {70, 55}, {12, 195}, {65, 185}}}, 40, WedgeRefusal::NoDaylight},
        {"steeper than the face", {{{80, 150}, {80, 220}, {0, 0}, {40, 185}}}, 40, WedgeRefusal::NoDaylight},
    };
    for (const auto& c : cases) {
        WedgeNumbers n = exampleNumbers();
        n.SlopeHeight = c.height;
        EXPECT_EQ(analyseWedge(c.attitudes, n, WedgeLoads{}).Refusal, c.refusal) << c.name;
    }
}

// Properties that hold for every wedge, with and without a crack.
TEST(WedgeShape, IsAClosedConvexPolyhedronOnItsPlanes) {
    Randoms r(7);
    int cracked = 0;
    for (int i = 0; i < 3000; ++i) {
        WedgeLoads loads;
        if (r.chance(0.5)) loads.Crack = TensionCrack{{r.between(50, 90), r.between(0, 360)}, r.between(0, 20), 0};
        RandomWedge w = r.wedge(r.between(0, 30));
        const FullAnalysis a = analyseWedge(w.Attitudes, w.Numbers, loads);
        if (a.Refusal) continue;
        cracked += loads.Crack.has_value();
        const WedgeShape& s = a.Shape;
        const double size = std::cbrt(s.Volume);
        const TPoint3D origin{3 * size, -2 * size, size}; // any point: the divergence theorem holds for all
        TPoint3D closure{};
        double divergence = 0;
        for (const WedgePolygon& f : s.Faces) {
            if (f.Count == 0) continue;
            closure = closure + f.Area * f.Normal;
            divergence += f.Area * dot(f.Normal, f.Points[0] - origin) / 3;
            for (int k = 0; k < f.Count; ++k) // every point on its face's plane
                ASSERT_NEAR(dot(f.Normal, f.Points[k] - f.Points[0]), 0, 1e-9 * size) << i;
            for (const TPoint3D& corner : wedgeCorners(s)) // and the wedge inside it
                ASSERT_LE(dot(f.Normal, corner - f.Points[0]), 1e-9 * size) << i;
        }
        ASSERT_NEAR(norm(closure), 0, 1e-9 * size * size) << i;
        ASSERT_NEAR(divergence, s.Volume, 1e-9 * s.Volume) << i;
        const WedgePolygon& top = s.Faces[int(WedgeSurface::UpperSlope)];
        const TPoint3D t = upwardNormal(w.Attitudes[2]);
        if (top.Count > 0) {
            ASSERT_NEAR(dot(top.Points[0], t), w.Numbers.SlopeHeight * t.z, 1e-9 * size);
        }
    }
    EXPECT_GT(cracked, 300);
}

TEST(WedgeShape, ACrackMovingTowardTheCrestShrinksTheWedge) {
    Randoms r(5);
    for (auto& [w, whole] : r.existing(300)) {
        WedgeLoads loads;
        const double trend = intersectionDirection(whole.Shape).Trend;
        loads.Crack = TensionCrack{{r.between(60, 90), trend + r.between(-30, 30)}, 0, 0};
        double previous = whole.Shape.Volume;
        for (double fraction : {0.8, 0.6, 0.4, 0.2}) {
            loads.Crack->Distance = fraction * std::hypot(whole.Shape.LineTop.x, whole.Shape.LineTop.y);
            const FullAnalysis a = analyseWedge(w.Attitudes, w.Numbers, loads);
            if (a.Refusal) break; // the crack has left the line of intersection
            ASSERT_LT(a.Shape.Volume, previous);
            previous = a.Shape.Volume;
        }
    }
}

TEST(WedgeShape, CrackAcrossTheWedgeIsRefusedBeyondIt) {
    WedgeLoads loads;
    loads.Crack = TensionCrack{{80, 0}, 5, 0};
    const FullAnalysis near = analyseWedge(exampleAttitudes(), exampleNumbers(), loads);
    ASSERT_FALSE(near.Refusal);
    EXPECT_EQ(near.Shape.Faces[int(WedgeSurface::Crack)].Count, 3);
    loads.Crack->Distance = 500; // behind the upper end of the line of intersection
    const FullAnalysis far = analyseWedge(exampleAttitudes(), exampleNumbers(), loads);
    EXPECT_EQ(far.Refusal, WedgeRefusal::CrackMissesWedge);
}

// The least bolt force is the least over every direction, on wedges whose
// force varies in kinks between contact cases and has more than one local
// least (a net and compass search stopped at one on about one wedge in six,
// up to a third above the least).
TEST(Support, TheLeastBoltForceIsLeastOnRandomWedges) {
    Randoms r(5);
    int compared = 0;
    for (const auto& [w, a] : r.existing(40)) {
        for (BoltMode mode : {BoltMode::Active, BoltMode::Passive}) {
            const double required = r.between(1.1, 2);
            const auto least = leastBoltForce(a, w.Numbers, mode, required);
            if (!least || least->Force == 0) continue;
            ++compared;
            const auto along = requiredBoltForce(a, w.Numbers, {least->Direction, mode}, required);
            ASSERT_TRUE(along);
            EXPECT_NEAR(*along, least->Force, 1e-9 * least->Force);
            for (double trend = 0; trend < 360; trend += 6)
                for (double plunge = -84; plunge <= 84; plunge += 6)
                    if (const auto force = requiredBoltForce(a, w.Numbers, {{trend, plunge}, mode}, required)) {
                        ASSERT_GE(*force, least->Force * (1 - 1e-9)) << compared << ' ' << trend << ' ' << plunge;
                    }
        }
    }
    EXPECT_GT(compared, 30);
}
