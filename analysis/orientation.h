#pragma once
// Directions of planes and lines in the block frame (x east, y north,
// z up): a plane's pole, a line's trend and plunge, the common line of two
// planes, the apparent dip of a plane along a trend. Angles in degrees,
// azimuths clockwise from north.
#include <optional>

#include "model/block.h"

namespace trelmox {

// A line's attitude: trend (azimuth of its downward horizontal projection,
// 0..360) and plunge (degrees below horizontal, 0..90).
struct LineAttitude {
    double Trend = 0, Plunge = 0;
};

// The unit normal of a plane, pointing down (for a vertical plane:
// horizontal, opposite to its dip direction).
TPoint3D planePole(const TPlaneAttitude& plane);

// The plane whose normal is `pole` (either sense, any length > 0): dip
// 0..90, dip direction 0..360.
TPlaneAttitude planeOfPole(TPoint3D pole);

// Trend and plunge of the line along `direction` (any length > 0), taken in
// its downward sense; a vertical line has trend 0.
LineAttitude lineAttitude(TPoint3D direction);

// The common line of two planes, pointing down; nothing for parallel planes.
std::optional<LineAttitude> intersectionLine(const TPlaneAttitude& a, const TPlaneAttitude& b);

// The dip of the plane's trace in a vertical section along `trendDegrees`,
// positive where the plane descends in that trend, -90..90.
double apparentDip(const TPlaneAttitude& plane, double trendDegrees);

// The friction angle arctan f in degrees.
double frictionAngle(double frictionCoefficient);

} // namespace trelmox
