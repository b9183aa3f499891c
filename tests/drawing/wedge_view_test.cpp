#include "drawing/wedge_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>

#include "analysis/full_analysis.h"
#include "drawing/stereonet.h"
#include "tests/support/example_block.h"

namespace trelmox {
namespace {

TPoint3D corner(const BlockVertices& v, int number) {
    switch (number) {
    case 1: return v.Vertex1;
    case 2: return v.Vertex2;
    case 3: return v.Vertex3;
    default: return v.Vertex4;
    }
}

TPoint3D minus(TPoint3D a, TPoint3D b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
TPoint3D crossProduct(TPoint3D a, TPoint3D b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double length(TPoint3D a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }

// Each face's three corners must lie on the face's own plane: its normal is
// parallel to the pole of the plane's attitude.
TEST(WedgeFaces, LieOnTheirPlanesForTheExampleBlock) {
    const auto vertices = testing::exampleVertices();
    const auto attitudes = testing::exampleAttitudes();
    for (const WedgeFace& face : WedgeFaces) {
        const TPoint3D a = corner(vertices, face.Corners[0]);
        TPoint3D n =
            crossProduct(minus(corner(vertices, face.Corners[1]), a), minus(corner(vertices, face.Corners[2]), a));
        const TPlaneAttitude& plane = attitudes[static_cast<int>(face.Role)];
        const double d = plane.DipAngle * std::numbers::pi / 180, t = plane.DipDirection * std::numbers::pi / 180;
        const TPoint3D pole{std::sin(t) * std::sin(d), std::cos(t) * std::sin(d), std::cos(d)};
        EXPECT_LT(length(crossProduct(n, pole)) / length(n), 1e-9) << static_cast<int>(face.Role);
    }
}

// Unit corners along the axes show where east, north and up go on screen.
TEST(ProjectCorners, TurnsTheAxesAsTheEyeMoves) {
    const BlockVertices axes{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    struct Case {
        double azimuth, elevation;
        Point2 east, north, up; // screen directions, unit length before scaling
    } cases[] = {
        {180, 0, {1, 0}, {0, 0}, {0, 1}},   // from the south: east right, up up
        {0, 0, {-1, 0}, {0, 0}, {0, 1}},    // from the north: east left
        {90, 0, {0, 0}, {1, 0}, {0, 1}},    // from the east: north right
        {180, 90, {1, 0}, {0, 1}, {0, 0}},  // from above, map-like: north up, east right
        {180, -90, {1, 0}, {0, -1}, {0, 0}} // from below
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.azimuth << "/" << c.elevation);
        const ProjectedCorners p = projectCorners(tetrahedronScene(axes), {c.azimuth, c.elevation, 1});
        // Scale: the corners' farthest distance from their centroid maps to 1.
        const double scale = 1 / std::sqrt(0.75 * 0.75 + 2 * 0.25 * 0.25);
        const Point2 expected[] = {c.east, c.north, c.up};
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(p.Screen[i + 1].x - p.Screen[0].x, scale * expected[i].x, 1e-12);
            EXPECT_NEAR(p.Screen[i + 1].y - p.Screen[0].y, scale * expected[i].y, 1e-12);
        }
    }
    // Depth grows towards the eye: seen from above, the top corner is nearest.
    const ProjectedCorners fromAbove = projectCorners(tetrahedronScene(axes), {0, 90, 1});
    EXPECT_GT(fromAbove.Depth[3], fromAbove.Depth[0]);
}

TEST(ProjectCorners, ZoomScalesAboutTheCentreAndTheWedgeFitsTheFrame) {
    const WedgeScene scene = tetrahedronScene(testing::exampleVertices());
    const ProjectedCorners one = projectCorners(scene, {200, 30, 1});
    const ProjectedCorners two = projectCorners(scene, {200, 30, 2});
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(two.Screen[i].x, 2 * one.Screen[i].x, 1e-12);
        EXPECT_NEAR(two.Screen[i].y, 2 * one.Screen[i].y, 1e-12);
        EXPECT_LE(std::hypot(one.Screen[i].x, one.Screen[i].y), 1 + 1e-12);
    }
}

TEST(VisibleFaces, FollowTheEye) {
    const WedgeScene vertices = tetrahedronScene(testing::exampleVertices());
    const auto top = [](const std::vector<bool>& v) { return v[2]; };
    EXPECT_TRUE(top(visibleFaces(vertices, {0, 90, 1})));   // from above: the slope top
    EXPECT_FALSE(top(visibleFaces(vertices, {0, -90, 1}))); // from below: the cutting planes
    const auto below = visibleFaces(vertices, {0, -90, 1});
    EXPECT_TRUE(below[0] && below[1]);

    // Every face shows from exactly one of two opposite eyes.
    std::mt19937 random(3);
    std::uniform_real_distribution<double> azimuth(0, 360), elevation(-89, 89);
    for (int i = 0; i < 100; ++i) {
        const ViewAngles view{azimuth(random), elevation(random), 1};
        const auto seen = visibleFaces(vertices, view);
        const auto opposite = visibleFaces(vertices, {view.Azimuth + 180, -view.Elevation, 1});
        for (int f = 0; f < 4; ++f) EXPECT_NE(seen[f], opposite[f]) << view.Azimuth << "/" << view.Elevation;
    }
}

TEST(DefaultView, LooksFromInFrontAndShowsACuttingPlane) {
    const WedgeScene vertices = tetrahedronScene(testing::exampleVertices());
    const ViewAngles view = defaultView(vertices);
    const TPoint3D up = vertices.Corners[1]; // the toe is the origin
    const double front = std::atan2(-up.x, -up.y) * 180 / std::numbers::pi;
    EXPECT_LE(std::abs(std::remainder(view.Azimuth - front, 360.0)), 60 + 1e-9);
    EXPECT_GT(view.Elevation, 0);
    const auto seen = visibleFaces(vertices, view);
    EXPECT_TRUE(seen[0] || seen[1]);
    EXPECT_TRUE(seen[3]); // and the slope face
    EXPECT_EQ(defaultView(tetrahedronScene(BlockVertices{})).Azimuth, ViewAngles{}.Azimuth);
}

std::vector<std::string> texts(const Figure& figure) {
    std::vector<std::string> out;
    for (const FigureItem& item : figure.items)
        if (const auto* text = std::get_if<TextItem>(&item)) out.push_back(text->text);
    return out;
}

int filledPolygons(const Figure& figure) {
    return static_cast<int>(std::count_if(figure.items.begin(), figure.items.end(), [](const FigureItem& item) {
        const auto* path = std::get_if<PathItem>(&item);
        return path && path->closed && path->fill && !path->pen; // faces have no outline of their own
    }));
}

TEST(WedgeViewFigure, HandlesEmptyDegenerateAndBrokenCorners) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        BlockVertices vertices;
        const char* note; // nullptr: a proper wedge
        int faces;
    } cases[] = {
        {"example", testing::exampleVertices(), nullptr, -1},
        {"before any analysis", BlockVertices{}, "尚无块体角点", 0},
        {"coplanar corners", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, "角点共面，不成块体", 4},
        {"collinear corners", {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}}, "角点共面，不成块体", 4},
        {"not a number", {{0, 0, 0}, {nan, 0, 0}, {0, 1, 0}, {0, 0, 1}}, "块体角点无效", 0},
        {"beyond any scale", {{0, 0, 0}, {1e308, 0, 0}, {-1e308, 1, 0}, {0, 0, 1}}, "块体角点无效", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WedgeScene scene = tetrahedronScene(c.vertices);
        const Figure figure = wedgeViewFigure(scene, defaultView(scene));
        const auto all = texts(figure);
        EXPECT_EQ(std::count(all.begin(), all.end(), "N"), 1);
        if (c.note) {
            EXPECT_NE(std::find(all.begin(), all.end(), c.note), all.end());
            EXPECT_EQ(filledPolygons(figure), c.faces);
        } else {
            for (const char* number : {"1", "2", "3", "4"})
                EXPECT_NE(std::find(all.begin(), all.end(), number), all.end()) << number;
            EXPECT_GE(filledPolygons(figure), 1);
            EXPECT_LE(filledPolygons(figure), 3); // never all four faces of a solid at once
        }
    }
}

FullAnalysis exampleAnalysis(const WedgeLoads& loads) {
    return analyseWedge(testing::exampleAttitudes(), wedgeNumbers(parameterNumbers(testing::exampleParams())), loads);
}

std::vector<int> numbers(const WedgeScene& scene) {
    std::vector<int> shown;
    for (int n : scene.Numbers)
        if (n) shown.push_back(n);
    std::sort(shown.begin(), shown.end());
    return shown;
}

// Without a crack the real wedge is the drawing file's tetrahedron: two
// independent computations of the same corners.
TEST(RealWedgeScene, WithoutACrackIsTheDrawingsTetrahedron) {
    const FullAnalysis analysis = exampleAnalysis(WedgeLoads{});
    const WedgeScene scene = realWedgeScene(analysis.Shape, analysis.Forces, WedgeLoads{});
    ASSERT_EQ(scene.Corners.size(), 4u);
    const BlockVertices v = testing::exampleVertices();
    for (std::size_t i = 0; i < 4; ++i) {
        const TPoint3D expected = corner(v, scene.Numbers[i]);
        EXPECT_LT(length(minus(scene.Corners[i], expected)), 1e-8) << scene.Numbers[i];
    }
    EXPECT_EQ(scene.Faces.size(), 4u);
    std::vector<std::string> labels;
    for (const SceneLoad& load : scene.Loads) labels.push_back(load.Label);
    EXPECT_EQ(labels, (std::vector<std::string>{"W", "U1", "U2"}));
}

// The corner numbers and the forces' names never print over one another,
// nor outside the picture: forces of nearly one direction end close
// together, and a wedge scaled down to a speck in the frame of its
// full-height outline puts its corners and arrows on one spot.
TEST(WedgeViewFigure, LabelsDoNotOverlap) {
    WedgeLoads scaled;
    scaled.Size.FaceTrace[0] = 60;
    scaled.Size.Bench = BenchLimits{30, 10, 5};
    scaled.SeismicCoefficient = 0.1;
    scaled.Bolts = {{800, {330, 15}, BoltMode::Active}};
    const struct {
        const char* what;
        WedgeLoads loads;
        std::vector<SceneLoad> forces; // replacing the analysis's, when given
    } cases[] = {
        {"forces of nearly one direction",
         WedgeLoads{},
         {{SceneLoadKind::Weight, {0, 0, -100}, "W"},
          {SceneLoadKind::Water, {0.01, 0, -60}, "U1"},
          {SceneLoadKind::Water, {-0.01, 0, -60}, "U2"},
          {SceneLoadKind::External, {0, 0.02, -50}, "F1"}}},
        {"a wedge scaled down by a bench", scaled, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const FullAnalysis analysis = exampleAnalysis(c.loads);
        ASSERT_FALSE(analysis.Refusal);
        const std::optional<WedgeShape> full = fullHeightShape(analysis.Size);
        WedgeScene scene = realWedgeScene(analysis.Shape, analysis.Forces, c.loads, full ? &*full : nullptr);
        if (!c.forces.empty()) scene.Loads = c.forces;
        const Figure figure = wedgeViewFigure(scene, defaultView(scene));
        // The names of corners and forces: bold and centred.
        std::vector<const TextItem*> names;
        for (const FigureItem& item : figure.items)
            if (const auto* text = std::get_if<TextItem>(&item);
                text && text->bold && text->hAlign == HAlign::Centre && text->height < 0.1)
                names.push_back(text);
        ASSERT_GE(names.size(), scene.Loads.size() + 3);
        for (const TextItem* name : names) {
            EXPECT_LE(std::abs(name->position.x), 1.6) << name->text;
            EXPECT_LE(std::abs(name->position.y), 1.2) << name->text;
        }
        for (std::size_t i = 0; i < names.size(); ++i)
            for (std::size_t j = i + 1; j < names.size(); ++j) {
                const TextItem &a = *names[i], &b = *names[j];
                const bool apartX = std::abs(a.position.x - b.position.x) >=
                                    (labelWidth(a.text, a.height) + labelWidth(b.text, b.height)) / 2;
                const bool apartY = std::abs(a.position.y - b.position.y) >= (a.height + b.height) / 2;
                EXPECT_TRUE(apartX || apartY) << a.text << " over " << b.text;
            }
    }
}

TEST(RealWedgeScene, ACrackAddsItsFaceAndTheLoadsTheirArrows) {
    WedgeLoads loads;
    loads.Water = WaterMode::Saturated;
    loads.Crack = TensionCrack{{80, 10}, 5, 4};
    loads.SeismicCoefficient = 0.1;
    loads.Bolts = {{800, {330, 15}, BoltMode::Active}};
    const FullAnalysis analysis = exampleAnalysis(loads);
    ASSERT_FALSE(analysis.Refusal);
    const WedgeScene scene = realWedgeScene(analysis.Shape, analysis.Forces, loads);
    EXPECT_TRUE(std::any_of(scene.Faces.begin(), scene.Faces.end(),
                            [](const SceneFace& f) { return f.Surface == WedgeSurface::Crack; }));
    EXPECT_EQ(numbers(scene), (std::vector<int>{1, 3, 4})); // the crack cuts off the line's upper end
    const auto all = texts(wedgeViewFigure(scene, defaultView(scene)));
    for (const char* wanted : {"张裂缝", "W", "V", "kW", "T1", "1", "3", "4"})
        EXPECT_NE(std::find(all.begin(), all.end(), wanted), all.end()) << wanted;
    EXPECT_EQ(std::find(all.begin(), all.end(), "2"), all.end());
}

// A wedge scaled down by its size limits is drawn solid inside the faint
// outline of the full-height wedge, both inside the frame.
TEST(RealWedgeScene, AScaledWedgeShowsTheFullHeightWedgeFaint) {
    WedgeLoads loads;
    loads.Size.SlopeLength = 10;
    const FullAnalysis analysis = exampleAnalysis(loads);
    const std::optional<WedgeShape> full = fullHeightShape(analysis.Size);
    ASSERT_TRUE(full);
    const WedgeScene scene = realWedgeScene(analysis.Shape, analysis.Forces, loads, &*full);
    EXPECT_EQ(scene.FullHeightEdges.size(), 6u); // a tetrahedron's edges, each once
    const ViewAngles view = defaultView(scene);
    for (const Point2& p : projectCorners(scene, view).Screen) EXPECT_LE(std::hypot(p.x, p.y), 1 + 1e-9);
    const Figure figure = wedgeViewFigure(scene, view);
    int dashed = 0;
    for (const FigureItem& item : figure.items)
        if (const auto* path = std::get_if<PathItem>(&item); path && path->pen && path->pen->style == LineStyle::Dashed)
            for (const Point2& p : path->points) {
                ++dashed;
                EXPECT_LE(std::hypot(p.x, p.y), 1 + 1e-9);
            }
    EXPECT_GE(dashed, 12);
    const auto all = texts(figure);
    EXPECT_NE(std::find(all.begin(), all.end(), "淡色虚线：全高楔块；实体：按尺寸限制缩小的楔块"), all.end());
}

} // namespace
} // namespace trelmox
