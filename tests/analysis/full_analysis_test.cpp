#include "analysis/full_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
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

WedgeNumbers exampleNumbers() { return wedgeNumbers(parameterNumbers(exampleParams())); }

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
        EXPECT_TRUE(
            std::any_of(corners.begin(), corners.end(), [&](const TPoint3D& c) { return norm(c - corner) < 1e-8; }));
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
            const auto least = leastBoltForce(a, w.Numbers, {}, mode, required);
            if (!least || least->Force == 0) continue;
            ++compared;
            const auto along = requiredBoltForce(a, w.Numbers, {}, {least->Direction, mode}, required);
            ASSERT_TRUE(along);
            EXPECT_NEAR(*along, least->Force, 1e-9 * least->Force);
            for (double trend = 0; trend < 360; trend += 6)
                for (double plunge = -84; plunge <= 84; plunge += 6)
                    if (const auto force = requiredBoltForce(a, w.Numbers, {}, {{trend, plunge}, mode}, required)) {
                        ASSERT_GE(*force, least->Force * (1 - 1e-9)) << compared << ' ' << trend << ' ' << plunge;
                    }
        }
    }
    EXPECT_GT(compared, 30);
}

// The textbook's comprehensive wedge (feet and pounds): planes 45/105 and
// 70/235 under a top of 12/195 and a face of 65/185, the crest 100 ft above
// the toe where plane 1 meets it, a crack of 70/165 crossing plane 1's trace
// on the top 40 ft behind the crest, full of water. The crack's rim is
// lowest at 108.14 ft and the water spills there: Fs 1.1751 (filled to the
// crack's highest point, 115.23 ft, it was 1.0603). The textbook's 1.1378
// takes the water up to the top vertically above the crack's lowest corner
// (109.82 ft, above the spill point) and spreads a third of the pressure
// there over the whole crack face; the same simplification here gives
// 1.1378 as well, which checks the geometry and the forces.
TEST(FullAnalysis, CrackWaterStandsNoHigherThanTheCracksLowestRim) {
    const PlaneAttitudeArray attitudes{{{45, 105}, {70, 235}, {12, 195}, {65, 185}}};
    const WedgePlanes unit = wedgePlanes(attitudes, std::nullopt);
    // The crest corner on plane 1 for a unit height, then the height that puts it at 100 ft.
    const TPoint3D along1 = cross(unit.FirstPlane, unit.SlopeFace);
    const TPoint3D corner1 = (unit.UpperSlope.z / dot(unit.UpperSlope, along1)) * along1;
    WedgeNumbers n;
    n.SlopeHeight = 100 / corner1.z;
    n.RockUnitWeight = 160, n.WaterUnitWeight = 62.5;
    n.Cohesion1 = 500, n.Friction1 = std::tan(radians(20));
    n.Cohesion2 = 1000, n.Friction2 = std::tan(radians(30));
    // The crack through the point 40 ft along plane 1's trace on the top,
    // given as the horizontal distance behind the crest along the line of
    // intersection's trend; its plane moves linearly with that distance.
    WedgeLoads loads;
    loads.Water = WaterMode::Saturated;
    loads.Crack = TensionCrack{{70, 165}, 0, 1e9};
    const TPoint3D crackNormal = upwardNormal(loads.Crack->Attitude);
    TPoint3D trace = cross(unit.FirstPlane, unit.UpperSlope);
    if (dot(trace, unit.SlopeFace) > 0) trace = -1 * trace;
    const TPoint3D through = 100 / corner1.z * corner1 + (40 / norm(trace)) * trace;
    const auto offsetAt = [&](double distance) {
        loads.Crack->Distance = distance;
        return dot(crackNormal, analyseWedge(attitudes, n, loads).Shape.LineEnd - through);
    };
    const double at0 = offsetAt(0), at1 = offsetAt(1);
    loads.Crack->Distance = -at0 / (at1 - at0);
    const FullAnalysis a = analyseWedge(attitudes, n, loads);
    ASSERT_FALSE(a.Refusal);
    EXPECT_NEAR(a.Shape.LineEnd.z + a.Forces.CrackWaterDepth, 108.142, 5e-4);
    EXPECT_TRUE(a.Forces.CrackSpills);
    EXPECT_NEAR(a.Safety.Factor, 1.1751, 5e-5);

    const TPoint3D bottom = a.Shape.LineEnd, top = unit.UpperSlope;
    const double depth = (n.SlopeHeight * top.z - top.x * bottom.x - top.y * bottom.y) / top.z - bottom.z;
    const double pressure = n.WaterUnitWeight * depth / 3;
    WedgeForces textbook = a.Forces;
    textbook.Water1 = (pressure * a.Shape.Faces[int(WedgeSurface::FirstPlane)].Area) * a.Shape.Inward1;
    textbook.Water2 = (pressure * a.Shape.Faces[int(WedgeSurface::SecondPlane)].Area) * a.Shape.Inward2;
    textbook.CrackWater = (pressure * a.Shape.Faces[int(WedgeSurface::Crack)].Area) * a.Shape.CrackInward;
    EXPECT_NEAR(vectorMethod(a.Shape, textbook.active(), {}, n, {}).Factor, 1.1378, 5e-5);
}

// Planes dipping the same way or opposite ways meet in a horizontal line;
// rounding once left it a plunge of 1e-16 and a sliver wedge of 1e-24 with
// factors from 0 to 2e17.
TEST(FullAnalysis, PlanesOfOneDipDirectionCutOutNoWedge) {
    const struct {
        TPlaneAttitude first, second;
    } cases[] = {{{5, 5}, {35, 5}}, {{14, 355}, {65, 355}}, {{45, 105}, {70, 105}}, {{45, 105}, {70, 285}}};
    for (const auto& c : cases) {
        PlaneAttitudeArray attitudes = exampleAttitudes();
        attitudes[0] = c.first, attitudes[1] = c.second;
        const FullAnalysis a = analyseWedge(attitudes, exampleNumbers(), WedgeLoads{});
        ASSERT_TRUE(a.Refusal) << c.first.DipDirection;
        EXPECT_EQ(*a.Refusal, WedgeRefusal::HorizontalLine) << c.first.DipDirection;
        EXPECT_EQ(a.Safety.Contact, TWedgeContact::NoBlock);
    }
    // A line plunging a millionth of a degree is still a line.
    EXPECT_FALSE(horizontalIntersection(upwardNormal({45, 105}), upwardNormal({70, 105.000001})));
}

// A reaction of exactly zero is the edge of contact, not an unresolved case.
TEST(FullAnalysis, AZeroReactionKeepsItsPlaneInContact) {
    const struct {
        double both1, both2, alone1, alone2;
        TWedgeContact contact;
    } cases[] = {
        {1, 0, 2, -1, TWedgeContact::BothPlanes},       {0, 1, -1, 2, TWedgeContact::BothPlanes},
        {0, 0, 0, 0, TWedgeContact::BothPlanes},        {2, -1, 0, -3, TWedgeContact::FirstPlaneOnly},
        {-1, 2, -3, 0, TWedgeContact::SecondPlaneOnly}, {-1, -1, -1, -1, TWedgeContact::LiftOff},
    };
    for (const auto& c : cases)
        EXPECT_EQ(contactCase(c.both1, c.both2, c.alone1, c.alone2), c.contact)
            << c.both1 << ' ' << c.both2 << ' ' << c.alone1 << ' ' << c.alone2;
}

// A passive bolt only resists: one along the sliding direction carries
// nothing (1e6 along the line of intersection once gave Fs -3.13), and on
// random wedges no passive bolt lowers the factor or makes it negative.
TEST(FullAnalysis, APassiveBoltNeverLowersTheFactor) {
    const FullAnalysis bare = analyseWedge(exampleAttitudes(), exampleNumbers(), WedgeLoads{});
    WedgeLoads down;
    down.Bolts = {{1e6, intersectionDirection(bare.Shape), BoltMode::Passive}};
    EXPECT_EQ(analyseWedge(exampleAttitudes(), exampleNumbers(), down).Safety.Factor, bare.Safety.Factor);

    Randoms r(19);
    int raised = 0, compared = 0;
    for (const auto& [w, a] : r.existing(400)) {
        WedgeLoads loads;
        for (int k = int(r.between(0, 3)); k > 0; --k)
            loads.Bolts.push_back({r.between(0, 2) * a.Forces.Weight.z * -1,
                                   {r.between(0, 360), r.between(-90, 90)},
                                   r.chance(0.3) ? BoltMode::Active : BoltMode::Passive});
        WedgeLoads more = loads;
        more.Bolts.push_back(
            {r.between(0, 2) * -a.Forces.Weight.z, {r.between(0, 360), r.between(-90, 90)}, BoltMode::Passive});
        double before = 0, after = 0;
        try {
            before = analyseWedge(w.Attitudes, w.Numbers, loads).Safety.Factor;
            after = analyseWedge(w.Attitudes, w.Numbers, more).Safety.Factor;
        } catch (const Error&) {
            continue; // nothing drives the wedge
        }
        ++compared;
        ASSERT_GE(before, 0);
        ASSERT_GE(after, before) << compared;
        raised += after > before;
    }
    EXPECT_GT(compared, 350);
    EXPECT_GT(raised, 50);
}

// Water in the joints and the crack never makes a wedge safer: saturated
// (the crack holding water to a random depth, draining on the face or
// not) it is never as safe as the same wedge dry, crack or no crack. A
// crack draining on the face once left the saturated wedge as safe as the
// dry one. On wedges that rest on both joints from above, the ones the
// saturated distribution (the same mean pressure on both faces) is made
// for: where a joint overlies the wedge its water presses the wedge onto
// the other joint, and the factor may rise (docs/physics-rules.md).
TEST(FullAnalysis, ASaturatedWedgeIsNeverSaferThanTheDryOne) {
    Randoms r(31);
    int compared = 0, cracked = 0, drained = 0;
    for (const auto& [w, bare] : r.existing(900)) {
        if (!(bare.Shape.Inward1.z > 0 && bare.Shape.Inward2.z > 0)) continue;
        WedgeLoads dry;
        dry.Water = WaterMode::None;
        if (r.chance(0.6)) {
            const double along = intersectionDirection(bare.Shape).Trend;
            dry.Crack = TensionCrack{{r.between(50, 90), along + r.between(-60, 60)},
                                     r.between(0, 1) * w.Numbers.SlopeHeight,
                                     r.chance(0.5) ? 1e3 : r.between(0, 0.5) * w.Numbers.SlopeHeight};
        }
        WedgeLoads wet = dry;
        wet.Water = WaterMode::Saturated;
        FullAnalysis a, b;
        try {
            a = analyseWedge(w.Attitudes, w.Numbers, dry);
            b = analyseWedge(w.Attitudes, w.Numbers, wet);
        } catch (const Error&) {
            continue; // nothing drives the wedge
        }
        if (a.Refusal) continue;
        ++compared, cracked += dry.Crack.has_value(), drained += b.Forces.CrackDrains;
        EXPECT_LE(b.Safety.Factor, a.Safety.Factor * (1 + 1e-12)) << compared;
        // Draining on the face, the crack leaves the joints wet.
        if (b.Forces.CrackDrains && a.Safety.Factor > 0 && w.Numbers.Friction1 > 0 && w.Numbers.Friction2 > 0)
            EXPECT_LT(b.Safety.Factor, a.Safety.Factor) << compared;
    }
    EXPECT_GT(compared, 300);
    EXPECT_GT(cracked, 150);
    EXPECT_GT(drained, 10);
}

// A bolt anchored over less length holds no more, so cutting the length of
// passive bolts with a capacity model - single ones and a pattern - never
// raises the factor; once their bond beyond the joint ran on past the upper
// slope. (An active bolt is a load: less of it may raise the factor where
// it pushed a wedge on a flat line of intersection back into the slope.)
TEST(FullAnalysis, CuttingABoltsAnchorageNeverRaisesTheFactor) {
    Randoms r(37);
    int compared = 0, lowered = 0;
    for (const auto& [w, bare] : r.existing(300)) {
        const LineDirection down = intersectionDirection(bare.Shape);
        const auto into = [&] { return LineDirection{down.Trend + 180 + r.between(-50, 50), r.between(-30, 40)}; };
        const BoltType types[] = {BoltType::Simple, BoltType::GroutedDowel, BoltType::Cable};
        WedgeLoads loads;
        loads.Water = r.chance(0.5) ? WaterMode::Saturated : WaterMode::None;
        for (int k = 1 + int(r.between(0, 2)); k > 0; --k) {
            BoltCapacity c = boltDefaults(types[int(r.between(0, 3))]);
            c.Length = r.between(0.2, 1.5) * w.Numbers.SlopeHeight;
            loads.Bolts.push_back({0, into(), BoltMode::Passive, c});
        }
        if (r.chance(0.5)) {
            const double spacing = r.between(0.05, 0.3) * w.Numbers.SlopeHeight;
            BoltCapacity c = boltDefaults(types[int(r.between(0, 3))]);
            c.Length = r.between(0.2, 1.5) * w.Numbers.SlopeHeight;
            loads.Pattern = BoltPattern{spacing, spacing, into(), BoltMode::Passive, c};
        }
        WedgeLoads cut = loads;
        const double share = r.between(0, 1);
        for (Bolt& b : cut.Bolts) b.Capacity->Length *= share;
        if (cut.Pattern) cut.Pattern->Capacity.Length *= share;
        double before = 0, after = 0;
        try {
            before = analyseWedge(w.Attitudes, w.Numbers, loads).Safety.Factor;
            after = analyseWedge(w.Attitudes, w.Numbers, cut).Safety.Factor;
        } catch (const Error&) {
            continue; // nothing drives the wedge, or too dense a pattern
        }
        ++compared, lowered += after < before;
        EXPECT_LE(after, before * (1 + 1e-12)) << compared;
    }
    EXPECT_GT(compared, 250);
    EXPECT_GT(lowered, 50);
}

// Every figure is finite, or the block fails with the arithmetic message.
TEST(FullAnalysis, LoadsBeyondTheRangeOfADoubleFailAsOverflow) {
    const double plain = analyseWedge(exampleAttitudes(), exampleNumbers(), WedgeLoads{}).Safety.Factor;
    WedgeLoads nothing; // no force, along a trend whose radians overflow
    nothing.Forces = {{0, {1e308, 10}}};
    EXPECT_EQ(analyseWedge(exampleAttitudes(), exampleNumbers(), nothing).Safety.Factor, plain);
    WedgeLoads far = nothing; // the same direction as 1e308 mod 360
    far.Forces = {{1000, {1e308, 10}}};
    WedgeLoads near = nothing;
    near.Forces = {{1000, {std::fmod(1e308, 360.0), 10}}};
    EXPECT_EQ(analyseWedge(exampleAttitudes(), exampleNumbers(), far).Safety.Factor,
              analyseWedge(exampleAttitudes(), exampleNumbers(), near).Safety.Factor);

    const auto overflowing = [](const char* name, WedgeLoads loads) {
        try {
            const FullAnalysis a = analyseWedge(exampleAttitudes(), exampleNumbers(), loads);
            const SupportDesign d = designSupport(a, exampleNumbers(), loads);
            ADD_FAILURE() << name << ": Fs " << a.Safety.Factor << " force " << (d.Least ? d.Least->Force : -1.0);
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), "Floating point overflow") << name;
        }
    };
    WedgeLoads shaken;
    shaken.SeismicCoefficient = 1e308;
    overflowing("k 1e308", shaken);
    WedgeLoads pushed;
    pushed.Forces = {{1e308, {150, 20}}, {1e308, {150, 20}}};
    overflowing("two forces of 1e308", pushed);
}

// Random wedges under random loads (crack, water, seismic load, forces,
// active and passive bolts): the support recommended - along the design
// bolt and along the least-force direction - reaches the required factor
// when the wedge is analysed again with it, and keeps it with a force up to
// the margin above; the report prints no figure that is not finite.
TEST(Support, TheRecommendedBoltHoldsOnRandomWedges) {
    Randoms r(23);
    int checked = 0;
    for (auto& [w, bare] : r.existing(150)) {
        WedgeLoads loads;
        loads.Water = r.chance(0.5) ? WaterMode::Saturated : WaterMode::Block;
        const double weight = -bare.Forces.Weight.z;
        if (r.chance(0.3))
            loads.Crack =
                TensionCrack{{r.between(60, 90), intersectionDirection(bare.Shape).Trend + r.between(-30, 30)},
                             r.between(0, 10),
                             r.between(0, 50)};
        if (r.chance(0.3)) loads.SeismicCoefficient = r.between(0, 0.3);
        if (r.chance(0.3)) loads.Forces = {{r.between(0, 0.5) * weight, {r.between(0, 360), r.between(-90, 90)}}};
        for (int k = int(r.between(0, 3)); k > 0; --k)
            loads.Bolts.push_back({r.between(0, 0.3) * weight,
                                   {r.between(0, 360), r.between(-90, 90)},
                                   r.chance(0.5) ? BoltMode::Active : BoltMode::Passive});
        loads.RequiredFactor = r.between(1, 2);
        loads.Preset.reset();
        const BoltMode mode = r.chance(0.5) ? BoltMode::Active : BoltMode::Passive;
        loads.Design = DesignBolt{{r.between(0, 360), r.between(-60, 60)}, mode};
        FullAnalysis a;
        SupportDesign d;
        try {
            a = analyseWedge(w.Attitudes, w.Numbers, loads);
            if (a.Refusal) continue;
            d = designSupport(a, w.Numbers, loads);
        } catch (const Error&) {
            continue; // nothing drives the wedge
        }
        const auto holds = [&](double force, const LineDirection& direction) {
            if (force == 0) return;
            ++checked;
            for (double share : {0.0, 0.25, 0.5, 0.75, 1.0}) {
                WedgeLoads with = loads;
                with.Bolts.push_back({force * (1 + BoltForceMargin * share), direction, mode});
                const double fs = analyseWedge(w.Attitudes, w.Numbers, with).Safety.Factor;
                ASSERT_GE(fs, loads.RequiredFactor) << checked << " share " << share;
            }
        };
        if (d.BoltForce) holds(*d.BoltForce, loads.Design->Direction);
        if (d.Least) holds(d.Least->Force, d.Least->Direction);
    }
    EXPECT_GT(checked, 100);
}

// An active bolt on a wedge resting on one plane turns its sliding as its
// force grows, until the sliding stops stretching a passive bolt: the set
// that carries changes where no reaction changes sign, and the factor drops
// (on the first wedge from 1.15 to 0.70) before it rises again. The force
// range was split only where reactions change sign, so the design said no
// force reaches the factor although one does (about 1 wedge in 1300 with
// two passive bolts); the force found holds up to the margin, and is no
// more than a 1 % scan of the forces along the bolt finds.
TEST(Support, TheForceAlongTheBoltIsFoundWhereTheCarryingSetChanges) {
    const struct {
        PlaneAttitudeArray planes;
        WedgeNumbers numbers; // gamma, H, c1, c2, f1, f2, gammaW, overhang, u1, u2
        std::vector<Bolt> passive;
        LineDirection design;
        double required, scanned;
    } cases[] = {
        {{{{50.5726526525, 203.961160795},
           {12.4075836845, 160.618265905},
           {15.0522062573, 330.168594209},
           {40.1222315473, 194.123873741}}},
         {27.0207844463, 25.2474140816, 0, 0, 0.204282369953, 0.23077656728, 9.81, 1, 91.1414551358, 31.4487888329},
         {{3098.8973288, {48.5298031188, 1.85126321444}, BoltMode::Passive},
          {1550.98932745, {180.959629689, 25.3216776621}, BoltMode::Passive}},
         {20.7828441373, 36.4545338376},
         1.0203987932,
         35058.8},
        {{{{55.2210600745, 309.969890198},
           {67.0192594839, 0.769474500528},
           {15.2449549292, 354.550824448},
           {88.50020415, 332.342073420}}},
         {22.5100245018, 9.19065381046, 44.8882319878, 46.1645407006, 0.14257244913, 0.971818162245, 9.81, 1,
          14.6537300394, 29.3721797175},
         {{108.801705673, {334.058272724, 22.4846912695}, BoltMode::Passive},
          {1146.09759851, {100.678171457, 8.22457800695}, BoltMode::Passive}},
         {228.457528495, 5.25596975354},
         1.01148701209,
         2213.8},
        {{{{17.569999016, 13.8147489423},
           {57.3080169562, 62.3124214501},
           {6.47587381616, 255.440627738},
           {54.7564688939, 59.9232957469}}},
         {28.0372592608, 23.7304195253, 0, 46.9807303979, 0.915114083391, 0.0230009270618, 9.81, 1, 0, 22.3672216877},
         {{0.158295732775, {113.585396852, 12.9726402897}, BoltMode::Passive},
          {3012.81637968, {306.01827104, 17.91083592}, BoltMode::Passive}},
         {245.660144127, 19.0112724943},
         1.07068541988,
         10332.6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.required);
        WedgeLoads loads;
        loads.Bolts = c.passive;
        const FullAnalysis a = analyseWedge(c.planes, c.numbers, loads);
        ASSERT_FALSE(a.Refusal);
        const auto force = requiredBoltForce(a, c.numbers, {}, {c.design, BoltMode::Active}, c.required);
        ASSERT_TRUE(force);
        EXPECT_LE(*force, c.scanned);
        for (double share : {0.0, 0.25, 0.5, 0.75, 1.0}) {
            WedgeLoads with = loads;
            with.Bolts.push_back({*force * (1 + BoltForceMargin * share), c.design, BoltMode::Active});
            EXPECT_GE(factorWith(c.planes, c.numbers, with), c.required) << share;
        }
    }
}

// The least force must hold up to the margin above it, and on the way the
// wedge may pass from one plane to both (or lift off one): the nearest
// loads that stayed in one case all the way gave a direction 1 % to 4 %
// dearer than one a dense search found, and the search was not run. With
// the force in one case and the force plus the margin in another the least
// over directions is found, or the output says it was not confirmed.
TEST(Support, TheLeastForceMayCrossFromOneContactCaseToAnotherWithinTheMargin) {
    const struct {
        PlaneAttitudeArray planes;
        WedgeNumbers numbers; // gamma, H, c1, c2, f1, f2, gammaW, overhang, u1, u2
        WaterMode water;
        double required;
        LineDirection cheaper; // where the dense search found less
    } cases[] = {
        {{{{67.0948584004, 80.7624298087},
           {8.52011092305, 85.8155212038},
           {3.36360793481, 316.79565773},
           {30.8833878439, 92.968583212}}},
         {26.4234667546, 56.023700588, 0, 2.13705696662, 0.625139951212, 0.0271657816222, 9.81, 1, 37.6338686042,
          294.569053071},
         WaterMode::Block,
         1.29036868764,
         {265.667, -7.31409}},
        {{{{61.1803975741, 222.975044886},
           {46.5347271677, 92.1426735423},
           {29.2601012587, 185.680734273},
           {70.6474402424, 114.500398535}}},
         {21.8557828691, 35.3548459524, 0.384139306342, 0, 0.486563220603, 0.0355242324829, 9.81, 1, 0, 0},
         WaterMode::Saturated,
         1.50007934993,
         {354.22339, 26.7764}},
        {{{{53.6271487655, 278.413054863},
           {32.2962074228, 84.2234055145},
           {5.67523402103, 210.222538709},
           {82.4486819971, 276.539152451}}},
         {28.3627217417, 56.4201018863, 0, 30.4427956564, 0.0769082604696, 0.211473134029, 9.81, 1, 182.097624821, 0},
         WaterMode::Block,
         1.56903088929,
         {98.3652, 7.81494}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.required);
        WedgeLoads loads;
        loads.Water = c.water;
        const FullAnalysis a = analyseWedge(c.planes, c.numbers, loads);
        ASSERT_FALSE(a.Refusal);
        const auto least = leastBoltForce(a, c.numbers, {}, BoltMode::Active, c.required);
        const auto cheaper = requiredBoltForce(a, c.numbers, {}, {c.cheaper, BoltMode::Active}, c.required);
        ASSERT_TRUE(least && cheaper);
        EXPECT_TRUE(least->Confirmed);
        EXPECT_LE(least->Force, *cheaper * (1 + LeastForceCloseness));
        for (double share : {0.0, 0.5, 1.0}) {
            WedgeLoads with = loads;
            with.Bolts.push_back({least->Force * (1 + BoltForceMargin * share), least->Direction, BoltMode::Active});
            EXPECT_GE(factorWith(c.planes, c.numbers, with), c.required) << share;
        }
    }
}

// A measurement, run by hand (--gtest_also_run_disabled_tests): the least
// force found against a dense search (a 4-degree net, its four best refined
// by compass search to 1e-4 degrees), on random wedges under water, some
// with passive bolts and seismic load, for both modes: how many lie within
// 0.5 % of the dense search's least, how many the design confirmed, and
// whether any it confirmed lies beyond.
TEST(Support, DISABLED_LeastForceAgainstADenseSearch) {
    Randoms r(29);
    double worst = 0;
    int compared = 0, beyond = 0, confirmed = 0, confirmedBeyond = 0;
    for (auto& [w, bare] : r.existing(400)) {
        WedgeLoads loads;
        loads.Water = r.chance(0.5) ? WaterMode::Saturated : WaterMode::Block;
        const double weight = -bare.Forces.Weight.z;
        if (r.chance(0.3))
            for (int k = 1 + int(r.between(0, 2)); k > 0; --k)
                loads.Bolts.push_back(
                    {r.between(0, 0.3) * weight, {r.between(0, 360), r.between(-60, 60)}, BoltMode::Passive});
        if (r.chance(0.2)) loads.SeismicCoefficient = r.between(0, 0.3);
        const double required = r.between(1.1, 2);
        const BoltMode mode = r.chance(0.5) ? BoltMode::Active : BoltMode::Passive;
        FullAnalysis a;
        std::optional<LeastBolt> least;
        try {
            a = analyseWedge(w.Attitudes, w.Numbers, loads);
            if (a.Refusal) continue;
            least = leastBoltForce(a, w.Numbers, {}, mode, required);
        } catch (const Error&) {
            continue;
        }
        if (!least || least->Force == 0) continue;
        const auto force = [&](const LineDirection& d) {
            const auto f = requiredBoltForce(a, w.Numbers, {}, {d, mode}, required);
            return f ? *f : INFINITY;
        };
        std::vector<std::pair<double, LineDirection>> net;
        for (double plunge = -88; plunge <= 88; plunge += 4)
            for (double trend = 0; trend < 360; trend += 4) net.push_back({force({trend, plunge}), {trend, plunge}});
        std::partial_sort(net.begin(), net.begin() + 4, net.end(),
                          [](const auto& x, const auto& y) { return x.first < y.first; });
        double dense = INFINITY;
        for (int k = 0; k < 4; ++k) {
            auto [f, d] = net[k];
            for (double step = 2; step > 1e-4;) {
                bool moved = false;
                for (const auto& [dt, dp] : {std::pair{step, 0.0}, {-step, 0.0}, {0.0, step}, {0.0, -step}})
                    if (const LineDirection next{d.Trend + dt, std::clamp(d.Plunge + dp, -90.0, 90.0)}; force(next) < f)
                        f = force(next), d = next, moved = true;
                if (!moved) step /= 2;
            }
            dense = std::min(dense, f);
        }
        ++compared;
        const double ratio = least->Force / dense - 1;
        worst = std::max(worst, ratio);
        beyond += ratio > LeastForceCloseness;
        confirmed += least->Confirmed;
        confirmedBeyond += least->Confirmed && ratio > LeastForceCloseness;
    }
    std::cout << compared << " compared, " << compared - beyond << " within 0.5% of the dense search's least, worst "
              << worst * 100 << "% above it; " << confirmed << " confirmed, " << confirmedBeyond
              << " of them beyond 0.5%\n";
}
