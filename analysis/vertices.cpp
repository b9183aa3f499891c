#include "analysis/vertices.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "analysis/computation_counts.h"
#include "model/angles.h"
#include "model/checked.h"
#include "model/language.h"
#include "model/numtext.h"

namespace trelmox {

namespace {

// 3x3 determinant of the rows (a[r], b[r], c[r]) as six triple products
// summed in a fixed order, so that parallel planes give exactly zero.
long double determinant(const long double (&a)[3], const long double (&b)[3], const long double (&c)[3]) {
    return a[0] * b[1] * c[2] - a[0] * c[1] * b[2] + b[0] * c[1] * a[2] - b[0] * a[1] * c[2] + c[0] * a[1] * b[2] -
           c[0] * b[1] * a[2];
}

// A corner beyond the range of a double (a nearly singular triple under a
// huge slope height) is an overflow, never an infinity in the drawing.
double cornerCoordinate(long double value) {
    if (!(std::fabs(value) <= std::numeric_limits<double>::max()))
        throw Error::arithmetic(OverflowMessage, ArithmeticFault::Overflow);
    return double(value);
}

// The dip quadrants that fit each strike sense. The up-dip vector's
// horizontal part points away from the dip: (signX cos a, signY sin a) cos b.
struct UpDipCase {
    const char *strikeEW, *dipNS, *dipEW;
    int signX, signY;
};
constexpr UpDipCase UpDipCases[] = {
    {"E", "N", "W", 1, -1},
    {"E", "S", "E", -1, 1},
    {"W", "N", "E", -1, -1},
    {"W", "S", "W", 1, 1},
};

// The row of UpDipCases that a plane's letters fit.
int upDipCaseOf(QuadrantCase quadrantCase) {
    switch (quadrantCase) {
    case QuadrantCase::StrikeEastDipNorthWest: return 0;
    case QuadrantCase::StrikeEastDipSouthEast: return 1;
    case QuadrantCase::StrikeWestDipNorthEast: return 2;
    case QuadrantCase::StrikeWestDipSouthWest: return 3;
    }
    return 1;
}

// Drawing plane numbers of each corner, in the order they are computed.
struct CornerTriple {
    FailedTriple planes;
    TPoint3D BlockVertices::*corner;
};
constexpr CornerTriple CornerTriples[] = {
    {{1, 2, 3}, &BlockVertices::Vertex3},
    {{1, 2, 4}, &BlockVertices::Vertex4},
    {{1, 3, 4}, &BlockVertices::Vertex2},
    {{2, 3, 4}, &BlockVertices::Vertex1},
};

} // namespace

std::string failedTripleMessage(const FailedTriple& triple) {
    if (messageLanguage() == Language::English)
        return "planes " + std::to_string(triple.i) + ", " + std::to_string(triple.j) + " and " +
               std::to_string(triple.k) + " cut out no block";
    return std::to_string(triple.i) + "、" + std::to_string(triple.j) + "、" + std::to_string(triple.k) +
           "三平面不能切出块体";
}

// A plane whose letters fit no case keeps the vectors of the plane before it;
// a strike that fits but a dip that does not keeps the old up-dip vector
// with the new strike vector. An angle text is read only where the letters
// use it.
VertexGeometry::PlaneReading VertexGeometry::readingOf(const TPlaneQuadrant& plane) {
    PlaneReading reading;
    const bool strikeEast = plane.StrikeEW == "E";
    if (plane.StrikeNS == "N" && (strikeEast || plane.StrikeEW == "W")) {
        reading.StrikeFits = true;
        reading.StrikeEast = strikeEast;
        reading.StrikeAngle = textToFloat(plane.StrikeAngle);
        for (const UpDipCase& c : UpDipCases)
            if (plane.StrikeEW == c.strikeEW && plane.DipNS == c.dipNS && plane.DipEW == c.dipEW) {
                reading.DipFits = true;
                reading.SignX = c.signX;
                reading.SignY = c.signY;
                reading.DipAngle = textToFloat(plane.DipAngle);
            }
    }
    return reading;
}

VertexGeometry::PlaneReading VertexGeometry::readingOf(const QuadrantAttitude& plane) {
    const UpDipCase& c = UpDipCases[upDipCaseOf(plane.Case)];
    return {true, c.strikeEW[0] == 'E', true, c.signX, c.signY, plane.StrikeAngle, plane.DipAngle};
}

void VertexGeometry::readPlane(const PlaneReading& plane, const Vec& anchor, Plane& equation) {
    if (plane.StrikeFits) {
        const auto [sinA, cosA] = sinCosOfDegrees<long double>(plane.StrikeAngle);
        strike_ = plane.StrikeEast ? Vec{sinA, cosA, 0} : Vec{-sinA, cosA, 0};
        if (plane.DipFits) {
            const auto [sinB, cosB] = sinCosOfDegrees<long double>(plane.DipAngle);
            upDip_ = {plane.SignX * cosA * cosB, plane.SignY * sinA * cosB, sinB};
        }
    }
    const Vec& u = strike_;
    const Vec& v = upDip_;
    normal_ = {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    equation = {normal_.x, normal_.y, normal_.z, -(normal_.x * anchor.x + normal_.y * anchor.y + normal_.z * anchor.z)};
}

// Cramer's rule on planes i, j, k; false when the determinant is exactly 0.
bool VertexGeometry::intersect(const FailedTriple& triple, TPoint3D& corner) const {
    const Plane* rows[3] = {&planes_[triple.i - 1], &planes_[triple.j - 1], &planes_[triple.k - 1]};
    long double a[3], b[3], c[3], minusD[3];
    for (int r = 0; r < 3; ++r) {
        a[r] = rows[r]->A;
        b[r] = rows[r]->B;
        c[r] = rows[r]->C;
        minusD[r] = -rows[r]->D;
    }
    const long double det = determinant(a, b, c);
    if (det == 0) return false;
    corner = {cornerCoordinate(determinant(minusD, b, c) / det), cornerCoordinate(determinant(a, minusD, c) / det),
              cornerCoordinate(determinant(a, b, minusD) / det)};
    return true;
}

std::vector<FailedTriple> VertexGeometry::compute(const std::array<TPlaneQuadrant, PlaneCount>& drawingPlanes,
                                                  const std::string& slopeHeightText) {
    ++computationCounts().Corners;
    const double slopeHeight = textToFloat(slopeHeightText);
    int p = 0;
    return computeFrom(slopeHeight, [&] { return readingOf(drawingPlanes[p++]); });
}

std::vector<FailedTriple> VertexGeometry::computeForBlock(const PlaneQuadrantArray& quadrants,
                                                          const std::string& slopeHeightText) {
    auto role = [&](TPlaneRole r) { return quadrants[int(r)]; };
    return compute({role(TPlaneRole::SlopeTopSurface), role(TPlaneRole::SlopeFace), role(TPlaneRole::FirstCuttingPlane),
                    role(TPlaneRole::SecondCuttingPlane)},
                   slopeHeightText);
}

std::vector<FailedTriple> VertexGeometry::computeForBlock(const QuadrantAttitudeArray& quadrants, double slopeHeight) {
    ++computationCounts().Corners;
    constexpr TPlaneRole DrawingOrder[] = {TPlaneRole::SlopeTopSurface, TPlaneRole::SlopeFace,
                                           TPlaneRole::FirstCuttingPlane, TPlaneRole::SecondCuttingPlane};
    int p = 0;
    return computeFrom(slopeHeight, [&] { return readingOf(quadrants[int(DrawingOrder[p++])]); });
}

// The planes are read one by one as the computation reaches them, so that a
// text that is not a number stops it with the planes before it read.
template <typename NextPlane>
std::vector<FailedTriple> VertexGeometry::computeFrom(double slopeHeight, NextPlane nextPlane) {
    const Vec anchors[PlaneCount] = {{0, 0, static_cast<long double>(slopeHeight)}, {}, {}, {}};
    for (int p = 0; p < PlaneCount; ++p) readPlane(nextPlane(), anchors[p], planes_[p]);

    std::vector<FailedTriple> failed;
    for (const CornerTriple& t : CornerTriples) {
        TPoint3D corner;
        if (intersect(t.planes, corner))
            vertices_.*t.corner = corner;
        else
            failed.push_back(t.planes);
    }
    return failed;
}

std::array<TPlaneEquation, PlaneCount> VertexGeometry::planes() const {
    std::array<TPlaneEquation, PlaneCount> result;
    for (int p = 0; p < PlaneCount; ++p)
        result[p] = {double(planes_[p].A), double(planes_[p].B), double(planes_[p].C), double(planes_[p].D)};
    return result;
}

} // namespace trelmox
