#include "analysis/joints/kinematics.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <omp.h>

#include "analysis/joints/kinematic_pairs.h"
#include "analysis/probabilistic/team.h"
#include "analysis/vec3.h"
#include "model/wording.h"
#include "model/error.h"
#include "model/numtext.h"

namespace trelmox {

namespace {

// The outward normal of a plane dipping `dip` (0..180) towards `dipDirection`.
TPoint3D upwardNormal(double dip, double dipDirection) {
    const double a = radians(dip), b = radians(dipDirection);
    return {std::sin(a) * std::sin(b), std::sin(a) * std::cos(b), std::cos(a)};
}

const double SinTolerance = std::sin(radians(KinematicTolerance));

// A line of any length daylights in the face of outward normal `face`: the
// one test of the wedges, here and in KinematicChecks.
bool lineDaylights(const TPoint3D& line, const TPoint3D& face) {
    const double length = norm(line);
    // Within the tolerance of the horizontal a line is checked at both ends,
    // and one of them always daylights or lies on the limit.
    if (std::abs(line.z) <= SinTolerance * length) return true;
    const double along = dot(line, face);
    return (line.z > 0 ? -along : along) >= -SinTolerance * length;
}

bool plungesAtLeast(const TPoint3D& line, double sinPlunge) { return std::abs(line.z) >= sinPlunge * norm(line); }

} // namespace

WedgeKinematics wedgeKinematics(const TPlaneAttitude& first, const TPlaneAttitude& second, const TPlaneAttitude& face,
                                double frictionAngleDegrees) {
    WedgeKinematics k;
    k.Intersection = intersectionLine(first, second);
    if (!k.Intersection) return k;
    k.FaceApparentDip = apparentDip(face, k.Intersection->Trend);
    const TPoint3D line = cross(planePole(first), planePole(second));
    k.Daylights = lineDaylights(line, upwardNormal(face.DipAngle, face.DipDirection));
    k.SteeperThanFriction = plungesAtLeast(line, std::sin(radians(frictionAngleDegrees - KinematicTolerance)));
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

// The horizontal unit vector of an azimuth.
TPoint3D horizontal(double azimuth) { return {std::sin(radians(azimuth)), std::cos(radians(azimuth)), 0}; }

// A plane's dip vector: down its line of steepest descent, unit.
TPoint3D dipVector(const TPlaneAttitude& plane) { return lineVector(plane.DipDirection, plane.DipAngle); }

// The angle between two azimuths in degrees, 0..180, the same whichever is
// given first: 110 and 70 are both 20 from 90.
double azimuthDifference(double a, double b) {
    const double d = std::fmod(std::abs(a - b), 360.0);
    return d > 180 ? 360 - d : d;
}

} // namespace

KinematicChecks::KinematicChecks(const KinematicSlope& slope) : slope_(slope) {
    validateKinematicSlope(slope);
    faceNormal_ = upwardNormal(slope.FaceDip, slope.FaceDipDirection);
    slipNormal_ = upwardNormal(slope.FaceDip - slope.FrictionAngle, slope.FaceDipDirection);
    faceDirection_ = horizontal(slope.FaceDipDirection);
    sinTolerance_ = SinTolerance;
    sinFriction_ = std::sin(radians(slope.FrictionAngle - KinematicTolerance));
    anyDirect_ = slope.FaceDip + KinematicTolerance >= 90;
    sinDirect_ = anyDirect_ ? 1 : std::sin(radians(slope.FaceDip + KinematicTolerance));
    sinOblique_ = std::sin(radians(slope.FrictionAngle + KinematicTolerance));
}

bool KinematicChecks::withinLateral(double fromFace) const {
    return fromFace <= slope_.LateralLimit + KinematicTolerance;
}

bool KinematicChecks::lineWithinLateral(const TPoint3D& down, const TPoint3D& towards, double length) const {
    const double across = std::hypot(down.x, down.y);
    // The trend of a line within the tolerance of the vertical means nothing.
    if (across <= sinTolerance_ * length) return true;
    const double along = down.x * towards.x + down.y * towards.y;
    const double aside = std::abs(down.x * towards.y - down.y * towards.x);
    return withinLateral(degrees(std::atan2(aside, along)));
}

bool KinematicChecks::planeDaylights(const TPlaneAttitude& plane) const {
    // A horizontal plane's dip vector is every horizontal line, and one of
    // the two ends of each daylights or lies on the limit.
    if (plane.DipAngle <= KinematicTolerance) return true;
    return dot(dipVector(plane), faceNormal_) >= -sinTolerance_;
}

bool KinematicChecks::slidesAlone(const TPlaneAttitude& plane) const {
    return plane.DipAngle >= slope_.FrictionAngle - KinematicTolerance && planeDaylights(plane);
}

bool KinematicChecks::planarSliding(const TPlaneAttitude& plane) const {
    return plane.DipAngle >= slope_.FrictionAngle - KinematicTolerance && basePlane(plane);
}

bool KinematicChecks::basePlane(const TPlaneAttitude& plane) const {
    if (!planeDaylights(plane)) return false;
    if (plane.DipAngle <= KinematicTolerance) return true;
    const double fromFace = azimuthDifference(plane.DipDirection, slope_.FaceDipDirection);
    // A vertical plane dips either way: its dip direction may be written
    // either way round.
    if (plane.DipAngle >= 90 - KinematicTolerance) return withinLateral(std::min(fromFace, 180 - fromFace));
    return withinLateral(fromFace);
}

bool KinematicChecks::flexuralToppling(const TPlaneAttitude& plane) const {
    // Slabs dipping into the slope: the pole's trend is the dip direction's
    // opposite. The pole of a vertical plane is horizontal: a slab standing
    // upright topples either way, so either sense may lie in the zone.
    const TPoint3D pole = planePole(plane);
    const double poleFromFace = 180 - azimuthDifference(plane.DipDirection, slope_.FaceDipDirection);
    const bool lateral = plane.DipAngle <= KinematicTolerance || withinLateral(poleFromFace);
    if (dot(pole, slipNormal_) >= -sinTolerance_ && lateral) return true;
    return plane.DipAngle >= 90 - KinematicTolerance && dot(-1 * pole, slipNormal_) >= -sinTolerance_ &&
           withinLateral(180 - poleFromFace);
}

bool KinematicChecks::daylights(const TPoint3D& line) const { return lineDaylights(line, faceNormal_); }

bool KinematicChecks::steeperThanFriction(const TPoint3D& line) const { return plungesAtLeast(line, sinFriction_); }

WedgeZone KinematicChecks::wedgeZone(const TPoint3D& line) const {
    if (!daylights(line)) return WedgeZone::None;
    return steeperThanFriction(line) ? WedgeZone::Primary : WedgeZone::Secondary;
}

bool KinematicChecks::directDown(const TPoint3D& down, double length) const {
    // Columns lean out of the face: their axis, taken downwards, plunges
    // into the slope, against the face's dip direction, at least 90 degrees
    // less the face's dip.
    return (anyDirect_ || std::hypot(down.x, down.y) <= sinDirect_ * length) &&
           lineWithinLateral(down, -1 * faceDirection_, length);
}

TopplingZone KinematicChecks::directToppling(const TPoint3D& line) const {
    const double length = norm(line);
    const bool direct = std::abs(line.z) <= sinTolerance_ * length
                            ? directDown(line, length) || directDown(-1 * line, length)
                            : directDown(line.z > 0 ? -1 * line : line, length);
    if (direct) return TopplingZone::Direct;
    return std::hypot(line.x, line.y) <= sinOblique_ * length ? TopplingZone::Oblique : TopplingZone::None;
}

WedgeZone KinematicChecks::wedgeSliding(const TPlaneAttitude& first, const TPlaneAttitude& second) const {
    const TPoint3D line = cross(planePole(first), planePole(second));
    if (norm(line) < ParallelPoles) return WedgeZone::None;
    const WedgeZone zone = wedgeZone(line);
    if (zone != WedgeZone::Secondary) return zone;
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

std::size_t batchesOf(std::size_t slopes) { return (slopes + KinematicSectorBatch - 1) / KinematicSectorBatch; }

void refuseTooManyPairs(std::size_t n, std::size_t slopes) {
    const std::uint64_t pairs = std::uint64_t(n) * (n > 0 ? n - 1 : 0) / 2;
    if (pairs * std::max<std::size_t>(batchesOf(slopes), 1) <= MaxKinematicPairs) return;
    const std::string batches = std::to_string(batchesOf(slopes));
    throw Error::refused(inLanguage(
        "结构面 " + std::to_string(n) + " 个，两两组合共 " + std::to_string(pairs) + " 对" +
            (slopes > KinematicSectorBatch ? "（分区 " + std::to_string(slopes) + " 个，按 " + batches + " 批计数）"
                                           : "") +
            "，超过一次运动学分析的上限 " + std::to_string(MaxKinematicPairs) +
            " 对（约 15800 个结构面）：请先按组号或自动分组，或分批分析",
        std::to_string(n) + " planes make " + std::to_string(pairs) + " pairs" +
            (slopes > KinematicSectorBatch
                 ? " (" + std::to_string(slopes) + " sectors, counted in " + batches + " batches)"
                 : "") +
            ", over the limit of " + std::to_string(MaxKinematicPairs) +
            " pairs in one kinematic analysis (about 15,800 planes): group them first, or analyse them in parts"));
}

} // namespace

std::optional<std::vector<KinematicResult>> kinematicAnalysis(const std::vector<Measurement>& planes,
                                                              const std::vector<JointSet>& sets,
                                                              const std::vector<KinematicSlope>& slopes,
                                                              unsigned threads, bool pairs,
                                                              const ProgressCallback& progress) {
    std::vector<KinematicChecks> checks;
    for (const KinematicSlope& s : slopes) checks.emplace_back(s);
    const std::size_t n = planes.size(), setCount = sets.size();
    if (pairs) refuseTooManyPairs(n, slopes.size());

    // Each plane's set (setCount: none), and the groups of pairs of sets.
    std::vector<std::size_t> setOf(n, setCount);
    for (std::size_t s = 0; s < setCount; ++s)
        for (std::size_t member : sets[s].Members)
            if (member < n) setOf[member] = s;
    const std::size_t labels = setCount + 1;
    const auto label = [&](std::size_t s) { return s < setCount ? sets[s].Label : std::string("-"); };

    std::vector<KinematicResult> results(slopes.size());
    // Each plane against every slope: some 30 ns each (team.h).
    const unsigned threadCount = teamSize(threads, slopes.size() * std::uint64_t(n));
    // The pole modes, slope by slope.
#pragma omp parallel for schedule(dynamic, 1) num_threads(threadCount)
    for (std::int64_t slope = 0; slope < static_cast<std::int64_t>(slopes.size()); ++slope) {
        const auto k = static_cast<std::size_t>(slope);
        KinematicResult& r = results[k];
        r.Slope = slopes[k];
        for (std::size_t m = 0; m < 4; ++m) r.Modes[m].Mode = KinematicModes[m];
        std::vector<KinematicCount> planar(setCount ? labels : 0), flexural(setCount ? labels : 0);
        const KinematicChecks& c = checks[k];
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
        }
        for (std::size_t s = 0; s < planar.size(); ++s)
            if (planar[s].Total) {
                r.Modes[PlanarIndex].Groups.push_back({label(s), planar[s]});
                r.Modes[FlexuralIndex].Groups.push_back({label(s), flexural[s]});
            }
    }

    // The pairs, for up to 64 slopes at a time (a slope a bit).
    const std::uint64_t rowPairs = std::uint64_t(n) * (n > 0 ? n - 1 : 0) / 2;
    const std::uint64_t allPairs = pairs ? rowPairs * batchesOf(slopes.size()) : 0;
    const auto finished = [&]() -> std::optional<std::vector<KinematicResult>> {
        if (progress && !progress(allPairs, allPairs)) return std::nullopt;
        return std::move(results);
    };
    if (!pairs) return finished();
    for (std::size_t first = 0; first < slopes.size(); first += KinematicSectorBatch) {
        const std::size_t last = std::min(slopes.size(), first + KinematicSectorBatch);
        const std::vector<KinematicChecks> batch(checks.begin() + static_cast<std::ptrdiff_t>(first),
                                                 checks.begin() + static_cast<std::ptrdiff_t>(last));
        const std::uint64_t before = rowPairs * (first / KinematicSectorBatch);
        const auto counted = countPairs(planes, setOf, setCount, batch, threads, [&](std::uint64_t done) {
            return !progress || progress(before + done, allPairs);
        });
        if (!counted) return std::nullopt;
        for (std::size_t k = first; k < last; ++k) {
            const PairCounts& pc = (*counted)[k - first];
            KinematicResult& r = results[k];
            r.Modes[WedgeIndex].All = pc.Wedge;
            r.Modes[WedgeIndex].Secondary = pc.Secondary;
            r.Modes[DirectIndex].All = pc.Direct;
            r.Modes[DirectIndex].Secondary = pc.Oblique;
            for (std::size_t a = 0; a < labels && setCount; ++a)
                for (std::size_t b = a; b < labels; ++b) {
                    const std::size_t g = pairGroup(a, b, labels);
                    if (!pc.WedgeGroups[g].Total) continue;
                    const std::string name = label(a) + "×" + label(b);
                    r.Modes[WedgeIndex].Groups.push_back({name, pc.WedgeGroups[g]});
                    r.Modes[DirectIndex].Groups.push_back({name, pc.DirectGroups[g]});
                }
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
