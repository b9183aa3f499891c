#include "analysis/orientation.h"

#include <algorithm>
#include <cmath>

#include "analysis/vec3.h"

namespace trelmox {

TPoint3D planePole(const TPlaneAttitude& plane) { return lineVector(plane.DipDirection + 180, 90 - plane.DipAngle); }

TPlaneAttitude planeOfPole(TPoint3D pole) {
    const LineAttitude line = lineAttitude(pole);
    return {90 - line.Plunge, std::fmod(line.Trend + 180, 360.0)};
}

LineAttitude lineAttitude(TPoint3D direction) {
    direction = (1 / norm(direction)) * direction;
    if (direction.z > 0) direction = -1 * direction;
    if (direction.x == 0 && direction.y == 0) return {0, 90};
    double trend = degrees(std::atan2(direction.x, direction.y));
    if (trend < 0) trend += 360;
    if (trend >= 360) trend = 0;
    return {trend, degrees(std::asin(std::min(1.0, -direction.z)))};
}

std::optional<LineAttitude> intersectionLine(const TPlaneAttitude& a, const TPlaneAttitude& b) {
    const TPoint3D line = cross(planePole(a), planePole(b));
    if (norm(line) < 1e-9) return std::nullopt;
    return lineAttitude(line);
}

double apparentDip(const TPlaneAttitude& plane, double trendDegrees) {
    const double dip = radians(plane.DipAngle);
    return degrees(std::atan2(std::sin(dip) * std::cos(radians(trendDegrees - plane.DipDirection)), std::cos(dip)));
}

double frictionAngle(double frictionCoefficient) { return degrees(std::atan(frictionCoefficient)); }

} // namespace trelmox
