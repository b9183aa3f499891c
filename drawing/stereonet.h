#pragma once
// Lower-hemisphere stereographic net of a block: the four planes as great
// circles, the cutting planes' line of intersection as a point with its
// trend and plunge, the friction circle and north. The net is the unit
// circle of the figure's frame, north up (+y), east right (+x).
#include <optional>
#include <string>
#include <vector>

#include "drawing/figure.h"
#include "model/block.h"

namespace trelmox {

enum class NetProjection {
    EqualAngle, // Wulff net: circles stay circles, angles are true
    EqualArea   // Schmidt net: equal solid angles cover equal areas
};

// A line's attitude: trend (azimuth of its downward horizontal projection,
// 0..360) and plunge (degrees below horizontal, 0..90).
struct LineAttitude {
    double Trend = 0, Plunge = 0;
};

// Distance from the net's centre of a line plunging `plungeDegrees`.
double netRadius(double plungeDegrees, NetProjection projection);

// Where a line plots; an upward line plots as its downward opposite.
Point2 projectLine(const LineAttitude& line, NetProjection projection);

// The dip line of a plane (trend = dip direction, plunge = dip).
LineAttitude dipLine(const TPlaneAttitude& plane);

// The great circle of a plane from one strike end through the dip line to
// the other strike end, `segments` + 1 points.
std::vector<Point2> greatCircle(const TPlaneAttitude& plane, NetProjection projection, int segments = 180);

// The common line of two planes, pointing down; nothing for parallel planes.
std::optional<LineAttitude> intersectionLine(const TPlaneAttitude& a, const TPlaneAttitude& b);

// The friction angle arctan f in degrees, for the friction circle.
double frictionAngle(double frictionCoefficient);

// The friction angle of the weaker cutting plane, arctan(min(f1, f2)), from
// the parameter texts; nothing while either text is not a number.
std::optional<double> smallerFrictionAngle(const TWedgeParams& params);

// "31.2°": degrees to one decimal, ".0" dropped.
std::string angleText(double degrees);

// "157.7°∠31.2°": trend (or dip direction) and plunge (or dip), the way
// Chinese engineering drawings write attitudes; one decimal, ".0" dropped.
std::string attitudeLabel(double azimuthDegrees, double angleDegrees);

struct StereonetInput {
    PlaneAttitudeArray Attitudes{}; // storage order
    // The smaller friction angle of the two cutting planes, degrees; no
    // friction circle without it.
    std::optional<double> FrictionAngle;
    NetProjection Projection = NetProjection::EqualAngle;
    std::string Caption{}; // written above the key, e.g. "楔块 W1"
};

Figure stereonetFigure(const StereonetInput& input);

} // namespace trelmox
