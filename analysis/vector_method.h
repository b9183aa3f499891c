#pragma once
// The safety factor of the real wedge by the vector method: the normal
// reactions on the two cutting planes from the resultant of the loads,
// contact on both planes, on one, or lift-off, and the ratio of the
// resistance (cohesion over the real face areas plus friction on the
// reactions) to the driving force along the direction of sliding.
#include "analysis/polyhedron.h"
#include "analysis/wedge.h"

namespace trelmox {

struct FullSafety {
    TWedgeContact Contact = TWedgeContact::Unresolved;
    double Factor = 0; // 0 for NoBlock, LiftOff and Unresolved
    // Normal reactions of the cutting planes on the wedge (the water force
    // already taken off); 0 on a plane that has lost contact.
    double Normal1 = 0, Normal2 = 0;
    double Driving = 0, Resisting = 0;
    TPoint3D Direction; // unit vector the wedge would slide along
};

// The contact case from the planes' reactions with contact on both (both1,
// both2) and on each alone (alone1, alone2): the first that holds, all
// comparisons strict, as the normalised computation decides it: both planes
// when both reactions are positive; plane 1 alone when plane 2's is negative
// and plane 1's alone positive; the mirror case; lift-off when both single
// reactions are negative; otherwise unresolved.
TWedgeContact contactCase(double both1, double both2, double alone1, double alone2);

// active: every load but the passive bolts, whose resultant `passive` counts
// as resistance along the sliding direction; contact by contactCase. The
// wedge slides whichever way the loads
// push it along the line of intersection (or in the plane it rests on), so
// the driving force is that component's magnitude.
// Throws Error(NoDrivingMessage) when nothing drives the wedge (driving
// force exactly 0).
inline const char* const NoDrivingMessage = "楔块沿滑动方向不受下滑力，无法计算安全系数";
FullSafety vectorMethod(const WedgeShape& shape, const TPoint3D& active, const TPoint3D& passive,
                        const WedgeNumbers& strengths);

} // namespace trelmox
