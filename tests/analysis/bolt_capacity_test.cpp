#include <gtest/gtest.h>

#include <cmath>

#include "analysis/bolt_capacity.h"
#include "analysis/vec3.h"
#include "model/error.h"

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
