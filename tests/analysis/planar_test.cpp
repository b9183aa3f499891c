#include "analysis/planar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <tuple>

#include "analysis/vec3.h"
#include "analysis/wedge.h"
#include "model/error.h"

namespace trelmox {
namespace {

// The textbook's worked example (Hoek and Bray): a 30 m slope of 60 degrees
// with a horizontal top, sliding on a plane of 30 degrees, a tension crack
// 9 m behind the crest, rock 25.5 kN/m3, water 9.81 kN/m3, c = 48 kPa,
// phi = 30 degrees. By hand:
//   z = H - (H cot 60 + 9) tan 30 = 14.804 m,  A = (H - z) / sin 30 = 30.392 m
//   W = gamma H^2 / 2 ((1 - (z/H)^2) cot 30 - cot 60) = 8410.3 kN/m
//   dry:  Fs = (c A + W cos 30 tan 30) / (W sin 30) = 1.347
//   crack full: V = gw z^2 / 2 = 1075.0, U = gw z A / 2 = 2206.9,
//         Fs = (c A + (W cos 30 - U - V sin 30) tan 30) / (W sin 30 + V cos 30) = 0.794
//   a bolt of 1000 kN/m plunging 24 degrees: + T sin 54 on the normal,
//         - T cos 54 on the driving force: 1.695 dry, 1.000 full.
PlanarSlope textbookSlope() {
    PlanarSlope s;
    s.Height = 30;
    s.FaceDip = 60;
    s.PlaneDip = 30;
    s.CrackDistance = 9;
    s.UnitWeight = 25.5;
    s.WaterUnitWeight = 9.81;
    s.Cohesion = 48;
    s.Friction = std::tan(radians(30));
    return s;
}

TEST(PlanarAnalysis, ReproducesTheTextbookExampleByHand) {
    const struct {
        double fill, bolt, factor;
    } cases[] = {{0, 0, 1.347}, {1, 0, 0.794}, {0, 1000, 1.695}, {1, 1000, 1.000}};
    const double p = radians(30), H = 30, z = 30 - (30 / std::tan(radians(60)) + 9) * std::tan(p);
    const double A = (H - z) / std::sin(p);
    const double W = 25.5 * H * H / 2 * ((1 - z * z / (H * H)) / std::tan(p) - 1 / std::tan(radians(60)));
    for (const auto& c : cases) {
        PlanarSlope s = textbookSlope();
        s.WaterFill = c.fill;
        s.BoltForce = c.bolt;
        s.BoltPlunge = 24;
        const PlanarResult r = planarAnalysis(s);
        EXPECT_NEAR(r.CrackDepth, 14.804, 5e-4);
        EXPECT_NEAR(r.PlaneLength, A, 1e-12);
        EXPECT_NEAR(r.Weight, W, 1e-9);
        const double zw = c.fill * z, V = 9.81 * zw * zw / 2, U = 9.81 * zw * A / 2;
        EXPECT_NEAR(r.WaterForceCrack, V, 1e-9);
        EXPECT_NEAR(r.WaterForcePlane, U, 1e-9);
        const double exact =
            (48 * A + (W * std::cos(p) - U - V * std::sin(p) + c.bolt * std::sin(radians(54))) * std::tan(p)) /
            (W * std::sin(p) + V * std::cos(p) - c.bolt * std::cos(radians(54)));
        EXPECT_NEAR(r.Factor, exact, 1e-12);
        EXPECT_NEAR(r.Factor, c.factor, 5e-4); // as the textbook prints it
    }
    // A passive bolt adds its pull along the plane to the resistance.
    PlanarSlope passive = textbookSlope();
    passive.BoltForce = 1000;
    passive.BoltPlunge = 24;
    passive.Bolt = BoltMode::Passive;
    const double resist =
        48 * A + (W * std::cos(p) + 1000 * std::sin(radians(54))) * std::tan(p) + 1000 * std::cos(radians(54));
    EXPECT_NEAR(planarAnalysis(passive).Factor, resist / (W * std::sin(p)), 1e-12);
}

// Without a distance the crack stands where the dry block's factor is least:
// for a horizontal top the textbook's z/H = 1 - sqrt(cot(face) tan(plane))
// and b/H = sqrt(cot(face) cot(plane)) - cot(face). The ratio is flat at its
// minimum, so the search finds it to about the square root of the double's
// precision.
TEST(PlanarAnalysis, CriticalCrackIsTheTextbooksAndGivesTheLeastFactor) {
    for (const auto& [face, plane] : {std::pair{60.0, 30.0}, {75.0, 40.0}, {50.0, 35.0}}) {
        PlanarSlope s = textbookSlope();
        s.FaceDip = face;
        s.PlaneDip = plane;
        s.CrackDistance.reset();
        const double cotF = 1 / std::tan(radians(face)), tanP = std::tan(radians(plane));
        const PlanarResult r = planarAnalysis(s);
        EXPECT_NEAR(r.CrackDepth / 30, 1 - std::sqrt(cotF * tanP), 1e-7);
        EXPECT_NEAR(r.CrackDistance / 30, std::sqrt(cotF / tanP) - cotF, 1e-7);
        for (double shift : {-0.5, 0.5}) {
            s.CrackDistance = r.CrackDistance + shift;
            EXPECT_GT(planarAnalysis(s).Factor, r.Factor);
        }
    }
    PlanarSlope steepTop = textbookSlope();
    steepTop.TopDip = 35; // steeper than the plane: the block has no rear end of its own
    steepTop.CrackDistance.reset();
    EXPECT_THROW(planarAnalysis(steepTop), Error);
}

// A crack in the face (textbook: W = gamma H^2 / 2 ((1 - z/H)^2 cot p (cot p tan f - 1))
// with z the depth of the crack's foot below the crest);
// a crack beyond the plane's outcrop in a sloping top is no crack at all.
TEST(PlanarAnalysis, CrackInTheFaceAndBeyondTheOutcrop) {
    PlanarSlope s = textbookSlope();
    s.CrackDistance = -5;
    const PlanarResult face = planarAnalysis(s);
    const double x = 30 / std::tan(radians(60)) - 5, z = x * (std::tan(radians(60)) - std::tan(radians(30)));
    const double cotP = 1 / std::tan(radians(30));
    EXPECT_NEAR(face.CrackDepth, z, 1e-12);
    const double foot = 30 - x * std::tan(radians(30));
    EXPECT_NEAR(face.Weight, 25.5 * 900 / 2 * std::pow(1 - foot / 30, 2) * cotP * (cotP * std::tan(radians(60)) - 1),
                1e-9);
    s.TopDip = 10;
    s.CrackDistance = 1000;
    const PlanarResult none = planarAnalysis(s);
    EXPECT_EQ(none.CrackDepth, 0);
    EXPECT_EQ(none.WaterForcePlane, 0);
}

TEST(PlanarAnalysis, LiftOffAndRefusals) {
    PlanarSlope s = textbookSlope();
    s.Seismic = 2; // pulls the block off the plane
    const PlanarResult lift = planarAnalysis(s);
    EXPECT_TRUE(lift.LiftOff);
    EXPECT_EQ(lift.Factor, 0);
    for (auto change : std::initializer_list<void (*)(PlanarSlope&)>{
             [](PlanarSlope& b) { b.Height = 0; }, [](PlanarSlope& b) { b.PlaneDip = 60; },
             [](PlanarSlope& b) { b.FaceDip = 95; }, [](PlanarSlope& b) { b.WaterFill = 1.5; },
             [](PlanarSlope& b) { b.Cohesion = std::nan(""); }, [](PlanarSlope& b) { b.CrackDistance = -20; },
             [](PlanarSlope& b) { b.BoltForce = 1e6; }}) { // a bolt that pushes the block up the plane
        PlanarSlope bad = textbookSlope();
        change(bad);
        EXPECT_THROW(planarAnalysis(bad), Error);
    }
}

// A wedge whose planes are the sliding plane turned by +-delta about the
// vertical tends to the planar block: its line plunges atan(tan p cos delta)
// and its wedge factor sin(beta) / sin(xi / 2) tends to 1, both off by
// O(delta^2), so with delta = 0.5 degree the frictional factors of the dry,
// cohesionless blocks agree within 1e-4 (the difference is about 4e-5).
TEST(PlanarAnalysis, WedgeOfTwoNearlyCoincidentPlanesTendsToThePlanarBlock) {
    for (const auto& [face, plane, f] : {std::tuple{60.0, 30.0, 0.4}, {70.0, 45.0, 0.7}, {80.0, 35.0, 0.5}}) {
        PlanarSlope s = textbookSlope();
        s.FaceDip = face;
        s.PlaneDip = plane;
        s.Cohesion = 0;
        s.Friction = f;
        const double planar = planarAnalysis(s).Factor;
        EXPECT_NEAR(planar, f / std::tan(radians(plane)), 1e-12);
        WedgeNumbers n;
        n.RockUnitWeight = 25.5;
        n.SlopeHeight = 30;
        n.Friction1 = n.Friction2 = f;
        n.WaterUnitWeight = 10;
        const PlaneAttitudeArray planes = {TPlaneAttitude{plane, 180 - 0.5}, TPlaneAttitude{plane, 180 + 0.5},
                                           TPlaneAttitude{0, 180}, TPlaneAttitude{face, 180}};
        const SafetyResult wedge = computeSafetyFactor(planes, n);
        ASSERT_EQ(wedge.Contact, TWedgeContact::BothPlanes);
        EXPECT_NEAR(wedge.SafetyFactor / planar, 1, 1e-4) << face << ' ' << plane;
    }
}

} // namespace
} // namespace trelmox
