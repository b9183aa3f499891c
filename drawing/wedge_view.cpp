#include "drawing/wedge_view.h"

#include <algorithm>
#include <string>

#include "analysis/vec3.h"
#include "drawing/label_placer.h"
#include "drawing/plane_style.h"
#include "drawing/stereonet.h"
#include "model/language.h"

namespace trelmox {
namespace {

const Colour Ink{20, 20, 20};
const Colour Grey{120, 120, 120};
const Colour IntersectionEdgeColour{200, 0, 200}; // the drawing file's magenta for the line 1-2

// The eye's frame: e towards the eye, r to the right, u up on the screen.
struct ViewFrame {
    TPoint3D e, r, u;
    explicit ViewFrame(const ViewAngles& view) {
        const double a = radians(view.Azimuth), el = radians(view.Elevation);
        e = {std::sin(a) * std::cos(el), std::cos(a) * std::cos(el), std::sin(el)};
        r = {-std::cos(a), std::sin(a), 0};
        u = cross(e, r);
    }
    Point2 screen(const TPoint3D& p) const { return {dot(p, r), dot(p, u)}; }
};

TPoint3D centre(const std::vector<TPoint3D>& points) {
    TPoint3D sum;
    for (const TPoint3D& p : points) sum = sum + p;
    return points.empty() ? sum : (1.0 / static_cast<double>(points.size())) * sum;
}

double extent(const std::vector<TPoint3D>& points) {
    const TPoint3D c = centre(points);
    double radius = 0;
    for (const TPoint3D& p : points) radius = std::max(radius, norm(p - c));
    return radius;
}

// The points the view's frame must hold: the corners, and the full-height
// wedge's when it is drawn too.
std::vector<TPoint3D> framePoints(const WedgeScene& scene) {
    std::vector<TPoint3D> points = scene.Corners;
    for (const auto& [from, to] : scene.FullHeightEdges) points.insert(points.end(), {from, to});
    for (const auto& [from, to] : scene.BoltLines) points.insert(points.end(), {from, to});
    return points;
}

bool finite(const std::vector<TPoint3D>& points) {
    return std::all_of(points.begin(), points.end(), [](const TPoint3D& p) {
        return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
    });
}

WedgeSurface surfaceOf(TPlaneRole role) {
    switch (role) {
    case TPlaneRole::FirstCuttingPlane: return WedgeSurface::FirstPlane;
    case TPlaneRole::SecondCuttingPlane: return WedgeSurface::SecondPlane;
    case TPlaneRole::SlopeTopSurface: return WedgeSurface::UpperSlope;
    case TPlaneRole::SlopeFace: return WedgeSurface::SlopeFace;
    }
    return WedgeSurface::SlopeFace;
}

Colour shaded(Colour base, double intensity) {
    const auto channel = [intensity](std::uint8_t c) {
        const double light = 0.5 * c + 0.5 * 255; // pastel, so the edges and labels stand out
        return static_cast<std::uint8_t>(std::clamp(light * intensity, 0.0, 255.0));
    };
    return {channel(base.r), channel(base.g), channel(base.b)};
}

TextItem label(Point2 at, std::string content, double height, Colour colour, HAlign h = HAlign::Centre,
               bool bold = false) {
    return TextItem{at, std::move(content), height, colour, h, VAlign::Middle, bold};
}

Colour loadColour(SceneLoadKind kind) {
    switch (kind) {
    case SceneLoadKind::Weight: return {60, 60, 60};
    case SceneLoadKind::Water: return {30, 110, 220};
    case SceneLoadKind::Seismic: return {230, 120, 0};
    case SceneLoadKind::External: return {150, 40, 170};
    case SceneLoadKind::Pressure: return {0, 140, 140};
    case SceneLoadKind::Bolt: return {200, 30, 30};
    }
    return Ink;
}

// A label waiting for its place: all are placed once every line is drawn,
// so that none is put over a line drawn after it.
struct PendingLabel {
    Point2 anchor, direction;
    double distance;
    std::string text;
    double height;
    Colour colour;
};

// The labels at their places, the corner numbers first (they sit closest
// to what they name), on top of everything drawn.
void placeLabels(Figure& figure, LabelPlacer& placer, const std::vector<PendingLabel>& labels) {
    for (const PendingLabel& l : labels) {
        const Point2 at = placer.place(l.anchor, l.direction, l.distance, labelWidth(l.text, l.height), l.height);
        figure.items.push_back(label(at, l.text, l.height, l.colour, HAlign::Centre, true));
    }
}

// The wedge proper: shaded visible faces far to near, then the hidden
// edges dashed, the visible edges; the corner numbers wait in `labels`.
void addWedge(Figure& figure, const WedgeScene& scene, const ViewAngles& view, const ProjectedCorners& projected,
              LabelPlacer& placer, std::vector<PendingLabel>& labels) {
    const ViewFrame frame(view);
    const TPoint3D light = (1 / std::sqrt(0.35 * 0.35 + 0.55 * 0.55 + 0.75 * 0.75)) *
                           ((-0.35) * frame.r + 0.55 * frame.u + 0.75 * frame.e);
    const std::vector<bool> visible = visibleFaces(scene, view);
    const auto faceDepth = [&](const SceneFace& f) {
        double depth = 0;
        for (int c : f.Corners) depth += projected.Depth[c];
        return depth / static_cast<double>(f.Corners.size());
    };
    std::vector<std::size_t> order(scene.Faces.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return faceDepth(scene.Faces[a]) < faceDepth(scene.Faces[b]); });
    for (std::size_t index : order) {
        if (!visible[index]) continue;
        const SceneFace& face = scene.Faces[index];
        const double length = norm(face.Outward);
        const double facing = length > 0 ? std::max(0.0, dot(face.Outward, light) / length) : 0;
        const double intensity = scene.Solid ? 0.7 + 0.3 * facing : 0.85;
        std::vector<Point2> outline;
        for (int corner : face.Corners) outline.push_back(projected.Screen[corner]);
        figure.items.push_back(polygon(outline, shaded(surfaceColour(face.Surface), intensity)));
    }

    // The edges are the corner pairs that follow each other round a face; an
    // edge is hidden when every face that meets at it faces away.
    std::vector<PathItem> hidden, shown;
    const int corners = static_cast<int>(scene.Corners.size());
    for (int i = 0; i < corners; ++i)
        for (int j = i + 1; j < corners; ++j) {
            bool edge = false, seen = false, plane1 = false, plane2 = false;
            for (std::size_t f = 0; f < scene.Faces.size(); ++f) {
                const auto& c = scene.Faces[f].Corners;
                const std::size_t n = c.size();
                for (std::size_t k = 0; k < n; ++k) {
                    const int a = c[k], b = c[(k + 1) % n];
                    if ((a == i && b == j) || (a == j && b == i)) {
                        edge = true;
                        seen = seen || visible[f];
                        plane1 = plane1 || scene.Faces[f].Surface == WedgeSurface::FirstPlane;
                        plane2 = plane2 || scene.Faces[f].Surface == WedgeSurface::SecondPlane;
                    }
                }
            }
            if (!edge) continue;
            const bool lineOfIntersection = plane1 && plane2;
            const Colour colour = lineOfIntersection ? IntersectionEdgeColour : Ink;
            const PathItem path = polyline({projected.Screen[i], projected.Screen[j]},
                                           seen ? Pen{colour, lineOfIntersection ? 0.014 : 0.01}
                                                : Pen{lineOfIntersection ? colour : Grey, 0.007, LineStyle::Dashed});
            (seen ? shown : hidden).push_back(path);
            placer.avoidSegment(projected.Screen[i], projected.Screen[j]);
        }
    figure.items.insert(figure.items.end(), hidden.begin(), hidden.end());
    figure.items.insert(figure.items.end(), shown.begin(), shown.end());

    Point2 middle{0, 0};
    for (const Point2& p : projected.Screen) middle = {middle.x + p.x / corners, middle.y + p.y / corners};
    for (int i = 0; i < corners; ++i) {
        const Point2 p = projected.Screen[i];
        figure.items.push_back(CircleItem{p, 0.018, std::nullopt, Ink});
        placer.avoidPoint(p, 0.018);
        // Out from the wedge's middle; a small wedge's corners lie close
        // together, and the placer keeps their numbers apart.
        if (scene.Numbers[i] != 0)
            labels.push_back({p, {p.x - middle.x, p.y - middle.y}, 0.09, std::to_string(scene.Numbers[i]), 0.09, Ink});
    }
}

// Screen direction of a block-frame direction, scaled like the corners.
Point2 screenVector(const ViewFrame& frame, const TPoint3D& v, double scale) {
    const Point2 p = frame.screen(v);
    return {scale * p.x, scale * p.y};
}

void addArrowHead(Figure& figure, Point2 tip, Point2 along, const Pen& pen) {
    const double length = std::hypot(along.x, along.y);
    if (length < 1e-9) return;
    const Point2 d{along.x / length, along.y / length};
    const double size = 0.05;
    const Point2 left{tip.x - size * (d.x - 0.5 * d.y), tip.y - size * (d.y + 0.5 * d.x)};
    const Point2 right{tip.x - size * (d.x + 0.5 * d.y), tip.y - size * (d.y - 0.5 * d.x)};
    figure.items.push_back(polygon({tip, left, right}, pen.colour, pen));
}

// The share (up to 1) of `along` that keeps an arrow from `from` inside the
// picture, with room for its name.
double withinFrame(Point2 from, Point2 along) {
    constexpr double HalfWidth = 1.45, HalfHeight = 1.05;
    double share = 1;
    const auto limit = [&share](double start, double step, double bound) {
        if (start + share * step > bound) share = std::max(0.0, (bound - start) / step);
        if (start + share * step < -bound) share = std::max(0.0, (-bound - start) / step);
    };
    limit(from.x, along.x, HalfWidth);
    limit(from.y, along.y, HalfHeight);
    return share;
}

// Forces as arrows from the centroid, their lengths in proportion (the
// largest reaching the wedge's size, none shorter than a fifth of it);
// bolts as bars along their line of action, the head on the face side
// and the anchor beyond the wedge.
void addLoads(Figure& figure, const WedgeScene& scene, const ViewAngles& view, LabelPlacer& placer,
              std::vector<PendingLabel>& labels) {
    if (scene.Loads.empty()) return;
    const ViewFrame frame(view);
    const std::vector<TPoint3D> points = framePoints(scene);
    const double size = extent(points);
    const double scale = view.Zoom / size;
    const Point2 from = screenVector(frame, scene.Centroid - centre(points), scale);
    double largest = 0;
    for (const SceneLoad& load : scene.Loads)
        if (load.Kind != SceneLoadKind::Bolt) largest = std::max(largest, norm(load.Force));
    constexpr double LabelHeight = 0.065;
    for (const SceneLoad& load : scene.Loads) {
        const double magnitude = norm(load.Force);
        const TPoint3D unit = (1 / magnitude) * load.Force;
        const Colour colour = loadColour(load.Kind);
        Point2 tip;
        if (load.Kind == SceneLoadKind::Bolt) {
            const Point2 head = screenVector(frame, -1.1 * size * unit, scale),
                         anchor = screenVector(frame, 1.4 * size * unit, scale);
            const Point2 start{from.x + head.x, from.y + head.y};
            tip = {from.x + anchor.x, from.y + anchor.y};
            figure.items.push_back(polyline({start, tip}, Pen{colour, 0.012}));
            const double s = 0.025;
            figure.items.push_back(polygon({{start.x - s, start.y - s},
                                            {start.x + s, start.y - s},
                                            {start.x + s, start.y + s},
                                            {start.x - s, start.y + s}},
                                           colour, Pen{colour, 0.004}));
        } else {
            const double length = std::max(0.2, magnitude / largest) * size;
            Point2 along = screenVector(frame, length * unit, scale);
            // An arrow, and its name beyond its tip, stay inside the picture:
            // a small wedge in a frame sized for the full-height one would
            // send the weight's arrow out of the bottom.
            const double room = withinFrame(from, along);
            along = {room * along.x, room * along.y};
            tip = {from.x + along.x, from.y + along.y};
            const Pen pen{colour, 0.009};
            figure.items.push_back(polyline({from, tip}, pen));
            addArrowHead(figure, tip, along, pen);
        }
        // Forces of nearly one direction (the two water pressures, the
        // weight and a vertical load) end close together: the placer moves
        // a name that would touch another one, a line or a corner aside.
        placer.avoidSegment(from, tip);
        labels.push_back({tip, {tip.x - from.x, tip.y - from.y}, 0.07, load.Label, LabelHeight, colour});
    }
    figure.items.push_back(CircleItem{from, 0.014, Pen{Ink, 0.004}, Colour{255, 255, 255}});
}

// East, north and up as seen from the eye, in the lower left corner.
void addAxes(Figure& figure, const ViewAngles& view) {
    const ViewFrame frame(view);
    const Point2 origin{-1.32, -0.88};
    const double length = 0.22;
    const struct {
        TPoint3D direction;
        const char* name;
        Colour colour;
    } axes[] = {{{1, 0, 0}, "E", Grey}, {{0, 0, 1}, "Z", Grey}, {{0, 1, 0}, "N", {200, 0, 0}}};
    for (const auto& axis : axes) {
        const Point2 d = frame.screen(axis.direction);
        const Point2 tip{origin.x + length * d.x, origin.y + length * d.y};
        figure.items.push_back(polyline({origin, tip}, Pen{axis.colour, 0.01}));
        figure.items.push_back(label({origin.x + 1.45 * length * d.x, origin.y + 1.45 * length * d.y}, axis.name, 0.07,
                                     axis.colour, HAlign::Centre, true));
    }
}

void addLegend(Figure& figure, const WedgeScene& scene, const ViewAngles& view) {
    std::vector<WedgeSurface> surfaces;
    for (TPlaneRole role : planeRoles) surfaces.push_back(surfaceOf(role));
    if (std::any_of(scene.Faces.begin(), scene.Faces.end(),
                    [](const SceneFace& f) { return f.Surface == WedgeSurface::Crack; }))
        surfaces.push_back(WedgeSurface::Crack);
    double y = 1.1;
    for (WedgeSurface surface : surfaces) {
        const double s = 0.035;
        figure.items.push_back(polygon({{-1.55, y - s}, {-1.48, y - s}, {-1.48, y + s}, {-1.55, y + s}},
                                       shaded(surfaceColour(surface), 0.9), Pen{Ink, 0.004}));
        figure.items.push_back(label({-1.43, y}, surfaceName(surface), 0.065, Ink, HAlign::Left));
        y -= 0.11;
    }
    figure.items.push_back(polyline({{-1.55, y}, {-1.48, y}}, Pen{IntersectionEdgeColour, 0.014}));
    figure.items.push_back(label({-1.43, y}, inLanguage("交线 1-2", "intersection 1-2"), 0.065, Ink, HAlign::Left));
    if (!scene.Loads.empty())
        figure.items.push_back(label(
            {1.55, -1.02},
            inLanguage("力均过形心，箭头长短示意大小；粗线为锚杆",
                       "all forces act through the centroid; arrow lengths show their size; thick lines are bolts"),
            0.05, Grey, HAlign::Right));
    if (!scene.BoltLines.empty() || !scene.ShotcreteEdges.empty())
        figure.items.push_back(label(
            {1.55, -0.82},
            std::string(scene.BoltLines.empty() ? ""
                                                : inLanguage("细线：坡面上的锚杆（实长）",
                                                             "thin lines: bolts in the slope face (true length)")) +
                (scene.ShotcreteEdges.empty() ? "" : inLanguage("  灰色粗框：喷射混凝土", "  grey frame: shotcrete")),
            0.05, Grey, HAlign::Right));
    if (!scene.FullHeightEdges.empty())
        figure.items.push_back(
            label({1.55, -0.92},
                  inLanguage("淡色虚线：全高楔块；实体：按尺寸限制缩小的楔块",
                             "faint dashes: the full-height wedge; solid: the wedge scaled to its size limits"),
                  0.05, Grey, HAlign::Right));
    figure.items.push_back(label({1.55, -1.12},
                                 inLanguage("方位角 ", "azimuth ") +
                                     angleText(std::fmod(std::fmod(view.Azimuth, 360.0) + 360.0, 360.0)) +
                                     inLanguage("  仰角 ", "  elevation ") + angleText(view.Elevation),
                                 0.055, Grey, HAlign::Right));
}

// How well a view shows the wedge: the area that the visible faces cover,
// those of the cutting planes (the planes it would slide on) counting
// twice, the slope top and the crack not at all.
double viewScore(const WedgeScene& scene, const ViewAngles& view) {
    const ProjectedCorners projected = projectCorners(scene, view);
    const std::vector<bool> visible = visibleFaces(scene, view);
    double area = 0;
    for (std::size_t f = 0; f < scene.Faces.size(); ++f) {
        const SceneFace& face = scene.Faces[f];
        if (!visible[f] || face.Surface == WedgeSurface::UpperSlope || face.Surface == WedgeSurface::Crack) continue;
        const double weight = face.Surface == WedgeSurface::SlopeFace ? 1 : 2;
        double twice = 0; // the shoelace formula
        for (std::size_t k = 0; k < face.Corners.size(); ++k) {
            const Point2 a = projected.Screen[face.Corners[k]];
            const Point2 b = projected.Screen[face.Corners[(k + 1) % face.Corners.size()]];
            twice += a.x * b.y - b.x * a.y;
        }
        area += weight * std::abs(twice) / 2;
    }
    return area;
}

// Which corner of the tetrahedron each combination of surfaces meets at.
int cornerNumber(const std::vector<WedgeSurface>& surfaces) {
    const auto has = [&](WedgeSurface s) { return std::find(surfaces.begin(), surfaces.end(), s) != surfaces.end(); };
    const bool p1 = has(WedgeSurface::FirstPlane), p2 = has(WedgeSurface::SecondPlane),
               face = has(WedgeSurface::SlopeFace), top = has(WedgeSurface::UpperSlope);
    if (p1 && p2 && face) return 1;
    if (p1 && p2 && top) return 2;
    if (p1 && face && top) return 3;
    if (p2 && face && top) return 4;
    return 0;
}

} // namespace

WedgeScene tetrahedronScene(const BlockVertices& v) {
    WedgeScene scene;
    scene.Corners = {v.Vertex1, v.Vertex2, v.Vertex3, v.Vertex4};
    scene.Numbers = {1, 2, 3, 4};
    scene.Out = v.Vertex1 - v.Vertex2;
    scene.Centroid = centre(scene.Corners);
    const auto& p = scene.Corners;
    const double size = extent(p);
    const double volume6 = std::abs(dot(cross(p[1] - p[0], p[2] - p[0]), p[3] - p[0]));
    scene.Solid = volume6 > 1e-9 * size * size * size;
    for (const WedgeFace& face : WedgeFaces) {
        const TPoint3D& a = p[face.Corners[0] - 1];
        TPoint3D n = cross(p[face.Corners[1] - 1] - a, p[face.Corners[2] - 1] - a);
        const int opposite = 10 - face.Corners[0] - face.Corners[1] - face.Corners[2];
        if (dot(n, p[opposite - 1] - a) > 0) n = -1 * n; // away from the corner not on the face
        scene.Faces.push_back(
            {surfaceOf(face.Role), {face.Corners[0] - 1, face.Corners[1] - 1, face.Corners[2] - 1}, n});
    }
    return scene;
}

WedgeScene realWedgeScene(const WedgeShape& shape, const WedgeForces& forces, const WedgeLoads& loads,
                          const WedgeShape* fullHeight) {
    WedgeScene scene;
    if (fullHeight)
        for (const WedgePolygon& polygon : fullHeight->Faces)
            for (int i = 0; i < polygon.Count; ++i) {
                const TPoint3D &a = polygon.Points[i], &b = polygon.Points[(i + 1) % polygon.Count];
                // Each edge once, though two faces share it.
                const auto same = [&](const auto& e) {
                    return (e.first == b && e.second == a) || (e.first == a && e.second == b);
                };
                if (std::none_of(scene.FullHeightEdges.begin(), scene.FullHeightEdges.end(), same))
                    scene.FullHeightEdges.emplace_back(a, b);
            }
    scene.Corners = wedgeCorners(shape);
    std::vector<std::vector<WedgeSurface>> meeting(scene.Corners.size());
    for (int s = 0; s < WedgeSurfaceCount; ++s) {
        const WedgePolygon& polygon = shape.Faces[s];
        if (polygon.Count == 0) continue;
        SceneFace face{static_cast<WedgeSurface>(s), {}, polygon.Normal};
        for (int i = 0; i < polygon.Count; ++i) {
            const auto at = std::find(scene.Corners.begin(), scene.Corners.end(), polygon.Points[i]);
            const int corner = static_cast<int>(at - scene.Corners.begin());
            face.Corners.push_back(corner);
            meeting[corner].push_back(face.Surface);
        }
        scene.Faces.push_back(face);
    }
    for (const auto& surfaces : meeting) scene.Numbers.push_back(cornerNumber(surfaces));
    scene.Out = shape.Sliding;
    scene.Centroid = shape.Centroid;

    const auto add = [&scene](SceneLoadKind kind, const TPoint3D& force, std::string label) {
        if (norm(force) > 0) scene.Loads.push_back({kind, force, std::move(label)});
    };
    add(SceneLoadKind::Weight, forces.Weight, "W");
    add(SceneLoadKind::Water, forces.Water1, "U1");
    add(SceneLoadKind::Water, forces.Water2, "U2");
    add(SceneLoadKind::Water, forces.CrackWater, "V");
    add(SceneLoadKind::Seismic, forces.Seismic, "kW");
    for (std::size_t i = 0; i < loads.Forces.size(); ++i)
        add(SceneLoadKind::External, loads.Forces[i].Magnitude * directionVector(loads.Forces[i].Direction),
            "F" + std::to_string(i + 1));
    add(SceneLoadKind::Pressure, forces.FaceLoad, "Pf");
    add(SceneLoadKind::Pressure, forces.TopLoad, "Pt");
    add(SceneLoadKind::Water, forces.PondFace, "Uf");
    add(SceneLoadKind::Water, forces.PondTop, "Ut");
    for (std::size_t i = 0; i < loads.Bolts.size(); ++i)
        add(SceneLoadKind::Bolt,
            (loads.Bolts[i].Capacity && i < forces.BoltHolds.size() ? forces.BoltHolds[i].Force
                                                                    : loads.Bolts[i].Force) *
                directionVector(loads.Bolts[i].Direction),
            "T" + std::to_string(i + 1));
    if (loads.Pattern) add(SceneLoadKind::Bolt, forces.PatternForce * directionVector(loads.Pattern->Direction), "Tp");
    const auto boltLine = [&scene](const BoltHold& hold, const LineDirection& along, double length) {
        scene.BoltLines.emplace_back(hold.Head, hold.Head + length * directionVector(along));
    };
    for (std::size_t i = 0; i < loads.Bolts.size() && i < forces.BoltHolds.size(); ++i)
        if (loads.Bolts[i].Capacity)
            boltLine(forces.BoltHolds[i], loads.Bolts[i].Direction, loads.Bolts[i].Capacity->Length);
    if (loads.Pattern)
        for (const BoltHold& hold : forces.PatternHolds)
            boltLine(hold, loads.Pattern->Direction, loads.Pattern->Capacity.Length);
    if (loads.Shotcrete) {
        const WedgePolygon& face = shape.Faces[int(WedgeSurface::SlopeFace)];
        for (int i = 0; i < face.Count; ++i)
            scene.ShotcreteEdges.emplace_back(face.Points[i], face.Points[(i + 1) % face.Count]);
    }
    if (loads.PondLevel)
        for (WedgeSurface surface : {WedgeSurface::SlopeFace, WedgeSurface::UpperSlope}) {
            // The level crosses a convex face in one segment, or not at all.
            const WedgePolygon& f = shape.Faces[int(surface)];
            std::vector<TPoint3D> crossing;
            for (int i = 0; i < f.Count; ++i) {
                const TPoint3D &p = f.Points[i], &q = f.Points[(i + 1) % f.Count];
                const double dp = *loads.PondLevel - p.z, dq = *loads.PondLevel - q.z;
                if ((dp > 0) != (dq > 0)) crossing.push_back(p + (dp / (dp - dq)) * (q - p));
            }
            if (crossing.size() == 2) scene.WaterLine.emplace_back(crossing[0], crossing[1]);
        }
    return scene;
}

ViewAngles defaultView(const WedgeScene& scene) {
    ViewAngles view;
    const TPoint3D out = scene.Out;
    if (!(std::hypot(out.x, out.y) > 0) || !std::isfinite(std::hypot(out.x, out.y))) return view;
    // From in front of the slope and above, turned aside as far as shows the
    // wedge best; the nearest such turn wins a near tie.
    const double front = degrees(std::atan2(out.x, out.y));
    double bestArea = -1;
    for (double turn : {0.0, 15.0, -15.0, 30.0, -30.0, 45.0, -45.0, 60.0, -60.0}) {
        const ViewAngles candidate{std::fmod(front + turn + 360, 360.0), view.Elevation, 1};
        const double area = viewScore(scene, candidate);
        if (area > bestArea * 1.05) {
            bestArea = area;
            view = candidate;
        }
    }
    return view;
}

std::vector<bool> visibleFaces(const WedgeScene& scene, const ViewAngles& view) {
    const ViewFrame frame(view);
    std::vector<bool> visible;
    for (const SceneFace& face : scene.Faces) visible.push_back(!scene.Solid || dot(face.Outward, frame.e) > 0);
    return visible;
}

ProjectedCorners projectCorners(const WedgeScene& scene, const ViewAngles& view) {
    const ViewFrame frame(view);
    const std::vector<TPoint3D> points = framePoints(scene);
    const TPoint3D c = centre(points);
    const double size = extent(points);
    const double scale = view.Zoom / (size > 0 ? size : 1);
    ProjectedCorners projected;
    for (const TPoint3D& corner : scene.Corners) {
        const TPoint3D p = scale * (corner - c);
        projected.Screen.push_back(frame.screen(p));
        projected.Depth.push_back(dot(p, frame.e));
    }
    return projected;
}

namespace {

// Lines in the block frame drawn in the wedge's projection: the full-height
// wedge faint and dashed behind the wedge analysed, the outside water's
// level where it meets the wedge in the water's colour.
void addSegments(Figure& figure, const WedgeScene& scene, const ViewAngles& view,
                 const std::vector<std::pair<TPoint3D, TPoint3D>>& segments, const Pen& pen, LabelPlacer& placer) {
    if (segments.empty()) return;
    const ViewFrame frame(view);
    const std::vector<TPoint3D> points = framePoints(scene);
    const TPoint3D c = centre(points);
    const double scale = view.Zoom / extent(points);
    for (const auto& [from, to] : segments) {
        const Point2 a = frame.screen(scale * (from - c)), b = frame.screen(scale * (to - c));
        figure.items.push_back(polyline({a, b}, pen));
        placer.avoidSegment(a, b);
    }
}

} // namespace

Figure wedgeViewFigure(const WedgeScene& scene, const ViewAngles& view, const std::string& caption) {
    Figure figure;
    figure.xMin = -1.6;
    figure.xMax = 1.6;
    figure.yMin = -1.2;
    figure.yMax = 1.2;
    const double size = finite(scene.Corners) ? extent(scene.Corners) : INFINITY;
    if (!std::isfinite(size)) // broken corners, or those of nearly parallel planes, beyond any scale
        figure.items.push_back(
            label({0, 0}, inLanguage("块体角点无效", "the block's corners are not valid"), 0.09, Grey));
    else if (size == 0)
        figure.items.push_back(label({0, 0}, inLanguage("尚无块体角点", "no corners of a block yet"), 0.09, Grey));
    else {
        LabelPlacer placer;
        std::vector<PendingLabel> labels;
        addSegments(figure, scene, view, scene.FullHeightEdges, Pen{{175, 175, 175}, 0.006, LineStyle::Dashed}, placer);
        addWedge(figure, scene, view, projectCorners(scene, view), placer, labels);
        addSegments(figure, scene, view, scene.WaterLine,
                    Pen{loadColour(SceneLoadKind::Water), 0.012, LineStyle::Solid}, placer);
        addSegments(figure, scene, view, scene.ShotcreteEdges, Pen{{128, 128, 128}, 0.02, LineStyle::Solid}, placer);
        addSegments(figure, scene, view, scene.BoltLines, Pen{loadColour(SceneLoadKind::Bolt), 0.008, LineStyle::Solid},
                    placer);
        if (!scene.Solid)
            figure.items.push_back(label({0, -1.0},
                                         inLanguage("角点共面，不成块体", "the corners lie in one plane: no block"),
                                         0.075, {200, 0, 0}));
        else
            addLoads(figure, scene, view, placer, labels);
        placeLabels(figure, placer, labels);
    }
    addAxes(figure, view);
    addLegend(figure, scene, view);
    if (!caption.empty()) figure.items.push_back(label({1.55, 1.1}, caption, 0.075, Ink, HAlign::Right, true));
    return figure;
}

} // namespace trelmox
