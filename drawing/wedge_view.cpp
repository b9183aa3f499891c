#include "drawing/wedge_view.h"

#include <algorithm>
#include <string>

#include "drawing/plane_style.h"
#include "drawing/stereonet.h"
#include "analysis/vec3.h"

namespace trelmox {
namespace {

const Colour Ink{20, 20, 20};
const Colour Grey{120, 120, 120};
const Colour IntersectionEdgeColour{200, 0, 200}; // the drawing file's magenta for the line 1-2

std::array<TPoint3D, 4> corners(const BlockVertices& v) { return {v.Vertex1, v.Vertex2, v.Vertex3, v.Vertex4}; }

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

TPoint3D centroid(const std::array<TPoint3D, 4>& points) {
    return 0.25 * (points[0] + points[1] + points[2] + points[3]);
}

double extent(const std::array<TPoint3D, 4>& points) {
    const TPoint3D c = centroid(points);
    double radius = 0;
    for (const TPoint3D& p : points) radius = std::max(radius, norm(p - c));
    return radius;
}

bool finite(const std::array<TPoint3D, 4>& points) {
    return std::all_of(points.begin(), points.end(),
                       [](const TPoint3D& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); });
}

// Outward normal of a face: away from the corner that is not on it.
TPoint3D outwardNormal(const std::array<TPoint3D, 4>& points, const WedgeFace& face) {
    const TPoint3D& a = points[face.Corners[0] - 1];
    TPoint3D n = cross(points[face.Corners[1] - 1] - a, points[face.Corners[2] - 1] - a);
    const int opposite = 10 - face.Corners[0] - face.Corners[1] - face.Corners[2];
    if (dot(n, points[opposite - 1] - a) > 0) n = -1 * n;
    return n;
}

// A flat tetrahedron has no inside: then every face is drawn.
bool isFlat(const std::array<TPoint3D, 4>& points) {
    const double size = extent(points);
    const double volume6 = std::abs(dot(cross(points[1] - points[0], points[2] - points[0]), points[3] - points[0]));
    return !(volume6 > 1e-9 * size * size * size);
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

// The wedge proper: shaded visible faces far to near, then the hidden
// edges dashed, the visible edges, and the corner numbers.
void addWedge(Figure& figure, const std::array<TPoint3D, 4>& points, const ViewAngles& view) {
    const ViewFrame frame(view);
    const ProjectedCorners projected = projectCorners(BlockVertices{points[0], points[1], points[2], points[3]}, view);
    const bool flat = isFlat(points);
    const TPoint3D light = (1 / std::sqrt(0.35 * 0.35 + 0.55 * 0.55 + 0.75 * 0.75)) *
                           ((-0.35) * frame.r + 0.55 * frame.u + 0.75 * frame.e);

    const std::array<bool, 4> visible = visibleFaces(BlockVertices{points[0], points[1], points[2], points[3]}, view);
    std::array<int, 4> order{0, 1, 2, 3};
    const auto faceDepth = [&projected](const WedgeFace& f) {
        return projected.Depth[f.Corners[0] - 1] + projected.Depth[f.Corners[1] - 1] + projected.Depth[f.Corners[2] - 1];
    };
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return faceDepth(WedgeFaces[a]) < faceDepth(WedgeFaces[b]); });
    for (int index : order) {
        if (!visible[index]) continue;
        const WedgeFace& face = WedgeFaces[index];
        const TPoint3D n = outwardNormal(points, face);
        const double length = norm(n);
        const double facing = length > 0 ? std::max(0.0, dot(n, light) / length) : 0;
        const double intensity = flat ? 0.85 : 0.7 + 0.3 * facing;
        std::vector<Point2> outline;
        for (int corner : face.Corners) outline.push_back(projected.Screen[corner - 1]);
        figure.items.push_back(polygon(outline, shaded(planeColour(face.Role), intensity)));
    }

    // An edge is hidden when both faces that meet at it face away.
    std::vector<PathItem> hidden, shown;
    for (int i = 1; i <= 4; ++i)
        for (int j = i + 1; j <= 4; ++j) {
            bool seen = false;
            for (std::size_t f = 0; f < WedgeFaces.size(); ++f) {
                const auto& c = WedgeFaces[f].Corners;
                if (std::count(c.begin(), c.end(), i) && std::count(c.begin(), c.end(), j)) seen = seen || visible[f];
            }
            const bool lineOfIntersection = i == 1 && j == 2;
            const Colour colour = lineOfIntersection ? IntersectionEdgeColour : Ink;
            const PathItem edge = polyline({projected.Screen[i - 1], projected.Screen[j - 1]},
                                           seen ? Pen{colour, lineOfIntersection ? 0.014 : 0.01}
                                                : Pen{lineOfIntersection ? colour : Grey, 0.007, LineStyle::Dashed});
            (seen ? shown : hidden).push_back(edge);
        }
    figure.items.insert(figure.items.end(), hidden.begin(), hidden.end());
    figure.items.insert(figure.items.end(), shown.begin(), shown.end());

    Point2 middle{0, 0};
    for (const Point2& p : projected.Screen) middle = {middle.x + p.x / 4, middle.y + p.y / 4};
    for (int i = 0; i < 4; ++i) {
        const Point2 p = projected.Screen[i];
        const double dx = p.x - middle.x, dy = p.y - middle.y, d = std::hypot(dx, dy);
        const Point2 at = d > 1e-9 ? Point2{p.x + 0.1 * dx / d, p.y + 0.1 * dy / d} : Point2{p.x + 0.07, p.y + 0.07};
        figure.items.push_back(CircleItem{p, 0.018, std::nullopt, Ink});
        figure.items.push_back(label(at, std::to_string(i + 1), 0.09, Ink, HAlign::Centre, true));
    }
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

void addLegend(Figure& figure, const ViewAngles& view) {
    double y = 1.1;
    for (const WedgeFace& face : WedgeFaces) {
        const double s = 0.035;
        figure.items.push_back(polygon({{-1.55, y - s}, {-1.48, y - s}, {-1.48, y + s}, {-1.55, y + s}},
                                       shaded(planeColour(face.Role), 0.9), Pen{Ink, 0.004}));
        figure.items.push_back(label({-1.43, y}, planeName(face.Role), 0.065, Ink, HAlign::Left));
        y -= 0.11;
    }
    figure.items.push_back(polyline({{-1.55, y}, {-1.48, y}}, Pen{IntersectionEdgeColour, 0.014}));
    figure.items.push_back(label({-1.43, y}, "交线 1-2", 0.065, Ink, HAlign::Left));
    figure.items.push_back(label({1.55, -1.12},
                                 "方位角 " + angleText(std::fmod(std::fmod(view.Azimuth, 360.0) + 360.0, 360.0)) +
                                     "  仰角 " + angleText(view.Elevation),
                                 0.055, Grey, HAlign::Right));
}

} // namespace

namespace {

// How well a view shows the wedge: the area that the visible faces cover,
// those of the cutting planes (the planes it would slide on) counting
// twice, the slope top not at all.
double viewScore(const BlockVertices& vertices, const ViewAngles& view) {
    const ProjectedCorners projected = projectCorners(vertices, view);
    const std::array<bool, 4> visible = visibleFaces(vertices, view);
    double area = 0;
    for (std::size_t f = 0; f < WedgeFaces.size(); ++f) {
        const WedgeFace& face = WedgeFaces[f];
        if (!visible[f] || face.Role == TPlaneRole::SlopeTopSurface) continue;
        const double weight = face.Role == TPlaneRole::SlopeFace ? 1 : 2;
        const Point2 a = projected.Screen[face.Corners[0] - 1], b = projected.Screen[face.Corners[1] - 1],
                     c = projected.Screen[face.Corners[2] - 1];
        area += weight * std::abs((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y)) / 2;
    }
    return area;
}

} // namespace

ViewAngles defaultView(const BlockVertices& vertices) {
    ViewAngles view;
    const TPoint3D out = vertices.Vertex1 - vertices.Vertex2;
    if (!(std::hypot(out.x, out.y) > 0) || !std::isfinite(std::hypot(out.x, out.y))) return view;
    // From in front of the slope and above, turned aside as far as shows the
    // wedge best; the nearest such turn wins a near tie.
    const double front = degrees(std::atan2(out.x, out.y));
    double bestArea = -1;
    for (double turn : {0.0, 15.0, -15.0, 30.0, -30.0, 45.0, -45.0, 60.0, -60.0}) {
        const ViewAngles candidate{std::fmod(front + turn + 360, 360.0), view.Elevation, 1};
        const double area = viewScore(vertices, candidate);
        if (area > bestArea * 1.05) {
            bestArea = area;
            view = candidate;
        }
    }
    return view;
}

std::array<bool, 4> visibleFaces(const BlockVertices& vertices, const ViewAngles& view) {
    const auto points = corners(vertices);
    const bool flat = isFlat(points);
    const ViewFrame frame(view);
    std::array<bool, 4> visible{};
    for (std::size_t f = 0; f < WedgeFaces.size(); ++f)
        visible[f] = flat || dot(outwardNormal(points, WedgeFaces[f]), frame.e) > 0;
    return visible;
}

ProjectedCorners projectCorners(const BlockVertices& vertices, const ViewAngles& view) {
    const auto points = corners(vertices);
    const ViewFrame frame(view);
    const TPoint3D c = centroid(points);
    const double size = extent(points);
    const double scale = view.Zoom / (size > 0 ? size : 1);
    ProjectedCorners projected;
    for (int i = 0; i < 4; ++i) {
        const TPoint3D p = scale * (points[i] - c);
        projected.Screen[i] = frame.screen(p);
        projected.Depth[i] = dot(p, frame.e);
    }
    return projected;
}

Figure wedgeViewFigure(const BlockVertices& vertices, const ViewAngles& view, const std::string& caption) {
    Figure figure;
    figure.xMin = -1.6;
    figure.xMax = 1.6;
    figure.yMin = -1.2;
    figure.yMax = 1.2;
    const auto points = corners(vertices);
    const double size = finite(points) ? extent(points) : INFINITY;
    if (!std::isfinite(size)) // broken corners, or those of nearly parallel planes, beyond any scale
        figure.items.push_back(label({0, 0}, "块体角点无效", 0.09, Grey));
    else if (size == 0)
        figure.items.push_back(label({0, 0}, "尚无块体角点", 0.09, Grey));
    else {
        addWedge(figure, points, view);
        if (isFlat(points)) figure.items.push_back(label({0, -1.0}, "角点共面，不成块体", 0.075, {200, 0, 0}));
    }
    addAxes(figure, view);
    addLegend(figure, view);
    if (!caption.empty()) figure.items.push_back(label({1.55, 1.1}, caption, 0.075, Ink, HAlign::Right, true));
    return figure;
}

} // namespace trelmox
