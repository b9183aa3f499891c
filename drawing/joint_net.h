#pragma once
// The net of a measurement file: the poles of the measured planes, their
// density contours, the joint sets (selection cones, mean poles with their
// cones of confidence, mean great circles) and, for the kinematic check of
// wedge sliding, the slope face's great circle, the friction circle, the
// zone between them where a line of intersection lets a wedge slide, and
// the lines of intersection of every pair of set mean planes.
#include <optional>
#include <string>
#include <vector>

#include "analysis/joints/density.h"
#include "analysis/joints/kinematics.h"
#include "analysis/joints/measurements.h"
#include "analysis/joints/sets.h"
#include "drawing/figure.h"
#include "drawing/stereonet.h"

namespace trelmox {

struct JointNetInput {
    std::vector<Measurement> Planes;
    std::vector<JointSet> Sets;            // their members take the set's colour
    std::vector<SetWindow> Windows;        // drawn in the colour of the set of the same label
    std::optional<DensityOptions> Density; // contours when given
    std::vector<double> ContourLevels;     // % per 1% area; empty: chosen from the maximum
    int GridSize = 121;                    // nodes across the net for the contours
    std::optional<TPlaneAttitude> SlopeFace;
    std::optional<double> FrictionAngle; // degrees
    // The failure mode whose critical zones are shaded (needs the face and
    // the friction angle): poles for planar sliding and flexural toppling,
    // lines of intersection for wedge sliding and direct toppling. Without
    // one, the wedge's sliding zone as before.
    std::optional<KinematicMode> Mode;
    double LateralLimit = 20;              // degrees either side of the face's dip direction
    std::optional<KinematicResult> Counts; // the mode's count for the key
    NetProjection Projection = NetProjection::EqualArea;
    std::string Caption{};
};

Figure jointNetFigure(const JointNetInput& input);

// The fills of the critical zones, the same in the window, the SVG and the
// report: the primary zone red, the secondary zone (a wedge on one plane,
// oblique toppling) amber.
inline constexpr Colour PrimaryZoneFill{250, 200, 200};
inline constexpr Colour SecondaryZoneFill{253, 232, 180};

} // namespace trelmox
