#pragma once
// Support design for the required safety factor: the force of one more bolt
// along a given direction, and the direction that needs the least force.
#include <optional>

#include "analysis/full_analysis.h"

namespace trelmox {

// A bolt's force is never exact: the design force must hold the required
// factor for every force from it up to this share above it. Without such a
// margin the least force may sit where a plane is about to lose contact,
// and a little more force lifts the wedge off that plane and drops its
// cohesion.
inline constexpr double BoltForceMargin = 0.10;

// The least force T >= 0 of one more bolt along `bolt` with which the factor
// is at least `required` for every force from T to (1 + BoltForceMargin) T
// (0 when the factor is reached already), given the wedge's analysis with
// all its other loads; none when no force along that direction does.
// Between the forces where a normal reaction changes sign the factor is a
// ratio of a linear function of T to the root of a quadratic one, and each
// piece is solved in closed form - except for an active bolt on a wedge
// resting on one plane that also carries passive bolts, whose resistance
// turns with the sliding direction: that piece is solved by bisection.
// With a non-linear strength on either plane (models not all plain
// Mohr-Coulomb) the factor is no such ratio, and every piece is solved as
// the turning one is: by the analysis itself, scanned and bisected.
std::optional<double> requiredBoltForce(const FullAnalysis& analysis, const WedgeNumbers& strengths,
                                        const JointStrengths& models, const DesignBolt& bolt, double required);

struct LeastBolt {
    LineDirection Direction;
    double Force = 0;
};
// The bolt direction needing the least force for `required`. The loads
// under which the wedge holds form, case by case, convex pieces (planes in
// the bolt's force, and for an active bolt on one plane a cone); the least
// force is the distance to the nearest piece, its direction the bolt's,
// and the force along that direction is then taken from the analysis
// itself. Where a direction only grazes the safe loads, or an active bolt
// meets a wedge on one plane that carries passive bolts (whose resistance
// turns with the sliding), a search decides instead: a 30-degree net, the
// closed-form directions and that direction, refined by compass search to
// 1e-5 degrees. When the factor is reached already the force is 0 along
// the reverse of sliding. None when no direction reaches it or there is no
// wedge. A non-linear strength bends those pieces, so the search decides.
std::optional<LeastBolt> leastBoltForce(const FullAnalysis& analysis, const WedgeNumbers& strengths,
                                        const JointStrengths& models, BoltMode mode, double required);

struct SupportDesign {
    double RequiredFactor = 0;
    std::optional<DesignBolt> Bolt;  // the loads' design bolt, when given
    std::optional<double> BoltForce; // its force for the required factor
    std::optional<LeastBolt> Least;  // in the design bolt's mode (active without one)
};
SupportDesign designSupport(const FullAnalysis& analysis, const WedgeNumbers& strengths, const WedgeLoads& loads);

} // namespace trelmox
