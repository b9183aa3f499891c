#pragma once
// Kinematic checks of structurally controlled failure against a slope face,
// as they are read off a lower-hemisphere net (Markland's test with
// Hocking's refinement for sliding, Goodman's conditions for flexural
// toppling and Hudson and Harrison's for direct toppling):
//
// - planar sliding: a plane slides when its dip vector daylights in the face
//   (its pole lies in the face's daylight envelope), it dips more steeply
//   than the friction angle (its pole lies outside the friction cone), and
//   its dip direction lies within the lateral limits of the face's;
// - wedge sliding: two planes slide along their line of intersection when
//   the line daylights and plunges more steeply than the friction angle
//   (the primary critical zone); a line that daylights but is flatter than
//   friction may still let the wedge slide on one of its planes, when that
//   plane on its own daylights and dips more steeply than friction (the
//   secondary critical zone);
// - flexural toppling: slabs dipping steeply into the slope topple when
//   interlayer slip can occur, i.e. the pole lies below the slip limit (a
//   plane dipping at the face's dip minus the friction angle, towards the
//   face) and its trend within the lateral limits of the face's dip
//   direction;
// - direct toppling: columns bounded by two planes topple when their line
//   of intersection plunges into the slope within the lateral limits and
//   more steeply than 90 degrees minus the face's dip (oblique toppling:
//   outside the lateral limits but within the friction angle of the
//   vertical); the blocks need a base, a plane whose dip vector daylights
//   within the lateral limits (the base-plane envelope).
//
// A face dips 0..180 degrees: beyond 90 it overhangs (the rock lies above
// it), and every check uses its outward normal, so vertical and overhanging
// faces need no case of their own.
//
// Every limit is decided once and the same way on both of its sides: a
// plane or line within KinematicTolerance degrees of a limit lies on it,
// and one on a limit counts as inside the zone, critical (a plane dipping
// exactly at the friction angle is at limiting equilibrium; one exactly at a
// lateral limit is as critical on the left as on the right). A plane whose
// dip is within the tolerance of 90 dips either way (its dip direction may
// be written either way round), one within it of 0 dips no way (it lies
// within every lateral limit); a line within it of the horizontal is
// checked at both ends, one within it of the vertical lies within every
// lateral limit.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "analysis/joints/measurements.h"
#include "analysis/joints/sets.h"
#include "analysis/orientation.h"
#include "analysis/progress.h"
#include "model/block.h"

namespace trelmox {

inline constexpr double KinematicTolerance = 1e-9; // degrees

struct WedgeKinematics {
    std::optional<LineAttitude> Intersection; // none for parallel planes
    double FaceApparentDip = 0;               // degrees, in the intersection's trend
    bool Daylights = false;                   // plunge <= FaceApparentDip, as KinematicChecks decides
    bool SteeperThanFriction = false;         // plunge >= friction angle, as KinematicChecks decides
    bool possible() const { return Daylights && SteeperThanFriction; }
};

WedgeKinematics wedgeKinematics(const TPlaneAttitude& first, const TPlaneAttitude& second, const TPlaneAttitude& face,
                                double frictionAngleDegrees);

enum class KinematicMode { Planar, Wedge, FlexuralToppling, DirectToppling };
inline constexpr std::array<KinematicMode, 4> KinematicModes = {
    KinematicMode::Planar, KinematicMode::Wedge, KinematicMode::FlexuralToppling, KinematicMode::DirectToppling};
// "planar", "wedge", "flexural_toppling", "direct_toppling".
const char* kinematicModeKey(KinematicMode mode);
// "平面滑动", "楔形滑动", "弯曲倾倒", "直接倾倒".
const char* kinematicModeName(KinematicMode mode);
// Poles are checked for planar sliding and flexural toppling, lines of
// intersection of pairs of planes for the other two.
bool checksIntersections(KinematicMode mode);

struct KinematicSlope {
    double FaceDip = 60;           // 0..180 degrees, beyond 90 overhanging
    double FaceDipDirection = 180; // degrees, any value (taken modulo 360)
    double FrictionAngle = 30;     // 0..<90 degrees
    double LateralLimit = 20;      // 0..180 degrees either side of the dip direction
};
// Throws Error naming the figure out of its range (or not finite).
void validateKinematicSlope(const KinematicSlope& slope);

enum class WedgeZone { None, Primary, Secondary };
enum class TopplingZone { None, Direct, Oblique };

// The checks of one slope, with its directions worked out once.
class KinematicChecks {
public:
    // Throws Error as validateKinematicSlope.
    explicit KinematicChecks(const KinematicSlope& slope);
    const KinematicSlope& slope() const { return slope_; }

    bool planarSliding(const TPlaneAttitude& plane) const;
    // The plane daylights and dips as steeply as friction, whatever its dip
    // direction: it can carry a wedge in the secondary zone.
    bool slidesAlone(const TPlaneAttitude& plane) const;
    bool flexuralToppling(const TPlaneAttitude& plane) const;
    // The plane could carry toppling columns: its dip vector daylights
    // within the lateral limits.
    bool basePlane(const TPlaneAttitude& plane) const;
    // A line of intersection: `line` in either sense, any length > 0.
    bool daylights(const TPoint3D& line) const;
    bool steeperThanFriction(const TPoint3D& line) const;
    WedgeZone wedgeZone(const TPoint3D& line) const;
    TopplingZone directToppling(const TPoint3D& line) const;
    // The pair's wedge: primary when its line is in the primary zone,
    // secondary when the line is in the secondary zone and one of the planes
    // slides on its own; None for parallel planes.
    WedgeZone wedgeSliding(const TPlaneAttitude& first, const TPlaneAttitude& second) const;
    TopplingZone directToppling(const TPlaneAttitude& first, const TPlaneAttitude& second) const;

private:
    bool planeDaylights(const TPlaneAttitude& plane) const;
    // The angle of a dip direction (or a pole's trend) from the face's,
    // 0..180 degrees, within the lateral limits.
    bool withinLateral(double fromFace) const;
    bool lineWithinLateral(const TPoint3D& down, const TPoint3D& towards, double length) const;
    bool directDown(const TPoint3D& down, double length) const;

    KinematicSlope slope_;
    TPoint3D faceNormal_;    // outward, unit
    TPoint3D slipNormal_;    // the slip limit's upward normal, unit
    TPoint3D faceDirection_; // horizontal unit vector of the face's dip direction
    double sinTolerance_;    // of KinematicTolerance
    double sinFriction_;     // of the friction angle less the tolerance: the least plunge
    double sinDirect_;       // of the face's dip plus the tolerance: the direct zone's angle from the vertical
    double sinOblique_;      // of the friction angle plus the tolerance: the oblique zone's
    bool anyDirect_;         // the face overhangs: every line plunges steeply enough
};

// The parallel test of intersectionLine: no line for |n1 x n2| below this.
inline constexpr double ParallelPoles = 1e-9;

// Pairs of planes counted in one run at most: with the pairs' lines binned
// on the sphere a million pairs take some 10 ms of one core, so this is
// some seconds; n planes make n (n - 1) / 2 pairs, and every further 64
// sectors count them again.
inline constexpr std::size_t MaxKinematicPairs = 125'000'000;
inline constexpr std::size_t KinematicSectorBatch = 64;

// Critical over all: numbers of planes (or pairs) and their weights (a
// plane of weight w counts as w measurements, a pair as w1 w2).
struct KinematicCount {
    std::size_t Critical = 0, Total = 0;
    double CriticalWeight = 0, TotalWeight = 0;
    // The weighted share in per cent, 0 for no planes.
    double percent() const { return TotalWeight > 0 ? 100 * CriticalWeight / TotalWeight : 0; }
    void add(bool critical, double weight) {
        ++Total;
        TotalWeight += weight;
        if (critical) {
            ++Critical;
            CriticalWeight += weight;
        }
    }
};

// One group of the per-set table: a set's label for the pole modes, "A×B"
// for the pairs of planes from sets A and B; planes in no set are "-".
struct GroupCount {
    std::string Label;
    KinematicCount Count;
};

struct ModeResult {
    KinematicMode Mode{};
    KinematicCount All;
    std::vector<GroupCount> Groups; // empty without sets
    // Wedge: pairs in the secondary zone; direct toppling: oblique toppling
    // lines, and the planes in the base-plane envelope (of all planes).
    KinematicCount Secondary, BasePlanes;
};

struct KinematicResult {
    KinematicSlope Slope;
    std::array<ModeResult, 4> Modes; // in the order of KinematicModes
    const ModeResult& mode(KinematicMode mode) const { return Modes[std::size_t(mode)]; }
};

// The four modes for every slope: the planes' poles and all pairs of
// planes, each pair's line worked out once for all slopes. `sets` give the
// per-set table (none: no table). Shares the pairs out over `threads`
// (0: all cores); the counts are the same on any number, and at any width
// of the vector lanes. Without `pairs` only the pole modes are counted (the
// pair modes stay empty). Throws Error for a slope out of range, and a
// refused Error, before any work, for more than MaxKinematicPairs pairs
// per batch of KinematicSectorBatch slopes.
std::vector<KinematicResult> kinematicAnalysis(const std::vector<Measurement>& planes,
                                               const std::vector<JointSet>& sets,
                                               const std::vector<KinematicSlope>& slopes, unsigned threads = 0,
                                               bool pairs = true);
// The same, with `progress` told the pairs checked of all (nothing done
// and nothing to do without `pairs`), from one of the threads at a time
// and at the end from the calling thread; nothing when it cancels.
std::optional<std::vector<KinematicResult>> kinematicAnalysis(const std::vector<Measurement>& planes,
                                                              const std::vector<JointSet>& sets,
                                                              const std::vector<KinematicSlope>& slopes,
                                                              unsigned threads, bool pairs,
                                                              const ProgressCallback& progress);

} // namespace trelmox
