#pragma once
// Vector arithmetic on block-frame points (x east, y north, z up), shared
// by the wedge geometry and the pictures.
#include <cmath>
#include <numbers>

#include "model/block.h"

namespace trelmox {

inline TPoint3D operator+(const TPoint3D& a, const TPoint3D& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline TPoint3D operator-(const TPoint3D& a, const TPoint3D& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline TPoint3D operator*(double s, const TPoint3D& a) { return {s * a.x, s * a.y, s * a.z}; }
inline double dot(const TPoint3D& a, const TPoint3D& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline TPoint3D cross(const TPoint3D& a, const TPoint3D& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double norm(const TPoint3D& a) { return std::sqrt(dot(a, a)); }

inline double radians(double degrees) { return degrees * std::numbers::pi / 180; }
inline double degrees(double radians) { return radians * 180 / std::numbers::pi; }

// Unit vector of a line with the given trend (azimuth) and plunge (below
// horizontal), both in degrees.
// The trend is taken modulo 360 first (exactly): any finite azimuth names a
// direction, and one near the largest double would overflow in radians.
inline TPoint3D lineVector(double trendDegrees, double plungeDegrees) {
    const double t = radians(std::fmod(trendDegrees, 360)), p = radians(plungeDegrees);
    return {std::sin(t) * std::cos(p), std::cos(t) * std::cos(p), -std::sin(p)};
}

} // namespace trelmox
