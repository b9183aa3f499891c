#include "analysis/probabilistic/reliability_bolt.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/polyhedron.h"
#include "analysis/probabilistic/reliability_modes.h"
#include "analysis/support.h"
#include "analysis/vec3.h"

namespace trelmox {

namespace {

// A force is solved to this share of itself.
constexpr double ForceTolerance = 1e-6;
// The pattern search's first and last angular steps, in degrees.
constexpr double FirstStep = 8, LastStep = 1.0 / 32;
// A direction the search has left must do better than this share to be
// taken up again, so that the rounds end.
constexpr double Improvement = 1e-4;
constexpr int MostRounds = 3;

double radians(double degrees) { return degrees * std::numbers::pi / 180; }

// The inputs at a point of standard space, written into the block's.
BlockInputs inputsAt(const BlockInputs& base, const StandardSpace& space, const std::vector<double>& u) {
    std::vector<double> x(space.dimension());
    space.physical(u.data(), x.data());
    BlockInputs inputs = base;
    for (std::size_t k = 0; k < x.size(); ++k) parameterField(inputs, space.inputs()[k]) = x[k];
    return inputs;
}

// The deterministic support design of the inputs for the factor
// `required`: the least-force direction, or the force along `along`.
struct Deterministic {
    std::optional<LeastBolt> Least;
    std::optional<double> Along;
};
Deterministic deterministicDesign(BlockInputs inputs, double required,
                                  const std::optional<LineDirection>& along = std::nullopt) {
    Deterministic d;
    try {
        const FullAnalysis a = evaluateFull(inputs);
        if (a.Refusal) return d;
        WedgeNumbers strengths = inputs.Numbers;
        strengths.LiningResistance = a.Forces.LiningResistance;
        if (along)
            d.Along =
                requiredBoltForce(a, strengths, inputs.Loads.Strength, DesignBolt{*along, BoltMode::Active}, required);
        else
            d.Least = leastBoltForce(a, strengths, inputs.Loads.Strength, BoltMode::Active, required);
    } catch (const Error&) { // no design there: neither a start nor a bound
    }
    return d;
}

std::vector<double> scaled(const std::vector<double>& v, double by) {
    std::vector<double> out(v.size());
    for (std::size_t k = 0; k < v.size(); ++k) out[k] = by * v[k];
    return out;
}

// The direction `step` degrees from `from` towards azimuth `turn` about it.
LineDirection turned(const LineDirection& from, double step, double turn) {
    const TPoint3D d = directionVector(from);
    TPoint3D e1 = cross(TPoint3D{0, 0, 1}, d);
    e1 = norm(e1) > 1e-12 ? (1 / norm(e1)) * e1 : TPoint3D{1, 0, 0};
    const TPoint3D e2 = cross(d, e1);
    const double s = radians(step), t = radians(turn);
    return directionOf(std::cos(s) * d + std::sin(s) * (std::cos(t) * e1 + std::sin(t) * e2));
}

} // namespace

// The state of one direction's force search.
struct BoltForces::Solve {
    bool Full = false;               // every start at every force
    std::vector<DesignPoint> Latest; // the last design points found: the starts when following
    double Low = 0;                  // a force that does not reach
    std::optional<double> LowGap;    // beta - target there; none without an index
    std::optional<double> High;      // a force that reaches
    double HighGap = 0;
    std::vector<DesignPoint> HighPoints;
    double Hint = 0;
};

BoltForces::BoltForces(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters, const WedgeLoads& loads,
                       const ReliabilitySettings& settings)
    : attitudes_(attitudes), parameters_(parameters), loads_(loads), settings_(settings),
      target_(settings.TargetBeta.value_or(0)) {
    double weight = 0;
    try {
        BlockInputs base = blockInputs(attitudes, parameters, loads);
        weight = norm(evaluateFull(base).Forces.Weight);
    } catch (const Error&) {}
    // As far as forty doublings of a twentieth of the weight.
    ceiling_ = (weight > 0 && std::isfinite(weight) ? weight : 1) * 0x1p36;
}

std::optional<double> BoltForces::beta(const LineDirection& direction, double force,
                                       const std::vector<DesignPoint>* near, std::vector<DesignPoint>* points) {
    WedgeLoads loads = loads_;
    loads.Bolts.emplace_back(force, direction, BoltMode::Active);
    BlockLimitState state(blockInputs(attitudes_, parameters_, loads), settings_);
    const StandardFactor factor = state.factor();
    if (points) points->clear();
    // Where the medians fail (or cut out no wedge) the index is not above
    // 0, and no search is needed to tell that a positive target is missed.
    if (target_ > 0) {
        const std::vector<double> medians(state.Space.dimension(), 0.0);
        const FactorValue atMedians = factor(medians.data());
        ++evaluations_;
        if (!hasFactor(atMedians) || atMedians.Factor < 1) return std::nullopt;
    }
    ModeSearch search;
    if (near && !near->empty()) {
        std::vector<std::vector<double>> starts;
        for (const DesignPoint& point : *near) starts.push_back(point.U);
        search = followModes(factor, starts);
        evaluations_ += search.Evaluations;
    }
    if (search.Points.empty()) { // lost: every start
        search = searchModes(factor, state.Space.dimension());
        evaluations_ += search.Evaluations;
    }
    const std::optional<double> beta = systemBetaOf(search.Points);
    if (points) *points = std::move(search.Points);
    return beta;
}

BoltForces::Along BoltForces::solve(const LineDirection& direction, Solve& s) {
    Along result{direction, std::nullopt, {}, {}};
    std::vector<DesignPoint> points;
    const auto gapAt = [&](double force) -> std::optional<double> {
        const std::optional<double> b = beta(direction, force, s.Full ? nullptr : &s.Latest, &points);
        if (!points.empty()) s.Latest = points;
        return b ? std::optional(*b - target_) : std::nullopt;
    };
    const auto reaches = [](const std::optional<double>& gap) { return gap && *gap >= 0; };
    constexpr double above = 1 + BoltForceMargin;
    for (int round = 0; round < 12; ++round) {
        // A force that reaches: up from the hint in growing steps; then down
        // from it while it reaches, so that the crossing is bracketed close.
        double step = 1.02;
        if (!s.High) {
            for (double force = std::max(s.Hint, s.Low * step);; force *= step, step = std::min(step * step, 2.0)) {
                if (force > ceiling_) return result;
                const std::optional<double> gap = gapAt(force);
                if (reaches(gap)) {
                    s.High = force, s.HighGap = *gap, s.HighPoints = points;
                    break;
                }
                s.Low = force, s.LowGap = gap;
            }
        }
        // (Only where nothing below it is known: a force that did not reach
        // lies just below it otherwise.)
        for (step = 1.02; s.Low == 0 && *s.High > ceiling_ * 0x1p-100; step = std::min(step * step, 2.0)) {
            const double force = *s.High / step;
            const std::optional<double> gap = gapAt(force);
            if (!reaches(gap)) {
                s.Low = force, s.LowGap = gap;
                break;
            }
            s.High = force, s.HighGap = *gap, s.HighPoints = points;
        }
        // Illinois's false position on beta - target, halving where a side
        // has no index or the bracket shrinks from one side only.
        int lastSide = 0;
        double lowGap = s.LowGap.value_or(0), highGap = s.HighGap;
        while (*s.High - s.Low > ForceTolerance * *s.High) {
            double force = 0.5 * (s.Low + *s.High);
            if (s.LowGap && highGap > lowGap) {
                const double t = (s.Low * highGap - *s.High * lowGap) / (highGap - lowGap);
                if (t > s.Low && t < *s.High) force = t;
            }
            const std::optional<double> gap = gapAt(force);
            if (reaches(gap)) {
                s.High = force, s.HighGap = highGap = *gap, s.HighPoints = points;
                if (lastSide == 1) lowGap /= 2;
                lastSide = 1;
            } else {
                s.Low = force, s.LowGap = gap;
                lowGap = gap.value_or(0);
                if (lastSide == -1) highGap /= 2;
                lastSide = -1;
            }
        }
        // The margin: the target holds up to its share above the force, or
        // the force is sought again above where it does not.
        result.MarginPoints.clear();
        bool held = true;
        for (int k = 1; k <= 4 && held; ++k) {
            const double force = *s.High * (1 + BoltForceMargin * k / 4);
            const std::optional<double> gap = gapAt(force);
            if (reaches(gap)) {
                result.MarginPoints.push_back(points);
            } else {
                held = false;
                s.Low = force, s.LowGap = gap, s.High.reset(), s.Hint = force * above;
            }
        }
        if (held) {
            result.Force = *s.High;
            result.Points = s.HighPoints;
            return result;
        }
    }
    return result;
}

BoltForces::Along BoltForces::fully(const LineDirection& direction, std::optional<double> hint) {
    Solve s;
    s.Full = true;
    s.Hint = hint && *hint > 0 && std::isfinite(*hint) ? *hint : ceiling_ * 0x1p-40;
    return solve(direction, s);
}

BoltForces::Along BoltForces::followed(const LineDirection& direction, std::optional<double> hint) {
    Solve s;
    s.Hint = hint && *hint > 0 && std::isfinite(*hint) ? *hint : ceiling_ * 0x1p-40;
    return solve(direction, s);
}

std::optional<BoltForces::Along> BoltForces::below(const LineDirection& direction, const Along& best) {
    Solve s;
    s.Latest = best.Points;
    std::vector<DesignPoint> points;
    const std::optional<double> b = beta(direction, *best.Force, &s.Latest, &points);
    if (!b || *b < target_) return std::nullopt;
    s.Latest = points;
    s.High = *best.Force, s.HighGap = *b - target_, s.HighPoints = std::move(points);
    Along found = solve(direction, s);
    if (!found.Force || !(*found.Force < *best.Force)) return std::nullopt;
    return found;
}

ReliabilityBolt designReliabilityBolt(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters,
                                      const WedgeLoads& loads, const ReliabilitySettings& settings,
                                      const std::optional<ReliabilityMode>& unbolted) {
    ReliabilityBolt out;
    BoltForces forces(attitudes, parameters, loads, settings);
    const double target = forces.target();
    const BlockInputs base = blockInputs(attitudes, parameters, loads);
    const StandardSpace space(base, settings.Inputs);
    // The unbolted design point moved out to the target's distance: the
    // inputs a bolt must hold first.
    std::optional<std::vector<double>> targetPoint;
    if (unbolted && unbolted->Alpha.size() == space.dimension()) targetPoint = scaled(unbolted->Alpha, target);

    const auto reachedWithout = [&] {
        const std::optional<double> b = forces.beta(settings.DesignBolt.value_or(LineDirection{}), 0, nullptr);
        return b && *b >= target;
    };
    if (settings.DesignBolt) {
        out.Direction = *settings.DesignBolt;
        if (reachedWithout()) {
            out.Force = 0;
        } else {
            std::optional<double> hint;
            if (targetPoint)
                hint = deterministicDesign(inputsAt(base, space, *targetPoint), 1, *settings.DesignBolt).Along;
            const BoltForces::Along along = forces.fully(*settings.DesignBolt, hint);
            out.Force = along.Force;
            if (!along.Force) out.Failure = ReliabilityFailure::BoltCannotReachTarget;
        }
        out.Evaluations = forces.evaluations();
        return out;
    }
    if (reachedWithout()) {
        out.Force = 0, out.LowerBound = 0, out.Confirmed = true;
        out.Evaluations = forces.evaluations();
        return out;
    }

    // The starts: the least-force direction at the target's point for
    // factor 1, and the block's own support design.
    std::vector<LeastBolt> starts;
    if (targetPoint)
        if (const auto least = deterministicDesign(inputsAt(base, space, *targetPoint), 1).Least)
            starts.push_back(*least);
    if (const auto least = deterministicDesign(base, loads.RequiredFactor).Least) starts.push_back(*least);
    std::optional<BoltForces::Along> best;
    for (const LeastBolt& start : starts) {
        ++out.Directions;
        if (!best) {
            BoltForces::Along along = forces.followed(start.Direction, start.Force);
            if (along.Force) best = std::move(along);
        } else if (auto better = forces.below(start.Direction, *best)) {
            best = std::move(better);
        }
    }
    if (!best) {
        out.Failure = ReliabilityFailure::NoBoltReachesTarget;
        out.Evaluations = forces.evaluations();
        return out;
    }

    const auto patternSearch = [&](double step) {
        while (step >= LastStep) {
            std::optional<BoltForces::Along> better;
            for (int k = 0; k < 8; ++k) {
                ++out.Directions;
                if (auto c = forces.below(turned(best->Direction, step, 45.0 * k), better ? *better : *best))
                    better = std::move(c);
            }
            if (better)
                best = std::move(better);
            else
                step /= 2;
        }
    };
    patternSearch(FirstStep);
    BoltForces::Along settled;
    double bound = 0;
    for (int round = 0;; ++round) {
        // The force by every start; a mode the followed searches lost shows
        // as a different force, and the search goes on with it.
        settled = forces.fully(best->Direction, best->Force);
        if (!settled.Force) break;
        if (round < MostRounds && std::abs(*settled.Force - *best->Force) > Improvement * *best->Force) {
            best = settled;
            patternSearch(FirstStep / 4);
            continue;
        }
        // The bound, from the design points of the force and of the margin's
        // forces (each must hold its inputs at the target's distance) and
        // from the unbolted one; their deterministic directions are tried.
        bound = 0;
        std::vector<std::vector<double>> points;
        if (targetPoint) points.push_back(*targetPoint);
        for (const DesignPoint& p : settled.Points) points.push_back(scaled(p.Alpha, target));
        for (const auto& at : settled.MarginPoints)
            for (const DesignPoint& p : at) points.push_back(scaled(p.Alpha, target));
        std::optional<BoltForces::Along> better;
        for (const std::vector<double>& u : points) {
            const auto least = deterministicDesign(inputsAt(base, space, u), 1).Least;
            if (!least) continue;
            bound = std::max(bound, least->Force);
            ++out.Directions;
            if (auto c = forces.below(least->Direction, better ? *better : settled);
                c && *c->Force < (1 - Improvement) * *settled.Force)
                better = std::move(c);
        }
        if (round < MostRounds && better) {
            best = std::move(better);
            patternSearch(FirstStep / 8);
            continue;
        }
        break;
    }
    out.Evaluations = forces.evaluations();
    if (!settled.Force) {
        out.Failure = ReliabilityFailure::NoBoltReachesTarget;
        return out;
    }
    out.Direction = settled.Direction;
    out.Force = settled.Force;
    if (!settings.Hook) {
        out.LowerBound = bound;
        out.Confirmed =
            bound <= *settled.Force * (1 + Improvement) && *settled.Force <= bound * (1 + LeastBoltTolerance);
    }
    return out;
}

} // namespace trelmox
