#include "analysis/forces.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "analysis/full_analysis.h"
#include "analysis/support.h"
#include "analysis/vec3.h"
#include "model/error.h"
#include "tests/support/example_block.h"

using namespace trelmox;
using trelmox::testing::exampleAttitudes;
using trelmox::testing::exampleParams;

namespace {

WedgeNumbers exampleNumbers() { return wedgeNumbers(parameterNumbers(exampleParams())); }

FullAnalysis exampleWith(const WedgeLoads& loads, const PlaneAttitudeArray& attitudes = exampleAttitudes()) {
    return analyseWedge(attitudes, exampleNumbers(), loads);
}

LineDirection reverseOf(const TPoint3D& v) { return directionOf(-1 * v); }

// The example block under tops of several dips and directions, with and
// without a crack: the wedges the force checks run on.
std::vector<PlaneAttitudeArray> variedBlocks() {
    std::vector<PlaneAttitudeArray> blocks;
    for (double dip : {0.0, 12.0, 25.0})
        for (double direction : {195.0, 150.0, 10.0}) {
            PlaneAttitudeArray a = exampleAttitudes();
            a[2] = {dip, direction};
            blocks.push_back(a);
        }
    return blocks;
}

} // namespace

TEST(Forces, AForceAlongTheLineOfIntersectionChangesOnlyTheDrivingForce) {
    for (const PlaneAttitudeArray& block : variedBlocks()) {
        const FullAnalysis plain = exampleWith({}, block);
        if (plain.Refusal || plain.Safety.Contact != TWedgeContact::BothPlanes) continue;
        WedgeLoads loads;
        loads.Forces = {{1000, directionOf(plain.Shape.Sliding)}};
        const FullSafety pushed = exampleWith(loads, block).Safety;
        EXPECT_NEAR(pushed.Normal1, plain.Safety.Normal1, 1e-9 * plain.Safety.Normal1);
        EXPECT_NEAR(pushed.Normal2, plain.Safety.Normal2, 1e-9 * plain.Safety.Normal2);
        EXPECT_NEAR(pushed.Resisting, plain.Safety.Resisting, 1e-9 * plain.Safety.Resisting);
        EXPECT_NEAR(pushed.Driving, plain.Safety.Driving + 1000, 1e-9 * pushed.Driving);
    }
}

TEST(Forces, BoltsActAsTheirKindSays) {
    for (const PlaneAttitudeArray& block : variedBlocks()) {
        const FullAnalysis plain = exampleWith({}, block);
        if (plain.Refusal) continue;
        const LineDirection against = reverseOf(plain.Shape.Sliding);
        WedgeLoads active, force, passive;
        active.Bolts = {{2000, against, BoltMode::Active}};
        passive.Bolts = {{2000, against, BoltMode::Passive}};
        force.Forces = {{2000, against}};
        const double activeFs = exampleWith(active, block).Safety.Factor;
        EXPECT_NEAR(activeFs, exampleWith(force, block).Safety.Factor, 1e-12 * activeFs);
        const double passiveFs = exampleWith(passive, block).Safety.Factor;
        EXPECT_GT(passiveFs, plain.Safety.Factor);
        if (passiveFs > 1) {
            EXPECT_LT(passiveFs, activeFs);
        }
    }
}

TEST(Forces, NoLoadsGiveThePlainFactor) {
    WedgeLoads zero;
    zero.SeismicCoefficient = 0;
    zero.SeismicDirection = LineDirection{45, 10};
    zero.Forces = {{0, {10, 20}}, {0, {200, -30}}};
    zero.Bolts = {{0, {330, 15}, BoltMode::Active}, {0, {330, 15}, BoltMode::Passive}};
    for (const PlaneAttitudeArray& block : variedBlocks()) {
        const FullAnalysis plain = exampleWith({}, block);
        if (plain.Refusal) continue;
        EXPECT_EQ(exampleWith(zero, block).Safety.Factor, plain.Safety.Factor);
    }
}

TEST(Forces, SeismicLoadPushesHorizontallyOutOfTheSlope) {
    WedgeLoads loads;
    loads.SeismicCoefficient = 0.2;
    const FullAnalysis a = exampleWith(loads);
    const WedgeForces& f = a.Forces;
    EXPECT_NEAR(norm(f.Seismic), 0.2 * norm(f.Weight), 1e-9 * norm(f.Weight));
    EXPECT_EQ(f.Seismic.z, 0);
    EXPECT_NEAR(directionOf(f.Seismic).Trend, intersectionDirection(a.Shape).Trend, 1e-9);
    EXPECT_LT(a.Safety.Factor, exampleWith({}).Safety.Factor);
}

TEST(Forces, SaturatedWaterUnderAHorizontalTopIsKcsComputedWater) {
    PlaneAttitudeArray flat = exampleAttitudes();
    flat[2] = {0, 0};
    WedgeLoads saturated;
    saturated.Water = WaterMode::Saturated;
    const double kc = computeSafetyFactor(flat, exampleNumbers()).SafetyFactor; // computed mode: gammaW H / 6
    EXPECT_NEAR(exampleWith(saturated, flat).Safety.Factor, kc, 1e-12 * kc);
}

// Under the inclined top the crack's rim slopes: water poured in spills at
// its lowest point and stands no higher, whatever depth is asked for.
TEST(Forces, AFullVerticalCrackHoldsItsHydrostaticForceUpToItsLowestRim) {
    WedgeLoads loads;
    loads.Water = WaterMode::Saturated;
    loads.Crack = TensionCrack{{90, 0}, 5, 1000}; // deeper than the crack: full
    const FullAnalysis a = exampleWith(loads);
    ASSERT_FALSE(a.Refusal);
    const WedgePolygon& crack = a.Shape.Faces[int(WedgeSurface::Crack)];
    ASSERT_EQ(crack.Count, 3);
    const TPoint3D top = upwardNormal(exampleAttitudes()[2]);
    double low = crack.Points[0].z, rim = INFINITY;
    for (int i = 0; i < 3; ++i) {
        low = std::min(low, crack.Points[i].z);
        if (std::fabs(dot(top, crack.Points[i]) - 40 * top.z) < 1e-9) rim = std::min(rim, crack.Points[i].z);
    }
    ASSERT_LT(rim, 1e9);
    EXPECT_TRUE(a.Forces.CrackSpills);
    EXPECT_FALSE(a.Forces.CrackOpenOnFace);
    EXPECT_NEAR(a.Forces.CrackWaterDepth, rim - low, 1e-9);
    EXPECT_NEAR(a.Forces.Pressure1, 9.81 * (rim - a.Shape.LineEnd.z) / 3, 1e-9);
    // The hydrostatic force below the rim, by the midpoint rule over the triangle.
    const int steps = 400;
    double force = 0;
    const TPoint3D &p = crack.Points[0], u = crack.Points[1] - p, v = crack.Points[2] - p;
    int points = 0;
    for (int i = 0; i < steps; ++i)
        for (int j = 0; i + j < steps; ++j, ++points) {
            const TPoint3D at = p + ((i + 1.0 / 3) / steps) * u + ((j + 1.0 / 3) / steps) * v;
            force += std::max(0.0, rim - at.z);
        }
    force *= 9.81 * crack.Area / points;
    EXPECT_NEAR(norm(a.Forces.CrackWater), force, 2e-3 * force);
}

// A crack that daylights in the slope face drains there, and its water
// stands no higher than that outcrop: once fed from it the joints were dry
// and the saturated wedge (Fs 0.730 without a crack) stood as the dry one
// (1.45 to 1.48) with a crack 73/336 anywhere from 20 to 46 m behind the
// crest. The joints keep the pressures of the wedge without a crack - in
// the filled mode those of the same share - and the analysis says so.
TEST(Water, ACrackDrainingOnTheFaceLeavesTheJointsTheirPressures) {
    const PlaneAttitudeArray block{{{51, 273}, {36, 331}, {7, 286}, {72, 298}}};
    TWedgeParams params = exampleParams();
    params.RockUnitWeight = "25.6", params.SlopeHeight = "41.1";
    params.Cohesion1 = "32.5", params.Cohesion2 = "8.1", params.Friction1 = "0.868", params.Friction2 = "0.91";
    const WedgeNumbers numbers = wedgeNumbers(parameterNumbers(params));
    WedgeLoads uncracked;
    uncracked.Water = WaterMode::Saturated;
    const FullAnalysis plain = analyseWedge(block, numbers, uncracked);
    ASSERT_NEAR(plain.Safety.Factor, 0.730, 5e-4);
    const struct {
        WaterMode mode;
        double percent, depth;
    } modes[] = {{WaterMode::Saturated, 100, 1000}, {WaterMode::Filled, 100, 0}, {WaterMode::Filled, 60, 0}};
    for (const auto& m : modes)
        for (double distance : {20.0, 33.0, 46.0}) {
            SCOPED_TRACE(distance);
            WedgeLoads loads = uncracked;
            loads.Water = m.mode, loads.FilledPercent = m.percent;
            loads.Crack = TensionCrack{{73, 336}, distance, m.depth};
            const FullAnalysis wet = analyseWedge(block, numbers, loads);
            loads.Water = WaterMode::None;
            const FullAnalysis dry = analyseWedge(block, numbers, loads);
            ASSERT_FALSE(wet.Refusal);
            EXPECT_TRUE(wet.Forces.CrackOpenOnFace);
            EXPECT_TRUE(wet.Forces.CrackDrains);
            const double share = m.percent / 100;
            EXPECT_EQ(wet.Forces.Pressure1, share * plain.Forces.Pressure1);
            EXPECT_EQ(wet.Forces.Pressure2, share * plain.Forces.Pressure2);
            EXPECT_LT(wet.Safety.Factor, dry.Safety.Factor - 0.1);
            // Said in the messages, and in the reports' note on the crack.
            EXPECT_FALSE(crackDrainNote(wet.Forces).empty());
            WedgeForces unsaid = wet.Forces;
            unsaid.CrackDrains = false;
            EXPECT_NE(crackWaterNote(wet.Forces), crackWaterNote(unsaid));
        }
    // A crack asked to hold no water does not drain.
    WedgeLoads shallow = uncracked;
    shallow.Crack = TensionCrack{{73, 336}, 33, 0};
    const FullAnalysis held = analyseWedge(block, numbers, shallow);
    EXPECT_FALSE(held.Forces.CrackDrains);
    EXPECT_TRUE(crackDrainNote(held.Forces).empty());
}

TEST(StabilityState, FollowsTheFactorAgainstTheRequiredFactor) {
    const struct {
        double fs, required;
        StabilityState state;
    } cases[] = {
        {0.99, 1.35, StabilityState::Unstable},
        {1.00, 1.35, StabilityState::Marginal},
        {1.0499, 1.35, StabilityState::Marginal},
        {1.05, 1.35, StabilityState::BasicallyStable},
        {1.3499, 1.35, StabilityState::BasicallyStable},
        {1.35, 1.35, StabilityState::Stable},
        {1.02, 1.0, StabilityState::Stable},
    };
    for (const auto& c : cases) {
        FullSafety s;
        s.Contact = TWedgeContact::BothPlanes;
        s.Factor = c.fs;
        EXPECT_EQ(stabilityState(s, c.required), c.state) << c.fs << " " << c.required;
    }
    FullSafety lifted;
    lifted.Contact = TWedgeContact::LiftOff;
    EXPECT_EQ(stabilityState(lifted, 1.35), StabilityState::Unstable);
    FullSafety none;
    none.Contact = TWedgeContact::NoBlock;
    EXPECT_FALSE(stabilityState(none, 1.35));
}

// The design force holds the required factor from itself up to the margin
// above it (once it sat where a plane was about to lose contact, and a
// little more force dropped that plane's cohesion), and nothing less does:
// just below it the factor falls short somewhere in its own margin.
TEST(Support, TheRequiredBoltForceHoldsUpToTheMargin) {
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> unit(0, 1);
    int reached = 0, exactly = 0;
    const auto holds = [](WedgeLoads loads, const PlaneAttitudeArray& block, double force, double required) {
        for (int k = 0; k <= 16; ++k) {
            loads.Bolts.back().Force = force * (1 + BoltForceMargin * k / 16);
            if (!(exampleWith(loads, block).Safety.Factor >= required)) return false;
        }
        return true;
    };
    for (const PlaneAttitudeArray& block : variedBlocks())
        for (WaterMode water : {WaterMode::Block, WaterMode::Saturated})
            for (BoltMode mode : {BoltMode::Active, BoltMode::Passive})
                for (int i = 0; i < 8; ++i) {
                    WedgeLoads loads;
                    loads.Water = water;
                    if (i % 2) loads.Bolts = {{3000, {300, 20}, BoltMode::Passive}}; // the turning case
                    const FullAnalysis a = exampleWith(loads, block);
                    if (a.Refusal) continue;
                    const double required = 1.2 + unit(random);
                    const double against = intersectionDirection(a.Shape).Trend + 180;
                    const DesignBolt bolt{{against + 120 * (unit(random) - 0.5), 60 * (unit(random) - 0.6)}, mode};
                    const auto force = requiredBoltForce(a, exampleNumbers(), {}, bolt, required);
                    if (!force || *force == 0) continue; // out of reach, or reached already
                    ++reached;
                    loads.Bolts.push_back({*force, bolt.Direction, mode});
                    const double fs = exampleWith(loads, block).Safety.Factor;
                    exactly += std::fabs(fs - required) <= 1e-6;
                    EXPECT_TRUE(holds(loads, block, *force, required)) << *force;
                    EXPECT_FALSE(holds(loads, block, *force * (1 - 1e-6), required))
                        << *force << " mode " << int(mode) << " i " << i << " water " << int(water) << " fs " << fs;
                }
    EXPECT_GT(reached, 100);
    EXPECT_GT(exactly, reached * 3 / 4);
}

TEST(Support, TheLeastForceDirectionNeedsNoMoreThanAnyOther) {
    const FullAnalysis a = exampleWith({});
    for (BoltMode mode : {BoltMode::Active, BoltMode::Passive}) {
        const auto least = leastBoltForce(a, exampleNumbers(), {}, mode, 1.6);
        ASSERT_TRUE(least);
        for (double trend = 0; trend < 360; trend += 7)
            for (double plunge = -80; plunge <= 80; plunge += 8) {
                const auto force = requiredBoltForce(a, exampleNumbers(), {}, {{trend, plunge}, mode}, 1.6);
                if (force) {
                    EXPECT_GE(*force, least->Force * (1 - 1e-9)) << trend << " " << plunge;
                }
            }
    }
    EXPECT_EQ(leastBoltForce(a, exampleNumbers(), {}, BoltMode::Active, 1.1)->Force, 0); // reached already
}

// A friction coefficient near the largest double once gave an infinite Fs.
TEST(Forces, AResistanceBeyondTheLargestNumberFailsAsOverflow) {
    WedgeNumbers n = exampleNumbers();
    n.Friction1 = n.Friction2 = 1e308;
    try {
        analyseWedge(exampleAttitudes(), n, {});
        ADD_FAILURE() << "no failure";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Floating point overflow");
    }
}

// Partly filled joints sit between the dry and the saturated wedge: none
// filled is dry, all filled is saturated with the crack full, bit for bit,
// and without a crack the joints' pressures scale with the share.
TEST(Water, AFilledShareRunsFromDryToSaturated) {
    for (const bool crack : {false, true})
        for (const PlaneAttitudeArray& block : variedBlocks()) {
            WedgeLoads dry, saturated, filled;
            dry.Water = WaterMode::None;
            saturated.Water = WaterMode::Saturated;
            filled.Water = WaterMode::Filled;
            if (crack) dry.Crack = saturated.Crack = filled.Crack = TensionCrack{{80, 190}, 4, 1e9};
            if (exampleWith(dry, block).Refusal) continue;
            filled.FilledPercent = 0;
            EXPECT_EQ(exampleWith(filled, block).Safety.Factor, exampleWith(dry, block).Safety.Factor);
            filled.FilledPercent = 100;
            const FullAnalysis full = exampleWith(filled, block), wet = exampleWith(saturated, block);
            EXPECT_EQ(full.Safety.Factor, wet.Safety.Factor);
            EXPECT_FALSE(full.Forces.CrackSpills);
            filled.FilledPercent = 40;
            const WedgeForces part = exampleWith(filled, block).Forces;
            if (crack) {
                EXPECT_NEAR(part.CrackWaterDepth, 0.4 * wet.Forces.CrackWaterDepth, 1e-12 * wet.Forces.CrackWaterDepth);
                // Water below the crack's rim wets a triangle similar to the
                // full one: the force grows with the cube of the depth.
                EXPECT_NEAR(norm(part.CrackWater), 0.064 * norm(wet.Forces.CrackWater),
                            1e-9 * norm(wet.Forces.CrackWater));
            } else {
                EXPECT_DOUBLE_EQ(part.Pressure1, 0.4 * wet.Forces.Pressure1);
            }
        }
}

// The lining's weight rides on the wedge, and so does its share of every
// load that scales with weight: the seismic force is k times both (a block
// at k 0.2 once stood at 1.2022 instead of 1.1976).
TEST(Forces, TheSeismicForceShakesTheLiningWithTheRock) {
    const std::optional<LineDirection> directions[] = {std::nullopt, LineDirection{200, -10}};
    for (const auto& direction : directions) {
        WedgeLoads loads;
        loads.SeismicCoefficient = 0.2;
        loads.SeismicDirection = direction;
        loads.Shotcrete = ShotcreteLining{};
        const WedgeForces f = exampleWith(loads).Forces;
        ASSERT_LT(f.ShotcreteWeight.z, 0);
        const double weight = -(f.Weight.z + f.ShotcreteWeight.z);
        EXPECT_NEAR(norm(f.Seismic), 0.2 * weight, 1e-12 * weight);
    }
}

// Water standing outside the slope: below the toe it changes nothing; over
// a wedge under water on every side its pressures sum to the buoyancy, so
// the wedge stands as a dry one of the buoyant unit weight.
TEST(Water, APondBelowTheToeChangesNothingAndOneAboveTheWedgeBuoysIt) {
    for (const PlaneAttitudeArray& block : variedBlocks())
        for (const WaterMode mode : {WaterMode::None, WaterMode::Block, WaterMode::Saturated}) {
            WedgeLoads loads;
            loads.Water = mode;
            loads.Crack = TensionCrack{{80, 190}, 4, 3};
            const FullAnalysis plain = exampleWith(loads, block);
            if (plain.Refusal) continue;
            loads.PondLevel = -1;
            EXPECT_EQ(exampleWith(loads, block).Safety.Factor, plain.Safety.Factor);
            loads.PondLevel = 0;
            EXPECT_EQ(exampleWith(loads, block).Safety.Factor, plain.Safety.Factor);
        }
    for (const PlaneAttitudeArray& block : variedBlocks()) {
        WedgeLoads loads;
        loads.Water = WaterMode::None;
        const FullAnalysis dry = exampleWith(loads, block);
        if (dry.Refusal) continue;
        double top = 0;
        for (const TPoint3D& corner : wedgeCorners(dry.Shape)) top = std::max(top, corner.z);
        loads.PondLevel = top + 7;
        const FullAnalysis under = exampleWith(loads, block);
        const WedgeForces& f = under.Forces;
        const TPoint3D water = f.Water1 + f.Water2 + f.CrackWater + f.PondFace + f.PondTop;
        const double buoyancy = 9.81 * dry.Shape.Volume;
        EXPECT_NEAR(water.z, buoyancy, 1e-9 * buoyancy);
        EXPECT_NEAR(std::hypot(water.x, water.y), 0, 1e-9 * buoyancy);
        WedgeNumbers buoyant = exampleNumbers();
        buoyant.RockUnitWeight -= buoyant.WaterUnitWeight;
        WedgeLoads dryLoads;
        dryLoads.Water = WaterMode::None;
        const double expected = analyseWedge(block, buoyant, dryLoads).Safety.Factor;
        EXPECT_NEAR(under.Safety.Factor, expected, 1e-9 * expected);
    }
}

// Shotcrete on the face: its weight rides on the wedge and it resists
// along the wedge's trace on the face (the cutting planes' traces here, no
// crack), whichever way the wedge slides; the support design counts it too.
TEST(Support, ShotcreteHoldsAlongTheFaceTraceAndTheDesignCountsIt) {
    int designed = 0;
    for (const PlaneAttitudeArray& block : variedBlocks()) {
        WedgeLoads lined;
        lined.Shotcrete = ShotcreteLining{0.15, 800, 23};
        const FullAnalysis a = exampleWith(lined, block);
        if (a.Refusal || a.Safety.Contact == TWedgeContact::LiftOff) continue;
        const WedgePolygon& face = a.Shape.Faces[int(WedgeSurface::SlopeFace)];
        const double trace = edgeLength(a.Shape, WedgeSurface::FirstPlane, WedgeSurface::SlopeFace) +
                             edgeLength(a.Shape, WedgeSurface::SecondPlane, WedgeSurface::SlopeFace);
        EXPECT_NEAR(a.Forces.LiningResistance, 800 * 0.15 * trace, 1e-9 * a.Forces.LiningResistance);
        // The same weight as an external force, without the lining's strength.
        WedgeLoads weighted;
        weighted.Forces = {{23 * 0.15 * face.Area, {0, 90}}};
        const FullSafety bare = exampleWith(weighted, block).Safety;
        EXPECT_NEAR(a.Safety.Factor, (bare.Resisting + a.Forces.LiningResistance) / bare.Driving,
                    1e-9 * a.Safety.Factor);
        for (BoltMode mode : {BoltMode::Active, BoltMode::Passive}) {
            WedgeLoads design = lined;
            design.Design = DesignBolt{{0, 0}, mode};
            design.RequiredFactor = 2.5;
            design.Preset.reset();
            const std::optional<LeastBolt> least = designSupport(a, exampleNumbers(), design).Least;
            if (!least || least->Force == 0) continue;
            ++designed;
            WedgeLoads bolted = lined;
            bolted.Bolts = {{least->Force * (1 + 1e-9), least->Direction, mode}};
            EXPECT_GE(exampleWith(bolted, block).Safety.Factor, 2.5 * (1 - 1e-9)) << int(mode);
        }
    }
    EXPECT_GT(designed, 8);
}

// A face pressure given the face's own inward direction is the normal
// pressure; turned along the sliding it drives the wedge.
TEST(Forces, APressureInADirectionOfItsOwn) {
    WedgeLoads normal;
    normal.FacePressure = 50;
    const FullAnalysis a = exampleWith(normal);
    WedgeLoads directed = normal;
    directed.FacePressureDirection = directionOf(-1 * a.Shape.Faces[int(WedgeSurface::SlopeFace)].Normal);
    EXPECT_NEAR(exampleWith(directed).Safety.Factor, a.Safety.Factor, 1e-12 * a.Safety.Factor);
    directed.FacePressureDirection = directionOf(a.Shape.Sliding);
    EXPECT_LT(exampleWith(directed).Safety.Factor, exampleWith(WedgeLoads{}).Safety.Factor);
}
