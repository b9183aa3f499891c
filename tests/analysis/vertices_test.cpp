#include "analysis/vertices.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

#include "model/attitude.h"
#include "model/numtext.h"
#include "tests/drawing/reference_blocks.h"
#include "tests/model/test_support.h"

using namespace trelmox;
using trelmox::testing::messageOf;

namespace {

using DrawingPlanes = std::array<TPlaneQuadrant, PlaneCount>;

DrawingPlanes workedExample() { return trelmox::testing::workedExamplePlanes(); }

void expectPoint(const TPoint3D& actual, const TPoint3D& expected, double tolerance, const char* name) {
    EXPECT_NEAR(actual.x, expected.x, tolerance) << name;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << name;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << name;
}

} // namespace

TEST(VertexGeometry, WorkedExamplePlanesAndCorners) {
    VertexGeometry g;
    EXPECT_TRUE(g.compute(workedExample(), "10").empty());
    const double r = std::sqrt(0.5), s = std::sqrt(3.0) / 2;
    const TPlaneEquation expected[] = {{0, 0, 1, -10}, {s, 0, 0.5, 0}, {r / 2, -r * s, r, 0}, {r / 2, r * s, r, 0}};
    const auto planes = g.planes();
    for (int p = 0; p < PlaneCount; ++p) {
        EXPECT_NEAR(planes[p].A, expected[p].A, 1e-15) << p;
        EXPECT_NEAR(planes[p].B, expected[p].B, 1e-15) << p;
        EXPECT_NEAR(planes[p].C, expected[p].C, 1e-15) << p;
        EXPECT_NEAR(planes[p].D, expected[p].D, 1e-14) << p;
    }
    const BlockVertices& v = g.vertices();
    // Extended precision keeps the rounding noise of the intersection out of
    // the doubles that the drawing prints.
    EXPECT_EQ(v.Vertex2, (TPoint3D{-20, 0, 10}));
    EXPECT_EQ(v.Vertex1, (TPoint3D{0, 0, 0}));
    // Crest corners: on the face x = -10 / sqrt 3, on the cutting planes y = +-(x / 2 + 10) / s.
    const double crestX = -10 / std::sqrt(3.0), crestY = (crestX / 2 + 10) / s;
    expectPoint(v.Vertex3, {crestX, crestY, 10}, 1e-13, "Vertex3");
    expectPoint(v.Vertex4, {crestX, -crestY, 10}, 1e-13, "Vertex4");
}

TEST(VertexGeometry, ParallelPlanesReportTheirTriplesAndKeepOldCorners) {
    VertexGeometry g;
    g.compute(workedExample(), "10");
    const BlockVertices before = g.vertices();
    DrawingPlanes planes = workedExample();
    planes[2].DipAngle = "0"; // first cutting plane parallel to the slope top
    EXPECT_EQ(g.compute(planes, "10"), (std::vector<FailedTriple>{{1, 2, 3}, {1, 3, 4}}));
    EXPECT_EQ(g.vertices().Vertex3, before.Vertex3);
    EXPECT_EQ(g.vertices().Vertex2, before.Vertex2);
    expectPoint(g.vertices().Vertex4, before.Vertex4, 1e-13, "Vertex4");
    EXPECT_EQ(g.vertices().Vertex1, (TPoint3D{0, 0, 0}));

    // Nothing entered yet: every normal is zero and every triple fails.
    VertexGeometry fresh;
    EXPECT_EQ(fresh.compute(DrawingPlanes{}, "10"),
              (std::vector<FailedTriple>{{1, 2, 3}, {1, 2, 4}, {1, 3, 4}, {2, 3, 4}}));
    EXPECT_EQ(fresh.vertices(), BlockVertices{});
}

TEST(VertexGeometry, FailedTripleMessage) {
    EXPECT_EQ(failedTripleMessage({1, 3, 4}), "1、3、4三平面不能切出块体");
    EXPECT_EQ(failedTripleMessage({2, 3, 4}), "2、3、4三平面不能切出块体");
}

TEST(VertexGeometry, AngleTextsAreReadOnlyWhereTheLettersUseThem) {
    const struct {
        const char* name;
        int plane;
        TPlaneQuadrant quadrant;
        const char* message;
    } cases[] = {
        {"strike angle", 1, {"N", "x", "E", "S", "E", "60"}, "'x' is not a valid floating point value"},
        {"dip angle", 1, {"N", "0", "E", "S", "E", ""}, "'' is not a valid floating point value"},
        {"west strike", 3, {"N", "60", "W", "S", "W", "4 5"}, "'4 5' is not a valid floating point value"},
        {"strike from the south", 1, {"S", "x", "E", "S", "E", "y"}, ""},
        {"lower-case letters", 1, {"n", "x", "e", "s", "e", "y"}, ""},
        {"dip on the strike's wrong side", 1, {"N", "0", "E", "N", "E", "y"}, ""},
        {"dip on the west strike's wrong side", 3, {"N", "60", "W", "S", "E", "y"}, ""},
    };
    for (const auto& c : cases) {
        DrawingPlanes planes = workedExample();
        planes[c.plane] = c.quadrant;
        VertexGeometry g;
        EXPECT_EQ(messageOf([&] { g.compute(planes, "10"); }), c.message) << c.name;
    }
}

TEST(VertexGeometry, CornersBeyondTheRangeOfADoubleOverflow) {
    VertexGeometry g;
    g.compute(workedExample(), "10");
    // Vertex2 lies twice the slope height away from the origin.
    EXPECT_EQ(messageOf([&] { g.compute(workedExample(), "1e308"); }), "Floating point overflow");
    EXPECT_EQ(g.compute(workedExample(), "-8e307").size(), 0u);
    EXPECT_EQ(g.vertices().Vertex2.x, 1.6e308);
}

TEST(VertexGeometry, ABadSlopeHeightChangesNothing) {
    VertexGeometry g;
    g.compute(workedExample(), "10");
    const auto planes = g.planes();
    DrawingPlanes other = workedExample();
    other[1].DipAngle = "70";
    EXPECT_EQ(messageOf([&] { g.compute(other, "ten"); }), "'ten' is not a valid floating point value");
    for (int p = 0; p < PlaneCount; ++p) {
        EXPECT_EQ(g.planes()[p].A, planes[p].A);
        EXPECT_EQ(g.planes()[p].C, planes[p].C);
    }
    EXPECT_EQ(g.vertices().Vertex2, (TPoint3D{-20, 0, 10}));
}

TEST(VertexGeometry, PlanesBeforeABadAngleKeepTheirNewEquations) {
    VertexGeometry g;
    g.compute(workedExample(), "10");
    DrawingPlanes planes = workedExample();
    planes[0].DipAngle = "30"; // changes plane 1
    planes[2].StrikeAngle = "bad";
    EXPECT_NE(messageOf([&] { g.compute(planes, "20"); }), "");
    EXPECT_NEAR(g.planes()[0].C, std::sqrt(3.0) / 2, 1e-15);
    EXPECT_NEAR(g.planes()[0].D, -20 * std::sqrt(3.0) / 2, 1e-13);
    EXPECT_EQ(g.vertices().Vertex2, (TPoint3D{-20, 0, 10})); // no corner of the failed run
}

TEST(VertexGeometry, PlanesWithoutAFittingCaseReuseThePreviousVectors) {
    VertexGeometry g;
    DrawingPlanes planes = workedExample();
    // Plane 4's letters fit no case: it repeats plane 3's equation.
    planes[3] = {"S", "10", "E", "S", "E", "10"};
    g.compute(planes, "10");
    EXPECT_EQ(g.planes()[3].A, g.planes()[2].A);
    EXPECT_EQ(g.planes()[3].B, g.planes()[2].B);
    EXPECT_EQ(g.planes()[3].C, g.planes()[2].C);

    // Strike fits, dip does not: own strike vector N60W with plane 3's up-dip
    // vector v = (-cos60 cos45, sin60 cos45, sin45).
    planes[3] = {"N", "60", "W", "N", "W", "10"};
    g.compute(planes, "10");
    const double c = std::cos(M_PI / 3), s = std::sin(M_PI / 3), r = std::sqrt(0.5);
    const double u[3] = {-s, c, 0}, v[3] = {-c * r, s * r, r};
    EXPECT_NEAR(g.planes()[3].A, u[1] * v[2] - u[2] * v[1], 1e-15);
    EXPECT_NEAR(g.planes()[3].B, u[2] * v[0] - u[0] * v[2], 1e-15);
    EXPECT_NEAR(g.planes()[3].C, u[0] * v[1] - u[1] * v[0], 1e-15);

    // The vectors persist into the next computation: a first plane that fits
    // no case takes those of the last plane before.
    planes[0] = {"", "", "", "", "", ""};
    const double lastC = g.planes()[3].C;
    g.compute(planes, "10");
    EXPECT_EQ(g.planes()[0].C, lastC);
    EXPECT_NEAR(g.planes()[0].D, -lastC * 10, 1e-14);
}

TEST(VertexGeometry, NormalSenseFollowsTheDipCase) {
    const struct {
        TPlaneQuadrant quadrant;
        double normalZ;
    } cases[] = {
        {{"N", "30", "E", "N", "W", "40"}, -std::cos(40 * M_PI / 180)},
        {{"N", "30", "E", "S", "E", "40"}, std::cos(40 * M_PI / 180)},
        {{"N", "30", "W", "N", "E", "40"}, std::cos(40 * M_PI / 180)},
        {{"N", "30", "W", "S", "W", "40"}, -std::cos(40 * M_PI / 180)},
    };
    for (const auto& c : cases) {
        DrawingPlanes planes = workedExample();
        planes[1] = c.quadrant;
        VertexGeometry g;
        g.compute(planes, "10");
        EXPECT_NEAR(g.planes()[1].C, c.normalZ, 1e-15) << c.quadrant.StrikeEW << c.quadrant.DipNS << c.quadrant.DipEW;
    }
}

TEST(VertexGeometry, ComputeForBlockTakesTheStorageOrder) {
    const DrawingPlanes drawing = workedExample();
    const PlaneQuadrantArray storage = {drawing[2], drawing[3], drawing[0], drawing[1]};
    VertexGeometry g;
    EXPECT_TRUE(g.computeForBlock(storage, "10").empty());
    EXPECT_EQ(g.vertices().Vertex2, (TPoint3D{-20, 0, 10}));
}

TEST(VertexGeometry, EveryCornerLiesOnItsThreePlanes) {
    std::mt19937_64 random(20261208);
    std::uniform_int_distribution<int> angle(0, 90), letters(0, 1), height(1, 500);
    std::uniform_real_distribution<double> fraction(0, 1);
    const int triples[4][3] = {{1, 2, 3}, {1, 2, 4}, {1, 3, 4}, {2, 3, 4}};
    VertexGeometry g;
    int corners = 0;
    for (int run = 0; run < 5000; ++run) {
        DrawingPlanes planes;
        for (TPlaneQuadrant& p : planes) {
            // Whole and fractional degrees, both strike senses, both dip sides.
            const bool east = letters(random) == 0, dipsNorth = letters(random) == 0;
            const double strike = angle(random) + (run % 2 ? fraction(random) : 0);
            const double dip = angle(random) + (run % 3 ? fraction(random) : 0);
            p = {"N",
                 std::to_string(strike),
                 east ? "E" : "W",
                 dipsNorth ? "N" : "S",
                 east == dipsNorth ? "W" : "E",
                 std::to_string(dip)};
        }
        const std::string h = std::to_string(height(random));
        const std::vector<FailedTriple> failed = g.compute(planes, h);
        const auto eq = g.planes();
        const TPoint3D* vertex[4] = {&g.vertices().Vertex3, &g.vertices().Vertex4, &g.vertices().Vertex2,
                                     &g.vertices().Vertex1};
        for (int t = 0; t < 4; ++t) {
            const FailedTriple triple{triples[t][0], triples[t][1], triples[t][2]};
            if (std::find(failed.begin(), failed.end(), triple) != failed.end()) continue;
            const TPoint3D& p = *vertex[t];
            const double size = std::max({std::stod(h), std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
            for (int plane : triples[t]) {
                const TPlaneEquation& e = eq[plane - 1];
                ASSERT_NEAR(e.A * p.x + e.B * p.y + e.C * p.z + e.D, 0, 1e-12 * size)
                    << "run " << run << " plane " << plane << " of triple " << t;
            }
            ++corners;
        }
    }
    EXPECT_GT(corners, 15000);
}

// The run takes the planes as numbers, the drawing tests and the saved
// files as texts: both must give the same corners to the last bit, or the
// figures of the windows, the tool and the drawing would drift apart. Dip
// directions over the whole circle reach every letter case.
TEST(VertexGeometry, PlanesAsNumbersGiveTheCornersOfTheirTexts) {
    std::mt19937 random(41);
    std::uniform_real_distribution<double> direction(0, 360), dip(1, 89), height(0.5, 500);
    for (int trial = 0; trial < 400; ++trial) {
        PlaneAttitudeArray attitudes;
        for (TPlaneAttitude& a : attitudes) a = {dip(random), direction(random)};
        PlaneQuadrantArray texts{};
        data2to1(attitudes, texts);
        QuadrantAttitudeArray numbers;
        for (int i = 0; i < PlaneCount; ++i) numbers[i] = quadrantAttitude(texts[i]);
        const double h = height(random);
        VertexGeometry fromTexts, fromNumbers;
        const auto failedTexts = fromTexts.computeForBlock(texts, floatToText(h));
        const auto failedNumbers = fromNumbers.computeForBlock(numbers, textToFloat(floatToText(h)));
        EXPECT_EQ(failedNumbers, failedTexts) << trial;
        EXPECT_EQ(fromNumbers.vertices(), fromTexts.vertices()) << trial;
    }
}
