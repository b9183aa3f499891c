#pragma once
// The safety factor of the real wedge by the vector method: the normal
// reactions on the two cutting planes from the resultant of the loads,
// contact on both planes, on one, or lift-off, and the ratio of the
// resistance (each plane's shear strength at its mean normal stress N / A
// over its real face area: cohesion plus friction on the reaction for
// Mohr-Coulomb) to the driving force along the direction of sliding.
//
// The reactions come from the equilibrium across the sliding direction
// alone, which the strength does not enter, so even a non-linear strength
// gives Fs directly as resistance over driving force: no iteration on the
// factor is needed (it would be in a method whose normal forces depend on
// the mobilised shear, which this one is not).
#include <span>

#include "analysis/polyhedron.h"
#include "model/loads.h"
#include "analysis/wedge.h"

namespace trelmox {

struct FullSafety {
    TWedgeContact Contact = TWedgeContact::Unresolved;
    double Factor = 0; // 0 for NoBlock, LiftOff and Unresolved
    // Normal reactions of the cutting planes on the wedge (the water force
    // already taken off); 0 on a plane that has lost contact.
    double Normal1 = 0, Normal2 = 0;
    double Driving = 0, Resisting = 0;
    // The shear force each cutting plane resists (its strength at its mean
    // normal stress times its area); 0 on a plane that has lost contact.
    double Shear1 = 0, Shear2 = 0;
    TPoint3D Direction; // unit vector the wedge would slide along
    TPoint3D Carried;   // the resultant of the passive bolts that carry their forces
};

// The contact case from the planes' reactions with contact on both (both1,
// both2) and on each alone (alone1, alone2): the first that holds, all
// a reaction of exactly zero counting as contact: both planes when neither
// reaction is negative; plane 1 alone when plane 2's is negative and plane
// 1's alone is not; the mirror case; lift-off when both single reactions are
// negative; otherwise (by rounding only) unresolved.
TWedgeContact contactCase(double both1, double both2, double alone1, double alone2);

// strengths: the data file's c and f; models: each plane's strength model
// (the defaults: Mohr-Coulomb on c and f). active: every load but the passive bolts; passive: the force of each
// passive bolt, bolts along one direction summed into one. The wedge slides
// whichever way the active loads push it along the line of intersection (or
// in the plane it rests on), so the driving force is that component's
// magnitude.
//
// A passive bolt takes load only when the wedge moves, and only as the
// movement stretches it: it resists the sliding, it can never drive it.
// Every set of the passive bolts is tried as the set carrying its forces (the
// empty set first); a set counts when the sliding direction found with it
// stretches each of its bolts (each bolt's force has a component against the
// sliding), and the factor is the largest of the sets that count. So a bolt
// that the sliding would compress carries nothing, adding a passive bolt
// never lowers the factor, and no factor is negative. At most
// MaxPassiveDirections directions (2^12 sets).
//
// Throws Error(noDrivingMessage()) when nothing drives the wedge (driving
// force exactly 0) without the passive bolts, Error(OverflowMessage) when a
// factor leaves the range of a double, Error(tooManyPassiveMessage()) for
// too many directions; the messages in the language of the messages.
const char* noDrivingMessage();
inline constexpr std::size_t MaxPassiveDirections = 12;
const char* tooManyPassiveMessage();
FullSafety vectorMethod(const WedgeShape& shape, const TPoint3D& active, std::span<const TPoint3D> passive,
                        const WedgeNumbers& strengths, const JointStrengths& models);
// The same, false instead of the failure when nothing drives the wedge.
bool drivenVectorMethod(const WedgeShape& shape, const TPoint3D& active, std::span<const TPoint3D> passive,
                        const WedgeNumbers& strengths, const JointStrengths& models, FullSafety& safety);
// The factor with the passive bolts of resultant `carried` all carrying
// their forces, whichever way they point: one set of the rule above.
FullSafety vectorMethodCarrying(const WedgeShape& shape, const TPoint3D& active, const TPoint3D& carried,
                                const WedgeNumbers& strengths, const JointStrengths& models);

} // namespace trelmox
