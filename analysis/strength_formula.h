#pragma once
// The joint strength formulas the probabilistic lanes share with the
// analysis (joint_strength.cpp), written once over their value type (see
// formula_values.h): Mohr-Coulomb's resistances, Barton-Bandis's friction
// angle and shear force.
//
// Included by the analysis's sources for doubles and by kernel_lanes.h,
// after its lane operations, for its vectors; no other header includes it.
#include <sleef.h>

#include "analysis/formula_values.h"
#include "analysis/joint_strength.h"

namespace trelmox {

// Barton-Bandis's logarithm and tangent: SLEEF's deterministic functions
// (1 ulp), whose vector versions give the same bits in every lane.
[[gnu::always_inline]] inline double sleefLog10(double x) { return Sleef_cinz_log10d1_u10purec(x); }
[[gnu::always_inline]] inline double sleefTan(double x) { return Sleef_cinz_tand1_u10purec(x); }

// Mohr-Coulomb on the data file's c and f without waviness: c A + f N on
// one plane, and on both in the order the analysis has always summed them,
// so that its factors keep their last bits.
template <typename Value>
[[gnu::always_inline]] inline Value mohrCoulombResistanceOf(Value cohesion, Value friction, Value normal, Value area) {
    return cohesion * area + normal * friction;
}
template <typename Value>
[[gnu::always_inline]] inline Value mohrCoulombPairOf(Value cohesion1, Value area1, Value cohesion2, Value area2,
                                                      Value normal1, Value friction1, Value normal2, Value friction2) {
    return cohesion1 * area1 + cohesion2 * area2 + normal1 * friction1 + normal2 * friction2;
}

// A plane's Barton-Bandis coefficients; angles in degrees.
struct BartonBandisCoefficients {
    double Jrc = 0, Jcs = 0, ResidualFriction = 0, Waviness = 0;
};

// phi_r + max(JRC log10(JCS / sigma_n), 0) degrees, at most 70
// (joint_strength.h's bartonBandisAngle).
template <typename T> [[gnu::always_inline]] inline T bartonBandisAngleOf(const BartonBandisCoefficients& s, T sigmaN) {
    const T roughness = every<T>(s.Jrc) * sleefLog10(every<T>(s.Jcs) / sigmaN);
    return smallerOf(every<T>(s.ResidualFriction) + largerOf(roughness, T{}), every<T>(MaxFrictionAngleDegrees));
}

// N tan(angle + i) at sigma_n, the angle with waviness at most 70 degrees.
template <typename T>
[[gnu::always_inline]] inline T bartonBandisShearOf(const BartonBandisCoefficients& s, T normal, T sigmaN) {
    const T angle = bartonBandisAngleOf(s, sigmaN);
    const T capped = smallerOf(angle + every<T>(s.Waviness), every<T>(MaxFrictionAngleDegrees));
    return normal * sleefTan(capped * every<T>(Degree));
}

// The shear force a plane of area A resists under the normal force N:
// bartonBandisShearOf at sigma_n = max(N, 0) / A, and 0 where nothing
// presses the plane (N <= 0).
template <typename T>
[[gnu::always_inline]] inline T bartonBandisResistanceOf(const BartonBandisCoefficients& s, T normal, T area) {
    const T sigmaN = largerOf(normal, T{}) / area;
    return pick(normal > T{}, bartonBandisShearOf(s, normal, sigmaN), T{});
}

} // namespace trelmox
