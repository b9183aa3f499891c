#include "drawing/stereonet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>

#include "analysis/geometry.h"
#include "analysis/vertices.h"
#include "tests/support/example_block.h"
#include "model/attitude.h"

namespace trelmox {
namespace {

constexpr double Pi = std::numbers::pi;
double rad(double degrees) { return degrees * Pi / 180; }

// The textbook radii of a line plunging p on a unit net.
double wulffRadius(double plunge) { return std::tan(rad(45 - plunge / 2)); }
double schmidtRadius(double plunge) { return std::sqrt(2.0) * std::sin(rad(45 - plunge / 2)); }
double textbookRadius(double plunge, NetProjection projection) {
    return projection == NetProjection::EqualAngle ? wulffRadius(plunge) : schmidtRadius(plunge);
}

// Where a line of trend t (north up, east right) and radius r plots.
Point2 atAzimuth(double trend, double radius) { return {radius * std::sin(rad(trend)), radius * std::cos(rad(trend))}; }

double distanceToSegment(Point2 p, Point2 a, Point2 b) {
    const double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
    const double t = length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0) : 0;
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

double distanceToPolyline(Point2 p, const std::vector<Point2>& line) {
    double best = std::numeric_limits<double>::max();
    for (std::size_t i = 1; i < line.size(); ++i) best = std::min(best, distanceToSegment(p, line[i - 1], line[i]));
    return best;
}

double distance(Point2 a, Point2 b) { return std::hypot(a.x - b.x, a.y - b.y); }

const NetProjection projections[] = {NetProjection::EqualAngle, NetProjection::EqualArea};

TEST(NetRadius, MatchesTheTextbookFormulasForKnownPlunges) {
    for (NetProjection projection : projections)
        for (double plunge : {0.0, 10.0, 30.0, 31.1965, 45.0, 60.0, 89.0, 90.0}) {
            SCOPED_TRACE(plunge);
            EXPECT_NEAR(netRadius(plunge, projection), textbookRadius(plunge, projection), 1e-12);
        }
    EXPECT_NEAR(netRadius(0, NetProjection::EqualArea), 1.0, 1e-12); // horizontal lines on the rim in both nets
    EXPECT_NEAR(netRadius(45, NetProjection::EqualAngle), std::sqrt(2.0) - 1, 1e-12);
}

TEST(ProjectLine, PutsNorthUpEastRightAndFoldsUpwardLinesDown) {
    struct Case {
        LineAttitude line;
        Point2 expected;
    } cases[] = {
        {{0, 0}, {0, 1}},
        {{90, 0}, {1, 0}},
        {{180, 0}, {0, -1}},
        {{270, 0}, {-1, 0}},
        {{123, 90}, {0, 0}},
        {{45, 30}, atAzimuth(45, wulffRadius(30))},
        {{45, -30}, atAzimuth(225, wulffRadius(30))}, // an upward line plots as its downward opposite
        {{-90, 20}, atAzimuth(270, wulffRadius(20))},
    };
    for (const Case& c : cases) {
        const Point2 p = projectLine(c.line, NetProjection::EqualAngle);
        EXPECT_NEAR(p.x, c.expected.x, 1e-12) << c.line.Trend << "/" << c.line.Plunge;
        EXPECT_NEAR(p.y, c.expected.y, 1e-12) << c.line.Trend << "/" << c.line.Plunge;
    }
}

// For random planes: the curve runs from one strike end on the rim through
// the dip line's point to the other strike end, in both nets.
TEST(GreatCircle, PassesThroughTheStrikeEndsAndTheDipLine) {
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> dip(0.5, 89.5), direction(0, 360);
    for (NetProjection projection : projections)
        for (int i = 0; i < 200; ++i) {
            const TPlaneAttitude plane{dip(random), direction(random)};
            SCOPED_TRACE(::testing::Message() << plane.DipAngle << "/" << plane.DipDirection);
            const auto curve = greatCircle(plane, projection);
            const Point2 endA = atAzimuth(plane.DipDirection - 90, 1), endB = atAzimuth(plane.DipDirection + 90, 1);
            const double ends = std::min(distance(curve.front(), endA) + distance(curve.back(), endB),
                                         distance(curve.front(), endB) + distance(curve.back(), endA));
            EXPECT_LT(ends, 1e-9);
            const Point2 dipPoint = atAzimuth(plane.DipDirection, textbookRadius(plane.DipAngle, projection));
            EXPECT_LT(distanceToPolyline(dipPoint, curve), 1e-9);
            for (const Point2& p : curve) EXPECT_LE(std::hypot(p.x, p.y), 1 + 1e-12);
        }
}

// On the Wulff net every great circle is a true circle: radius 1/cos(dip),
// centre tan(dip) from the net's centre on the side opposite the dip.
TEST(GreatCircle, IsATrueCircleOnTheEqualAngleNet) {
    for (const TPlaneAttitude plane : {TPlaneAttitude{10, 0}, {45, 105}, {70, 235}, {65, 185}, {85, 300}}) {
        const Point2 centre = atAzimuth(plane.DipDirection + 180, std::tan(rad(plane.DipAngle)));
        for (const Point2& p : greatCircle(plane, NetProjection::EqualAngle, 90))
            EXPECT_NEAR(distance(p, centre), 1 / std::cos(rad(plane.DipAngle)), 1e-9) << plane.DipDirection;
    }
}

TEST(GreatCircle, OfAVerticalPlaneIsTheDiameterAlongItsStrike) {
    for (NetProjection projection : projections)
        for (const Point2& p : greatCircle({90, 30}, projection, 60)) {
            // strike 120/300: every point on the line x cos30 + y sin30 = 0 ... through the centre
            EXPECT_NEAR(p.x * std::sin(rad(30)) + p.y * std::cos(rad(30)), 0, 1e-12);
        }
}

TEST(IntersectionLine, OfTheExampleBlockAgreesWithItsCorners) {
    const auto attitudes = testing::exampleAttitudes();
    const auto line = intersectionLine(attitudes[0], attitudes[1]);
    ASSERT_TRUE(line);
    // The corners' line 1-2 climbs from the toe to corner 2; the line on the
    // net points down, from corner 2 to the toe.
    const TPoint3D up = testing::exampleVertices().Vertex2;
    EXPECT_NEAR(line->Plunge, std::atan(up.z / std::hypot(up.x, up.y)) * 180 / Pi, 1e-6);
    EXPECT_NEAR(line->Plunge, 31.1965, 1e-4);
    EXPECT_NEAR(line->Trend, std::atan2(-up.x, -up.y) * 180 / Pi, 1e-6);
    EXPECT_EQ(attitudeLabel(line->Trend, line->Plunge), "157.7°∠31.2°");
}

// The net's point and the analysis's plunge, worked out from the corners of
// the same block, must tell the same story for any block.
TEST(IntersectionLine, AgreesWithThePlungeTheAnalysisReports) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> cuttingDip(20, 85), direction(0, 360), topDip(0, 15), faceDip(40, 85);
    int compared = 0;
    for (int i = 0; i < 300; ++i) {
        PlaneAttitudeArray attitudes{{{cuttingDip(random), direction(random)},
                                      {cuttingDip(random), direction(random)},
                                      {topDip(random), direction(random)},
                                      {faceDip(random), direction(random)}}};
        PlaneQuadrantArray quadrants{};
        data2to1(attitudes, quadrants);
        data1to2(quadrants, attitudes); // the block as the windows hold it after a confirm
        VertexGeometry corners;
        if (!corners.computeForBlock(quadrants, "40").empty()) continue;
        const TPoint3D up = corners.vertices().Vertex2;
        if (std::hypot(up.x, up.y) < 1e-6) continue;
        const double plunge = wedgeGeometry(corners.vertices()).IntersectionPlunge;
        const auto line = intersectionLine(attitudes[0], attitudes[1]);
        ASSERT_TRUE(line);
        EXPECT_NEAR(line->Plunge, std::abs(plunge), 1e-6);
        const double sense = plunge >= 0 ? -1 : 1; // the net's line points down
        const double trend = std::atan2(sense * up.x, sense * up.y) * 180 / Pi;
        EXPECT_NEAR(std::remainder(line->Trend - trend, 360.0), 0, 1e-6);
        ++compared;
    }
    EXPECT_GT(compared, 250);
}

TEST(IntersectionLine, LiesOnBothGreatCirclesForRandomPlanes) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> dip(1, 89), direction(0, 360);
    for (NetProjection projection : projections)
        for (int i = 0; i < 200; ++i) {
            const TPlaneAttitude a{dip(random), direction(random)}, b{dip(random), direction(random)};
            const auto line = intersectionLine(a, b);
            ASSERT_TRUE(line);
            EXPECT_GE(line->Plunge, 0);
            EXPECT_LE(line->Plunge, 90);
            const Point2 p = projectLine(*line, projection);
            EXPECT_LT(distanceToPolyline(p, greatCircle(a, projection, 720)), 2e-4);
            EXPECT_LT(distanceToPolyline(p, greatCircle(b, projection, 720)), 2e-4);
        }
}

TEST(IntersectionLine, OfParallelPlanesIsNone) {
    EXPECT_FALSE(intersectionLine({45, 105}, {45, 105}));
    EXPECT_FALSE(intersectionLine({45, 105}, {-45, 285})); // the same plane written the other way round
    EXPECT_FALSE(intersectionLine({0, 0}, {0, 0}));        // the empty block model
    EXPECT_TRUE(intersectionLine({0, 0}, {1e-3, 0}));
}

TEST(AttitudeLabel, WritesAzimuthsWithinACircleAndOneDecimal) {
    struct Case {
        double azimuth, angle;
        const char* expected;
    } cases[] = {
        {105, 45, "105°∠45°"},      {157.7349, 31.1965, "157.7°∠31.2°"}, {359.96, 10, "0°∠10°"},
        {-10, 30.25, "350°∠30.3°"}, {720.5, -0.04, "0.5°∠0°"},
    };
    for (const Case& c : cases) EXPECT_EQ(attitudeLabel(c.azimuth, c.angle), c.expected);
    EXPECT_EQ(angleText(std::atan(0.364) * 180 / Pi), "20°");
    EXPECT_NEAR(frictionAngle(1), 45, 1e-12);
}

std::vector<std::string> texts(const Figure& figure) {
    std::vector<std::string> out;
    for (const FigureItem& item : figure.items)
        if (const auto* text = std::get_if<TextItem>(&item)) out.push_back(text->text);
    return out;
}

bool contains(const std::vector<std::string>& all, const std::string& wanted) {
    return std::find(all.begin(), all.end(), wanted) != all.end();
}

TEST(SmallerFrictionAngle, TakesTheWeakerPlaneAndNeedsTheNumbers) {
    struct Case {
        std::optional<std::pair<double, double>> f;
        std::optional<double> expected;
    } cases[] = {{std::pair{0.364, 0.577}, 20.0},
                 {std::pair{1.0, 0.364}, 20.0},
                 {std::pair{1.0, 1.0}, 45.0},
                 {std::nullopt, std::nullopt}}; // a parameter text that is not a number
    for (const Case& c : cases) {
        std::optional<BlockParameters> parameters;
        if (c.f)
            parameters = BlockParameters{}, parameters->Friction1 = c.f->first, parameters->Friction2 = c.f->second;
        const auto angle = smallerFrictionAngle(parameters);
        ASSERT_EQ(angle.has_value(), c.expected.has_value());
        if (angle) {
            EXPECT_NEAR(*angle, *c.expected, 0.02);
        }
    }
}

TEST(StereonetFigure, DrawsTheCrackOnlyWhenThereIsOne) {
    StereonetInput input{testing::exampleAttitudes(), 20.0, NetProjection::EqualAngle};
    const auto paths = [](const Figure& f) {
        return std::count_if(f.items.begin(), f.items.end(),
                             [](const FigureItem& i) { return std::holds_alternative<PathItem>(i); });
    };
    const Figure without = stereonetFigure(input);
    input.Crack = TPlaneAttitude{80, 10};
    const Figure with = stereonetFigure(input);
    EXPECT_TRUE(contains(texts(with), "裂 张裂缝 10°∠80°"));
    EXPECT_TRUE(contains(texts(with), "裂"));
    EXPECT_FALSE(contains(texts(without), "裂"));
    EXPECT_EQ(paths(with), paths(without) + 2); // its great circle and its sample in the key
}

TEST(StereonetFigure, ShowsTheExampleBlocksNumbers) {
    StereonetInput input{testing::exampleAttitudes(), frictionAngle(std::min(0.364, 0.577)), NetProjection::EqualAngle};
    const Figure figure = stereonetFigure(input);
    const auto all = texts(figure);
    for (const char* wanted : {"N", "157.7°∠31.2°", "J1", "J2", "φ=20°", "J1 第一切割面 105°∠45°", "坡 坡面 185°∠65°",
                               "交线 157.7°∠31.2°", "摩擦圆 φ=20°", "下半球等角投影"})
        EXPECT_TRUE(contains(all, wanted)) << wanted;
    // The friction circle: lines steeper than arctan f plot inside it.
    bool frictionCircle = false;
    for (const FigureItem& item : figure.items)
        if (const auto* c = std::get_if<CircleItem>(&item))
            frictionCircle = frictionCircle || std::abs(c->radius - wulffRadius(std::atan(0.364) * 180 / Pi)) < 1e-12;
    EXPECT_TRUE(frictionCircle);
    // Every label stays inside the figure's window.
    for (const FigureItem& item : figure.items)
        if (const auto* t = std::get_if<TextItem>(&item)) {
            EXPECT_GT(t->position.x, figure.xMin);
            EXPECT_LT(t->position.x, figure.xMax);
            EXPECT_GT(t->position.y, figure.yMin);
            EXPECT_LT(t->position.y, figure.yMax);
        }
}

// Roughly the space a label takes: CJK characters square, others narrower.
double roughWidth(const TextItem& text) {
    double width = 0;
    for (std::size_t i = 0; i < text.text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text.text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        width += (length >= 3 ? 1.0 : 0.55) * text.height;
        i += length;
    }
    return width;
}

// The labels on the net (tags, the intersection's attitude, the friction
// angle) never cover one another, however the planes crowd.
TEST(StereonetFigure, LabelsOnTheNetDoNotOverlap) {
    const PlaneAttitudeArray blocks[] = {
        testing::exampleAttitudes(),
        {{{45, 150}, {45, 30}, {0, 90}, {60, 90}}},     // horizontal top on the rim
        {{{80, 120}, {75, 250}, {5, 180}, {70, 185}}},  // steep planes crossing at the centre
        {{{30, 200}, {35, 160}, {20, 180}, {50, 180}}}, // everything crowded to the south
        {{{45, 105}, {45, 105}, {12, 195}, {65, 185}}}, // both cutting planes alike
    };
    for (NetProjection projection : projections)
        for (const PlaneAttitudeArray& attitudes : blocks) {
            const Figure figure = stereonetFigure({attitudes, 30.0, projection});
            std::vector<const TextItem*> labels;
            for (const FigureItem& item : figure.items)
                if (const auto* t = std::get_if<TextItem>(&item);
                    t && t->hAlign == HAlign::Centre && std::hypot(t->position.x, t->position.y) < 1.05)
                    labels.push_back(t);
            EXPECT_GE(labels.size(), 5u);
            for (std::size_t i = 0; i < labels.size(); ++i)
                for (std::size_t j = i + 1; j < labels.size(); ++j) {
                    const TextItem &a = *labels[i], &b = *labels[j];
                    const bool apartX =
                        std::abs(a.position.x - b.position.x) > 0.9 * (roughWidth(a) + roughWidth(b)) / 2;
                    const bool apartY = std::abs(a.position.y - b.position.y) > 0.9 * (a.height + b.height) / 2;
                    EXPECT_TRUE(apartX || apartY) << a.text << " covers " << b.text << " (dip direction of J1 "
                                                  << attitudes[0].DipDirection << ")";
                }
        }
}

TEST(StereonetFigure, DrawsTheEmptyModelAndMissingFriction) {
    const Figure figure = stereonetFigure(StereonetInput{{}, std::nullopt, NetProjection::EqualArea});
    const auto all = texts(figure);
    EXPECT_TRUE(contains(all, "交线 无（两切割面平行）"));
    EXPECT_TRUE(contains(all, "摩擦圆 无"));
    EXPECT_TRUE(contains(all, "下半球等面积投影"));
    // A negative friction value has no friction angle to draw.
    EXPECT_TRUE(contains(texts(stereonetFigure({testing::exampleAttitudes(), frictionAngle(-0.2)})), "摩擦圆 无"));
}

} // namespace
} // namespace trelmox
