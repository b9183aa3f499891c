#pragma once
// The kinematic check of wedge sliding: a wedge cut by two planes can slide
// out of a slope face only along their line of intersection, so the line
// must daylight in the face (plunge less steeply than the face's apparent
// dip in the line's trend) and plunge more steeply than the friction angle.
#include <optional>

#include "analysis/orientation.h"
#include "model/block.h"

namespace trelmox {

struct WedgeKinematics {
    std::optional<LineAttitude> Intersection; // none for parallel planes
    double FaceApparentDip = 0;               // degrees, in the intersection's trend
    bool Daylights = false;                   // plunge < FaceApparentDip
    bool SteeperThanFriction = false;         // plunge > friction angle
    bool possible() const { return Daylights && SteeperThanFriction; }
};

WedgeKinematics wedgeKinematics(const TPlaneAttitude& first, const TPlaneAttitude& second,
                                const TPlaneAttitude& face, double frictionAngleDegrees);

} // namespace trelmox
