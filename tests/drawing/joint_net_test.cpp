#include "drawing/joint_net.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <variant>

#include "analysis/vec3.h"
#include "drawing/contours.h"
#include "model/language.h"

namespace trelmox {
namespace {

const NetProjection projections[] = {NetProjection::EqualArea, NetProjection::EqualAngle};

double axisAngle(const TPoint3D& a, const TPoint3D& b) {
    return degrees(std::acos(std::min(1.0, std::abs(dot(a, b)) / (norm(a) * norm(b)))));
}

// Identical poles: the largest density on the net sits at their pole (or,
// at the rim, at its opposite end, the same axis), and the counting cone
// holds them all.
TEST(DensityContours, IdenticalPolesPutTheMaximumAtTheirPole) {
    for (const LineAttitude pole : {LineAttitude{315, 30}, {100, 89}, {200, 1}})
        for (NetProjection projection : projections)
            for (DensityMethod method : {DensityMethod::Fisher, DensityMethod::Kamb}) {
                const std::vector<WeightedPole> poles(40, WeightedPole{lineVector(pole.Trend, pole.Plunge), 1});
                const PoleDensity density(poles, {method, 0.01});
                const DensityContours contours = densityContours(density, projection, 121);
                EXPECT_LT(axisAngle(contours.MaximumAt, poles[0].Pole), method == DensityMethod::Fisher ? 1.5 : 8.2)
                    << pole.Trend;
                if (method == DensityMethod::Kamb) {
                    EXPECT_DOUBLE_EQ(contours.Maximum, 100);
                }
                EXPECT_GE(density.at(poles[0].Pole), contours.Maximum);
            }
}

// Every point of a contour line lies where the density has the line's
// level (up to the grid's interpolation), also where lines reach the rim.
TEST(DensityContours, LinesFollowTheirLevel) {
    std::vector<WeightedPole> poles;
    for (int i = 0; i < 60; ++i) {
        poles.push_back({lineVector(120 + 0.3 * i, 50 - 0.2 * i), 1});
        poles.push_back({lineVector(20 + 0.2 * i, 3 - 0.1 * i), 1}); // across the rim
    }
    const PoleDensity density(poles, {DensityMethod::Fisher, 0.02});
    for (NetProjection projection : projections) {
        const DensityContours contours = densityContours(density, projection, 201);
        ASSERT_GE(contours.Levels.size(), 3u);
        for (std::size_t k = 0; k < contours.Levels.size(); ++k) {
            ASSERT_FALSE(contours.Lines[k].empty());
            for (const auto& line : contours.Lines[k])
                for (const Point2& p : line) {
                    ASSERT_LE(std::hypot(p.x, p.y), 1 + 1e-12);
                    EXPECT_NEAR(density.at(unprojectPoint(p, projection)), contours.Levels[k], 0.03 * contours.Maximum);
                }
        }
    }
}

TEST(DensityContours, LevelsAreRoundStepsBelowTheMaximum) {
    EXPECT_EQ(contourLevels(7.3), (std::vector<double>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(contourLevels(100), (std::vector<double>{20, 40, 60, 80}));
    EXPECT_EQ(contourLevels(1.6),
              (std::vector<double>{0.2, 0.4, 0.6000000000000001, 0.8, 1, 1.2000000000000002, 1.4000000000000001}));
    EXPECT_TRUE(contourLevels(0).empty());
}

// A cone plots as one closed curve, or, crossing the horizontal, as pieces
// that end on the rim; every point at the cone's angle from its axis.
TEST(SmallCircle, StaysOnTheConeAndBreaksAtTheRim) {
    for (NetProjection projection : projections)
        for (const LineAttitude axis : {LineAttitude{30, 60}, {200, 5}, {90, 0}}) {
            const TPoint3D a = lineVector(axis.Trend, axis.Plunge);
            const auto pieces = smallCircle(a, 20, projection);
            EXPECT_EQ(pieces.size(), axis.Plunge >= 20 ? 1u : 2u);
            for (const auto& piece : pieces) {
                for (const Point2& p : piece) EXPECT_NEAR(axisAngle(unprojectPoint(p, projection), a), 20, 1e-9);
                if (pieces.size() > 1) {
                    EXPECT_NEAR(std::hypot(piece.front().x, piece.front().y), 1, 1e-12);
                    EXPECT_NEAR(std::hypot(piece.back().x, piece.back().y), 1, 1e-12);
                }
            }
        }
}

// A set of no measured planes, with its mean plane.
JointSet meanSet(std::string label, TPlaneAttitude mean) {
    JointSet s{std::move(label), {}, {}};
    s.Stats.MeanPlane = mean;
    s.Stats.MeanPole = planePole(mean);
    return s;
}

// Only the pair whose line of intersection lies in the sliding zone is
// marked as sliding.
TEST(JointNet, MarksThePairsThatCanSlide) {
    JointNetInput input;
    input.Sets = {meanSet("J1", {60, 120}), meanSet("J2", {60, 240}), meanSet("J3", {20, 0})};
    input.SlopeFace = TPlaneAttitude{60, 180};
    input.FrictionAngle = 30;
    const Figure figure = jointNetFigure(input);
    int sliding = 0;
    for (const FigureItem& item : figure.items)
        if (const auto* c = std::get_if<CircleItem>(&item); c && c->fill == Colour{210, 0, 0} && c->centre.x < 1.2)
            ++sliding;
    EXPECT_EQ(sliding, 1);
}

// A pair's label goes where it covers no pole, no set's tag and no other
// label: here its usual place below right of its marker, and then the
// place above right too, are filled with poles.
TEST(JointNet, PairLabelsKeepClearOfPolesAndTags) {
    const auto plane = [](Point2 at) {
        const LineAttitude pole = lineAttitude(unprojectPoint(at, NetProjection::EqualArea));
        return Measurement{{90 - pole.Plunge, std::fmod(pole.Trend + 180, 360)}, "", 1, 1};
    };
    for (const bool aboveToo : {false, true}) {
        JointNetInput input;
        input.Sets = {meanSet("J1", {60, 120}), meanSet("J2", {60, 240}), meanSet("J3", {20, 0})};
        const Point2 line = projectLine(*intersectionLine(input.Sets[0].Stats.MeanPlane, input.Sets[1].Stats.MeanPlane),
                                        NetProjection::EqualArea);
        for (double dx = 0.03; dx < 0.2; dx += 0.01)
            for (double dy = aboveToo ? 0.08 : -0.01; dy > -0.09; dy -= 0.01)
                input.Planes.push_back(plane({line.x + dx, line.y + dy}));
        const Figure figure = jointNetFigure(input);
        std::vector<Point2> poles;
        std::vector<std::pair<double, double>> boxesX, boxesY; // every label's extent
        std::vector<std::size_t> pairLabels;
        for (const FigureItem& item : figure.items) {
            if (const auto* c = std::get_if<CircleItem>(&item); c && !c->pen) poles.push_back(c->centre);
            if (const auto* t = std::get_if<TextItem>(&item); t && t->position.x < 1.2) {
                if (t->text.find("×") != std::string::npos) pairLabels.push_back(boxesX.size());
                const double width = labelWidth(t->text, t->height);
                const double left = t->position.x - (t->hAlign == HAlign::Left     ? 0
                                                     : t->hAlign == HAlign::Centre ? width / 2
                                                                                   : width);
                const double bottom = t->position.y - (t->vAlign == VAlign::Bottom   ? 0
                                                       : t->vAlign == VAlign::Middle ? t->height / 2
                                                                                     : t->height);
                boxesX.push_back({left, left + width});
                boxesY.push_back({bottom, bottom + t->height});
            }
        }
        ASSERT_EQ(pairLabels.size(), 3u);
        for (std::size_t k : pairLabels) {
            for (const Point2& p : poles)
                EXPECT_FALSE(p.x > boxesX[k].first && p.x < boxesX[k].second && p.y > boxesY[k].first &&
                             p.y < boxesY[k].second)
                    << aboveToo << " pole at " << p.x << "," << p.y;
            for (std::size_t other = 0; other < boxesX.size(); ++other) {
                if (other == k) continue;
                EXPECT_FALSE(boxesX[k].first < boxesX[other].second && boxesX[other].first < boxesX[k].second &&
                             boxesY[k].first < boxesY[other].second && boxesY[other].first < boxesY[k].second)
                    << aboveToo << " label " << k << " over " << other;
            }
        }
    }
}

// The key stays inside the picture in either language: English lines are
// longer, and the frame widens to the longest.
TEST(JointNet, KeyInsideThePicture) {
    JointNetInput input;
    input.Sets = {meanSet("J1", {60, 120}), meanSet("J2", {60, 240}), meanSet("J3", {20, 0})};
    input.SlopeFace = TPlaneAttitude{60, 180};
    input.FrictionAngle = 30;
    input.Caption = "joint_measurements.csv";
    for (const Language language : {Language::Chinese, Language::English}) {
        setMessageLanguage(language);
        const Figure figure = jointNetFigure(input);
        for (const FigureItem& item : figure.items)
            if (const auto* t = std::get_if<TextItem>(&item); t && t->hAlign == HAlign::Left)
                EXPECT_LE(t->position.x + labelWidth(t->text, t->height), figure.xMax) << t->text;
    }
    setMessageLanguage(Language::Chinese);
}

bool inside(const std::vector<Point2>& polygon, Point2 p) {
    bool in = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++)
        if ((polygon[i].y > p.y) != (polygon[j].y > p.y) &&
            p.x < (polygon[j].x - polygon[i].x) * (p.y - polygon[i].y) / (polygon[j].y - polygon[i].y) + polygon[i].x)
            in = !in;
    return in;
}

// The shaded zones hold exactly the poles (or lines) the checks find
// critical: random directions a degree or more away from every boundary
// fall inside a zone of the mode's primary fill exactly when they are
// critical, on both projections, across north.
TEST(JointNetZones, ShadeWhatTheChecksFindCritical) {
    const KinematicSlope slope{65, 350, 30, 20};
    const KinematicChecks checks(slope);
    JointNetInput input;
    input.SlopeFace = TPlaneAttitude{slope.FaceDip, slope.FaceDipDirection};
    input.FrictionAngle = slope.FrictionAngle;
    for (NetProjection projection : projections)
        for (KinematicMode mode : KinematicModes) {
            input.Mode = mode;
            input.Projection = projection;
            const Figure figure = jointNetFigure(input);
            std::vector<std::vector<Point2>> primary;
            for (const FigureItem& item : figure.items)
                if (const auto* path = std::get_if<PathItem>(&item); path && path->fill == PrimaryZoneFill)
                    primary.push_back(path->points);
            ASSERT_FALSE(primary.empty()) << kinematicModeName(mode);
            int critical = 0;
            for (int trend = 0; trend < 360; trend += 7)
                for (double plunge = 0.5; plunge < 90; plunge += 3.1) {
                    const TPoint3D line = lineVector(trend, plunge);
                    bool expected = false, nearBoundary = false;
                    const auto near = [&](auto test) {
                        // Stays the same a degree either way in trend and plunge.
                        for (double dt : {-1.0, 1.0})
                            for (double dp : {-1.0, 1.0})
                                if (test(lineVector(trend + dt, std::clamp(plunge + dp, 0.0, 90.0))) != test(line))
                                    return true;
                        return false;
                    };
                    const auto poleTest = [&](const TPoint3D& l) {
                        const TPlaneAttitude p = planeOfPole(l);
                        return mode == KinematicMode::Planar ? checks.planarSliding(p) : checks.flexuralToppling(p);
                    };
                    const auto lineTest = [&](const TPoint3D& l) {
                        return mode == KinematicMode::Wedge ? checks.wedgeZone(l) == WedgeZone::Primary
                                                            : checks.directToppling(l) == TopplingZone::Direct;
                    };
                    if (checksIntersections(mode)) {
                        expected = lineTest(line);
                        nearBoundary = near(lineTest);
                    } else {
                        expected = poleTest(line);
                        nearBoundary = near(poleTest);
                    }
                    if (nearBoundary) continue;
                    const Point2 at = projectDirection(line, projection);
                    bool shaded = false;
                    for (const auto& zone : primary) shaded = shaded || inside(zone, at);
                    EXPECT_EQ(shaded, expected) << kinematicModeName(mode) << ' ' << trend << '/' << plunge;
                    critical += expected;
                }
            EXPECT_GT(critical, 0) << kinematicModeName(mode);
        }
}

} // namespace
} // namespace trelmox
