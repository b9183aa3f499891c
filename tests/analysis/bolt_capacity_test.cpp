#include <gtest/gtest.h>

#include <cmath>

#include "analysis/bolt_capacity.h"
#include "analysis/full_analysis.h"
#include "analysis/vec3.h"
#include "model/error.h"
#include "tests/support/example_block.h"

using namespace trelmox;

namespace {

// A wedge drawn by hand: the toe at the origin, the crest 10 m up from
// x = -5 to 5 on a vertical face y = 0 facing south, the back corner 5 m
// behind the crest's middle. Its faces are triangles.
WedgeShape handWedge() {
    const TPoint3D toe{0, 0, 0}, left{-5, 0, 10}, right{5, 0, 10}, back{0, 5, 10};
    WedgeShape s;
    const auto face = [&](WedgeSurface which, TPoint3D a, TPoint3D b, TPoint3D c, TPoint3D outward) {
        WedgePolygon& p = s.Faces[int(which)];
        p.Points = {a, b, c, {}};
        p.Count = 3;
        p.Normal = (1 / norm(outward)) * outward;
        p.Area = norm(cross(b - a, c - a)) / 2;
    };
    face(WedgeSurface::SlopeFace, toe, left, right, {0, -1, 0});
    face(WedgeSurface::UpperSlope, left, right, back, {0, 0, 1});
    face(WedgeSurface::FirstPlane, toe, left, back, {-2, 2, -1});
    face(WedgeSurface::SecondPlane, toe, right, back, {2, 2, -1});
    return s;
}

} // namespace

// A bolt from the face's centroid (0, 0, 20/3) heading N30E leaves through
// the second plane after (20/9) / ((sin 30° + cos 30°) 2/3) m.
TEST(BoltHold, TheLeastCapacityHoldsAtTheLengthsTheGeometryGives) {
    const WedgeShape s = handWedge();
    const TPoint3D centroid = faceCentroid(s);
    EXPECT_NEAR(norm(centroid - TPoint3D{0, 0, 20.0 / 3}), 0, 1e-12);
    const double inside = (20.0 / 9) / ((0.5 + std::sqrt(3.0) / 2) * 2 / 3);
    const TPoint3D n30e = lineVector(30, 0);
    const struct {
        const char* what;
        BoltCapacity capacity;
        TPoint3D direction;
        double force;
        BoltLimit limit;
    } cases[] = {
        {"bond too short pulls out", boltDefaults(BoltType::Simple), n30e, 100 * (3 - inside), BoltLimit::Anchorage},
        {"long simple bolt: the plate", {BoltType::Simple, 5, 200, 150, 100}, n30e, 150, BoltLimit::Plate},
        {"dowel: grout beyond", boltDefaults(BoltType::GroutedDowel), n30e, 150 * (4 - inside), BoltLimit::Anchorage},
        {"dowel: grout inside", {BoltType::GroutedDowel, 8, 500, 0, 150}, n30e, 150 * inside, BoltLimit::BondInside},
        {"cable: the tendon", boltDefaults(BoltType::Cable), n30e, 520, BoltLimit::Tendon},
        {"cable: plate and grout inside",
         {BoltType::Cable, 10, 900, 100, 50},
         n30e,
         100 + 50 * inside,
         BoltLimit::Plate},
        {"shorter than the wedge", {BoltType::Simple, 2, 200, 150, 100}, n30e, 0, BoltLimit::NotAnchored},
        {"out of the face", boltDefaults(BoltType::Cable), lineVector(210, 0), 0, BoltLimit::NotAnchored},
        {"up through the top", boltDefaults(BoltType::Cable), lineVector(0, -80), 0, BoltLimit::NotAnchored},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const BoltHold h = boltHold(s, centroid, c.direction, c.capacity);
        EXPECT_EQ(h.Limit, c.limit);
        EXPECT_NEAR(h.Force, c.force, 1e-9);
        if (c.limit != BoltLimit::NotAnchored) {
            EXPECT_NEAR(h.Inside, inside, 1e-12);
            EXPECT_NEAR(h.Beyond, c.capacity.Length - inside, 1e-12);
        }
    }
}

// The bond beyond the joint ends where the bolt comes out of the rock: a
// bolt rising through the wedge leaves it through plane 2 and meets the
// upper slope (z = 10) 10/3 / sin(plunge) m from the head.
TEST(BoltHold, TheAnchorageEndsWhereTheBoltLeavesTheRock) {
    const WedgeShape s = handWedge();
    const TPoint3D head = faceCentroid(s);
    const TPoint3D outward2 = (1.0 / 3) * TPoint3D{2, 2, -1};
    const BoltCapacity longCable{BoltType::Cable, 10, 1e5, 1e5, 50};
    const struct {
        double plunge; // upward
        double length;
        bool cut; // the upper slope comes before the bolt's end
    } cases[] = {{0, 10, false}, {20, 10, true}, {20, 9.8, true}, {20, 6, false}, {30, 10, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.plunge);
        const TPoint3D d = lineVector(30, -c.plunge);
        const double inside = (20.0 / 9) / dot(d, outward2);
        const double surface = c.plunge > 0 ? (10.0 / 3) / std::sin(radians(c.plunge)) : INFINITY;
        ASSERT_EQ(c.cut, surface < c.length);
        BoltCapacity capacity = longCable;
        capacity.Length = c.length;
        const BoltHold h = boltHold(s, head, d, capacity);
        EXPECT_NEAR(h.Inside, inside, 1e-12);
        EXPECT_NEAR(h.Beyond, std::min(surface, c.length) - inside, 1e-12);
        EXPECT_NEAR(h.Force, 50 * h.Beyond, 1e-9);
        EXPECT_EQ(h.Limit, BoltLimit::Anchorage);
    }
}

// Aimed at the edge of plane 2 and the upper slope, a bolt leaves the wedge
// through one or the other for a change of 1e-9 in its direction: its force
// changes as little, the anchorage vanishing at the edge.
TEST(BoltHold, NoJumpAtTheEdgeOfAJointAndTheUpperSlope) {
    const WedgeShape s = handWedge();
    const TPoint3D head = faceCentroid(s);
    for (const TPoint3D& edge : {TPoint3D{2.5, 2.5, 10}, TPoint3D{4, 1, 10}, TPoint3D{-1, 4, 10}}) {
        const TPoint3D aim = edge - head;
        double forces[2];
        for (int side = 0; side < 2; ++side) {
            const TPoint3D d = aim + TPoint3D{0, 0, side ? 1e-9 : -1e-9};
            forces[side] = boltHold(s, head, (1 / norm(d)) * d, boltDefaults(BoltType::Cable)).Force;
        }
        EXPECT_NEAR(forces[0], forces[1], 1e-5) << edge.x;
        EXPECT_LT(forces[0], 1e-5) << edge.x;
    }
}

// The example block with one active cable of 100000 kN tendon and plate and
// 200 kN/m bond along 327.21/-21.88: it leaves the wedge through plane 1
// near the crest 47.19 m from its head and comes out of the upper slope
// 8.33 m past the joint, whatever its length beyond that (20 m and 40 m past
// the joint were credited 4000 and 8000 kN).
TEST(BoltHold, TheExampleBlocksCableIsAnchoredUpToTheUpperSlope) {
    for (double length : {67.19, 87.19}) {
        WedgeLoads loads;
        loads.Water = WaterMode::None;
        loads.Bolts = {{0, {327.21, -21.88}, BoltMode::Active, BoltCapacity{BoltType::Cable, length, 1e5, 1e5, 200}}};
        const FullAnalysis a = analyseWedge(trelmox::testing::exampleAttitudes(),
                                            wedgeNumbers(parameterNumbers(trelmox::testing::exampleParams())), loads);
        ASSERT_FALSE(a.Refusal);
        ASSERT_EQ(a.Forces.BoltHolds.size(), 1u);
        const BoltHold& h = a.Forces.BoltHolds[0];
        EXPECT_NEAR(h.Inside, 47.19, 0.01) << length;
        EXPECT_NEAR(h.Beyond, 8.33, 0.01) << length;
        EXPECT_NEAR(h.Force, 200 * h.Beyond, 1e-9) << length;
    }
}

// Rows at heights 1, 3, 5, 7, 9 m and columns at x = ±1, ±3 m: the face
// triangle is z/2 wide either side at height z, so 0 + 2 + 2 + 4 + 4 bolts.
TEST(BoltPattern, CountsTheHeadsInsideTheTrace) {
    const WedgeShape s = handWedge();
    BoltPattern p{2, 2, {0, 10}, BoltMode::Passive, boltDefaults(BoltType::Simple)};
    const std::vector<TPoint3D> heads = patternHeads(s, p);
    EXPECT_EQ(heads.size(), 12u);
    for (const TPoint3D& h : heads) EXPECT_LT(std::abs(h.x), h.z / 2);
    p.SpacingStrike = p.SpacingDip = 20; // one node, at x = 10: outside
    EXPECT_TRUE(patternHeads(s, p).empty());
    p.SpacingStrike = p.SpacingDip = 1e-3;
    EXPECT_THROW(patternHeads(s, p), Error);
}

// Rows 4 m apart at heights 2 and 6 put heads at x = ±1 and ±3 on the
// traces of the cutting planes (|x| = z / 2), and the top row on the crest:
// on the wedge's edge a head bears on nothing of it, and a spacing changed
// by rounding leaves the pattern as it is.
TEST(BoltPattern, AHeadOnTheTracesEdgeHoldsNothing) {
    const WedgeShape s = handWedge();
    double total[3];
    std::size_t count[3];
    const double shifts[] = {0, 1e-12, -1e-12};
    for (int k = 0; k < 3; ++k) {
        const BoltPattern p{2 * (1 + shifts[k]), 4, {0, 10}, BoltMode::Passive, boltDefaults(BoltType::Simple)};
        const std::vector<TPoint3D> heads = patternHeads(s, p);
        count[k] = heads.size(), total[k] = 0;
        for (const TPoint3D& h : heads) total[k] += boltHold(s, h, lineVector(0, 10), p.Capacity).Force;
    }
    EXPECT_EQ(count[0], 2u); // (±1, 0, 6)
    for (int k = 1; k < 3; ++k) {
        EXPECT_EQ(count[k], count[0]) << shifts[k];
        EXPECT_NEAR(total[k], total[0], 1e-6) << shifts[k];
    }
}
