#include "analysis/joints/kinematics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "analysis/vec3.h"
#include "model/error.h"

namespace trelmox {
namespace {

// Face 60/180, friction 30. Symmetric pairs about the face's dip direction
// meet in a line of that trend (or the opposite) with tan(plunge) =
// tan(dip) cos(half the angle between their dip directions).
TEST(WedgeKinematics, ChecksDaylightAndFrictionOfTheLineOfIntersection) {
    const TPlaneAttitude face{60, 180};
    const struct {
        TPlaneAttitude first, second;
        double plunge, apparentDip;
        bool daylights, steeper;
    } cases[] = {
        {{60, 120}, {60, 240}, 40.8934, 60, true, true},      // slides
        {{55, 100}, {55, 200}, 42.5518, 56.3099, true, true}, // slides, oblique to the face
        {{45, 120}, {45, 240}, 26.5651, 60, true, false},     // flatter than friction
        {{80, 130}, {80, 230}, 74.6602, 60, false, true},     // steeper than the face
        {{60, 30}, {60, 330}, 56.3099, -60, false, true},     // plunges into the slope
    };
    for (const auto& c : cases) {
        const WedgeKinematics k = wedgeKinematics(c.first, c.second, face, 30);
        ASSERT_TRUE(k.Intersection);
        EXPECT_NEAR(k.Intersection->Plunge, c.plunge, 1e-4);
        EXPECT_NEAR(k.FaceApparentDip, c.apparentDip, 1e-4);
        EXPECT_EQ(k.Daylights, c.daylights);
        EXPECT_EQ(k.SteeperThanFriction, c.steeper);
        EXPECT_EQ(k.possible(), c.daylights && c.steeper);
    }
    const WedgeKinematics parallel = wedgeKinematics({45, 120}, {45, 120}, face, 30);
    EXPECT_FALSE(parallel.Intersection);
    EXPECT_FALSE(parallel.possible());
}

// Planes half a degree either side of each boundary: friction cone,
// daylight envelope, lateral limits (both sides of north), for inclined,
// vertical and overhanging faces.
TEST(KinematicChecks, PlanarSlidingAndBasePlanesAtEachBoundary) {
    const struct {
        KinematicSlope slope;
        TPlaneAttitude plane;
        bool slides, base;
    } cases[] = {
        {{60, 350, 30, 20}, {45, 350}, true, true},
        {{60, 350, 30, 20}, {29.5, 350}, false, true}, // inside the friction cone
        {{60, 350, 30, 20}, {30.5, 350}, true, true},
        {{60, 350, 30, 20}, {59.5, 350}, true, true},
        {{60, 350, 30, 20}, {60.5, 350}, false, false}, // does not daylight
        {{60, 350, 30, 20}, {45, 9.5}, true, true},     // lateral limit across north
        {{60, 350, 30, 20}, {45, 10.5}, false, false},
        {{60, 350, 30, 20}, {45, 330.5}, true, true},
        {{60, 350, 30, 20}, {45, 329.5}, false, false},
        {{60, 10, 30, 20}, {45, 350.5}, true, true},
        {{60, 10, 30, 20}, {45, 349.5}, false, false},
        {{60, 10, 30, 35}, {45, 336}, true, true},    // wider lateral limits
        {{60, 350, 30, 20}, {45, 170}, false, false}, // dips into the slope
        {{90, 0, 30, 20}, {89.5, 0}, true, true},     // vertical face
        {{90, 0, 30, 20}, {89.5, 180}, false, false},
        {{110, 0, 30, 20}, {90, 0}, true, true},     // overhanging: a vertical plane daylights
        {{110, 0, 30, 20}, {80, 180}, false, false}, // daylights, outside the lateral limits
    };
    for (const auto& c : cases) {
        const KinematicChecks checks(c.slope);
        EXPECT_EQ(checks.planarSliding(c.plane), c.slides) << c.slope.FaceDip << '/' << c.slope.FaceDipDirection << ' '
                                                           << c.plane.DipAngle << '/' << c.plane.DipDirection;
        EXPECT_EQ(checks.basePlane(c.plane), c.base) << c.plane.DipAngle << '/' << c.plane.DipDirection;
    }
}

TEST(KinematicChecks, FlexuralTopplingAtTheSlipLimitAndLateralLimits) {
    const struct {
        KinematicSlope slope;
        TPlaneAttitude plane;
        bool topples;
    } cases[] = {
        {{60, 350, 30, 20}, {60.5, 170}, true}, // pole 29.5 below the slip limit of 30
        {{60, 350, 30, 20}, {59.5, 170}, false}, {{60, 350, 30, 20}, {75, 150.5}, true}, // pole trend 330.5
        {{60, 350, 30, 20}, {75, 149.5}, false}, {{60, 10, 30, 20}, {75, 190}, true},
        {{60, 10, 30, 20}, {75, 170.5}, true}, // pole trend 350.5, across north
        {{60, 10, 30, 20}, {75, 169.5}, false},  {{60, 350, 30, 20}, {75, 350}, false}, // dips out of the face
        {{60, 350, 30, 20}, {90, 170}, true}, // a vertical slab either way round
        {{60, 350, 30, 20}, {90, 350}, true},    {{25, 350, 30, 20}, {80, 170}, false}, // face flatter than friction
        {{90, 0, 30, 20}, {30.5, 180}, true},                                           // vertical face: slip limit 60
        {{90, 0, 30, 20}, {29.5, 180}, false},   {{110, 0, 30, 20}, {10.5, 180}, true}, // overhanging: slip limit 80
        {{110, 0, 30, 20}, {9.5, 180}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KinematicChecks(c.slope).flexuralToppling(c.plane), c.topples)
            << c.slope.FaceDip << '/' << c.slope.FaceDipDirection << ' ' << c.plane.DipAngle << '/'
            << c.plane.DipDirection;
}

// Lines given by trend and plunge, either sense.
TEST(KinematicChecks, LinesOfIntersectionInTheWedgeAndTopplingZones) {
    const struct {
        KinematicSlope slope;
        double trend, plunge;
        WedgeZone wedge;
        TopplingZone topple;
    } cases[] = {
        {{60, 350, 30, 20}, 350, 45, WedgeZone::Primary, TopplingZone::None},
        {{60, 350, 30, 20}, 350, 30.5, WedgeZone::Primary, TopplingZone::None},
        {{60, 350, 30, 20}, 350, 29.5, WedgeZone::Secondary, TopplingZone::None},
        {{60, 350, 30, 20}, 350, 59.5, WedgeZone::Primary, TopplingZone::None},
        {{60, 350, 30, 20}, 350, 60.5, WedgeZone::None, TopplingZone::Oblique}, // within 30 of vertical
        {{60, 350, 30, 20}, 10, 45, WedgeZone::Primary, TopplingZone::None},    // apparent dip 58.4
        {{60, 350, 30, 20}, 80, 45, WedgeZone::None, TopplingZone::None},
        {{70, 350, 30, 20}, 170, 20.5, WedgeZone::None, TopplingZone::Direct}, // 90 - 70 = 20
        {{70, 350, 30, 20}, 170, 19.5, WedgeZone::None, TopplingZone::None},
        {{70, 350, 30, 20}, 150.5, 45, WedgeZone::None, TopplingZone::Direct},
        {{70, 350, 30, 20}, 149.5, 45, WedgeZone::None, TopplingZone::None},
        {{70, 350, 30, 20}, 149.5, 60.5, WedgeZone::None, TopplingZone::Oblique},
        {{70, 350, 30, 20}, 149.5, 59.5, WedgeZone::None, TopplingZone::None},
        {{70, 350, 30, 20}, 0, 90, WedgeZone::None, TopplingZone::Direct},     // vertical column
        {{70, 190, 30, 20}, 350.5, 45, WedgeZone::None, TopplingZone::Direct}, // across north
        {{70, 190, 30, 20}, 349.5, 45, WedgeZone::None, TopplingZone::None},
        {{90, 0, 30, 20}, 0, 89.5, WedgeZone::Primary, TopplingZone::Oblique}, // vertical face
        {{90, 0, 30, 20}, 180, 89.5, WedgeZone::None, TopplingZone::Direct},
        {{90, 0, 30, 20}, 180, 0.5, WedgeZone::None, TopplingZone::Direct},
        {{110, 0, 30, 20}, 180, 85, WedgeZone::Primary, TopplingZone::Direct},   // overhanging
        {{110, 0, 30, 20}, 180, 70.5, WedgeZone::Primary, TopplingZone::Direct}, // daylights below 70
        {{110, 0, 30, 20}, 180, 69.5, WedgeZone::None, TopplingZone::Direct},
    };
    for (const auto& c : cases) {
        const KinematicChecks checks(c.slope);
        for (double sense : {1.0, -1.0}) {
            const TPoint3D line = sense * lineVector(c.trend, c.plunge);
            EXPECT_EQ(checks.wedgeZone(line), c.wedge) << c.slope.FaceDipDirection << ' ' << c.trend << '/' << c.plunge;
            EXPECT_EQ(checks.directToppling(line), c.topple)
                << c.slope.FaceDipDirection << ' ' << c.trend << '/' << c.plunge;
        }
    }
}

TEST(KinematicChecks, SecondaryWedgeNeedsAPlaneThatSlidesAlone) {
    const KinematicChecks checks({60, 180, 30, 20});
    // Line 24.2/180, flatter than friction; both planes dip 35 and daylight.
    EXPECT_EQ(checks.wedgeSliding({35, 130}, {35, 230}), WedgeZone::Secondary);
    // Line 26.6/180: the planes of 45 are steeper than the face in their
    // dip directions and so cannot slide alone.
    EXPECT_EQ(checks.wedgeSliding({45, 120}, {45, 240}), WedgeZone::None);
    // Two planes flatter than friction: neither slides alone.
    EXPECT_EQ(checks.wedgeSliding({25, 150}, {22, 220}), WedgeZone::None);
    EXPECT_EQ(checks.wedgeSliding({45, 120}, {45, 120}), WedgeZone::None); // parallel
}

TEST(KinematicChecks, RefusesSlopesOutOfRange) {
    for (const KinematicSlope slope :
         {KinematicSlope{-1, 0, 30, 20}, KinematicSlope{181, 0, 30, 20}, KinematicSlope{60, 0, 90, 20},
          KinematicSlope{60, 0, 30, -1}, KinematicSlope{60, std::nan(""), 30, 20}})
        EXPECT_THROW(KinematicChecks{slope}, Error);
}

std::vector<Measurement> randomPlanes(std::size_t count, unsigned seed, bool weighted) {
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> dip(0, 90), direction(0, 360), weight(0.5, 3);
    std::vector<Measurement> planes;
    for (std::size_t i = 0; i < count; ++i)
        planes.push_back(
            {{dip(random), direction(random)}, i % 3 ? "A" : "B", weighted ? weight(random) : 1, int(i + 1)});
    return planes;
}

// The counts over all pairs equal a pair-by-pair count with the checks of
// one line, on one thread and two, for several slopes at once.
TEST(KinematicAnalysis, CountsEqualABruteForceCountOfAllPairs) {
    const std::vector<Measurement> planes = randomPlanes(120, 7, true);
    const std::vector<JointSet> sets = labelledSets(planes);
    const std::vector<KinematicSlope> slopes = {{65, 350, 30, 20}, {80, 10, 25, 30}, {105, 200, 35, 20}};
    const auto one = kinematicAnalysis(planes, sets, slopes, 1);
    const auto two = kinematicAnalysis(planes, sets, slopes, 2);
    for (std::size_t k = 0; k < slopes.size(); ++k) {
        const KinematicChecks checks(slopes[k]);
        KinematicCount wedge, secondary, direct, planar, flexural;
        for (std::size_t i = 0; i < planes.size(); ++i) {
            planar.add(checks.planarSliding(planes[i].Plane), planes[i].Weight);
            flexural.add(checks.flexuralToppling(planes[i].Plane), planes[i].Weight);
            for (std::size_t j = i + 1; j < planes.size(); ++j) {
                const double w = planes[i].Weight * planes[j].Weight;
                const WedgeZone zone = checks.wedgeSliding(planes[i].Plane, planes[j].Plane);
                wedge.add(zone == WedgeZone::Primary, w);
                secondary.add(zone == WedgeZone::Secondary, w);
                direct.add(checks.directToppling(planes[i].Plane, planes[j].Plane) == TopplingZone::Direct, w);
            }
        }
        const KinematicResult& r = one[k];
        const std::pair<const KinematicCount&, const KinematicCount&> expected[] = {
            {r.mode(KinematicMode::Planar).All, planar},
            {r.mode(KinematicMode::FlexuralToppling).All, flexural},
            {r.mode(KinematicMode::Wedge).All, wedge},
            {r.mode(KinematicMode::Wedge).Secondary, secondary},
            {r.mode(KinematicMode::DirectToppling).All, direct}};
        for (const auto& [got, want] : expected) {
            EXPECT_EQ(got.Critical, want.Critical);
            EXPECT_EQ(got.Total, want.Total);
            EXPECT_NEAR(got.percent(), want.percent(), 1e-9);
        }
        EXPECT_EQ(r.mode(KinematicMode::Wedge).All.Total, 120u * 119 / 2);
        EXPECT_GT(r.mode(KinematicMode::Wedge).All.Critical + r.mode(KinematicMode::DirectToppling).All.Critical, 0u);
        for (std::size_t m = 0; m < 4; ++m) {
            // The same bits on any number of threads, and the groups add up.
            EXPECT_EQ(two[k].Modes[m].All.CriticalWeight, r.Modes[m].All.CriticalWeight);
            EXPECT_EQ(two[k].Modes[m].All.TotalWeight, r.Modes[m].All.TotalWeight);
            std::size_t critical = 0, total = 0;
            for (const GroupCount& g : r.Modes[m].Groups) {
                critical += g.Count.Critical;
                total += g.Count.Total;
            }
            EXPECT_EQ(critical, r.Modes[m].All.Critical);
            EXPECT_EQ(total, r.Modes[m].All.Total);
        }
    }
    EXPECT_EQ(one[0].mode(KinematicMode::Wedge).Groups.size(), 3u); // A×A, A×B, B×B
}

// Progress counts the pairs up to all of them, one report at a time; a
// cancel at the first report leaves nothing, on two threads too.
TEST(KinematicAnalysis, ProgressCountsThePairsAndCancels) {
    const std::vector<Measurement> planes = randomPlanes(400, 3, false);
    const std::vector<KinematicSlope> slope = {{65, 350, 30, 20}};
    std::vector<std::uint64_t> seen;
    const auto counted = kinematicAnalysis(planes, {}, slope, 2, true, [&](std::uint64_t done, std::uint64_t total) {
        EXPECT_EQ(total, 400u * 399 / 2);
        seen.push_back(done);
        return true;
    });
    ASSERT_TRUE(counted);
    EXPECT_EQ(counted->front().mode(KinematicMode::Wedge).All.Critical,
              kinematicAnalysis(planes, {}, slope).front().mode(KinematicMode::Wedge).All.Critical);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 400u * 399 / 2);
    for (bool pairs : {true, false})
        EXPECT_FALSE(
            kinematicAnalysis(planes, {}, slope, 2, pairs, [](std::uint64_t, std::uint64_t) { return false; }));
}

TEST(KinematicAnalysis, IdenticalPolesGiveNoneOrAll) {
    const std::vector<Measurement> sliding(5, Measurement{{45, 350}, "", 1, 1});
    const std::vector<Measurement> toppling(5, Measurement{{75, 170}, "", 1, 1});
    const KinematicSlope slope{60, 350, 30, 20};
    const KinematicResult s = kinematicAnalysis(sliding, {}, {slope}).front();
    const KinematicResult t = kinematicAnalysis(toppling, {}, {slope}).front();
    EXPECT_EQ(s.mode(KinematicMode::Planar).All.percent(), 100);
    EXPECT_EQ(s.mode(KinematicMode::FlexuralToppling).All.percent(), 0);
    EXPECT_EQ(t.mode(KinematicMode::Planar).All.percent(), 0);
    EXPECT_EQ(t.mode(KinematicMode::FlexuralToppling).All.percent(), 100);
    // Identical planes meet in no line: every pair counts, none is critical.
    for (const KinematicResult* r : {&s, &t})
        for (KinematicMode m : {KinematicMode::Wedge, KinematicMode::DirectToppling}) {
            EXPECT_EQ(r->mode(m).All.Total, 10u);
            EXPECT_EQ(r->mode(m).All.percent(), 0);
        }
    EXPECT_EQ(kinematicAnalysis({}, {}, {slope}).front().mode(KinematicMode::Planar).All.percent(), 0);
}

} // namespace
} // namespace trelmox
