#include "analysis/nearest_point.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "analysis/vec3.h"

namespace trelmox {

namespace {

constexpr double Tolerance = 1e-9;

bool satisfies(const HalfSpace& h, const TPoint3D& x) {
    return dot(h.g, x) - h.k >= -Tolerance * (norm(h.g) * norm(x) + std::fabs(h.k));
}

// A point of the cone's axis frame: z along the axis, the rest across it.
struct ConeFrame {
    double z;
    TPoint3D across;
};
ConeFrame frameOf(const StrengthCone& c, const TPoint3D& x) {
    const TPoint3D y = x - c.Origin;
    const double z = dot(y, c.Axis);
    return {z, y - z * c.Axis};
}

bool satisfies(const StrengthCone& c, const TPoint3D& x) {
    const ConeFrame f = frameOf(c, x);
    const double held = c.Slope * norm(f.across), holding = c.Cohesion + c.Friction * f.z;
    return held - holding <= Tolerance * (held + std::fabs(c.Cohesion) + std::fabs(c.Friction * f.z));
}

// Two unit vectors across the unit vector u, and u, right-handed.
std::pair<TPoint3D, TPoint3D> acrossOf(const TPoint3D& u) {
    const TPoint3D seed = std::fabs(u.x) < 0.6 ? TPoint3D{1, 0, 0} : TPoint3D{0, 1, 0};
    const TPoint3D e1 = (1 / norm(seed - dot(seed, u) * u)) * (seed - dot(seed, u) * u);
    return {e1, cross(u, e1)};
}

// The point nearest the origin on the planes g . x = k of `planes` (up to
// three with independent normals): x = sum of lambda_i g_i with the Gram
// system solved by elimination.
std::optional<TPoint3D> nearestOnPlanes(std::span<const HalfSpace* const> planes) {
    const std::size_t n = planes.size();
    std::array<std::array<double, 4>, 3> m{};
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = 0; j < n; ++j) m[i][j] = dot(planes[i]->g, planes[j]->g);
        m[i][n] = planes[i]->k;
    }
    std::array<double, 3> scale{};
    for (std::size_t i = 0; i < n; ++i) scale[i] = m[i][i];
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t r = col + 1; r < n; ++r)
            if (std::fabs(m[r][col]) > std::fabs(m[pivot][col])) pivot = r;
        std::swap(m[col], m[pivot]);
        std::swap(scale[col], scale[pivot]);
        // Normals that are (nearly) dependent leave no single nearest point.
        if (!(std::fabs(m[col][col]) > 1e-10 * scale[col])) return std::nullopt;
        for (std::size_t r = 0; r < n; ++r) {
            if (r == col) continue;
            const double factor = m[r][col] / m[col][col];
            for (std::size_t c = col; c <= n; ++c) m[r][c] -= factor * m[col][c];
        }
    }
    TPoint3D x;
    for (std::size_t i = 0; i < n; ++i) x = x + (m[i][n] / m[i][i]) * planes[i]->g;
    return x;
}

// The nearest point of the cone's surface (its apex when the origin lies
// behind it): a problem in the half-plane through the axis and the origin.
TPoint3D nearestOnCone(const StrengthCone& c) {
    const ConeFrame f = frameOf(c, {});
    const double rho = norm(f.across);
    const TPoint3D out = rho > 0 ? (1 / rho) * f.across : acrossOf(c.Axis).first;
    const double n = std::hypot(c.Slope, c.Friction);
    const double excess = (c.Slope * rho - c.Friction * f.z - c.Cohesion) / n;
    double z = f.z + c.Friction * excess / n, r = rho - c.Slope * excess / n;
    if (r < 0) { // beyond the apex, which only friction makes; without, a rounding below the axis
        if (c.Friction > 0) z = -c.Cohesion / c.Friction;
        r = 0;
    }
    return c.Origin + z * c.Axis + r * out;
}

// The point of the cone's surface on plane g . x = k at angle phi about the
// axis, none where the plane runs along that generator or meets it beyond
// the apex.
struct ConePlane {
    const StrengthCone& cone;
    const HalfSpace& plane;
    TPoint3D e1, e2;

    std::optional<TPoint3D> at(double phi) const {
        const TPoint3D w = std::cos(phi) * e1 + std::sin(phi) * e2;
        const double gw = dot(plane.g, w);
        const double den = dot(plane.g, cone.Axis) + cone.Friction / cone.Slope * gw;
        if (std::fabs(den) <= 1e-14 * norm(plane.g)) return std::nullopt;
        const double z = (plane.k - dot(plane.g, cone.Origin) - cone.Cohesion / cone.Slope * gw) / den;
        const double r = (cone.Cohesion + cone.Friction * z) / cone.Slope;
        if (r < 0) return std::nullopt;
        return cone.Origin + z * cone.Axis + r * w;
    }
    double distance(double phi) const {
        const auto x = at(phi);
        return x ? norm(*x) : std::numeric_limits<double>::infinity();
    }
};

// The local minima of the distance along the curve where the cone meets a
// plane: a net of angles, each lowest net point refined by golden section.
void nearestOnConeAndPlane(const StrengthCone& c, const HalfSpace& h, std::vector<TPoint3D>& out) {
    const auto [e1, e2] = acrossOf(c.Axis);
    const ConePlane curve{c, h, e1, e2};
    constexpr int Net = 32;
    constexpr double Step = 2 * std::numbers::pi / Net;
    std::array<double, Net> d{};
    for (int i = 0; i < Net; ++i) d[i] = curve.distance(i * Step);
    for (int i = 0; i < Net; ++i) {
        if (!std::isfinite(d[i]) || d[i] > d[(i + Net - 1) % Net] || d[i] > d[(i + 1) % Net]) continue;
        constexpr double Ratio = 0.6180339887498949;
        double a = (i - 1) * Step, b = (i + 1) * Step;
        double x1 = b - Ratio * (b - a), x2 = a + Ratio * (b - a);
        double f1 = curve.distance(x1), f2 = curve.distance(x2);
        while (b - a > 1e-11) {
            if (f1 <= f2)
                b = x2, x2 = x1, f2 = f1, x1 = b - Ratio * (b - a), f1 = curve.distance(x1);
            else
                a = x1, x1 = x2, f1 = f2, x2 = a + Ratio * (b - a), f2 = curve.distance(x2);
        }
        if (const auto x = curve.at((a + b) / 2)) out.push_back(*x);
    }
}

// Where the line of the two planes pierces the cone's surface: a quadratic
// along the line.
void coneAndLine(const StrengthCone& c, const HalfSpace& h1, const HalfSpace& h2, std::vector<TPoint3D>& out) {
    const HalfSpace* both[] = {&h1, &h2};
    const auto p = nearestOnPlanes(both);
    if (!p) return;
    const TPoint3D d = cross(h1.g, h2.g);
    const ConeFrame fp = frameOf(c, *p);
    const double zd = dot(d, c.Axis);
    const TPoint3D dt = d - zd * c.Axis;
    const double s2 = c.Slope * c.Slope, hold = c.Cohesion + c.Friction * fp.z;
    const double qa = s2 * dot(dt, dt) - c.Friction * c.Friction * zd * zd;
    const double qb = 2 * (s2 * dot(fp.across, dt) - c.Friction * zd * hold);
    const double qc = s2 * dot(fp.across, fp.across) - hold * hold;
    std::vector<double> roots;
    if (std::fabs(qa) <= 1e-14 * (std::fabs(qb) + std::fabs(qc))) {
        if (qb != 0) roots.push_back(-qc / qb);
    } else if (const double disc = qb * qb - 4 * qa * qc; disc >= 0) {
        const double h = -(qb + std::copysign(std::sqrt(disc), qb)) / 2;
        if (h != 0) roots = {h / qa, qc / h};
    }
    for (double t : roots) out.push_back(*p + t * d);
}

} // namespace

double distanceAtLeast(std::span<const HalfSpace> sides, const StrengthCone* cone) {
    double d = 0;
    for (const HalfSpace& h : sides) d = std::max(d, h.k / norm(h.g));
    if (cone && !satisfies(*cone, {})) d = std::max(d, norm(nearestOnCone(*cone)));
    return d;
}

std::optional<TPoint3D> nearestPoint(std::span<const HalfSpace> sides, const StrengthCone* cone) {
    const auto inside = [&](const TPoint3D& x) {
        for (const HalfSpace& h : sides)
            if (!satisfies(h, x)) return false;
        return cone == nullptr || satisfies(*cone, x);
    };
    // The nearest point of a larger set that lies in this one is the answer:
    // first each boundary the origin lies beyond, alone.
    std::vector<TPoint3D> candidates;
    for (const HalfSpace& h : sides)
        if (!satisfies(h, {})) candidates.push_back((h.k / dot(h.g, h.g)) * h.g);
    if (cone && !satisfies(*cone, {})) candidates.push_back(nearestOnCone(*cone));
    for (const TPoint3D& x : candidates)
        if (inside(x)) return x;

    // Else the nearest point lies where two or three boundaries meet.
    candidates.clear();
    const std::size_t n = sides.size();
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j) {
            const HalfSpace* pair[] = {&sides[i], &sides[j]};
            if (const auto x = nearestOnPlanes(pair)) candidates.push_back(*x);
            for (std::size_t k = j + 1; k < n; ++k) {
                const HalfSpace* triple[] = {&sides[i], &sides[j], &sides[k]};
                if (const auto x = nearestOnPlanes(triple)) candidates.push_back(*x);
            }
            if (cone) coneAndLine(*cone, sides[i], sides[j], candidates);
        }
    if (cone) {
        for (const HalfSpace& h : sides) nearestOnConeAndPlane(*cone, h, candidates);
        if (cone->Friction > 0) candidates.push_back(cone->Origin - (cone->Cohesion / cone->Friction) * cone->Axis);
    }
    std::optional<TPoint3D> best;
    for (const TPoint3D& x : candidates)
        if (inside(x) && (!best || norm(x) < norm(*best))) best = x;
    return best;
}

} // namespace trelmox
