#pragma once
// Lower-hemisphere stereographic net of a block: the four planes (the slope
// top with its own dip direction) and the tension crack as great circles, the cutting planes' line of intersection as a point with its
// trend and plunge, the friction circle and north. The net is the unit
// circle of the figure's frame, north up (+y), east right (+x).
#include <optional>
#include <string>
#include <vector>

#include "analysis/orientation.h"
#include "drawing/figure.h"
#include "model/block.h"
#include "model/block_input.h"

namespace trelmox {

enum class NetProjection {
    EqualAngle, // Wulff net: circles stay circles, angles are true
    EqualArea   // Schmidt net: equal solid angles cover equal areas
};

// Distance from the net's centre of a line plunging `plungeDegrees`.
double netRadius(double plungeDegrees, NetProjection projection);

// Where a line plots; an upward line plots as its downward opposite.
Point2 projectLine(const LineAttitude& line, NetProjection projection);
// The same for a direction vector (any length > 0).
Point2 projectDirection(TPoint3D direction, NetProjection projection);
// The downward unit vector that plots at `point` (inside the net, |point|
// <= 1); a point outside the net stands for the rim in its direction.
TPoint3D unprojectPoint(Point2 point, NetProjection projection);

// The dip line of a plane (trend = dip direction, plunge = dip).
LineAttitude dipLine(const TPlaneAttitude& plane);

// The great circle of a plane from one strike end through the dip line to
// the other strike end, `segments` + 1 points.
std::vector<Point2> greatCircle(const TPlaneAttitude& plane, NetProjection projection, int segments = 180);

// The cone of half-angle `halfAngleDegrees` about an axis (either sense), as
// it plots: one closed curve, or, where the cone crosses the horizontal,
// open pieces that end on the rim and continue from the opposite side.
std::vector<std::vector<Point2>> smallCircle(TPoint3D axis, double halfAngleDegrees, NetProjection projection,
                                             int segments = 180);

// The net's rim with ticks every 10 degrees, the centre cross and the
// compass labels, in the unit circle.
void addNetFrame(Figure& figure);

// The friction angle of the weaker cutting plane, arctan(min(f1, f2)).
double smallerFrictionAngle(const BlockParameters& parameters);
// The same of parameters that may be missing (a text that is not a number).
std::optional<double> smallerFrictionAngle(const std::optional<BlockParameters>& parameters);

// "下半球等角投影" or "下半球等面积投影".
std::string projectionTitle(NetProjection projection);

// The friction circle's pen, and whether an angle makes a circle on the net
// (0 <= angle < 90).
Pen frictionPen();
bool drawableFriction(const std::optional<double>& angle);

// A rough width of a label: CJK characters are square, the others about
// half as wide as high. Enough to keep labels off the lines.
double labelWidth(const std::string& text, double height);

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
    std::string Caption{};                 // written above the key, e.g. "楔块 W1"
    std::optional<TPlaneAttitude> Crack{}; // the tension crack, when the block has one
};

Figure stereonetFigure(const StereonetInput& input);

} // namespace trelmox
