#include "analysis/support.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

#include "analysis/arithmetic.h"
#include "analysis/nearest_point.h"
#include "analysis/vec3.h"
#include "model/error.h"
#include "model/language.h"

namespace trelmox {

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

// a + b T
struct Affine {
    double a = 0, b = 0;
    double at(double t) const { return a + b * t; }
    // The T > 0 where it changes sign, or none.
    std::optional<double> root() const {
        if (b == 0) return std::nullopt;
        const double t = -a / b;
        return t > 0 && std::isfinite(t) ? std::optional(t) : std::nullopt;
    }
};
Affine operator+(Affine x, Affine y) { return {x.a + y.a, x.b + y.b}; }
Affine operator-(Affine x, Affine y) { return {x.a - y.a, x.b - y.b}; }
Affine operator*(double k, Affine x) { return {k * x.a, k * x.b}; }

TPoint3D inPlane(const TPoint3D& v, const TPoint3D& n) { return v - dot(v, n) * n; }

double sign(double v) { return v < 0 ? -1 : 1; }

// Within one contact case the factor is num(T) / sqrt(den(T)) with
// den = alpha + 2 beta T + gamma T^2 - except with an active design bolt on
// a wedge resting on one plane that also carries passive bolts, whose
// resistance then turns with the sliding direction (Turning).
struct Piece {
    Affine Num;
    double Alpha = 0, Beta = 0, Gamma = 0;
    bool Turning = false;
};

// Forces at which the factor is reached: closed intervals in increasing
// order, touching ones joined.
struct Intervals {
    std::array<std::pair<double, double>, 32> Spans{};
    std::size_t Count = 0;
    void add(double from, double to) {
        if (Count > 0 && Spans[Count - 1].second >= from * (1 - 1e-12)) {
            Spans[Count - 1].second = std::max(Spans[Count - 1].second, to);
        } else if (Count < Spans.size()) {
            Spans[Count++] = {from, to};
        }
    }
};

// The wedge with one more bolt of force T along Bolt, while the passive
// bolts `members` (of resultant `carried`) carry their forces: each such set
// is one way the analysis may hold the wedge (analysis/vector_method.h).
class BoltProblem {
public:
    BoltProblem(const FullAnalysis& a, const WedgeNumbers& n, const JointStrengths& j, const TPoint3D& bolt,
                bool active, const TPoint3D& carried = {}, std::span<const TPoint3D> members = {})
        : s_(a.Shape), n_(n), j_(j), active_(a.Forces.active()), passive_(carried), bolt_(bolt), boltActive_(active),
          bolts_(a.Forces.Passive), members_(members) {
        m_ = dot(s_.Inward1, s_.Inward2);
        q_ = 1 - m_ * m_;
        const TPoint3D total = active_ + passive_;
        r1_ = {dot(total, s_.Inward1), dot(bolt, s_.Inward1)};
        r2_ = {dot(total, s_.Inward2), dot(bolt, s_.Inward2)};
    }

    // The forces at which the factor is at least `required` with this set
    // carrying, piece by piece, in increasing order. The pieces end where a
    // reaction or the sliding sense changes sign, and - for an active bolt
    // on a wedge resting on one plane, whose sliding turns with the bolt's
    // force - where the sliding stops or starts stretching a passive bolt:
    // there the set that carries changes, and the factor jumps.
    void safeForces(double required, Intervals& safe) const {
        std::array<double, 6 + 2 * MaxPassiveDirections> breaks{0};
        std::size_t n = 1;
        for (const Affine& f : {both1(), both2(), -1 * r1_, -1 * r2_, driving()})
            if (const auto t = f.root()) breaks[n++] = *t;
        if (boltActive_)
            for (const TPoint3D& inward : {s_.Inward1, s_.Inward2})
                for (std::size_t i = 0; i < bolts_.size() && i < MaxPassiveDirections; ++i) {
                    // g . (loads + T bolt) in the plane: its sign is the stretch's.
                    const TPoint3D g = inPlane(bolts_[i], inward);
                    if (const auto t = Affine{dot(g, active_), dot(g, bolt_)}.root()) breaks[n++] = *t;
                }
        for (std::size_t i = 1; i < n; ++i) // insertion sort: a handful of values
            for (std::size_t k = i; k > 0 && breaks[k - 1] > breaks[k]; --k) std::swap(breaks[k - 1], breaks[k]);
        for (std::size_t i = 0; i < n; ++i) {
            const double low = breaks[i], high = i + 1 < n ? breaks[i + 1] : Infinity;
            const double probe = std::isfinite(high) ? (low + high) / 2 : 2 * low + 1;
            reaching(low, high, probe, required, safe);
        }
    }

    // The factor holds the value at t and at forces up to the margin above it.
    bool holdsFrom(double t, double required) const {
        for (int k = 0; k <= 4; ++k)
            if (!(factor(t * (1 + BoltForceMargin * k / 4)) >= required)) return false;
        return true;
    }

    // The exact factor with force t, as the analysis computes it.
    double factor(double t) const {
        const TPoint3D extra = t * bolt_;
        FullSafety r;
        bool driven = false;
        if (boltActive_) {
            driven = drivenVectorMethod(s_, active_ + extra, bolts_, n_, j_, r);
        } else {
            // A bolt along a passive bolt's direction joins it, as the forces
            // do; one merely parallel to it joins it too, which can only give
            // the lower factor.
            std::vector<TPoint3D> passive = bolts_;
            const auto along = std::find_if(passive.begin(), passive.end(), [&](const TPoint3D& g) {
                const double length = norm(g);
                return length > 0 && norm(cross(g, bolt_)) <= 1e-12 * length && dot(g, bolt_) > 0;
            });
            if (along != passive.end())
                *along = *along + extra;
            else
                passive.push_back(extra);
            driven = drivenVectorMethod(s_, active_, passive, n_, j_, r);
        }
        return driven ? r.Factor : Infinity; // undriven: nothing pushes the wedge any more
    }

private:
    Affine both1() const { return (1 / q_) * (m_ * r2_ - r1_); }
    Affine both2() const { return (1 / q_) * (m_ * r1_ - r2_); }
    // The loads along the line of intersection, which changes sign where the
    // sliding sense turns.
    Affine driving() const { return {dot(active_, s_.Sliding), boltActive_ ? dot(bolt_, s_.Sliding) : 0}; }

    TWedgeContact contactAt(double t) const {
        return contactCase(both1().at(t), both2().at(t), -r1_.at(t), -r2_.at(t));
    }

    std::optional<Piece> pieceAt(double probe) const {
        // A non-linear strength: the analysis itself, numerically.
        if (!plainStrengths(j_)) {
            Piece p;
            p.Turning = true;
            return p;
        }
        const double a1 = s_.Faces[int(WedgeSurface::FirstPlane)].Area;
        const double a2 = s_.Faces[int(WedgeSurface::SecondPlane)].Area;
        const TPoint3D boltPassive = boltActive_ ? TPoint3D{} : bolt_;
        Piece p;
        switch (contactAt(probe)) {
        case TWedgeContact::BothPlanes: {
            p.Num = Affine{n_.Cohesion1 * a1 + n_.Cohesion2 * a2 + n_.LiningResistance, 0} + n_.Friction1 * both1() +
                    n_.Friction2 * both2();
            const Affine d = driving();
            const TPoint3D dir = sign(d.at(probe)) * s_.Sliding;
            // A passive bolt that the sliding would not stretch carries nothing.
            if (!stretches(dir)) return std::nullopt;
            p.Num = p.Num - Affine{dot(passive_, dir), dot(boltPassive, dir)};
            p.Alpha = d.a * d.a, p.Beta = d.a * d.b, p.Gamma = d.b * d.b;
            return p;
        }
        case TWedgeContact::FirstPlaneOnly:
            return onePlane(s_.Inward1, n_.Cohesion1 * a1 + n_.LiningResistance, n_.Friction1, r1_);
        case TWedgeContact::SecondPlaneOnly:
            return onePlane(s_.Inward2, n_.Cohesion2 * a2 + n_.LiningResistance, n_.Friction2, r2_);
        default: return std::nullopt; // lift-off or unresolved: factor 0
        }
    }

    std::optional<Piece> onePlane(const TPoint3D& inward, double cohesion, double friction, const Affine& r) const {
        Piece p;
        p.Num = Affine{cohesion, 0} - friction * r;
        const TPoint3D base = inPlane(active_, inward);
        const TPoint3D extra = boltActive_ ? inPlane(bolt_, inward) : TPoint3D{};
        p.Alpha = dot(base, base), p.Beta = dot(base, extra), p.Gamma = dot(extra, extra);
        if (!boltActive_) {
            const TPoint3D dir = (1 / norm(base)) * base;
            if (!stretches(dir)) return std::nullopt;
            p.Num = p.Num - Affine{dot(passive_, dir), dot(bolt_, dir)};
        } else {
            p.Turning = norm(inPlane(passive_, inward)) > 0;
        }
        return p;
    }

    // Whether sliding along dir stretches the carrying passive bolts (and
    // the new one, when passive).
    bool stretches(const TPoint3D& dir) const {
        if (!boltActive_ && !(dot(bolt_, dir) < 0)) return false;
        for (const TPoint3D& m : members_)
            if (!(dot(m, dir) < 0)) return false;
        return true;
    }

    // The forces of [low, high], inside one case, at which the factor is at
    // least `required`, added to `safe`.
    void reaching(double low, double high, double probe, double required, Intervals& safe) const {
        const std::optional<Piece> piece = pieceAt(probe);
        if (!piece) return;
        if (piece->Turning) {
            scanned(low, high, required, safe);
            return;
        }
        // Where the factor crosses the value, or its numerator changes sign.
        std::array<double, 5> points{low};
        std::size_t count = 1;
        std::array<double, 2> roots{};
        const std::size_t rootCount = crossings(*piece, required, roots);
        for (std::size_t i = 0; i < rootCount; ++i)
            if (roots[i] > low && roots[i] < high) points[count++] = roots[i];
        if (const auto zero = piece->Num.root(); zero && *zero > low && *zero < high) points[count++] = *zero;
        for (std::size_t i = 2; i < count; ++i) // insertion sort: at most three values
            for (std::size_t k = i; k > 1 && points[k - 1] > points[k]; --k) std::swap(points[k - 1], points[k]);
        points[count++] = high;
        for (std::size_t i = 0; i + 1 < count; ++i) {
            const double a = points[i], b = points[i + 1];
            const double middle = std::isfinite(b) ? a + (b - a) / 2 : 2 * a + 1;
            if (reaches(*piece, middle, required)) safe.add(a, b);
        }
    }

    static bool reaches(const Piece& p, double t, double required) {
        const double num = p.Num.at(t);
        return num >= 0 && num * num >= required * required * (p.Alpha + 2 * p.Beta * t + p.Gamma * t * t);
    }

    // num = required sqrt(den), squared: a quadratic in T, whose roots are
    // where the factor may cross the value. Their number.
    static std::size_t crossings(const Piece& p, double required, std::array<double, 2>& roots) {
        // Loads whose squares leave the range of a double fail as overflow
        // rather than as "no force reaches the factor".
        const double k = required * required;
        const double c2 = noOverflow(p.Num.b * p.Num.b - k * p.Gamma);
        const double c1 = noOverflow(p.Num.a * p.Num.b - k * p.Beta); // half the linear coefficient
        const double c0 = noOverflow(p.Num.a * p.Num.a - k * p.Alpha);
        // Linear where the squared terms cancel to rounding, judged against
        // their own size: forces and factors differ by many orders.
        if (std::fabs(c2) <= 1e-14 * (p.Num.b * p.Num.b + k * std::fabs(p.Gamma))) {
            if (c1 == 0) return 0;
            roots[0] = -c0 / (2 * c1);
            return 1;
        }
        const double disc = c1 * c1 - c2 * c0;
        if (!(disc >= 0)) return 0;
        const double h = -(c1 + std::copysign(std::sqrt(disc), c1));
        if (h == 0) {
            roots[0] = 0;
            return 1;
        }
        roots = {std::min(h / c2, c0 / h), std::max(h / c2, c0 / h)};
        return 2;
    }

    // The turning case, numerically: the factor at 33 points (spread evenly,
    // or geometrically past the last break), and between two of them where
    // it crosses the value, bisection to 1e-12: every stretch of the piece
    // where it reaches the value, not only the first. The check against the
    // analysis decides between the points.
    void scanned(double low, double high, double required, Intervals& safe) const {
        const double scale = norm(active_) + norm(passive_);
        const double top = std::isfinite(high) ? high : low + 1e9 * scale;
        const auto reachesAt = [&](double t) { return factor(t) >= required; };
        const auto crossing = [&](double a, double b, bool reachedAtA) {
            while (b - a > 1e-12 * b) {
                const double mid = (a + b) / 2;
                (reachesAt(mid) == reachedAtA ? a : b) = mid;
            }
            return reachedAtA ? a : b;
        };
        double previous = low == 0 ? 0 : low * (1 + 1e-12);
        bool before = reachesAt(previous);
        std::optional<double> from;
        if (before) from = previous;
        for (int i = 1; i <= 32; ++i) {
            // The last point short of a finite end: the end is the next piece's.
            const double t = !std::isfinite(high) ? low + (top - low) * std::pow(2.0, i - 32)
                             : i < 32             ? low + (top - low) * i / 32
                                                  : std::max(previous, high * (1 - 1e-12));
            const bool now = reachesAt(t);
            if (now != before) {
                const double edge = crossing(previous, t, before);
                if (now) {
                    from = edge;
                } else {
                    safe.add(*from, edge);
                    from.reset();
                }
            }
            previous = t, before = now;
        }
        if (from) safe.add(*from, high);
    }

    const WedgeShape& s_;
    const WedgeNumbers& n_;
    const JointStrengths& j_;
    TPoint3D active_, passive_, bolt_;
    bool boltActive_;
    std::vector<TPoint3D> bolts_; // every passive bolt, for the analysis itself
    std::span<const TPoint3D> members_;
    double m_ = 0, q_ = 1;
    Affine r1_, r2_; // (loads + T bolt) . inward normals
};

// The least force along `bolt` from which the factor holds `required` up to
// the margin above it: the forces that reach it, over every set of the
// passive bolts that may carry, joined into intervals; the first interval
// long enough gives its start, nudged up by 1e-9 so that the factor is
// reached past rounding, and checked against the analysis itself.
std::optional<double> boltForce(const FullAnalysis& a, const WedgeNumbers& n, const JointStrengths& j,
                                const TPoint3D& bolt, bool active, double required) {
    const std::vector<TPoint3D>& groups = a.Forces.Passive;
    std::vector<std::pair<double, double>> spans;
    std::vector<TPoint3D> members;
    const auto add = [&](const TPoint3D& carried, std::span<const TPoint3D> with) {
        Intervals safe;
        BoltProblem(a, n, j, bolt, active, carried, with).safeForces(required, safe);
        spans.insert(spans.end(), safe.Spans.begin(), safe.Spans.begin() + safe.Count);
    };
    // Every set of a few directions; beyond that (sets double with each) the
    // set carrying without the new bolt, and none: a force found that way
    // holds, checked as every force is, but may not be the least. With a
    // non-linear strength every piece is the analysis itself, whichever set
    // carries, so one set's breaks suffice.
    if (!plainStrengths(j)) {
        add({}, {});
    } else if (groups.size() > 6) {
        add({}, {});
        add(a.Safety.Carried, {});
    } else {
        for (std::uint32_t set = 0; set < (std::uint32_t{1} << groups.size()); ++set) {
            TPoint3D carried{};
            members.clear();
            for (std::size_t i = 0; i < groups.size(); ++i)
                if (set >> i & 1) carried = carried + groups[i], members.push_back(groups[i]);
            add(carried, members);
        }
    }
    std::sort(spans.begin(), spans.end());
    const BoltProblem check(a, n, j, bolt, active);
    constexpr double above = 1 + BoltForceMargin;
    for (std::size_t i = 0; i < spans.size();) {
        auto [from, to] = spans[i++];
        for (; i < spans.size() && spans[i].first <= to * (1 + 1e-12); ++i) to = std::max(to, spans[i].second);
        const double t = from == 0 ? 0 : from * (1 + 1e-9);
        if (to >= above * t && check.holdsFrom(t, required)) return t;
    }
    return std::nullopt;
}

bool reached(const FullAnalysis& a, double required) {
    return !a.Refusal && a.Safety.Contact != TWedgeContact::Unresolved && a.Safety.Factor >= required;
}

// The directions that minimise the force in closed form while the contact
// case holds: the force is (required D - R) / (g . b), so b along g.
std::vector<TPoint3D> closedFormDirections(const FullAnalysis& a, const WedgeNumbers& n, bool active, double required) {
    const WedgeShape& s = a.Shape;
    const double m = dot(s.Inward1, s.Inward2), q = 1 - m * m;
    const TPoint3D normals =
        (-1 / q) * (n.Friction1 * (s.Inward1 - m * s.Inward2) + n.Friction2 * (s.Inward2 - m * s.Inward1));
    const TPoint3D loads = a.Forces.active();
    const TPoint3D sliding = sign(dot(loads, s.Sliding)) * s.Sliding;
    std::vector<TPoint3D> directions{normals - (active ? required : 1) * sliding};
    for (const auto& [inward, friction] : {std::pair{s.Inward1, n.Friction1}, std::pair{s.Inward2, n.Friction2}}) {
        const TPoint3D along = inPlane(loads, inward);
        if (norm(along) > 0) directions.push_back(-friction * inward - ((active ? required : 1) / norm(along)) * along);
    }
    return directions;
}

// The least force over all directions by search: a 15-degree net and the
// closed-form directions, then a pattern search to 1e-5 degrees from each of
// the four best of them, since the force along a direction has kinks
// between contact cases and more than one local least. For the loads the
// pieces below cannot describe.
template <class Force>
std::optional<LeastBolt> searchedLeastBolt(const Force& force, const std::vector<TPoint3D>& closedForm, double net = 15,
                                           std::size_t from = 4) {
    std::vector<LeastBolt> found;
    const auto consider = [&](const LineDirection& d) {
        const double t = force(directionVector(d));
        if (std::isfinite(t)) found.push_back({d, t});
    };
    for (double plunge = -90 + net; plunge < 90; plunge += net)
        for (double trend = 0; trend < 360; trend += net) consider({trend, plunge});
    consider({0, 90}), consider({0, -90});
    for (const TPoint3D& d : closedForm)
        if (norm(d) > 0) consider(directionOf(d));
    if (found.empty()) return std::nullopt;
    const std::size_t starts = std::min<std::size_t>(from, found.size());
    std::partial_sort(found.begin(), found.begin() + starts, found.end(),
                      [](const LeastBolt& a, const LeastBolt& b) { return a.Force < b.Force; });
    LeastBolt best{{}, Infinity};
    for (std::size_t i = 0; i < starts; ++i) {
        LeastBolt at = found[i];
        // Pattern search: move to a better neighbour, else halve the step.
        for (double step = 7.5; step > 1e-5;) {
            bool moved = false;
            // Diagonal moves too: the least often lies in a narrow valley
            // along a kink, oblique to trend and plunge.
            const std::pair<double, double> moves[] = {{step, 0},    {-step, 0},    {0, step},     {0, -step},
                                                       {step, step}, {step, -step}, {-step, step}, {-step, -step}};
            for (const auto& [dt, dp] : moves) {
                const LineDirection next{at.Direction.Trend + dt, std::clamp(at.Direction.Plunge + dp, -90.0, 90.0)};
                const double t = force(directionVector(next));
                if (t < at.Force) at = {next, t}, moved = true;
            }
            if (!moved) step /= 2;
        }
        if (at.Force < best.Force) best = at;
    }
    best.Direction.Trend = std::fmod(std::fmod(best.Direction.Trend, 360) + 360, 360);
    return best;
}

// The loads under which the wedge holds with the required factor, case by
// case: a convex piece bounded by planes in the bolt's force vector X and
// at most one cone. In each contact case (and, for an active bolt on both
// planes, each sense of sliding) the reactions' signs and, with the
// factor's denominator fixed or linear, the strength condition are planes
// in X; an active bolt on one plane meets a cone (the in-plane load against
// cohesion plus friction on the normal reaction).
struct SafePiece {
    std::array<HalfSpace, 4> Sides{};
    std::size_t Count = 0;
    std::optional<StrengthCone> Cone;
};

// The pieces with the passive bolts `members` (of sum `passive`) carrying.
// A piece in which the sliding would not stretch each of them is not
// theirs (where the sliding direction is fixed: both planes, or one plane
// under a passive bolt). An active bolt on one plane that carries passive
// bolts turns the sliding, and their resistance with it: its piece is
// widened to a cone that holds whatever way they pull (their part in the
// plane added to the cohesion), which contains the safe loads - enough for
// a lower bound. False for a non-linear strength, whose pieces are no such
// sets.
bool safePieces(const FullAnalysis& a, const WedgeNumbers& n, const JointStrengths& j, bool active, double required,
                const TPoint3D& passive, std::span<const TPoint3D> members, std::vector<SafePiece>& pieces) {
    if (!plainStrengths(j)) return false; // the pieces are Mohr-Coulomb's
    const auto stretches = [&](const TPoint3D& dir) {
        return std::all_of(members.begin(), members.end(), [&](const TPoint3D& m) { return dot(m, dir) < 0; });
    };
    const WedgeShape& s = a.Shape;
    const TPoint3D loads = a.Forces.active(), total = loads + passive;
    const double m = dot(s.Inward1, s.Inward2), q = 1 - m * m;
    // Reactions with contact on both planes: g . (total + X).
    const TPoint3D g1 = (1 / q) * (m * s.Inward2 - s.Inward1), g2 = (1 / q) * (m * s.Inward1 - s.Inward2);
    const double lining = n.LiningResistance;
    const double c1 = n.Cohesion1 * s.Faces[int(WedgeSurface::FirstPlane)].Area;
    const double c2 = n.Cohesion2 * s.Faces[int(WedgeSurface::SecondPlane)].Area;
    const auto positive = [&](const TPoint3D& g) { return HalfSpace{g, -dot(g, total)}; }; // g . (total + X) >= 0

    // Both planes: c + f1 N1 + f2 N2 - passive . dir >= F |driving|.
    const TPoint3D friction = n.Friction1 * g1 + n.Friction2 * g2;
    const double held = c1 + c2 + lining + dot(friction, total);
    for (double sense : {1.0, -1.0}) {
        const TPoint3D dir = sense * s.Sliding;
        if (!stretches(dir)) continue;
        if (active)
            pieces.push_back(
                {{positive(g1), positive(g2), HalfSpace{dir, -dot(dir, loads)},
                  HalfSpace{friction - required * dir, required * dot(dir, loads) + dot(passive, dir) - held}},
                 4,
                 std::nullopt});
        else if (dot(loads, dir) > 0) // the bolt must be stretched: dir . X <= 0
            pieces.push_back({{positive(g1), positive(g2),
                               HalfSpace{friction - dir, required * dot(loads, dir) + dot(passive, dir) - held},
                               HalfSpace{-1 * dir, 0}},
                              4,
                              std::nullopt});
    }
    // One plane: the other's reaction with both would pull, this one's alone
    // pushes; the loads' part in the plane is held by its strength.
    const auto onePlane = [&](const TPoint3D& inward, const TPoint3D& otherBoth, double cohesion, double f) {
        const HalfSpace pull = positive(-1 * otherBoth), push = positive(-1 * inward);
        const TPoint3D along = inPlane(loads, inward);
        if (active) {
            // Measured from the loads without the passive bolts' part in the
            // plane: across the axis the sliding load, along it the reaction.
            const TPoint3D turning = inPlane(passive, inward);
            pieces.push_back(
                {{pull, push}, 2, StrengthCone{turning - total, -1 * inward, required, cohesion + norm(turning), f}});
        } else if (norm(along) > 0 && stretches((1 / norm(along)) * along)) {
            const TPoint3D dir = (1 / norm(along)) * along;
            pieces.push_back({{pull, push,
                               HalfSpace{-f * inward - dir, required * norm(along) + dot(passive, dir) - cohesion +
                                                                f * dot(inward, total)},
                               HalfSpace{-1 * dir, 0}},
                              4,
                              std::nullopt});
        }
    };
    onePlane(s.Inward1, g2, c1 + lining, n.Friction1);
    onePlane(s.Inward2, g1, c2 + lining, n.Friction2);
    return true;
}

// The force must hold from X up to (1 + margin) X, and the wedge may pass
// from one piece to another on the way (from one plane to both, say): X in
// one piece and (1 + margin) X in another, or the same. For each such pair
// the nearest X: the least of their lengths is a lower bound of the least
// force over all directions (the forces between are not asked to hold, and
// a pair with two cones keeps one), and their directions are where it is
// sought. Nearest first.
struct NearX {
    double Distance;
    TPoint3D X;
};
std::vector<NearX> nearestSafeBolts(const std::vector<SafePiece>& pieces) {
    constexpr double above = 1 + BoltForceMargin;
    struct Pair {
        std::array<HalfSpace, 8> Sides{};
        std::size_t Count = 0;
        std::optional<StrengthCone> Cone;
        double AtLeast = 0;
        std::span<const HalfSpace> boundaries() const { return {Sides.data(), Count}; }
    };
    // Each piece with itself first: of loads as near, the force and its
    // margin in one case are preferred.
    std::vector<std::pair<std::size_t, std::size_t>> order;
    for (std::size_t i = 0; i < pieces.size(); ++i) order.emplace_back(i, i);
    for (std::size_t i = 0; i < pieces.size(); ++i)
        for (std::size_t k = 0; k < pieces.size(); ++k)
            if (k != i) order.emplace_back(i, k);
    std::vector<Pair> pairs;
    for (const auto& [i, k] : order) {
        const SafePiece &from = pieces[i], &to = pieces[k];
        Pair p;
        for (std::size_t n = 0; n < from.Count; ++n) p.Sides[p.Count++] = from.Sides[n];
        // (1 + margin) X in `to`: g . X >= k / (1 + margin), the cone's
        // origin and cohesion shrunk alike.
        for (std::size_t n = 0; n < to.Count; ++n) p.Sides[p.Count++] = {to.Sides[n].g, to.Sides[n].k / above};
        if (from.Cone)
            p.Cone = from.Cone;
        else if (to.Cone)
            p.Cone = StrengthCone{(1 / above) * to.Cone->Origin, to.Cone->Axis, to.Cone->Slope,
                                  to.Cone->Cohesion / above, to.Cone->Friction};
        p.AtLeast = distanceAtLeast(p.boundaries(), p.Cone ? &*p.Cone : nullptr);
        pairs.push_back(p);
    }
    std::stable_sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) { return a.AtLeast < b.AtLeast; });
    std::vector<NearX> found;
    double nearest = Infinity;
    for (const Pair& p : pairs) {
        // Pairs beyond three times the nearest give no bound and no better direction.
        if (p.AtLeast > 3 * nearest) break;
        if (const auto x = nearestPoint(p.boundaries(), p.Cone ? &*p.Cone : nullptr)) {
            found.push_back({norm(*x), *x});
            nearest = std::min(nearest, norm(*x));
        }
    }
    // Nearest first, distances within rounding (1e-12) taken as equal.
    const auto rounded = [](double d) { return d > 0 ? std::round(std::log(d) * 1e12) : -Infinity; };
    std::stable_sort(found.begin(), found.end(),
                     [&](const NearX& a, const NearX& b) { return rounded(a.Distance) < rounded(b.Distance); });
    return found;
}

} // namespace

std::optional<double> requiredBoltForce(const FullAnalysis& analysis, const WedgeNumbers& strengths,
                                        const JointStrengths& models, const DesignBolt& bolt, double required) {
    if (analysis.Refusal) return std::nullopt;
    if (reached(analysis, required)) return 0.0;
    return boltForce(analysis, strengths, models, directionVector(bolt.Direction), bolt.Mode == BoltMode::Active,
                     required);
}

std::optional<LeastBolt> leastBoltForce(const FullAnalysis& analysis, const WedgeNumbers& strengths,
                                        const JointStrengths& models, BoltMode mode, double required) {
    if (analysis.Refusal) return std::nullopt;
    if (reached(analysis, required)) return LeastBolt{directionOf(-1 * analysis.Shape.Sliding), 0};
    const bool active = mode == BoltMode::Active;
    const auto force = [&](const TPoint3D& d) {
        const auto t = boltForce(analysis, strengths, models, d, active, required);
        return t ? *t : Infinity;
    };
    // Which passive bolts carry may change once the new bolt pulls: the
    // safe loads are pieced together for every set of them that may carry
    // (as boltForce tries them), and the nearest loads with the force and
    // the force plus the margin both safe bound the least force from below.
    // The force along the best of their directions, from the analysis
    // itself, that meets the bound is the least. Otherwise (a direction
    // that only grazes the safe loads, a stretch condition that binds, a
    // force whose margin leaves the safe loads on the way, a non-linear
    // strength) the search decides, starting from those directions too,
    // and the least it finds is confirmed when it is within 0.5 % of the
    // bound.
    std::vector<TPoint3D> starts = closedFormDirections(analysis, strengths, active, required);
    const std::vector<TPoint3D>& groups = analysis.Forces.Passive;
    std::vector<SafePiece> pieces;
    bool bounded = groups.size() <= 6; // beyond, the sets tried are not all: no bound
    if (groups.size() > 6) {
        bounded &= safePieces(analysis, strengths, models, active, required, {}, {}, pieces);
        bounded &= safePieces(analysis, strengths, models, active, required, analysis.Safety.Carried, {}, pieces);
    } else {
        std::vector<TPoint3D> members;
        for (std::uint32_t set = 0; set < (std::uint32_t{1} << groups.size()); ++set) {
            TPoint3D carried{};
            members.clear();
            for (std::size_t i = 0; i < groups.size(); ++i)
                if (set >> i & 1) carried = carried + groups[i], members.push_back(groups[i]);
            bounded &= safePieces(analysis, strengths, models, active, required, carried, members, pieces);
        }
    }
    const std::vector<NearX> near = nearestSafeBolts(pieces);
    const double bound = bounded && !near.empty() ? near.front().Distance : 0;
    std::optional<LeastBolt> best;
    for (const NearX& x : near) {
        if (best && x.Distance >= best->Force) break;
        if (x.Distance == 0) continue;
        const TPoint3D along = (1 / x.Distance) * x.X;
        // A direction replaces the best only by more than rounding.
        if (const double t = force(along); !best || t < best->Force * (1 - 1e-9))
            best = LeastBolt{directionOf(along), t};
        starts.push_back(along);
        if (starts.size() > 64) break;
    }
    if (best && std::isfinite(best->Force) && bound > 0 && best->Force <= bound * (1 + 1e-7)) return best;
    const auto close = [&](const std::optional<LeastBolt>& l) {
        return bound > 0 && l && l->Force <= bound * (1 + LeastForceCloseness);
    };
    std::optional<LeastBolt> searched = searchedLeastBolt(force, starts);
    // Not confirmed with a bound to meet: once more on a 5-degree net from
    // its eight best directions (Mohr-Coulomb's forces are cheap to ask).
    if (bound > 0 && searched && !close(searched)) {
        starts.push_back(directionVector(searched->Direction));
        if (const auto finer = searchedLeastBolt(force, starts, 5, 8); finer && finer->Force < searched->Force)
            searched = finer;
    }
    if (searched) searched->Confirmed = close(searched);
    return searched;
}

SupportDesign designSupport(const FullAnalysis& analysis, const WedgeNumbers& numbers, const WedgeLoads& loads) {
    // The design's re-analyses hold by the shotcrete as the analysis did.
    WedgeNumbers strengths = numbers;
    strengths.LiningResistance = analysis.Forces.LiningResistance;
    SupportDesign d;
    d.RequiredFactor = loads.RequiredFactor;
    d.Bolt = loads.Design;
    if (loads.Design)
        d.BoltForce = requiredBoltForce(analysis, strengths, loads.Strength, *loads.Design, loads.RequiredFactor);
    d.Least = leastBoltForce(analysis, strengths, loads.Strength, loads.Design ? loads.Design->Mode : BoltMode::Active,
                             loads.RequiredFactor);
    // No figure that is not finite reaches a report.
    if (d.BoltForce) noOverflow(*d.BoltForce);
    if (d.Least)
        noOverflow(d.Least->Force), noOverflow(d.Least->Direction.Trend), noOverflow(d.Least->Direction.Plunge);
    return d;
}

std::string leastBoltNote(const SupportDesign& d) {
    if (!d.Least || d.Least->Confirmed) return {};
    return inLanguage("最省力锚杆方向由搜索求得，未能确认其锚固力在各方向最小值的0.5%以内",
                      "the most efficient bolt direction was found by search; its force could not be confirmed "
                      "within 0.5 % of the least over all directions");
}

} // namespace trelmox
