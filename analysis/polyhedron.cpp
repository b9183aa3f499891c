#include "analysis/polyhedron.h"

#include <algorithm>
#include <cmath>

#include "analysis/vec3.h"
// After vec3.h: the formula finds its dot and cross for TPoint3D.
#include "analysis/polygon_formula.h"
#include "analysis/tetrahedron_formula.h"
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

bool horizontalIntersection(const TPoint3D& a, const TPoint3D& b) { return horizontalIntersectionOf(a, b); }

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

// The tetrahedron's corners by number, the toe at the origin.
using Corners = TPoint3D[4];

// The first way the planes cut out no block.
struct FirstRefusal {
    std::optional<WedgeRefusal> Why;
    bool refuse(bool where, WedgeRefusal why) {
        if (where) Why = why;
        return where;
    }
};

// The crack's face: where it cuts the tetrahedron, in order around its
// centre. Out of line: the wedges without a crack, most of them, keep a
// small frame.
[[gnu::noinline]] void storeCrackFace(WedgeShape& s, const Corners& corner, const double (&side)[4]) {
    WedgePolygon& cut = s.Faces[int(WedgeSurface::Crack)];
    addCrackCutsOf(cut, corner, side);
    sortAroundCentreOf(cut, s.CrackInward, true);
    cut.Area = polygonAreaOf(cut);
    cut.Normal = -1 * s.CrackInward;
}

} // namespace

std::optional<WedgeRefusal> buildWedgeShape(const WedgePlanes& planes, double slopeHeight, bool overhangingFace,
                                            const TensionCrack* crack, WedgeShape& s) {
    const TPoint3D faceOut = overhangingFace ? -1 * planes.SlopeFace : planes.SlopeFace;
    const double topOffset = slopeHeight * planes.UpperSlope.z; // upper slope: t . p = t . (0, 0, H)
    FirstRefusal refused;
    const TetrahedronOf<TPoint3D> t =
        tetrahedronOf(planes.FirstPlane, planes.SecondPlane, planes.UpperSlope, faceOut, topOffset, refused);
    if (refused.Why) return refused.Why;
    const Corners corner{TPoint3D{}, t.C1, t.C2, t.C3};
    for (WedgePolygon& f : s.Faces) f.Count = 0, f.Area = 0, f.Normal = {};
    s.CrackInward = {};
    s.OpeningOnTop = s.OpeningOnFace = std::numeric_limits<double>::infinity();
    s.Sliding = -1 * t.Line;
    // Each cutting plane's inward side is that of the corner off it.
    s.Inward1 = inwardNormalOf(planes.FirstPlane, t.C3), s.Inward2 = inwardNormalOf(planes.SecondPlane, t.C2);
    s.LineTop = s.LineEnd = corner[1];
    double side[4] = {1, 1, 1, 1};
    if (crack) {
        const CrackAnchorOf<TPoint3D> anchor =
            crackAnchorOf(t.Line, faceOut, planes.UpperSlope, topOffset, crack->Distance, planes.Crack);
        const double toe = anchor.Toe;
        if (toe == 0) return WedgeRefusal::CrackMissesWedge;
        s.CrackInward = (toe > 0 ? 1 : -1) * planes.Crack;
        for (int i = 0; i < 4; ++i) side[i] = dot(s.CrackInward, corner[i] - anchor.At);
        if (!(side[1] < 0)) return WedgeRefusal::CrackMissesWedge;
        s.LineEnd = crossingOf(corner[0], corner[1], side[0], side[1]);
        s.OpeningOnTop = crackOpeningOf(corner, side, 0);
        s.OpeningOnFace = crackOpeningOf(corner, side, 1);
        storeCrackFace(s, corner, side);
    }
    const TPoint3D outward[4] = {planes.UpperSlope, faceOut, -1 * s.Inward2, -1 * s.Inward1};
    // Volume and centroid as a fan of tetrahedra from the toe: the faces
    // through the toe (both cutting planes and the slope face) add nothing,
    // the upper slope's (opposite corner 0) and the crack's add one
    // tetrahedron per triangle.
    double volume = 0;
    TPoint3D moment{};
    // The faces are filled in place (each was set empty above), all of them
    // before any area: unrolled, the clipping's indices are constants and
    // the areas' square roots overlap.
#pragma GCC unroll 4
    for (int c = 0; c < 4; ++c) {
        WedgePolygon& f = s.Faces[int(OppositeFaceOf[c])];
        clipFaceInto(f, corner, side, c);
        f.Normal = outward[c];
    }
#pragma GCC unroll 4
    for (int c = 0; c < 4; ++c) {
        WedgePolygon& f = s.Faces[int(OppositeFaceOf[c])];
        f.Area = polygonAreaOf(f);
    }
    addFanOf(s.Faces[int(WedgeSurface::UpperSlope)], volume, moment);
    addFanOf(s.Faces[int(WedgeSurface::Crack)], volume, moment);
    s.Volume = volume;
    s.Centroid = (1 / volume) * moment;
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
