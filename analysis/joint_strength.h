#pragma once
// The shear strength of a cutting plane at its mean normal stress, for the
// models of model/loads.h (JointStrength). Stresses in kPa, effective (the
// water pressure already taken off), angles of the results in radians.
//
// The resisting force of a plane is its strength at the mean normal stress
// sigma_n = N / A times its area A, N the plane's normal reaction as the
// vector method finds it: the usual simplification of wedge analyses, which
// do not know how the normal stress is spread over the face. For a
// non-linear strength that is not the integral of the strength over an
// uneven stress; the two agree where the stress is uniform.
//
// Waviness: a plane undulating at angle i slides up its undulations, which
// adds i to its friction angle (Patton): the instantaneous angle at sigma_n
// for the power curve and Hoek-Brown, the formula's angle for
// Barton-Bandis, the data file's for Mohr-Coulomb. Climbing over asperities
// steeper than about 70 degrees would shear them off instead, so the angle
// with waviness is at most 70 degrees - or the plane's own angle, where that
// is steeper already: waviness never lowers a strength. For a curve the
// tangent at sigma_n is turned by i about where it crosses sigma_n = 0 (it
// keeps its cohesion); for the power curve with c > 0 about the curve's
// start (c, d), below which the curve is flat at d and waviness adds
// nothing, so that the envelope does not jump at c.
//
// Every envelope is continuous and never falls as sigma_n rises: a joint
// pressed harder holds no less. Where a formula would fall - turned
// tangents of a power curve with b below about 0.15 or above 2,
// Barton-Bandis with phi_r + i below about 9 degrees toward JCS - the
// strength at a stress is the least the formula gives from there on.
#include <numbers>

#include "model/loads.h"

namespace trelmox {

// The friction angle no waviness raises a plane beyond, and Barton-Bandis's
// cap of its own angle: 70 degrees.
inline constexpr double MaxFrictionAngleDegrees = 70;
// One degree in radians, for the analysis and the lanes alike.
inline constexpr double Degree = std::numbers::pi / 180;

// Barton-Bandis's friction angle in degrees at sigma_n > 0: phi_r + JRC
// log10(JCS / sigma_n), at most 70. Where sigma_n reaches JCS the
// asperities are crushed and the roughness term, negative beyond, is
// taken as 0 (phi_r). As sigma_n -> 0 the angle reaches the cap, so the
// strength sigma_n tan 70 vanishes with the stress: a plane pressed by
// nothing resists nothing.
double bartonBandisAngle(const JointStrength& strength, double sigmaN);
// Whether sigma_n tan(angle + i) falls on its way to JCS (phi_r + i below
// about 9 degrees with JRC 20, less with a smaller JRC): then the strength
// below JCS is no more than JCS tan(phi_r + i), its value at JCS.
bool bartonBandisFalls(const JointStrength& strength);

// The generalised Hoek-Brown criterion sigma1 = sigma3 + sigci (mb sigma3 /
// sigci + s)^a as a strength envelope in (sigma_n, tau) at one normal
// stress: the shear strength there and the tangent's cohesion and friction
// angle (tau = Cohesion + sigma_n tan(Friction) touches the envelope). The
// principal stresses on the envelope whose plane of failure carries
// sigma_n are found by Newton's method with bisection kept as a fallback,
// to the rounding of a double. At or below the criterion's tensile limit
// (sigma_n <= -s sigci / mb) the strength is 0 and the tangent vertical.
struct EnvelopePoint {
    double Shear = 0;    // tau at sigma_n, kPa
    double Cohesion = 0; // the tangent's intercept, kPa
    double Friction = 0; // the tangent's angle, radians
};
EnvelopePoint hoekBrownAt(double sigci, double mb, double s, double a, double sigmaN);

// The power curve's value and tangent at sigma_n: tau = a (sigma_n - c)^b + d,
// and tau = d (a flat tangent) where sigma_n <= c.
EnvelopePoint powerCurveAt(const JointStrength& strength, double sigmaN);

// The shear strength (kPa) at mean normal stress sigma_n >= 0, waviness
// included; cohesion and friction are the data file's c (kPa) and f, used by
// Mohr-Coulomb only.
double jointShearStrength(const JointStrength& strength, double cohesion, double friction, double sigmaN);

// The shear force the plane resists: its strength at sigma_n = normal / area
// times the area. Mohr-Coulomb without waviness is c A + f N exactly. A
// face that no normal force presses (normal <= 0, as on losing contact)
// keeps only what the model gives at zero stress; a face of no area resists
// only through friction on its normal force.
double planeResistance(const JointStrength& strength, double cohesion, double friction, double normal, double area);

} // namespace trelmox
