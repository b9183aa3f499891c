#include "analysis/geometry.h"

#include <cmath>
#include <numbers>

#include "analysis/arithmetic.h"
#include "model/checked.h"

namespace trelmox {

namespace {

// Corners far out (from a nearly singular intersection) can overflow any of
// these; each result is tested so that the user hears of the overflow and
// not of a NaN it turned into later.
TPoint3D difference(const TPoint3D& p, const TPoint3D& q) {
    return {noOverflow(p.x - q.x), noOverflow(p.y - q.y), noOverflow(p.z - q.z)};
}

TPoint3D cross(const TPoint3D& p, const TPoint3D& q) {
    return {noOverflow(p.y * q.z - p.z * q.y), noOverflow(p.z * q.x - p.x * q.z), noOverflow(p.x * q.y - p.y * q.x)};
}

double dot(const TPoint3D& p, const TPoint3D& q) { return noOverflow(p.x * q.x + p.y * q.y + p.z * q.z); }

double length(const TPoint3D& p) { return std::sqrt(dot(p, p)); }

// Distance of the toe from the plane of the top face (Vertex4, Vertex2,
// Vertex3); 0/0 when the top corners do not span a plane.
double toeHeight(const BlockVertices& v, const TPoint3D& b0, const TPoint3D& b1) {
    const TPoint3D normal = cross(b0, b1);
    const double d = -dot(normal, v.Vertex4);
    return quotient(std::fabs(noOverflow(dot(normal, v.Vertex1) + d)), length(normal));
}

// Area of the triangle spanned by b0 and b1 from the angle between them.
double topArea(const TPoint3D& b0, const TPoint3D& b1) {
    const double cosTheta = quotient(std::fabs(dot(b0, b1)), noOverflow(length(b0) * length(b1)));
    const double sinTheta = root(1 - cosTheta * cosTheta);
    return noOverflow(0.5 * length(b1) * length(b0) * sinTheta);
}

// Plunge of the line Vertex1 -> Vertex2, principal value in degrees.
double plunge(const TPoint3D& toe, const TPoint3D& upper) {
    const TPoint3D along = difference(upper, toe);
    const double horizontal = std::sqrt(noOverflow(along.x * along.x + along.y * along.y));
    return std::atan(quotient(along.z, horizontal)) * 180 / std::numbers::pi;
}

} // namespace

WedgeGeometry wedgeGeometry(const BlockVertices& v) {
    const TPoint3D b0 = difference(v.Vertex2, v.Vertex4);
    const TPoint3D b1 = difference(v.Vertex3, v.Vertex4);
    WedgeGeometry g;
    g.Height = toeHeight(v, b0, b1);
    g.Volume = noOverflow((1.0 / 3 * topArea(b0, b1)) * g.Height);
    g.IntersectionPlunge = plunge(v.Vertex1, v.Vertex2);
    return g;
}

} // namespace trelmox
