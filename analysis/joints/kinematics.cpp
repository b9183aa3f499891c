#include "analysis/joints/kinematics.h"

namespace trelmox {

WedgeKinematics wedgeKinematics(const TPlaneAttitude& first, const TPlaneAttitude& second,
                                const TPlaneAttitude& face, double frictionAngleDegrees) {
    WedgeKinematics k;
    k.Intersection = intersectionLine(first, second);
    if (!k.Intersection) return k;
    k.FaceApparentDip = apparentDip(face, k.Intersection->Trend);
    k.Daylights = k.Intersection->Plunge < k.FaceApparentDip;
    k.SteeperThanFriction = k.Intersection->Plunge > frictionAngleDegrees;
    return k;
}

} // namespace trelmox
