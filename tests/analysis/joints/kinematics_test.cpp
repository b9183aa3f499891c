#include "analysis/joints/kinematics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <tuple>

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

// Exactly on each limit, on both of its sides: a plane or line on a limit
// is critical, whichever side it is written from.
TEST(KinematicChecks, EveryLimitCountsTheSameOnBothSides) {
    const struct {
        KinematicSlope slope;
        TPlaneAttitude plane;
        bool slides, topples;
    } planes[] = {
        {{60, 90, 30, 20}, {45, 110}, true, false}, // on the lateral limits, either side
        {{60, 90, 30, 20}, {45, 70}, true, false},
        {{60, 350, 30, 20}, {45, 10}, true, false}, // either side of north
        {{60, 350, 30, 20}, {45, 330}, true, false},
        {{60, 90, 30, 20}, {30, 90}, true, false},  // at the friction angle
        {{60, 90, 30, 20}, {60, 90}, true, false},  // parallel to the face: on the daylight limit
        {{100, 30, 30, 20}, {90, 30}, true, true},  // a vertical plane under an overhang,
        {{100, 30, 30, 20}, {90, 210}, true, true}, // its dip direction written either way
        {{60, 90, 30, 20}, {60, 270}, false, true}, // on the slip limit (pole plunge 30)
        {{60, 90, 30, 20}, {75, 250}, false, true}, // pole trend 70 and 110: the lateral limits
        {{60, 90, 30, 20}, {75, 290}, false, true},
        {{60, 90, 30, 20}, {90, 90}, false, true}, // upright, written either way
        {{60, 90, 30, 20}, {90, 270}, false, true},
    };
    for (const auto& c : planes) {
        const KinematicChecks checks(c.slope);
        EXPECT_EQ(checks.planarSliding(c.plane), c.slides) << c.slope.FaceDip << '/' << c.slope.FaceDipDirection << ' '
                                                           << c.plane.DipAngle << '/' << c.plane.DipDirection;
        EXPECT_EQ(checks.flexuralToppling(c.plane), c.topples)
            << c.slope.FaceDip << '/' << c.slope.FaceDipDirection << ' ' << c.plane.DipAngle << '/'
            << c.plane.DipDirection;
    }
    const struct {
        KinematicSlope slope;
        double trend, plunge;
        WedgeZone wedge;
        TopplingZone topple;
    } lines[] = {
        {{60, 350, 30, 20}, 350, 30, WedgeZone::Primary, TopplingZone::None},    // at the friction angle
        {{60, 350, 30, 20}, 350, 60, WedgeZone::Primary, TopplingZone::Oblique}, // at the face's dip, 30 from vertical
        {{70, 350, 30, 20}, 150, 45, WedgeZone::None, TopplingZone::Direct},     // on the lateral limits, either side
        {{70, 350, 30, 20}, 190, 45, WedgeZone::None, TopplingZone::Direct},
        {{70, 350, 30, 20}, 170, 20, WedgeZone::None, TopplingZone::Direct}, // plunging 90 less the face's dip
        {{70, 350, 30, 20}, 120, 60, WedgeZone::None, TopplingZone::Oblique},
    };
    for (const auto& c : lines) {
        const KinematicChecks checks(c.slope);
        for (double sense : {1.0, -1.0}) {
            const TPoint3D line = sense * lineVector(c.trend, c.plunge);
            EXPECT_EQ(checks.wedgeZone(line), c.wedge) << c.slope.FaceDipDirection << ' ' << c.trend << '/' << c.plunge;
            EXPECT_EQ(checks.directToppling(line), c.topple)
                << c.slope.FaceDipDirection << ' ' << c.trend << '/' << c.plunge;
        }
    }
    // 30/090 and 20/270 meet in a horizontal line north-south whose vertical
    // component the cross product leaves at 2e-17: it is checked at both
    // ends, in either order of the planes.
    for (const auto& [first, second] : {std::pair<TPlaneAttitude, TPlaneAttitude>{{30, 90}, {20, 270}},
                                        std::pair<TPlaneAttitude, TPlaneAttitude>{{20, 270}, {30, 90}}}) {
        EXPECT_EQ(KinematicChecks({60, 180, 0, 20}).wedgeSliding(first, second), WedgeZone::Primary);
        EXPECT_EQ(KinematicChecks({90, 0, 30, 20}).directToppling(first, second), TopplingZone::Direct);
        EXPECT_EQ(KinematicChecks({90, 180, 30, 20}).directToppling(first, second), TopplingZone::Direct);
    }
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

// Planes in whole degrees, as most surveys give them: lines of
// intersection on the limits, repeated and upright planes written both
// ways, horizontal and vertical lines.
std::vector<Measurement> wholeDegreePlanes(std::size_t count, unsigned seed) {
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int> dip(0, 90), direction(0, 359), set(0, 3);
    std::vector<Measurement> planes;
    for (std::size_t i = 0; i < count; ++i) {
        const int d = i % 7 == 0 ? 90 : i % 11 == 0 ? 0 : dip(random);
        planes.push_back({{double(d), double(direction(random) / 5 * 5)},
                          std::string(1, char('A' + set(random))),
                          i % 5 ? 1.0 : 2.5,
                          int(i + 1)});
    }
    planes.push_back(planes[7]);
    planes.push_back({{90, std::fmod(planes[14].Plane.DipDirection + 180, 360)}, "A", 1, 0});
    return planes;
}

// Every pair checked one by one with KinematicChecks: the reference the
// binned count must equal exactly.
std::vector<KinematicResult> bruteForce(const std::vector<Measurement>& planes, const std::vector<JointSet>& sets,
                                        const std::vector<KinematicSlope>& slopes) {
    std::vector<std::size_t> setOf(planes.size(), sets.size());
    for (std::size_t s = 0; s < sets.size(); ++s)
        for (std::size_t m : sets[s].Members) setOf[m] = s;
    const std::size_t labels = sets.size() + 1;
    std::vector<KinematicResult> results;
    for (const KinematicSlope& slope : slopes) {
        const KinematicChecks checks(slope);
        KinematicResult r;
        std::vector<KinematicCount> wedgeGroups(labels * labels), directGroups(labels * labels);
        for (std::size_t i = 0; i < planes.size(); ++i) {
            r.Modes[0].All.add(checks.planarSliding(planes[i].Plane), planes[i].Weight);
            r.Modes[2].All.add(checks.flexuralToppling(planes[i].Plane), planes[i].Weight);
            r.Modes[3].BasePlanes.add(checks.basePlane(planes[i].Plane), planes[i].Weight);
            for (std::size_t j = i + 1; j < planes.size(); ++j) {
                const double w = planes[i].Weight * planes[j].Weight;
                const WedgeZone zone = checks.wedgeSliding(planes[i].Plane, planes[j].Plane);
                const TopplingZone topple = checks.directToppling(planes[i].Plane, planes[j].Plane);
                r.Modes[1].All.add(zone == WedgeZone::Primary, w);
                r.Modes[1].Secondary.add(zone == WedgeZone::Secondary, w);
                r.Modes[3].All.add(topple == TopplingZone::Direct, w);
                r.Modes[3].Secondary.add(topple == TopplingZone::Oblique, w);
                const std::size_t g = std::min(setOf[i], setOf[j]) * labels + std::max(setOf[i], setOf[j]);
                wedgeGroups[g].add(zone == WedgeZone::Primary, w);
                directGroups[g].add(topple == TopplingZone::Direct, w);
            }
        }
        for (std::size_t g = 0; g < wedgeGroups.size() && !sets.empty(); ++g)
            if (wedgeGroups[g].Total) {
                r.Modes[1].Groups.push_back({"", wedgeGroups[g]});
                r.Modes[3].Groups.push_back({"", directGroups[g]});
            }
        results.push_back(r);
    }
    return results;
}

void expectSameCount(const KinematicCount& got, const KinematicCount& want, const std::string& what) {
    EXPECT_EQ(got.Critical, want.Critical) << what;
    EXPECT_EQ(got.Total, want.Total) << what;
    EXPECT_NEAR(got.CriticalWeight, want.CriticalWeight, 1e-9 * want.TotalWeight) << what;
    EXPECT_NEAR(got.TotalWeight, want.TotalWeight, 1e-9 * want.TotalWeight) << what;
}

// The pairs' lines, binned on the sphere and tested one by one only where a
// limit crosses their cell, give exactly the counts of every pair checked
// one by one: random planes and planes in whole degrees, against inclined,
// vertical, overhanging and flat faces, no and full lateral limits, no
// friction, more slopes than one batch holds; the same bits on one thread
// and two, the groups adding up.
TEST(KinematicAnalysis, CountsEqualEveryPairCheckedOneByOne) {
    std::vector<KinematicSlope> tied;
    for (int k = 0; k < 70; ++k)
        tied.push_back({double(std::array{0, 30, 55, 60, 70, 90, 95, 135, 180}[k % 9]), double(k * 5 % 360),
                        double(std::array{0, 30, 45}[k % 3]), double(std::array{0, 20, 90, 135, 180}[k % 5])});
    const struct {
        const char* what;
        std::vector<Measurement> planes;
        bool sets;
        std::vector<KinematicSlope> slopes;
    } cases[] = {
        {"random planes", randomPlanes(150, 7, true), true, {{65, 350, 30, 20}, {80, 10, 25, 30}, {105, 200, 35, 20}}},
        {"whole degrees", wholeDegreePlanes(160, 3), true, tied},
        {"whole degrees without sets", wholeDegreePlanes(120, 5), false, {tied.begin(), tied.begin() + 20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<JointSet> sets = c.sets ? labelledSets(c.planes) : std::vector<JointSet>{};
        const auto one = kinematicAnalysis(c.planes, sets, c.slopes, 1);
        const auto two = kinematicAnalysis(c.planes, sets, c.slopes, 2);
        const auto want = bruteForce(c.planes, sets, c.slopes);
        std::size_t critical = 0;
        for (std::size_t k = 0; k < c.slopes.size(); ++k) {
            const std::string slope = std::to_string(k) + ": " + std::to_string(c.slopes[k].FaceDip) + "/" +
                                      std::to_string(c.slopes[k].FaceDipDirection);
            for (std::size_t m = 0; m < 4; ++m) {
                const ModeResult &got = one[k].Modes[m], &expected = want[k].Modes[m];
                expectSameCount(got.All, expected.All, slope + " mode " + std::to_string(m));
                expectSameCount(got.Secondary, expected.Secondary, slope + " secondary " + std::to_string(m));
                expectSameCount(got.BasePlanes, expected.BasePlanes, slope + " base");
                critical += got.All.Critical + got.Secondary.Critical;
                if (m == 1 || m == 3) {
                    ASSERT_EQ(got.Groups.size(), expected.Groups.size());
                    for (std::size_t g = 0; g < got.Groups.size(); ++g)
                        expectSameCount(got.Groups[g].Count, expected.Groups[g].Count, slope + " group");
                }
                std::size_t groupCritical = 0, groupTotal = 0;
                for (const GroupCount& g : got.Groups) groupCritical += g.Count.Critical, groupTotal += g.Count.Total;
                if (!got.Groups.empty()) {
                    EXPECT_EQ(groupCritical, got.All.Critical);
                    EXPECT_EQ(groupTotal, got.All.Total);
                }
                // The same bits on any number of threads.
                EXPECT_EQ(two[k].Modes[m].All.CriticalWeight, got.All.CriticalWeight);
                EXPECT_EQ(two[k].Modes[m].Secondary.CriticalWeight, got.Secondary.CriticalWeight);
                EXPECT_EQ(two[k].Modes[m].All.TotalWeight, got.All.TotalWeight);
            }
        }
        EXPECT_GT(critical, 0u);
    }
}

// More pairs than one run may count are refused before any work, as the
// combinations refuse theirs; every further 64 slopes count the pairs again.
TEST(KinematicAnalysis, RefusesMorePairsThanTheLimit) {
    const auto planes = [](std::size_t n) { return std::vector<Measurement>(n, Measurement{{45, 120}, "", 1, 1}); };
    const std::size_t atLimit = 15'811; // 124,982,955 pairs
    const std::vector<KinematicSlope> one = {{60, 180, 30, 20}}, many(65, KinematicSlope{60, 180, 30, 20});
    for (const auto& [n, slopes, pairs] :
         {std::tuple{atLimit + 1, one, true}, std::tuple{std::size_t(11'200), many, true}}) {
        try {
            kinematicAnalysis(planes(n), {}, slopes, 2, pairs);
            ADD_FAILURE() << n << " planes counted";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::RefusedInput);
            EXPECT_NE(std::string(e.what()).find(std::to_string(MaxKinematicPairs)), std::string::npos) << e.what();
        }
    }
    // The poles alone are not limited.
    EXPECT_EQ(kinematicAnalysis(planes(atLimit + 1), {}, one, 2, false).front().mode(KinematicMode::Planar).All.Total,
              atLimit + 1);
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
