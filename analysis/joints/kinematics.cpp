#include "analysis/joints/kinematics.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <omp.h>

#include "analysis/vec3.h"
#include "model/wording.h"
#include "model/error.h"
#include "model/numtext.h"

namespace trelmox {

WedgeKinematics wedgeKinematics(const TPlaneAttitude& first, const TPlaneAttitude& second, const TPlaneAttitude& face,
                                double frictionAngleDegrees) {
    WedgeKinematics k;
    k.Intersection = intersectionLine(first, second);
    if (!k.Intersection) return k;
    k.FaceApparentDip = apparentDip(face, k.Intersection->Trend);
    k.Daylights = k.Intersection->Plunge < k.FaceApparentDip;
    k.SteeperThanFriction = k.Intersection->Plunge > frictionAngleDegrees;
    return k;
}

const char* kinematicModeKey(KinematicMode mode) {
    switch (mode) {
    case KinematicMode::Planar: return "planar";
    case KinematicMode::Wedge: return "wedge";
    case KinematicMode::FlexuralToppling: return "flexural_toppling";
    case KinematicMode::DirectToppling: return "direct_toppling";
    }
    return "";
}

const char* kinematicModeName(KinematicMode mode) {
    switch (mode) {
    case KinematicMode::Planar: return inLanguage("平面滑动", "planar sliding");
    case KinematicMode::Wedge: return inLanguage("楔形滑动", "wedge sliding");
    case KinematicMode::FlexuralToppling: return inLanguage("弯曲倾倒", "flexural toppling");
    case KinematicMode::DirectToppling: return inLanguage("直接倾倒", "direct toppling");
    }
    return "";
}

bool checksIntersections(KinematicMode mode) {
    return mode == KinematicMode::Wedge || mode == KinematicMode::DirectToppling;
}

void validateKinematicSlope(const KinematicSlope& slope) {
    // Fields by their names in the sectors file and the tool's options.
    // `what` and `range` in Chinese, then in English.
    const auto require = [](bool ok, const std::string& what, const std::string& englishWhat, const char* field,
                            double value, const char* range, const char* englishRange) {
        if (!ok)
            throw Error::refused(
                inLanguage(what + " " + floatToText(value) + " 超出范围（" + range + "）",
                           englishWhat + " " + floatToText(value) + " is out of range (" + englishRange + ")"),
                field);
    };
    require(std::isfinite(slope.FaceDip) && slope.FaceDip >= 0 && slope.FaceDip <= 180, "坡面倾角", "slope face dip",
            "dip", slope.FaceDip, "0～180°，大于 90° 为倒坡", "0 to 180°, above 90° overhanging");
    require(std::isfinite(slope.FaceDipDirection), "坡面倾向", "slope face dip direction", "dipdir",
            slope.FaceDipDirection, "有限的角度", "a finite angle");
    require(std::isfinite(slope.FrictionAngle) && slope.FrictionAngle >= 0 && slope.FrictionAngle < 90, "摩擦角",
            "friction angle", "friction", slope.FrictionAngle, "0～90°，不含 90°", "0 to 90°, 90° excluded");
    require(std::isfinite(slope.LateralLimit) && slope.LateralLimit >= 0 && slope.LateralLimit <= 180, "侧向界限",
            "lateral limit", "lateral", slope.LateralLimit, "0～180°", "0 to 180°");
}

namespace {

// The outward normal of a plane dipping `dip` (0..180) towards `dipDirection`.
TPoint3D upwardNormal(double dip, double dipDirection) {
    const double a = radians(dip), b = radians(dipDirection);
    return {std::sin(a) * std::sin(b), std::sin(a) * std::cos(b), std::cos(a)};
}

// The horizontal unit vector of an azimuth.
TPoint3D horizontal(double azimuth) { return {std::sin(radians(azimuth)), std::cos(radians(azimuth)), 0}; }

// A plane's dip vector: down its line of steepest descent, unit.
TPoint3D dipVector(const TPlaneAttitude& plane) { return lineVector(plane.DipDirection, plane.DipAngle); }

// A line's horizontal part lies within `cosLimit` of the direction `towards`;
// a vertical line topples or slides towards any side, so it is within.
bool withinLateral(const TPoint3D& line, const TPoint3D& towards, double cosLimit) {
    const double along = line.x * towards.x + line.y * towards.y;
    const double across = std::hypot(line.x, line.y);
    // The trend of a line within rounding of the vertical means nothing.
    if (across <= 1e-12 * std::abs(line.z)) return true;
    return along >= cosLimit * across;
}

// Both senses of a horizontal line point down equally: a test holds when it
// holds for either.
template <typename Test> bool eitherSense(TPoint3D line, Test test) {
    if (line.z > 0) line = -1 * line;
    if (line.z < 0) return test(line);
    return test(line) || test(-1 * line);
}

} // namespace

KinematicChecks::KinematicChecks(const KinematicSlope& slope) : slope_(slope) {
    validateKinematicSlope(slope);
    faceNormal_ = upwardNormal(slope.FaceDip, slope.FaceDipDirection);
    slipNormal_ = upwardNormal(slope.FaceDip - slope.FrictionAngle, slope.FaceDipDirection);
    faceDirection_ = horizontal(slope.FaceDipDirection);
    sinFriction_ = std::sin(radians(slope.FrictionAngle));
    cosFriction_ = std::cos(radians(slope.FrictionAngle));
    // Beyond 180 degrees either side every direction is within.
    cosLateral_ = std::cos(radians(slope.LateralLimit));
    cosFace_ = std::cos(radians(slope.FaceDip));
}

bool KinematicChecks::planarSliding(const TPlaneAttitude& plane) const {
    const TPoint3D dip = dipVector(plane);
    return dot(dip, faceNormal_) > 0 && plane.DipAngle > slope_.FrictionAngle &&
           withinLateral(horizontal(plane.DipDirection), faceDirection_, cosLateral_);
}

bool KinematicChecks::basePlane(const TPlaneAttitude& plane) const {
    return dot(dipVector(plane), faceNormal_) > 0 &&
           withinLateral(horizontal(plane.DipDirection), faceDirection_, cosLateral_);
}

bool KinematicChecks::flexuralToppling(const TPlaneAttitude& plane) const {
    // The pole of a vertical plane is horizontal: a slab standing upright
    // topples either way, so either sense may lie in the zone.
    // A face no steeper than friction lets no layer slip past the next.
    if (!(slope_.FaceDip > slope_.FrictionAngle)) return false;
    return eitherSense(planePole(plane), [&](const TPoint3D& pole) {
        return dot(pole, slipNormal_) > 0 && withinLateral(pole, faceDirection_, cosLateral_);
    });
}

bool KinematicChecks::daylights(const TPoint3D& line) const {
    return eitherSense(line, [&](const TPoint3D& down) { return dot(down, faceNormal_) > 0; });
}

bool KinematicChecks::steeperThanFriction(const TPoint3D& line) const {
    return std::abs(line.z) > sinFriction_ * norm(line);
}

WedgeZone KinematicChecks::wedgeZone(const TPoint3D& line) const {
    if (!daylights(line)) return WedgeZone::None;
    return steeperThanFriction(line) ? WedgeZone::Primary : WedgeZone::Secondary;
}

TopplingZone KinematicChecks::directToppling(const TPoint3D& line) const {
    const double length = norm(line);
    // Columns lean out of the face: their axis, taken downwards, plunges
    // into the slope, against the face's dip direction.
    const TPoint3D back = -1 * faceDirection_;
    const bool direct = eitherSense(line, [&](const TPoint3D& down) {
        return -down.z > cosFace_ * length && withinLateral(down, back, cosLateral_);
    });
    if (direct) return TopplingZone::Direct;
    return std::abs(line.z) > cosFriction_ * length ? TopplingZone::Oblique : TopplingZone::None;
}

WedgeZone KinematicChecks::wedgeSliding(const TPlaneAttitude& first, const TPlaneAttitude& second) const {
    const TPoint3D line = cross(planePole(first), planePole(second));
    if (norm(line) < ParallelPoles) return WedgeZone::None;
    const WedgeZone zone = wedgeZone(line);
    if (zone != WedgeZone::Secondary) return zone;
    const auto slidesAlone = [&](const TPlaneAttitude& p) {
        return dot(dipVector(p), faceNormal_) > 0 && p.DipAngle > slope_.FrictionAngle;
    };
    return slidesAlone(first) || slidesAlone(second) ? WedgeZone::Secondary : WedgeZone::None;
}

TopplingZone KinematicChecks::directToppling(const TPlaneAttitude& first, const TPlaneAttitude& second) const {
    const TPoint3D line = cross(planePole(first), planePole(second));
    if (norm(line) < ParallelPoles) return TopplingZone::None;
    return directToppling(line);
}

namespace {

constexpr std::size_t PlanarIndex = std::size_t(KinematicMode::Planar);
constexpr std::size_t WedgeIndex = std::size_t(KinematicMode::Wedge);
constexpr std::size_t FlexuralIndex = std::size_t(KinematicMode::FlexuralToppling);
constexpr std::size_t DirectIndex = std::size_t(KinematicMode::DirectToppling);

// The pairs' counts of one slope over a run of rows.
struct PairCounts {
    KinematicCount Wedge, Secondary, Direct, Oblique;
    std::vector<KinematicCount> WedgeGroups, DirectGroups;
};

void addCount(KinematicCount& into, const KinematicCount& from) {
    into.Critical += from.Critical;
    into.Total += from.Total;
    into.CriticalWeight += from.CriticalWeight;
    into.TotalWeight += from.TotalWeight;
}

// Rows are handed out in a fixed number of runs, each summed on its own and
// the runs added in order, so that the weights' sums come out the same on
// any number of threads.
constexpr std::size_t MaxRuns = 64;

} // namespace

std::optional<std::vector<KinematicResult>> kinematicAnalysis(const std::vector<Measurement>& planes,
                                                              const std::vector<JointSet>& sets,
                                                              const std::vector<KinematicSlope>& slopes,
                                                              unsigned threads, bool pairs,
                                                              const ProgressCallback& progress) {
    std::vector<KinematicChecks> checks;
    for (const KinematicSlope& s : slopes) checks.emplace_back(s);
    const std::size_t n = planes.size(), setCount = sets.size();

    // Each plane's set (setCount: none), and the groups of pairs of sets.
    std::vector<std::size_t> setOf(n, setCount);
    for (std::size_t s = 0; s < setCount; ++s)
        for (std::size_t member : sets[s].Members)
            if (member < n) setOf[member] = s;
    const std::size_t labels = setCount + 1;
    const auto pairGroup = [labels](std::size_t a, std::size_t b) {
        if (a > b) std::swap(a, b);
        return a * labels - a * (a + 1) / 2 + b; // upper triangle with the diagonal
    };
    const std::size_t pairGroups = setCount ? labels * (labels + 1) / 2 : 0;
    const auto label = [&](std::size_t s) { return s < setCount ? sets[s].Label : std::string("-"); };

    std::vector<KinematicResult> results(slopes.size());
    std::vector<TPoint3D> poles(n);
    for (std::size_t i = 0; i < n; ++i) poles[i] = planePole(planes[i].Plane);

    // The pole modes, and which planes slide on their own (for the wedges'
    // secondary zone), slope by slope.
    std::vector<std::vector<char>> slidesAlone(slopes.size(), std::vector<char>(n));
    const unsigned threadCount = threads ? threads : static_cast<unsigned>(omp_get_max_threads());
#pragma omp parallel for schedule(dynamic, 1) num_threads(threadCount)
    for (std::int64_t slope = 0; slope < static_cast<std::int64_t>(slopes.size()); ++slope) {
        const auto k = static_cast<std::size_t>(slope);
        KinematicResult& r = results[k];
        r.Slope = slopes[k];
        for (std::size_t m = 0; m < 4; ++m) r.Modes[m].Mode = KinematicModes[m];
        std::vector<KinematicCount> planar(setCount ? labels : 0), flexural(setCount ? labels : 0);
        const KinematicChecks& c = checks[k];
        const TPoint3D faceNormal = upwardNormal(slopes[k].FaceDip, slopes[k].FaceDipDirection);
        for (std::size_t i = 0; i < n; ++i) {
            const TPlaneAttitude& p = planes[i].Plane;
            const double w = planes[i].Weight;
            const bool slides = c.planarSliding(p), topples = c.flexuralToppling(p);
            r.Modes[PlanarIndex].All.add(slides, w);
            r.Modes[FlexuralIndex].All.add(topples, w);
            r.Modes[DirectIndex].BasePlanes.add(c.basePlane(p), w);
            if (setCount) {
                planar[setOf[i]].add(slides, w);
                flexural[setOf[i]].add(topples, w);
            }
            slidesAlone[k][i] = dot(dipVector(p), faceNormal) > 0 && p.DipAngle > slopes[k].FrictionAngle;
        }
        for (std::size_t s = 0; s < planar.size(); ++s)
            if (planar[s].Total) {
                r.Modes[PlanarIndex].Groups.push_back({label(s), planar[s]});
                r.Modes[FlexuralIndex].Groups.push_back({label(s), flexural[s]});
            }
    }

    // The pairs: row i holds (i, j) for j > i. Each line is worked out once
    // and checked against every slope.
    const std::uint64_t allPairs = pairs ? std::uint64_t(n) * (n > 0 ? n - 1 : 0) / 2 : 0;
    // Whichever thread passes the next 1/200 of the pairs reports, unless
    // another is reporting; every thread stops at its next row once the
    // user cancels. (Reporting from the calling thread alone would leave a
    // cancel unheard while the other threads take all the rows.)
    std::atomic<std::uint64_t> checked{0};
    std::atomic<bool> cancelled{false};
    const std::uint64_t reportStep = std::max<std::uint64_t>(allPairs / 200, 1);
    std::mutex reporting;
    std::uint64_t reported = 0; // under `reporting`
    const auto finished = [&]() -> std::optional<std::vector<KinematicResult>> {
        if (cancelled || (progress && !progress(allPairs, allPairs))) return std::nullopt;
        return std::move(results);
    };
    if (!pairs) return finished();
    const std::size_t runs = std::min(MaxRuns, std::max<std::size_t>(n, 1));
    std::vector<std::vector<PairCounts>> runCounts(runs, std::vector<PairCounts>(slopes.size()));
    for (auto& run : runCounts)
        for (PairCounts& pc : run) {
            pc.WedgeGroups.resize(pairGroups);
            pc.DirectGroups.resize(pairGroups);
        }
#pragma omp parallel for schedule(dynamic, 1) num_threads(threadCount)
    for (std::int64_t run = 0; run < static_cast<std::int64_t>(runs); ++run) {
        std::vector<PairCounts>& counts = runCounts[static_cast<std::size_t>(run)];
        // Interleaved rows even out the triangle's shrinking rows.
        for (std::size_t i = static_cast<std::size_t>(run); i < n && !cancelled.load(std::memory_order_relaxed);
             i += runs) {
            for (std::size_t j = i + 1; j < n; ++j) {
                const double w = planes[i].Weight * planes[j].Weight;
                const std::size_t group = pairGroups ? pairGroup(setOf[i], setOf[j]) : 0;
                const TPoint3D line = cross(poles[i], poles[j]);
                const bool parallel = norm(line) < ParallelPoles;
                for (std::size_t k = 0; k < checks.size(); ++k) {
                    PairCounts& pc = counts[k];
                    WedgeZone wedge = WedgeZone::None;
                    TopplingZone topple = TopplingZone::None;
                    if (!parallel) {
                        wedge = checks[k].wedgeZone(line);
                        if (wedge == WedgeZone::Secondary && !slidesAlone[k][i] && !slidesAlone[k][j])
                            wedge = WedgeZone::None;
                        topple = checks[k].directToppling(line);
                    }
                    pc.Wedge.add(wedge == WedgeZone::Primary, w);
                    pc.Secondary.add(wedge == WedgeZone::Secondary, w);
                    pc.Direct.add(topple == TopplingZone::Direct, w);
                    pc.Oblique.add(topple == TopplingZone::Oblique, w);
                    if (pairGroups) {
                        pc.WedgeGroups[group].add(wedge == WedgeZone::Primary, w);
                        pc.DirectGroups[group].add(topple == TopplingZone::Direct, w);
                    }
                }
            }
            const std::uint64_t done = checked.fetch_add(n - 1 - i, std::memory_order_relaxed) + (n - 1 - i);
            if (progress && reporting.try_lock()) {
                std::lock_guard<std::mutex> held(reporting, std::adopt_lock);
                if (done >= reported + reportStep) {
                    reported = done;
                    if (!progress(done, allPairs)) cancelled = true;
                }
            }
        }
    }
    if (cancelled) return std::nullopt;
    for (std::size_t k = 0; k < slopes.size(); ++k) {
        PairCounts total;
        total.WedgeGroups.resize(pairGroups);
        total.DirectGroups.resize(pairGroups);
        for (const auto& run : runCounts) {
            const PairCounts& pc = run[k];
            addCount(total.Wedge, pc.Wedge);
            addCount(total.Secondary, pc.Secondary);
            addCount(total.Direct, pc.Direct);
            addCount(total.Oblique, pc.Oblique);
            for (std::size_t g = 0; g < pairGroups; ++g) {
                addCount(total.WedgeGroups[g], pc.WedgeGroups[g]);
                addCount(total.DirectGroups[g], pc.DirectGroups[g]);
            }
        }
        KinematicResult& r = results[k];
        r.Modes[WedgeIndex].All = total.Wedge;
        r.Modes[WedgeIndex].Secondary = total.Secondary;
        r.Modes[DirectIndex].All = total.Direct;
        r.Modes[DirectIndex].Secondary = total.Oblique;
        for (std::size_t a = 0; a < labels && pairGroups; ++a)
            for (std::size_t b = a; b < labels; ++b) {
                const std::size_t g = pairGroup(a, b);
                if (!total.WedgeGroups[g].Total) continue;
                const std::string name = label(a) + "×" + label(b);
                r.Modes[WedgeIndex].Groups.push_back({name, total.WedgeGroups[g]});
                r.Modes[DirectIndex].Groups.push_back({name, total.DirectGroups[g]});
            }
    }
    return finished();
}

std::vector<KinematicResult> kinematicAnalysis(const std::vector<Measurement>& planes,
                                               const std::vector<JointSet>& sets,
                                               const std::vector<KinematicSlope>& slopes, unsigned threads,
                                               bool pairs) {
    return *kinematicAnalysis(planes, sets, slopes, threads, pairs, {});
}

} // namespace trelmox
