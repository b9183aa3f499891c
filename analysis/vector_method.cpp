#include "analysis/vector_method.h"

#include <cmath>

#include "analysis/vec3.h"
#include "model/checked.h"
#include "model/error.h"

namespace trelmox {

namespace {

// magnitude: the length of `along`.
void setDriving(FullSafety& r, const TPoint3D& along, double magnitude) {
    if (magnitude == 0) throw Error::arithmetic(NoDrivingMessage, ArithmeticFault::NoDrivingForce);
    r.Driving = magnitude;
    r.Direction = (1 / magnitude) * along;
}

// Resting on one plane alone, the wedge is driven by the loads' part in that
// plane and held by that plane's cohesion and friction only.
void restOnOnePlane(FullSafety& r, const TPoint3D& active, const TPoint3D& inward, double cohesion, double friction,
                    double reaction, double& normal) {
    const TPoint3D driving = active - dot(active, inward) * inward;
    setDriving(r, driving, norm(driving));
    normal = reaction;
    r.Resisting = cohesion + reaction * friction;
}

} // namespace

TWedgeContact contactCase(double both1, double both2, double alone1, double alone2) {
    if (both1 > 0 && both2 > 0) return TWedgeContact::BothPlanes;
    if (both2 < 0 && alone1 > 0) return TWedgeContact::FirstPlaneOnly;
    if (both1 < 0 && alone2 > 0) return TWedgeContact::SecondPlaneOnly;
    return alone1 < 0 && alone2 < 0 ? TWedgeContact::LiftOff : TWedgeContact::Unresolved;
}

FullSafety vectorMethod(const WedgeShape& s, const TPoint3D& active, const TPoint3D& passive, const WedgeNumbers& n) {
    const TPoint3D& n1 = s.Inward1;
    const TPoint3D& n2 = s.Inward2;
    const double a1 = s.Faces[int(WedgeSurface::FirstPlane)].Area, a2 = s.Faces[int(WedgeSurface::SecondPlane)].Area;
    const double m = dot(n1, n2), perQ = 1 / (1 - m * m);
    // Equilibrium normal to the line of intersection: R + N1 n1 + N2 n2 has no
    // component across it.
    const TPoint3D total = active + passive;
    const double r1 = dot(total, n1), r2 = dot(total, n2);
    const double both1 = (m * r2 - r1) * perQ, both2 = (m * r1 - r2) * perQ;
    const double alone1 = -r1, alone2 = -r2;
    FullSafety r;
    r.Contact = contactCase(both1, both2, alone1, alone2);
    switch (r.Contact) {
    case TWedgeContact::BothPlanes: {
        const double along = dot(active, s.Sliding);
        setDriving(r, along * s.Sliding, std::fabs(along));
        r.Normal1 = both1, r.Normal2 = both2;
        r.Resisting = n.Cohesion1 * a1 + n.Cohesion2 * a2 + both1 * n.Friction1 + both2 * n.Friction2;
        break;
    }
    case TWedgeContact::FirstPlaneOnly:
        restOnOnePlane(r, active, n1, n.Cohesion1 * a1, n.Friction1, alone1, r.Normal1);
        break;
    case TWedgeContact::SecondPlaneOnly:
        restOnOnePlane(r, active, n2, n.Cohesion2 * a2, n.Friction2, alone2, r.Normal2);
        break;
    default: return r; // lift-off or unresolved: factor 0
    }
    r.Resisting -= dot(passive, r.Direction);
    r.Factor = r.Resisting / r.Driving;
    // Strengths near the largest double overflow the resistance; the factor
    // fails as the normalised computation's arithmetic does.
    if (!std::isfinite(r.Factor)) throw Error::arithmetic(OverflowMessage, ArithmeticFault::Overflow);
    return r;
}

} // namespace trelmox
