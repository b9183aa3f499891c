#include "analysis/joint_strength.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <sleef.h>

namespace trelmox {

namespace {

constexpr double MaxFriction = MaxFrictionAngleDegrees * Degree;

// The strength with waviness i (radians) added to the tangent's angle,
// within the cap: tau + sigma_n (tan(angle with i) - tan(angle)), so that
// the tangent's cohesion is kept.
double withWaviness(const EnvelopePoint& p, double sigmaN, double waviness) {
    if (waviness == 0 || !(p.Friction < MaxFriction)) return p.Shear;
    const double raised = std::min(p.Friction + waviness, MaxFriction);
    return p.Shear + sigmaN * (std::tan(raised) - std::tan(p.Friction));
}

// Barton-Bandis's logarithm and tangent: SLEEF's deterministic scalar
// functions (1 ulp), whose vector versions give the same bits, so that a
// probabilistic run's lanes reproduce this analysis exactly.
double log10Of(double x) { return Sleef_cinz_log10d1_u10purec(x); }
double tanOfDegrees(double degrees) { return Sleef_cinz_tand1_u10purec(degrees * Degree); }

// N tan(angle + i), the angle with waviness at most 70 degrees.
double bartonBandisShear(const JointStrength& s, double normal, double sigmaN) {
    return normal * tanOfDegrees(std::min(bartonBandisAngle(s, sigmaN) + s.Waviness, MaxFrictionAngleDegrees));
}

} // namespace

double bartonBandisAngle(const JointStrength& s, double sigmaN) {
    const double roughness = s.Jrc * log10Of(s.Jcs / sigmaN);
    return std::min(s.ResidualFriction + std::max(roughness, 0.0), MaxFrictionAngleDegrees);
}

EnvelopePoint powerCurveAt(const JointStrength& s, double sigmaN) {
    EnvelopePoint p;
    if (!(sigmaN > s.PowerC)) {
        p.Shear = p.Cohesion = s.PowerD;
        return p;
    }
    const double excess = sigmaN - s.PowerC;
    const double rise = s.PowerA * std::pow(excess, s.PowerB);
    p.Shear = rise + s.PowerD;
    // d tau / d sigma_n = a b (sigma_n - c)^(b - 1) = b rise / excess.
    const double slope = s.PowerB * rise / excess;
    p.Friction = std::atan(slope);
    p.Cohesion = p.Shear - sigmaN * slope;
    return p;
}

// With u = mb sigma3 / sigci + s and w = u^(1-a): sigma1 - sigma3 = sigci u / w,
// and k = d sigma1 / d sigma3 = 1 + a mb / w. The plane of failure carries
// sigma_n = sigma3 + (sigma1 - sigma3) / (k + 1) and
// tau = (sigma1 - sigma3) sqrt(k) / (k + 1), with sin(phi) = (k - 1) / (k + 1).
// In units of sigci, sigma_n(u) = (u - s) / mb + u / (2 w + a mb), which rises
// with u from the tensile limit -s / mb at u = 0.
EnvelopePoint hoekBrownAt(double sigci, double mb, double s, double a, double sigmaN) {
    EnvelopePoint p;
    p.Friction = std::numbers::pi / 2;
    const double x = sigmaN / sigci;
    if (!(x > -s / mb)) return p;
    const auto stressAt = [&](double u, double& slope) {
        const double w = std::pow(u, 1 - a), d = 2 * w + a * mb;
        slope = 1 / mb + (2 * a * w + a * mb) / (d * d);
        return (u - s) / mb + u / d - x;
    };
    // sigma_n(u) >= (u - s) / mb, so the root lies in [0, s + mb x].
    double low = 0, high = s + mb * x, u = high;
    for (int i = 0; i < 200; ++i) {
        double slope = 0;
        const double f = stressAt(u, slope);
        if (f == 0) break;
        (f > 0 ? high : low) = u;
        double next = u - f / slope;
        if (std::fabs(next - u) <= 1e-16 * u) {
            u = next;
            break;
        }
        // Newton's step leaving the bracket, or not shrinking it, bisects.
        if (!(next > low && next < high)) next = low + (high - low) / 2;
        if (next == u || high - low <= 4 * std::numeric_limits<double>::epsilon() * high) {
            u = next;
            break;
        }
        u = next;
    }
    if (!(u > 0)) return p;
    const double w = std::pow(u, 1 - a), k = 1 + a * mb / w, root = std::sqrt(k);
    const double deviator = sigci * (u / w);
    p.Shear = deviator * root / (k + 1);
    const double tangent = (k - 1) / (2 * root);
    p.Friction = std::atan(tangent);
    p.Cohesion = p.Shear - sigmaN * tangent;
    return p;
}

double jointShearStrength(const JointStrength& s, double cohesion, double friction, double sigmaN) {
    const double waviness = s.Waviness * Degree;
    switch (s.Model) {
    case StrengthModel::MohrCoulomb:
        if (waviness == 0) return cohesion + sigmaN * friction;
        return withWaviness({cohesion + sigmaN * friction, cohesion, std::atan(friction)}, sigmaN, waviness);
    case StrengthModel::BartonBandis: {
        if (!(sigmaN > 0)) return 0;
        return bartonBandisShear(s, sigmaN, sigmaN);
    }
    case StrengthModel::PowerCurve: return withWaviness(powerCurveAt(s, sigmaN), sigmaN, waviness);
    case StrengthModel::HoekBrown:
        return withWaviness(hoekBrownAt(s.Sigci, s.Mb, s.S, s.HoekA, sigmaN), sigmaN, waviness);
    }
    return 0;
}

double planeResistance(const JointStrength& s, double cohesion, double friction, double normal, double area) {
    if (s.plain()) return cohesion * area + normal * friction;
    const double sigmaN = std::max(normal, 0.0) / area;
    switch (s.Model) {
    case StrengthModel::MohrCoulomb:
        if (!(area > 0)) return normal * friction;
        break;
    case StrengthModel::BartonBandis:
        // tau A = N tan(angle): no division by the area and back.
        if (!(normal > 0)) return 0;
        return bartonBandisShear(s, normal, sigmaN);
    default:
        if (!(area > 0)) return 0;
        break;
    }
    return jointShearStrength(s, cohesion, friction, sigmaN) * area;
}

} // namespace trelmox
