#include "analysis/joint_strength.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>
#include <limits>
#include <numbers>
#include <sleef.h>

#include "analysis/strength_formula.h"

namespace trelmox {

namespace {

constexpr double MaxFriction = MaxFrictionAngleDegrees * Degree;

// What turning a tangent of angle `friction` by the waviness i (radians)
// adds per unit of normal stress, within the cap: tan(angle with i) -
// tan(angle).
double wavinessRise(double friction, double waviness) {
    if (waviness == 0 || !(friction < MaxFriction)) return 0;
    return std::tan(std::min(friction + waviness, MaxFriction)) - std::tan(friction);
}

// The strength with waviness i (radians) added to the tangent's angle,
// within the cap: tau + lever (tan(angle with i) - tan(angle)), the tangent
// turned about the point `lever` below sigma_n (sigma_n itself: the
// tangent's cohesion is kept).
double withWaviness(const EnvelopePoint& p, double lever, double waviness) {
    if (waviness == 0 || !(p.Friction < MaxFriction)) return p.Shear;
    const double raised = std::min(p.Friction + waviness, MaxFriction);
    return p.Shear + lever * (std::tan(raised) - std::tan(p.Friction));
}

// The power curve with waviness, its tangent at sigma_n turned by i about
// where the tangent crosses sigma_n = max(c, 0): from the curve's own start
// (c, d) where c > 0, below which the curve is flat at d and no friction
// acts, climbing or not; from sigma_n = 0 otherwise.
double turnedPowerCurve(const JointStrength& s, double sigmaN, double waviness) {
    const double pivot = std::max(s.PowerC, 0.0);
    const EnvelopePoint p = powerCurveAt(s, sigmaN);
    return sigmaN > pivot ? withWaviness(p, sigmaN - pivot, waviness) : p.Shear;
}

// Turned tangents can make that curve fall as sigma_n rises (for b below
// about 0.15 where the tangent's angle falls fast, for b above 2 where it
// climbs past 70 degrees and the waviness it takes shrinks to nothing):
// its local least values above the pivot, each with the stress it is at.
// Along the curve sigma_n = c + x with tan(angle) = a b x^(b - 1), so the
// slope of the turned curve is a function of the tangent's angle alone:
// tan + rise + (1 - (pivot - c) / x) (b - 1) sin cos d(rise)/d(angle). Its
// changes of sign from falling to rising are found on a net of angles
// (half a degree apart, and 70 - i where the cap sets in) and bisected.
struct PowerDips {
    double A = 0, B = 0, C = 0, D = 0, Waviness = 0; // the curve they belong to
    std::vector<std::pair<double, double>> Least;    // (sigma_n, strength)
};

PowerDips powerDips(const JointStrength& s, double waviness) {
    PowerDips dips{s.PowerA, s.PowerB, s.PowerC, s.PowerD, waviness, {}};
    const double a = s.PowerA, b = s.PowerB, c = s.PowerC, pivot = std::max(c, 0.0);
    if (waviness == 0 || !(a > 0) || b == 1) return dips; // a line turned once, or a flat curve
    const double ab = a * b, lowest = pivot - c;          // x at the pivot
    const auto xAt = [&](double angle) { return std::pow(std::tan(angle) / ab, 1 / (b - 1)); };
    const auto slope = [&](double angle) {
        if (!(angle < MaxFriction)) return std::tan(angle);
        const double x = xAt(angle), sc = std::sin(angle) * std::cos(angle);
        const double secant = 1 / (std::cos(angle) * std::cos(angle));
        const double turn = angle + waviness < MaxFriction
                                ? 1 / (std::cos(angle + waviness) * std::cos(angle + waviness)) - secant
                                : -secant;
        return std::tan(angle) + wavinessRise(angle, waviness) + (1 - lowest / x) * (b - 1) * sc * turn;
    };
    // The angles from the pivot on, in the order of rising stress.
    const double start = lowest > 0 ? std::atan(ab * std::pow(lowest, b - 1)) : (b < 1 ? Degree * 90 : 0);
    const double from = b < 1 ? std::min(start, MaxFriction) : start, to = b < 1 ? 0 : MaxFriction;
    if (b > 1 && !(from < MaxFriction)) return dips;
    std::vector<double> net;
    const int steps = std::max(2, int(std::ceil(std::fabs(to - from) / (0.5 * Degree))));
    for (int k = 0; k < steps; ++k) net.push_back(from + (to - from) * k / steps);
    // Where the cap sets in (70 - i) and ends (70) the slope jumps, and a
    // dip may start there narrower than the net: the net closes in on both
    // sides of them, halving the distance thirty times.
    for (const double edge : {MaxFriction - waviness, MaxFriction})
        for (int k = 1; k <= 30; ++k)
            for (const double side : {-1.0, 1.0})
                if (const double angle = edge + side * std::ldexp(0.5 * Degree, -k); (angle - from) * (angle - to) < 0)
                    net.push_back(angle);
    std::sort(net.begin(), net.end(), [&](double p, double q) { return b < 1 ? p > q : p < q; });
    // Past the net the curve rises: toward x -> infinity (b < 1) the slope
    // tends to tan(i) > 0; past 70 degrees (b > 1) nothing is added.
    if (b > 1) net.push_back(MaxFriction);
    for (std::size_t k = 0; k + 1 < net.size(); ++k) {
        double falling = net[k], rising = net[k + 1];
        if (!(slope(falling) < 0) || slope(rising) < 0) continue;
        for (int i = 0; i < 60; ++i) {
            const double middle = (falling + rising) / 2;
            (slope(middle) < 0 ? falling : rising) = middle;
        }
        const double sigma = c + xAt(rising);
        dips.Least.emplace_back(sigma, turnedPowerCurve(s, sigma, waviness));
    }
    return dips;
}

// The power curve with waviness made never to fall: at each stress the
// least the turned curve reaches from there on (where it does not fall,
// the turned curve itself). The dips of the last curves worked out are kept
// per thread: a run over many samples asks for the same one or two curves.
double risingPowerCurve(const JointStrength& s, double sigmaN, double waviness) {
    const double turned = turnedPowerCurve(s, sigmaN, waviness);
    thread_local std::array<PowerDips, 2> kept{};
    thread_local std::size_t next = 0;
    const PowerDips* dips = nullptr;
    for (const PowerDips& d : kept)
        if (d.A == s.PowerA && d.B == s.PowerB && d.C == s.PowerC && d.D == s.PowerD && d.Waviness == waviness)
            dips = &d;
    if (!dips) {
        kept[next] = powerDips(s, waviness);
        dips = &kept[next];
        next = (next + 1) % kept.size();
    }
    double least = turned;
    for (const auto& [sigma, strength] : dips->Least)
        if (sigma > sigmaN) least = std::min(least, strength);
    return least;
}

BartonBandisCoefficients coefficientsOf(const JointStrength& s) {
    return {s.Jrc, s.Jcs, s.ResidualFriction, s.Waviness};
}

// N tan(angle + i), the angle with waviness at most 70 degrees
// (strength_formula.h, which the probabilistic lanes share); where the
// formula falls toward JCS, no more than A JCS tan(phi_r + i), its value at
// JCS (bartonBandisFalls).
double bartonBandisShear(const JointStrength& s, double normal, double area, double sigmaN) {
    const double shear = bartonBandisShearOf(coefficientsOf(s), normal, sigmaN);
    if (!(sigmaN < s.Jcs) || !bartonBandisFalls(s)) return shear;
    return std::min(shear, area * s.Jcs *
                               sleefTan(std::min(s.ResidualFriction + s.Waviness, MaxFrictionAngleDegrees) * Degree));
}

} // namespace

// sigma tan(u) with u = u_r + JRC log10(JCS / sigma) degrees falls where
// tan(u) < JRC (pi / 180) / ln 10 / cos^2(u), that is sin(2u) < 2 JRC pi /
// (180 ln 10); on 0 < 2u <= 140 degrees sin(2u) is least at an end, and at
// 140 degrees it is 0.64, above any JRC's 0.30: the formula falls only near
// JCS, where u comes down to u_r.
bool bartonBandisFalls(const JointStrength& s) {
    const double residual = std::min(s.ResidualFriction + s.Waviness, MaxFrictionAngleDegrees);
    return std::sin(2 * residual * Degree) < 2 * s.Jrc * Degree / std::numbers::ln10;
}

double bartonBandisAngle(const JointStrength& s, double sigmaN) {
    return bartonBandisAngleOf(coefficientsOf(s), sigmaN);
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
        return bartonBandisShear(s, sigmaN, 1, sigmaN);
    }
    case StrengthModel::PowerCurve:
        if (waviness == 0) return powerCurveAt(s, sigmaN).Shear;
        return risingPowerCurve(s, sigmaN, waviness);
    case StrengthModel::HoekBrown:
        return withWaviness(hoekBrownAt(s.Sigci, s.Mb, s.S, s.HoekA, sigmaN), sigmaN, waviness);
    }
    return 0;
}

double planeResistance(const JointStrength& s, double cohesion, double friction, double normal, double area) {
    if (s.plain()) return mohrCoulombResistanceOf(cohesion, friction, normal, area);
    const double sigmaN = std::max(normal, 0.0) / area;
    switch (s.Model) {
    case StrengthModel::MohrCoulomb:
        if (!(area > 0)) return normal * friction;
        break;
    case StrengthModel::BartonBandis:
        // tau A = N tan(angle): no division by the area and back.
        if (!(normal > 0)) return 0;
        return bartonBandisShear(s, normal, area, sigmaN);
    default:
        if (!(area > 0)) return 0;
        break;
    }
    return jointShearStrength(s, cohesion, friction, sigmaN) * area;
}

} // namespace trelmox
