#include "analysis/polyhedron.h"

#include <algorithm>
#include <cmath>

#include "analysis/vec3.h"
#include "model/language.h"
#include "model/angles.h"

namespace trelmox {

std::string refusalMessage(WedgeRefusal refusal) {
    switch (refusal) {
    case WedgeRefusal::ToeNotBelowTop:
        return inLanguage("坡顶面不在坡脚上方，不能切除块体",
                          "the upper slope is not above the toe: no block can be cut out");
    case WedgeRefusal::ParallelPlanes:
        return inLanguage("两切割面平行，没有交线，不能切除块体",
                          "the two planes are parallel and have no line of intersection: no block can be cut out");
    case WedgeRefusal::HorizontalLine:
        return inLanguage(
            "两切割面倾向相同或相反，交线水平，不能切除块体",
            "the two planes dip in the same or opposite directions, so their line of intersection is horizontal: no block can be cut out");
    case WedgeRefusal::NoDaylight:
        return inLanguage(
            "两切割面的交线不在坡面出露，不能切除块体",
            "the line of intersection of the two planes does not daylight in the slope face: no block can be cut out");
    case WedgeRefusal::MissesUpperSlope:
        return inLanguage(
            "两切割面的交线不在坡顶线后方与坡顶面相交，不能切除块体",
            "the line of intersection of the two planes does not meet the upper slope behind the crest: no block can be cut out");
    case WedgeRefusal::Degenerate:
        return inLanguage("四个平面围不成有限的楔体，不能切除块体",
                          "the four planes enclose no finite wedge: no block can be cut out");
    case WedgeRefusal::CrackMissesWedge:
        return inLanguage(
            "张裂缝未在坡脚与坡顶面之间切过两切割面的交线，不切割楔块",
            "the tension crack does not cross the line of intersection between the toe and the upper slope, so it does not cut the wedge");
    }
    return inLanguage("不能切除块体", "no block can be cut out");
}

bool horizontalIntersection(const TPoint3D& a, const TPoint3D& b) {
    constexpr double bound = 8 * 0x1p-53;
    return std::fabs(a.x * b.y - a.y * b.x) <= bound * (std::fabs(a.x * b.y) + std::fabs(a.y * b.x));
}

TPoint3D upwardNormal(const TPlaneAttitude& attitude) {
    const auto dip = sinCosOfDegrees<double>(attitude.DipAngle);
    const auto direction = sinCosOfDegrees<double>(attitude.DipDirection);
    return {dip.sin * direction.sin, dip.sin * direction.cos, dip.cos};
}

WedgePlanes wedgePlanes(const PlaneAttitudeArray& attitudes, const std::optional<TensionCrack>& crack) {
    return {upwardNormal(attitudes[int(TPlaneRole::FirstCuttingPlane)]),
            upwardNormal(attitudes[int(TPlaneRole::SecondCuttingPlane)]),
            upwardNormal(attitudes[int(TPlaneRole::SlopeTopSurface)]),
            upwardNormal(attitudes[int(TPlaneRole::SlopeFace)]), crack ? upwardNormal(crack->Attitude) : TPoint3D{}};
}

namespace {

bool finite(const TPoint3D& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// The tetrahedron's corners: 0 the toe, 1 the upper end of the line of
// intersection, 2 and 3 the crest corners on plane 1 and plane 2. Each face
// lies opposite one corner.
constexpr WedgeSurface OppositeFace[4] = {WedgeSurface::UpperSlope, WedgeSurface::SlopeFace, WedgeSurface::SecondPlane,
                                          WedgeSurface::FirstPlane};

struct Tetrahedron {
    std::array<TPoint3D, 4> Corner;
    TPoint3D Line; // unit vector up the line of intersection, into the slope
};

// The point where the ray from the origin along `direction` meets the plane
// normal . p = offset; not finite when it runs parallel to the plane.
TPoint3D rayMeetsPlane(const TPoint3D& direction, const TPoint3D& normal, double offset) {
    return (offset / dot(normal, direction)) * direction;
}

std::optional<WedgeRefusal> tetrahedron(const WedgePlanes& planes, const TPoint3D& faceOut, double topOffset,
                                        Tetrahedron& t) {
    if (!(topOffset > 0)) return WedgeRefusal::ToeNotBelowTop;
    TPoint3D line = cross(planes.FirstPlane, planes.SecondPlane);
    const double length = norm(line);
    if (length == 0) return WedgeRefusal::ParallelPlanes;
    if (horizontalIntersection(planes.FirstPlane, planes.SecondPlane)) return WedgeRefusal::HorizontalLine;
    line = (line.z < 0 ? -1 / length : 1 / length) * line;
    // The line must rise from the toe into the rock behind the face, so that
    // the wedge slides down it and out through the face.
    if (!(line.z > 0 && dot(faceOut, line) < 0)) return WedgeRefusal::NoDaylight;
    if (!(dot(planes.UpperSlope, line) > 0)) return WedgeRefusal::MissesUpperSlope;
    t.Line = line;
    t.Corner[0] = {};
    t.Corner[1] = rayMeetsPlane(line, planes.UpperSlope, topOffset);
    t.Corner[2] = rayMeetsPlane(cross(planes.FirstPlane, faceOut), planes.UpperSlope, topOffset);
    t.Corner[3] = rayMeetsPlane(cross(planes.SecondPlane, faceOut), planes.UpperSlope, topOffset);
    const double volume6 = dot(t.Corner[1], cross(t.Corner[2], t.Corner[3]));
    if (!finite(t.Corner[1]) || !finite(t.Corner[2]) || !finite(t.Corner[3]) || !std::isfinite(volume6) || volume6 == 0)
        return WedgeRefusal::Degenerate;
    return std::nullopt;
}

// Where the crack cuts the upper slope: the crest point in the vertical plane
// through the line of intersection, moved back along the line's trend by the
// crack's horizontal distance and kept on the upper slope.
std::optional<TPoint3D> crackAnchor(const TPoint3D& line, const TPoint3D& faceOut, const TPoint3D& top,
                                    double topOffset, double distance) {
    const double horizontal = std::sqrt(line.x * line.x + line.y * line.y);
    if (horizontal == 0) return std::nullopt;
    const TPoint3D back{line.x / horizontal, line.y / horizontal, 0};
    // In that vertical plane p = a * back + z * up: the face a f.back + z f.z = 0,
    // the upper slope a t.back + z t.z = topOffset.
    const double fb = dot(faceOut, back), tb = dot(top, back);
    const double det = fb * top.z - faceOut.z * tb;
    const double crest = -faceOut.z * topOffset / det;
    const double a = crest + distance;
    const double z = (topOffset - a * tb) / top.z;
    const TPoint3D anchor = a * back + TPoint3D{0, 0, z};
    if (!finite(anchor)) return std::nullopt;
    return anchor;
}

void add(WedgePolygon& polygon, const TPoint3D& p, WedgeSurface border) {
    if (polygon.Count < 4) polygon.Points[polygon.Count] = p, polygon.Borders[polygon.Count] = border, ++polygon.Count;
}

TPoint3D crossing(const TPoint3D& p, const TPoint3D& q, double dp, double dq) { return p + (dp / (dp - dq)) * (q - p); }

// The area of a convex polygon, as a fan of triangles from point 0.
inline double polygonArea(const WedgePolygon& f) {
    if (f.Count < 3) return 0;
    const TPoint3D first = f.Points[1] - f.Points[0];
    TPoint3D twice = cross(first, f.Points[2] - f.Points[0]);
    if (f.Count == 4) twice = twice + cross(f.Points[2] - f.Points[0], f.Points[3] - f.Points[0]);
    return 0.5 * norm(twice);
}

// The triangle of the face opposite corner `opposite`, clipped to the
// corners with side >= 0 (Sutherland-Hodgman); an edge from a point where
// the boundary leaves the kept side to where it comes back lies on the crack.
void storeFace(WedgeShape& s, const Tetrahedron& t, const std::array<double, 4>& side, int opposite,
               const TPoint3D& outward) {
    WedgePolygon& f = s.Faces[int(OppositeFace[opposite])];
    int corner[3], n = 0;
    for (int i = 0; i < 4; ++i)
        if (i != opposite) corner[n++] = i;
    for (int k = 0; k < 3; ++k) {
        const int p = corner[k], q = corner[(k + 1) % 3], third = corner[(k + 2) % 3];
        // Edge p-q also bounds the face opposite this triangle's third corner.
        const WedgeSurface shared = OppositeFace[third];
        const double dp = side[p], dq = side[q];
        if (dp >= 0) add(f, t.Corner[p], shared);
        if ((dp >= 0) != (dq >= 0))
            add(f, crossing(t.Corner[p], t.Corner[q], dp, dq), dp >= 0 ? WedgeSurface::Crack : shared);
    }
    f.Normal = outward;
}

// The crack's face: the points where it cuts the tetrahedron's edges (and
// corners it passes through), in order around their centre.
void storeCrackFace(WedgeShape& s, const Tetrahedron& t, const std::array<double, 4>& side) {
    WedgePolygon cut;
    for (int i = 0; i < 4; ++i) {
        if (side[i] == 0) add(cut, t.Corner[i], WedgeSurface::Crack);
        for (int j = i + 1; j < 4; ++j)
            if ((side[i] > 0 && side[j] < 0) || (side[i] < 0 && side[j] > 0))
                add(cut, crossing(t.Corner[i], t.Corner[j], side[i], side[j]), WedgeSurface::Crack);
    }
    TPoint3D centre{};
    for (int i = 0; i < cut.Count; ++i) centre = centre + cut.Points[i];
    centre = (1.0 / cut.Count) * centre;
    const TPoint3D u = cut.Points[0] - centre, v = cross(s.CrackInward, u);
    std::array<double, 4> angle{};
    for (int i = 0; i < cut.Count; ++i)
        angle[i] = std::atan2(dot(cut.Points[i] - centre, v), dot(cut.Points[i] - centre, u));
    WedgePolygon& f = s.Faces[int(WedgeSurface::Crack)];
    f = cut;
    // Insertion sort by angle: at most four points.
    for (int i = 1; i < f.Count; ++i)
        for (int k = i; k > 0 && angle[k - 1] > angle[k]; --k) {
            std::swap(angle[k - 1], angle[k]);
            std::swap(f.Points[k - 1], f.Points[k]);
        }
    f.Area = polygonArea(f);
    f.Normal = -1 * s.CrackInward;
}

// Volume and centroid as a fan of tetrahedra from the toe: the faces through
// the toe (both cutting planes and the slope face) add nothing, the upper
// slope's and the crack's add one tetrahedron per triangle.
void storeVolume(WedgeShape& s) {
    double volume = 0;
    TPoint3D moment{};
    for (WedgeSurface face : {WedgeSurface::UpperSlope, WedgeSurface::Crack}) {
        const WedgePolygon& f = s.Faces[int(face)];
        for (int k = 1; k + 1 < f.Count; ++k) {
            const double v = std::fabs(dot(f.Points[0], cross(f.Points[k], f.Points[k + 1]))) / 6;
            volume += v;
            moment = moment + (v / 4) * (f.Points[0] + f.Points[k] + f.Points[k + 1]);
        }
    }
    s.Volume = volume;
    s.Centroid = (1 / volume) * moment;
}

} // namespace

std::optional<WedgeRefusal> buildWedgeShape(const WedgePlanes& planes, double slopeHeight, bool overhangingFace,
                                            const TensionCrack* crack, WedgeShape& s) {
    const TPoint3D faceOut = overhangingFace ? -1 * planes.SlopeFace : planes.SlopeFace;
    const double topOffset = slopeHeight * planes.UpperSlope.z; // upper slope: t . p = t . (0, 0, H)
    Tetrahedron t;
    if (const auto refusal = tetrahedron(planes, faceOut, topOffset, t)) return refusal;
    for (WedgePolygon& f : s.Faces) f.Count = 0, f.Area = 0, f.Normal = {};
    s.CrackInward = {};
    s.Sliding = -1 * t.Line;
    // Each cutting plane's inward side is that of the corner off it.
    s.Inward1 = (dot(planes.FirstPlane, t.Corner[3]) > 0 ? 1 : -1) * planes.FirstPlane;
    s.Inward2 = (dot(planes.SecondPlane, t.Corner[2]) > 0 ? 1 : -1) * planes.SecondPlane;
    s.LineTop = s.LineEnd = t.Corner[1];
    std::array<double, 4> side{1, 1, 1, 1};
    if (crack) {
        const auto anchor = crackAnchor(t.Line, faceOut, planes.UpperSlope, topOffset, crack->Distance);
        const double toe = anchor ? -dot(planes.Crack, *anchor) : 0;
        if (toe == 0) return WedgeRefusal::CrackMissesWedge;
        s.CrackInward = (toe > 0 ? 1 : -1) * planes.Crack;
        for (int i = 0; i < 4; ++i) side[i] = dot(s.CrackInward, t.Corner[i] - *anchor);
        if (!(side[1] < 0)) return WedgeRefusal::CrackMissesWedge;
        s.LineEnd = crossing(t.Corner[0], t.Corner[1], side[0], side[1]);
        storeCrackFace(s, t, side);
    }
    const TPoint3D outward[4] = {planes.UpperSlope, faceOut, -1 * s.Inward2, -1 * s.Inward1};
    for (int corner = 0; corner < 4; ++corner) storeFace(s, t, side, corner, outward[corner]);
    for (int corner = 0; corner < 4; ++corner) {
        WedgePolygon& f = s.Faces[int(OppositeFace[corner])];
        f.Area = polygonArea(f);
    }
    storeVolume(s);
    return std::nullopt;
}

double edgeLength(const WedgeShape& s, WedgeSurface a, WedgeSurface b) {
    // The crack's own face keeps no borders; its edges are found from the other side.
    if (a == WedgeSurface::Crack) std::swap(a, b);
    const WedgePolygon& f = s.Faces[int(a)];
    double length = 0;
    for (int i = 0; i < f.Count; ++i)
        if (f.Borders[i] == b) length = std::max(length, norm(f.Points[(i + 1) % f.Count] - f.Points[i]));
    return length;
}

TPoint3D directionVector(const LineDirection& direction) { return lineVector(direction.Trend, direction.Plunge); }

LineDirection directionOf(const TPoint3D& v) {
    double trend = degrees(std::atan2(v.x, v.y));
    if (trend < 0) trend += 360;
    return {trend, degrees(std::atan2(-v.z, std::sqrt(v.x * v.x + v.y * v.y)))};
}

LineDirection intersectionDirection(const WedgeShape& s) { return directionOf(s.Sliding); }

std::vector<TPoint3D> wedgeCorners(const WedgeShape& s) {
    std::vector<TPoint3D> corners;
    for (const WedgePolygon& f : s.Faces)
        for (int i = 0; i < f.Count; ++i)
            if (std::find(corners.begin(), corners.end(), f.Points[i]) == corners.end()) corners.push_back(f.Points[i]);
    return corners;
}

} // namespace trelmox
