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
#include "analysis/joints/measurements.h"
#include "analysis/joints/sets.h"
#include "drawing/figure.h"
#include "drawing/stereonet.h"

namespace trelmox {

struct JointNetInput {
    std::vector<Measurement> Planes;
    std::vector<JointSet> Sets;           // their members take the set's colour
    std::vector<SetWindow> Windows;       // drawn in the colour of the set of the same label
    std::optional<DensityOptions> Density; // contours when given
    std::vector<double> ContourLevels;    // % per 1% area; empty: chosen from the maximum
    int GridSize = 121;                   // nodes across the net for the contours
    std::optional<TPlaneAttitude> SlopeFace;
    std::optional<double> FrictionAngle;  // degrees
    NetProjection Projection = NetProjection::EqualArea;
    std::string Caption{};
};

Figure jointNetFigure(const JointNetInput& input);

} // namespace trelmox
