#include "drawing/stereonet.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "drawing/plane_style.h"
#include "analysis/vec3.h"
#include "model/language.h"

namespace trelmox {
namespace {

// Sizes in net radii.
constexpr double TextHeight = 0.065;
constexpr double TagOffset = 0.07;
const Colour Black{0, 0, 0};
const Colour Grey{110, 110, 110};
const Colour IntersectionColour{210, 0, 0};
const Colour FrictionColour{200, 40, 120};

// A label's extent around its centre.
struct LabelBox {
    Point2 centre;
    double width = 0, height = 0;
};

// How far apart two boxes are; negative when they overlap (the less
// negative, the smaller the overlap).
double separation(const LabelBox& a, const LabelBox& b) {
    const double sx = std::abs(a.centre.x - b.centre.x) - (a.width + b.width) / 2;
    const double sy = std::abs(a.centre.y - b.centre.y) - (a.height + b.height) / 2;
    if (sx > 0 || sy > 0) return std::hypot(std::max(sx, 0.0), std::max(sy, 0.0));
    return std::max(sx, sy);
}

// Where the labels go: each one, centred, at the free-most of its candidate
// spots, away from the curves and the labels already there.
class LabelPlacer {
public:
    void addCurve(const std::vector<Point2>& points) {
        for (const Point2& p : points) taken_.push_back({p, 0, 0});
    }
    void addLabel(const TextItem& text) {
        const double width = labelWidth(text.text, text.height);
        const double shift = text.hAlign == HAlign::Left ? width / 2 : text.hAlign == HAlign::Right ? -width / 2 : 0;
        taken_.push_back({{text.position.x + shift, text.position.y}, width, text.height});
    }

    // The first candidate with `enough` clearance, else the free-most.
    Point2 place(const std::vector<Point2>& candidates, double width, double height,
                 double enough = std::numeric_limits<double>::max()) {
        Point2 best = candidates.front();
        double bestClearance = -std::numeric_limits<double>::max();
        for (const Point2& c : candidates) {
            double clearance = std::numeric_limits<double>::max();
            for (const LabelBox& t : taken_) clearance = std::min(clearance, separation({c, width, height}, t));
            if (clearance > bestClearance) {
                bestClearance = clearance;
                best = c;
            }
            if (clearance >= enough) break;
        }
        taken_.push_back({best, width, height});
        return best;
    }

private:
    std::vector<LabelBox> taken_;
};

// Spots on both sides of a curve's inner part, inside the net.
std::vector<Point2> tagCandidates(const std::vector<Point2>& curve) {
    std::vector<Point2> spots;
    const std::size_t n = curve.size();
    for (std::size_t i = n / 6; i + n / 6 < n; i += std::max<std::size_t>(1, n / 36)) {
        const Point2 p = curve[i];
        const Point2 t{curve[i + 1].x - curve[i - 1].x, curve[i + 1].y - curve[i - 1].y};
        const double length = std::hypot(t.x, t.y);
        if (length == 0) continue;
        for (double side : {1.0, -1.0}) {
            const Point2 spot{p.x - side * TagOffset * t.y / length, p.y + side * TagOffset * t.x / length};
            if (std::hypot(spot.x, spot.y) < 0.95) spots.push_back(spot);
        }
    }
    if (spots.empty()) spots.push_back({curve[n / 2].x, curve[n / 2].y});
    return spots;
}

std::vector<Point2> circlePoints(double radius, int segments = 120) {
    std::vector<Point2> points;
    for (int i = 0; i <= segments; ++i) {
        const double a = 2 * std::numbers::pi * i / segments;
        points.push_back({radius * std::sin(a), radius * std::cos(a)});
    }
    return points;
}

TextItem text(Point2 at, std::string content, HAlign h = HAlign::Centre, double height = TextHeight,
              Colour colour = Black) {
    return TextItem{at, std::move(content), height, colour, h, VAlign::Middle, false};
}

Pen planePen(TPlaneRole role) {
    switch (role) {
    case TPlaneRole::SlopeTopSurface: return Pen{planeColour(role), 0.009, LineStyle::Dashed};
    case TPlaneRole::SlopeFace: return Pen{planeColour(role), 0.013};
    default: return Pen{planeColour(role), 0.01};
    }
}

const char* crackTag() { return inLanguage("裂", "C"); }
Pen crackPen() { return Pen{CrackColour, 0.009, LineStyle::Dashed}; }

// The key beside the net: a sample of each line and its attitude.
void addLegend(Figure& figure, const StereonetInput& input, const std::optional<LineAttitude>& intersection) {
    const double left = 1.32, sampleEnd = 1.47, textLeft = 1.52, step = 0.14;
    double y = 1.12;
    if (!input.Caption.empty()) {
        TextItem caption = text({left, 1.24}, input.Caption, HAlign::Left, 0.075);
        caption.bold = true;
        figure.items.push_back(caption);
    }
    TextItem title = text({left, y}, projectionTitle(input.Projection), HAlign::Left);
    title.bold = true;
    figure.items.push_back(title);
    for (TPlaneRole role : planeRoles) {
        y -= step;
        const TPlaneAttitude& plane = input.Attitudes[static_cast<int>(role)];
        figure.items.push_back(polyline({{left, y}, {sampleEnd, y}}, planePen(role)));
        figure.items.push_back(text({textLeft, y},
                                    std::string(planeTag(role)) + " " + planeName(role) + " " +
                                        attitudeLabel(plane.DipDirection, plane.DipAngle),
                                    HAlign::Left));
    }
    if (input.Crack) {
        y -= step;
        figure.items.push_back(polyline({{left, y}, {sampleEnd, y}}, crackPen()));
        figure.items.push_back(text({textLeft, y},
                                    std::string(crackTag()) + inLanguage(" 张裂缝 ", " tension crack ") +
                                        attitudeLabel(input.Crack->DipDirection, input.Crack->DipAngle),
                                    HAlign::Left));
    }
    y -= step;
    figure.items.push_back(
        CircleItem{{(left + sampleEnd) / 2, y}, 0.022, Pen{{255, 255, 255}, 0.004}, IntersectionColour});
    figure.items.push_back(text(
        {textLeft, y},
        intersection
            ? inLanguage("交线 ", "intersection ") + attitudeLabel(intersection->Trend, intersection->Plunge)
            : std::string(inLanguage("交线 无（两切割面平行）", "intersection none (the cutting planes are parallel)")),
        HAlign::Left));
    y -= step;
    figure.items.push_back(polyline({{left, y}, {sampleEnd, y}}, frictionPen()));
    figure.items.push_back(text({textLeft, y},
                                drawableFriction(input.FrictionAngle)
                                    ? inLanguage("摩擦圆 φ=", "friction circle φ=") + angleText(*input.FrictionAngle)
                                    : std::string(inLanguage("摩擦圆 无", "friction circle none")),
                                HAlign::Left));
}

// A label centred at a spot of `candidates` chosen by the placer, with room
// for its size.
Point2 addPlacedLabel(Figure& figure, LabelPlacer& placer, const std::vector<Point2>& candidates, std::string content,
                      double height, Colour colour, double enough = std::numeric_limits<double>::max()) {
    const Point2 at = placer.place(candidates, labelWidth(content, height), height, enough);
    TextItem label = text(at, std::move(content), HAlign::Centre, height, colour);
    label.bold = true;
    figure.items.push_back(label);
    return at;
}

void addIntersection(Figure& figure, LabelPlacer& placer, const LineAttitude& line, NetProjection projection) {
    const Point2 p = projectLine(line, projection);
    figure.items.push_back(CircleItem{p, 0.024, Pen{{255, 255, 255}, 0.005}, IntersectionColour});
    std::string content = attitudeLabel(line.Trend, line.Plunge);
    // Beside the point in eight directions, near first; the first clear
    // spot wins, so that the label stays close.
    const double across = 0.04 + labelWidth(content, TextHeight) / 2, upDown = 0.04 + TextHeight / 2;
    std::vector<Point2> spots;
    for (double distance : {1.0, 1.8})
        for (const Point2 d : {Point2{1, 0}, Point2{-1, 0}, Point2{0, 1}, Point2{0, -1}, Point2{1, 1}, Point2{-1, 1},
                               Point2{1, -1}, Point2{-1, -1}})
            spots.push_back({p.x + distance * d.x * across, p.y + distance * d.y * upDown});
    const double width = labelWidth(content, TextHeight);
    const Point2 at = addPlacedLabel(figure, placer, spots, std::move(content), TextHeight, IntersectionColour, 0.015);
    // A label pushed out to the far ring gets a leader to its point.
    const Point2 edge{std::clamp(p.x, at.x - width / 2, at.x + width / 2),
                      std::clamp(p.y, at.y - TextHeight / 2, at.y + TextHeight / 2)};
    if (std::hypot(edge.x - p.x, edge.y - p.y) > 0.06)
        figure.items.push_back(polyline({p, edge}, Pen{IntersectionColour, 0.004}));
}

} // namespace

double netRadius(double plungeDegrees, NetProjection projection) {
    const Point2 p = projectLine({0, plungeDegrees}, projection);
    return std::hypot(p.x, p.y);
}

Point2 projectLine(const LineAttitude& line, NetProjection projection) {
    return projectDirection(lineVector(line.Trend, line.Plunge), projection);
}

// The downward sense of the line; equal angle divides by 1 - z, equal area
// by its square root, so that a horizontal line lands on the unit circle.
Point2 projectDirection(TPoint3D v, NetProjection projection) {
    v = (1 / norm(v)) * v;
    if (v.z > 0) v = -1 * v;
    const double divisor = projection == NetProjection::EqualAngle ? 1 - v.z : std::sqrt(1 - v.z);
    return {v.x / divisor, v.y / divisor};
}

TPoint3D unprojectPoint(Point2 point, NetProjection projection) {
    double r2 = point.x * point.x + point.y * point.y;
    if (r2 > 1) {
        point = {point.x / std::sqrt(r2), point.y / std::sqrt(r2)};
        r2 = 1;
    }
    if (projection == NetProjection::EqualAngle)
        return {2 * point.x / (1 + r2), 2 * point.y / (1 + r2), (r2 - 1) / (1 + r2)};
    const double horizontal = std::sqrt(2 - r2);
    return {point.x * horizontal, point.y * horizontal, r2 - 1};
}

LineAttitude dipLine(const TPlaneAttitude& plane) { return {plane.DipDirection, plane.DipAngle}; }

std::vector<Point2> greatCircle(const TPlaneAttitude& plane, NetProjection projection, int segments) {
    const TPoint3D strike = lineVector(plane.DipDirection - 90, 0);
    const TPoint3D dip = lineVector(plane.DipDirection, plane.DipAngle);
    std::vector<Point2> points;
    points.reserve(segments + 1);
    for (int i = 0; i <= segments; ++i) {
        const double theta = std::numbers::pi * i / segments;
        points.push_back(projectDirection(std::cos(theta) * strike + std::sin(theta) * dip, projection));
    }
    return points;
}

std::vector<std::vector<Point2>> smallCircle(TPoint3D axis, double halfAngleDegrees, NetProjection projection,
                                             int segments) {
    axis = (1 / norm(axis)) * axis;
    const TPoint3D helper = std::abs(axis.z) < 0.9 ? TPoint3D{0, 0, 1} : TPoint3D{1, 0, 0};
    const TPoint3D across1 = (1 / norm(cross(axis, helper))) * cross(axis, helper);
    const TPoint3D across2 = cross(axis, across1);
    const double c = std::cos(radians(halfAngleDegrees)), r = std::sin(radians(halfAngleDegrees));
    const auto onCone = [&](double a) { return c * axis + (r * std::cos(a)) * across1 + (r * std::sin(a)) * across2; };
    const auto upward = [](const TPoint3D& v) { return v.z > 0; };
    std::vector<std::vector<Point2>> pieces(1);
    double previous = 0;
    for (int i = 0; i <= segments; ++i) {
        // The last point is the first one again, so the curve closes exactly.
        const double a = 2 * std::numbers::pi * (i % segments) / segments;
        const TPoint3D v = onCone(a);
        // Where the cone passes through the horizontal its plotted curve
        // reaches the rim and goes on from the opposite point of the rim.
        if (i > 0 && upward(v) != upward(onCone(previous))) {
            double below = previous, above = i == segments ? 2 * std::numbers::pi : a;
            const bool wasUpward = upward(onCone(previous));
            for (int halving = 0; halving < 60; ++halving) {
                const double middle = (below + above) / 2;
                (upward(onCone(middle)) == wasUpward ? below : above) = middle;
            }
            TPoint3D crossing = onCone(below);
            crossing.z = 0;
            const Point2 rim = projectDirection(wasUpward ? -1 * crossing : crossing, projection);
            pieces.back().push_back(rim);
            pieces.push_back({{-rim.x, -rim.y}});
        }
        previous = a;
        pieces.back().push_back(projectDirection(v, projection));
    }
    // A cone that crosses the rim started in the middle of a piece: the
    // last piece continues the first.
    if (pieces.size() > 1) {
        pieces.back().insert(pieces.back().end(), pieces.front().begin() + 1, pieces.front().end());
        pieces.erase(pieces.begin());
    }
    return pieces;
}

void addNetFrame(Figure& figure) {
    figure.items.push_back(CircleItem{{0, 0}, 1, Pen{Black, 0.008}, std::nullopt});
    for (int azimuth = 0; azimuth < 360; azimuth += 10) {
        const double length = azimuth % 90 == 0 ? 0.05 : 0.025;
        const TPoint3D d = lineVector(azimuth, 0);
        figure.items.push_back(polyline({{d.x, d.y}, {(1 + length) * d.x, (1 + length) * d.y}}, Pen{Black, 0.005}));
    }
    figure.items.push_back(polyline({{-0.03, 0}, {0.03, 0}}, Pen{Grey, 0.004}));
    figure.items.push_back(polyline({{0, -0.03}, {0, 0.03}}, Pen{Grey, 0.004}));
    TextItem north = text({0, 1.12}, "N", HAlign::Centre, 0.09);
    north.bold = true;
    figure.items.push_back(north);
    figure.items.push_back(text({1.08, 0}, "90", HAlign::Left, 0.05, Grey));
    figure.items.push_back(text({0, -1.1}, "180", HAlign::Centre, 0.05, Grey));
    figure.items.push_back(text({-1.08, 0}, "270", HAlign::Right, 0.05, Grey));
}

Pen frictionPen() { return Pen{FrictionColour, 0.007, LineStyle::Dashed}; }

std::string projectionTitle(NetProjection projection) {
    return projection == NetProjection::EqualAngle ? inLanguage("下半球等角投影", "lower hemisphere, equal angle")
                                                   : inLanguage("下半球等面积投影", "lower hemisphere, equal area");
}

bool drawableFriction(const std::optional<double>& angle) { return angle && *angle >= 0 && *angle < 90; }

double smallerFrictionAngle(const BlockParameters& parameters) {
    return frictionAngle(std::min(parameters.Friction1, parameters.Friction2));
}

std::optional<double> smallerFrictionAngle(const std::optional<BlockParameters>& parameters) {
    if (!parameters) return std::nullopt;
    return smallerFrictionAngle(*parameters);
}

double labelWidth(const std::string& text, double height) {
    double width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        width += (length >= 3 ? 1.0 : 0.6) * height;
        i += length;
    }
    return width;
}

std::string angleText(double degrees) {
    double value = std::round(degrees * 10) / 10;
    if (value == 0) value = 0; // no "-0"
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1).ptr;
    std::string text(buffer, end);
    if (text.ends_with(".0")) text.resize(text.size() - 2);
    return text + "°";
}

std::string attitudeLabel(double azimuthDegrees, double angleDegrees) {
    double azimuth = std::fmod(std::round(azimuthDegrees * 10) / 10, 360.0);
    if (azimuth < 0) azimuth += 360;
    return angleText(azimuth) + "∠" + angleText(angleDegrees);
}

Figure stereonetFigure(const StereonetInput& input) {
    Figure figure;
    figure.xMin = -1.3;
    figure.xMax = 2.75;
    figure.yMin = -1.3;
    figure.yMax = 1.3;
    addNetFrame(figure);

    LabelPlacer placer;
    for (const FigureItem& item : figure.items)
        if (const auto* text = std::get_if<TextItem>(&item)) placer.addLabel(*text);
    placer.addCurve(circlePoints(1));
    std::vector<std::vector<Point2>> circles;
    for (TPlaneRole role : planeRoles) {
        circles.push_back(greatCircle(input.Attitudes[static_cast<int>(role)], input.Projection));
        placer.addCurve(circles.back());
        figure.items.push_back(polyline(circles.back(), planePen(role)));
    }
    std::vector<Point2> crack;
    if (input.Crack) {
        crack = greatCircle(*input.Crack, input.Projection);
        placer.addCurve(crack);
        figure.items.push_back(polyline(crack, crackPen()));
    }
    if (drawableFriction(input.FrictionAngle)) {
        const double radius = netRadius(*input.FrictionAngle, input.Projection);
        figure.items.push_back(CircleItem{{0, 0}, radius, frictionPen(), std::nullopt});
        placer.addCurve(circlePoints(radius));
    }
    const auto intersection = intersectionLine(input.Attitudes[static_cast<int>(TPlaneRole::FirstCuttingPlane)],
                                               input.Attitudes[static_cast<int>(TPlaneRole::SecondCuttingPlane)]);
    if (intersection) {
        placer.addCurve({projectLine(*intersection, input.Projection)});
        addIntersection(figure, placer, *intersection, input.Projection);
    }
    for (std::size_t i = 0; i < circles.size(); ++i)
        addPlacedLabel(figure, placer, tagCandidates(circles[i]), planeTag(planeRoles[i]), TextHeight,
                       planeColour(planeRoles[i]));
    if (!crack.empty()) addPlacedLabel(figure, placer, tagCandidates(crack), crackTag(), TextHeight, CrackColour);
    if (drawableFriction(input.FrictionAngle))
        addPlacedLabel(figure, placer, circlePoints(netRadius(*input.FrictionAngle, input.Projection) + TagOffset, 24),
                       "φ=" + angleText(*input.FrictionAngle), 0.055, FrictionColour);
    addLegend(figure, input, intersection);
    return figure;
}

} // namespace trelmox
