#include "analysis/vector_method.h"

#include <cmath>
#include <cstdint>

#include "analysis/joint_strength.h"
#include "analysis/strength_formula.h"
#include "analysis/vec3.h"
#include "analysis/vector_method_formula.h"
#include "model/checked.h"
#include "model/error.h"
#include "model/language.h"

namespace trelmox {

const char* noDrivingMessage() {
    return inLanguage("楔块沿滑动方向不受下滑力，无法计算安全系数",
                      "nothing drives the wedge along its sliding direction; no safety factor can be worked out");
}

const char* tooManyPassiveMessage() {
    return inLanguage("被动锚杆的方向多于12种，无法计算安全系数",
                      "the passive bolts point in more than 12 directions; no safety factor can be worked out");
}

namespace {

// magnitude: the length of `along`. False when nothing drives the wedge.
bool setDriving(FullSafety& r, const TPoint3D& along, double magnitude) {
    if (magnitude == 0) return false;
    if (!std::isfinite(magnitude)) throw Error::arithmetic(OverflowMessage, ArithmeticFault::Overflow);
    r.Driving = magnitude;
    r.Direction = (1 / magnitude) * along;
    return true;
}

// Resting on one plane alone, the wedge is driven by the loads' part in that
// plane and held by that plane's strength only.
bool restOnOnePlane(FullSafety& r, const TPoint3D& active, const TPoint3D& inward, double resisting, double reaction,
                    double& normal, double& shear) {
    const TPoint3D driving = active - dot(active, inward) * inward;
    normal = reaction;
    shear = r.Resisting = resisting;
    return setDriving(r, driving, norm(driving));
}

// One set of passive bolts carrying: false when nothing drives the wedge.
bool carrying(const WedgeShape& s, const TPoint3D& active, const TPoint3D& passive, const WedgeNumbers& n,
              const JointStrengths& j, FullSafety& r) {
    const TPoint3D& n1 = s.Inward1;
    const TPoint3D& n2 = s.Inward2;
    const double a1 = s.Faces[int(WedgeSurface::FirstPlane)].Area, a2 = s.Faces[int(WedgeSurface::SecondPlane)].Area;
    const PlaneReactions<double> reactions = planeReactionsOf(active + passive, n1, n2);
    const double both1 = reactions.Both1, both2 = reactions.Both2, alone1 = reactions.Alone1, alone2 = reactions.Alone2;
    // Loads beyond the range of a double (a seismic coefficient or a force
    // near the largest double) leave no reaction to decide the case by.
    if (!std::isfinite(both1) || !std::isfinite(both2) || !std::isfinite(alone1) || !std::isfinite(alone2))
        throw Error::arithmetic(OverflowMessage, ArithmeticFault::Overflow);
    r = FullSafety{};
    r.Carried = passive;
    r.Contact = contactCase(both1, both2, alone1, alone2);
    switch (r.Contact) {
    case TWedgeContact::BothPlanes: {
        const double along = dot(active, s.Sliding);
        r.Normal1 = both1, r.Normal2 = both2;
        r.Shear1 = planeResistance(j[0], n.Cohesion1, n.Friction1, both1, a1);
        r.Shear2 = planeResistance(j[1], n.Cohesion2, n.Friction2, both2, a2);
        // Mohr-Coulomb on both planes keeps the sum in the order it has
        // always been taken, so that its factors keep their last bits.
        r.Resisting = plainStrengths(j)
                          ? mohrCoulombPairOf(n.Cohesion1, a1, n.Cohesion2, a2, both1, n.Friction1, both2, n.Friction2)
                          : r.Shear1 + r.Shear2;
        if (!setDriving(r, along * s.Sliding, std::fabs(along))) return false;
        break;
    }
    case TWedgeContact::FirstPlaneOnly:
        if (!restOnOnePlane(r, active, n1, planeResistance(j[0], n.Cohesion1, n.Friction1, alone1, a1), alone1,
                            r.Normal1, r.Shear1))
            return false;
        break;
    case TWedgeContact::SecondPlaneOnly:
        if (!restOnOnePlane(r, active, n2, planeResistance(j[1], n.Cohesion2, n.Friction2, alone2, a2), alone2,
                            r.Normal2, r.Shear2))
            return false;
        break;
    default: // lift-off or unresolved: factor 0
        r.Resisting = 0;
        return true;
    }
    // Shotcrete holds whichever way the wedge slides, as cohesion does.
    if (n.LiningResistance != 0) r.Resisting += n.LiningResistance;
    r.Resisting -= dot(passive, r.Direction);
    r.Factor = r.Resisting / r.Driving;
    // Strengths near the largest double overflow the resistance; the factor
    // fails as the normalised computation's arithmetic does.
    if (!std::isfinite(r.Factor) || !std::isfinite(r.Resisting))
        throw Error::arithmetic(OverflowMessage, ArithmeticFault::Overflow);
    return true;
}

bool slides(TWedgeContact contact) {
    return contact == TWedgeContact::BothPlanes || contact == TWedgeContact::FirstPlaneOnly ||
           contact == TWedgeContact::SecondPlaneOnly;
}

} // namespace

// A reaction of exactly zero keeps its plane in contact: the plane is touched
// without pressure, and its cohesion still acts. It is where two cases meet;
// without cohesion both give the same factor there (with N2 = 0 the pair of
// planes and plane 1 alone carry the same reaction and driving force).
TWedgeContact contactCase(double both1, double both2, double alone1, double alone2) {
    const ContactCases<double> c = contactCasesOf(PlaneReactions<double>{both1, both2, alone1, alone2}, true);
    return c.Both     ? TWedgeContact::BothPlanes
           : c.First  ? TWedgeContact::FirstPlaneOnly
           : c.Second ? TWedgeContact::SecondPlaneOnly
           : c.Lift   ? TWedgeContact::LiftOff
                      : TWedgeContact::Unresolved;
}

FullSafety vectorMethodCarrying(const WedgeShape& s, const TPoint3D& active, const TPoint3D& carried,
                                const WedgeNumbers& n, const JointStrengths& j) {
    FullSafety r;
    if (!carrying(s, active, carried, n, j, r))
        throw Error::arithmetic(noDrivingMessage(), ArithmeticFault::NoDrivingForce);
    return r;
}

FullSafety vectorMethod(const WedgeShape& s, const TPoint3D& active, std::span<const TPoint3D> passive,
                        const WedgeNumbers& n, const JointStrengths& j) {
    FullSafety r;
    if (!drivenVectorMethod(s, active, passive, n, j, r))
        throw Error::arithmetic(noDrivingMessage(), ArithmeticFault::NoDrivingForce);
    return r;
}

bool drivenVectorMethod(const WedgeShape& s, const TPoint3D& active, std::span<const TPoint3D> passive,
                        const WedgeNumbers& n, const JointStrengths& j, FullSafety& best) {
    if (!carrying(s, active, {}, n, j, best)) return false;
    if (passive.empty()) return true;
    if (passive.size() > MaxPassiveDirections) throw Error::refused(tooManyPassiveMessage());
    FullSafety trial;
    for (std::uint32_t set = 1; set < (std::uint32_t{1} << passive.size()); ++set) {
        TPoint3D sum{};
        for (std::size_t i = 0; i < passive.size(); ++i)
            if (set >> i & 1) sum = sum + passive[i];
        // A set under which the wedge does not slide stretches no bolt.
        if (!carrying(s, active, sum, n, j, trial) || !slides(trial.Contact)) continue;
        bool stretched = true;
        for (std::size_t i = 0; i < passive.size() && stretched; ++i)
            if (set >> i & 1) stretched = dot(passive[i], trial.Direction) < 0;
        if (stretched && trial.Factor > best.Factor) best = trial;
    }
    return true;
}

} // namespace trelmox
