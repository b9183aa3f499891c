#pragma once
// Support design for the required safety factor: the force of one more bolt
// along a given direction, and the direction that needs the least force.
#include <optional>
#include <string>

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

// How close to the least over all directions a least force found by search
// is confirmed to be: within 0.5 % of a lower bound.
inline constexpr double LeastForceCloseness = 0.005;

struct LeastBolt {
    LineDirection Direction;
    double Force = 0;
    // The force is the least over all directions, or within
    // LeastForceCloseness of it; false where the search could not confirm it.
    bool Confirmed = true;
};
// The bolt direction needing the least force for `required`. The loads
// under which the wedge holds form, case by case, convex pieces (planes in
// the bolt's force, and for an active bolt on one plane a cone). The force
// must hold up to the margin above it, and on the way the wedge may pass
// from one piece to another: the nearest force X with X in one piece and
// (1 + BoltForceMargin) X in another (or the same) bounds the least force
// from below, its direction is the bolt's, and the force along that
// direction is then taken from the analysis itself; where it meets the
// bound it is the least. Otherwise - a direction that only grazes the safe
// loads, a force whose margin leaves them on the way, passive bolts whose
// resistance turns with the sliding, a non-linear strength, which bends the
// pieces - a search decides: a 15-degree net, the closed-form directions
// and those of the nearest forces, refined by compass search to 1e-5
// degrees; its least is Confirmed when it is within LeastForceCloseness of
// the bound (never for a non-linear strength, which gives none). When the
// factor is reached already the force is 0 along the reverse of sliding.
// None when no direction reaches it or there is no wedge.
std::optional<LeastBolt> leastBoltForce(const FullAnalysis& analysis, const WedgeNumbers& strengths,
                                        const JointStrengths& models, BoltMode mode, double required);

struct SupportDesign {
    double RequiredFactor = 0;
    std::optional<DesignBolt> Bolt;  // the loads' design bolt, when given
    std::optional<double> BoltForce; // its force for the required factor
    std::optional<LeastBolt> Least;  // in the design bolt's mode (active without one)
};
SupportDesign designSupport(const FullAnalysis& analysis, const WedgeNumbers& strengths, const WedgeLoads& loads);

// What the outputs say when the least force was not confirmed (empty when
// it was, or when there is none): that the search found it and it may lie
// more than 0.5 % above the least over all directions.
std::string leastBoltNote(const SupportDesign& design);

} // namespace trelmox
