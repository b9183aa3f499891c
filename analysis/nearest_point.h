#pragma once
// The point nearest the origin in a convex set bounded by a few planes and
// at most one circular cone: the least bolt force that makes the wedge safe
// is such a distance, the bolt's force vector running from the loads as they
// are to the nearest loads under which the wedge holds.
#include <optional>
#include <span>

#include "model/block.h"

namespace trelmox {

// The side g . x >= k of a plane.
struct HalfSpace {
    TPoint3D g;
    double k = 0;
};

// Slope |t| <= Cohesion + Friction z, where z is the component of x - Origin
// along the unit Axis and t the rest: the loads a plane of friction holds
// with the required factor (Slope), z being the reaction normal to it.
struct StrengthCone {
    TPoint3D Origin, Axis;
    double Slope = 1, Cohesion = 0, Friction = 0;
};

// The point of the set nearest the origin, none when the set is empty. The
// set is closed: points on its boundary count, within 1e-9 relative.
std::optional<TPoint3D> nearestPoint(std::span<const HalfSpace> sides, const StrengthCone* cone = nullptr);

// A distance no point of the set is nearer than: that of the farthest of
// its boundaries taken alone. Cheap, to pass over sets farther than one
// already found.
double distanceAtLeast(std::span<const HalfSpace> sides, const StrengthCone* cone = nullptr);

} // namespace trelmox
