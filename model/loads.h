#pragma once
// The loads and the support of a block beyond what its 18-line data file
// holds: water, a tension crack, seismic load, external forces, surface
// pressures, bolts and the safety factor the design must reach. Kept in a
// companion file beside the data file (model/companion.h); a block without
// one has the defaults below, which reproduce the block's own analysis:
// its water pressures u1, u2 on the two cutting planes and nothing else.
//
// Directions: trend is an azimuth in degrees clockwise from north, plunge
// degrees below the horizontal (negative: pointing upward). Forces and
// pressures are in the units of the block's unit weights times lengths.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "model/block.h"
#include "model/size_limits.h"

namespace trelmox {

enum class WaterMode {
    None,      // dry joints and crack
    Block,     // the block's own u1, u2 (entered, or computed as gammaW * H / 6)
               // as uniform pressures on the two cutting planes' faces
    Saturated, // the wedge saturated: pressure zero on the free faces and
               // largest along the line of intersection; the tension crack
               // (if any) holds water to its WaterDepth and feeds the joints
    Filled,    // the joints and the crack filled to FilledPercent of their
               // height: the saturated distribution on the joints scaled by
               // that share, the crack's water at that share of its depth
};

// A directed line: a force pushes one way along it, so unlike a line's
// attitude (always taken downward) its plunge may be negative.
struct LineDirection {
    double Trend = 0, Plunge = 0;
    bool operator==(const LineDirection&) const = default;
};

struct TensionCrack {
    TPlaneAttitude Attitude{90, 0};
    // Where the crack cuts the upper slope: the horizontal distance behind
    // the crest, measured in the vertical plane through the line of
    // intersection (along its trend). >= 0.
    double Distance = 0;
    // Depth of the water standing in the crack above its lowest point,
    // saturated mode only; a depth beyond the crack's own counts as full.
    double WaterDepth = 0;
    bool operator==(const TensionCrack&) const = default;
};

// Shotcrete on the slope face. A wedge leaving the face must shear the
// lining through along its trace on the face (its punching perimeter: the
// cutting planes' and the crack's traces, not the crest, where the lining
// ends): a resistance of ShearStrength x Thickness x that length. Its weight
// rides on the wedge, and the seismic force shakes it with the rock.
struct ShotcreteLining {
    double Thickness = 0.1;      // m
    double ShearStrength = 1000; // kPa
    double UnitWeight = 24;      // kN/m³
    bool operator==(const ShotcreteLining&) const = default;
};

struct ExternalForce {
    double Magnitude = 0;
    LineDirection Direction;
    bool operator==(const ExternalForce&) const = default;
};

// Active: the bolt is tensioned before the wedge moves, so its force counts
// with the loads (it lessens the driving force). Passive: it takes load only
// once the wedge moves, so its pull along the sliding direction counts as
// resistance. Either way its normal component presses the wedge onto the joints.
enum class BoltMode { Active, Passive };

// What a bolt is made of, for a force found from how far it is anchored on
// either side of the joint it crosses rather than given. Its force is the
// least of
// - the tendon's tensile capacity;
// - the anchorage beyond the joint: Bond x the bolt's length past the
//   wedge's back, up to where it comes out of the rock through the upper
//   slope (none where it leaves the wedge through the upper slope or
//   points out of the face);
// - the hold on the wedge: the plate for an end-anchored bolt, the bond
//   over the length inside the wedge for a grouted dowel (no plate), the
//   plate plus that bond for a cable.
enum class BoltType { Simple, GroutedDowel, Cable };
struct BoltCapacity {
    BoltType Type = BoltType::Simple;
    double Length = 3;   // m, the whole bolt
    double Tendon = 200; // kN
    double Plate = 150;  // kN (a grouted dowel has none)
    double Bond = 100;   // kN per metre of anchored length
    bool operator==(const BoltCapacity&) const = default;
};
// Engineering defaults of each type the user starts from: a 25 mm
// end-anchored bar 3 m long; a 28 mm fully grouted bar 4 m long; a
// two-strand cable 10 m long.
BoltCapacity boltDefaults(BoltType type);
// "simple", "grouted_dowel", "cable": the names of the companion file.
const char* boltTypeKey(BoltType type);
// "端锚锚杆", "全长粘结锚杆", "锚索" for the user.
const char* boltTypeName(BoltType type);

struct Bolt {
    Bolt() = default;
    Bolt(double force, LineDirection direction, BoltMode mode, std::optional<BoltCapacity> capacity = std::nullopt)
        : Force(force), Direction(direction), Mode(mode), Capacity(capacity) {}
    double Force = 0; // force or capacity; unused with Capacity
    LineDirection Direction;
    BoltMode Mode = BoltMode::Passive;
    // With a capacity model the bolt is placed at the centroid of the
    // wedge's trace on the slope face and its force found from there.
    std::optional<BoltCapacity> Capacity;
    bool operator==(const Bolt&) const = default;
};

// Bolts set out on the slope face in a grid: rows SpacingStrike apart along
// the face's strike and SpacingDip apart up its dip, the first row and
// column half a spacing from the wedge's lowest corner on the face. The
// bolts whose heads fall inside the wedge's trace hold it, each with the
// force its own anchorage gives.
struct BoltPattern {
    double SpacingStrike = 2, SpacingDip = 2; // m, > 0
    LineDirection Direction;
    BoltMode Mode = BoltMode::Passive;
    BoltCapacity Capacity;
    bool operator==(const BoltPattern&) const = default;
};

// The required safety factors of the slope standard: permanent or temporary
// slope, safety grade 一级/二级/三级, ordinary or seismic condition.
enum class SlopeService { Permanent, Temporary };
enum class SafetyGrade { First, Second, Third };
enum class DesignCondition { Ordinary, Seismic };
struct FactorPreset {
    SlopeService Service = SlopeService::Permanent;
    SafetyGrade Grade = SafetyGrade::First;
    DesignCondition Condition = DesignCondition::Ordinary;
    bool operator==(const FactorPreset&) const = default;
};

// The support to design: its direction and how it acts.
struct DesignBolt {
    LineDirection Direction;
    BoltMode Mode = BoltMode::Active;
    bool operator==(const DesignBolt&) const = default;
};

// The shear strength of a cutting plane against its mean normal stress
// sigma_n (kPa, effective: the water pressure taken off):
// - Mohr-Coulomb: the data file's c and f, tau = c + sigma_n f;
// - Barton-Bandis: tau = sigma_n tan(phi_r + JRC log10(JCS / sigma_n));
// - power curve: tau = a (sigma_n - c)^b + d;
// - Hoek-Brown for a joint filled with rock-mass material (sigci, mb, s, a
//   of the generalised criterion), through its instantaneous cohesion and
//   friction angle at sigma_n;
// and for any of them a waviness angle i added to the friction angle.
// Only the chosen model's parameters count: a plane switched back to
// Mohr-Coulomb compares equal to the default whatever the others hold.
enum class StrengthModel { MohrCoulomb, BartonBandis, PowerCurve, HoekBrown };
struct JointStrength {
    StrengthModel Model = StrengthModel::MohrCoulomb;
    double Jrc = 8, Jcs = 50000, ResidualFriction = 28;      // Barton-Bandis: JCS in kPa, phi_r in degrees
    double PowerA = 1, PowerB = 0.8, PowerC = 0, PowerD = 0; // power curve, kPa
    double Sigci = 50000, Mb = 1, S = 0.001, HoekA = 0.5;    // Hoek-Brown, sigci in kPa
    double Waviness = 0;                                     // degrees
    bool operator==(const JointStrength& other) const;
    // Mohr-Coulomb on the data file's c and f, no waviness: the analysis as
    // it has always been.
    bool plain() const { return Model == StrengthModel::MohrCoulomb && Waviness == 0; }
};
// By cutting plane: the first, the second.
using JointStrengths = std::array<JointStrength, 2>;
inline bool plainStrengths(const JointStrengths& s) { return s[0].plain() && s[1].plain(); }
// "mohr_coulomb", "barton_bandis", "power_curve", "hoek_brown": the names
// of the companion file and the tool.
const char* strengthModelKey(StrengthModel model);
// "莫尔-库仑", "巴顿-班迪斯", "幂函数曲线", "霍克-布朗" for the user.
const char* strengthModelName(StrengthModel model);

struct WedgeLoads {
    WaterMode Water = WaterMode::Block;
    std::optional<TensionCrack> Crack;
    double SeismicCoefficient = 0; // k, >= 0: a force k * weight
    // Absent: horizontal, along the trend of the line of intersection (out of the slope).
    std::optional<LineDirection> SeismicDirection;
    std::vector<ExternalForce> Forces;
    // Percent (0..100) of their height to which the joints and the crack
    // are filled, WaterMode::Filled only: 0 is dry, 100 the saturated wedge
    // with the crack full.
    double FilledPercent = 100;
    // The level of water standing outside the slope (a pit lake, a
    // reservoir), in metres above the toe: it presses on the submerged parts
    // of the slope face and the upper slope and fills the joints and the
    // crack to at least its own head. Below the toe it changes nothing.
    std::optional<double> PondLevel;
    // Normal pressures on the slope face and on the upper slope, >= 0,
    // pushing into the wedge.
    double FacePressure = 0, TopPressure = 0;
    // Uniform pressures on the faces of the two cutting planes and of the
    // crack (kPa, >= 0), beside the water mode's: measured or designed
    // pore pressures the modes do not describe.
    double Pressure1 = 0, Pressure2 = 0, CrackPressure = 0;
    // The direction the face's and the top's pressures push in (a load
    // spread over the face, such as a buttress or a surcharge with a
    // horizontal part); absent: normal to the surface, into the wedge.
    std::optional<LineDirection> FacePressureDirection, TopPressureDirection;
    std::optional<ShotcreteLining> Shotcrete;
    std::vector<Bolt> Bolts;
    std::optional<BoltPattern> Pattern;
    // Required safety factor, >= 1; Preset names the standard's row it was taken from.
    double RequiredFactor = 1.35;
    std::optional<FactorPreset> Preset = FactorPreset{};
    std::optional<DesignBolt> Design;
    JointStrengths Strength{}; // of the first and the second cutting plane
    // How large a wedge the joints, the slope and a bench allow.
    WedgeSizeLimits Size;
    bool operator==(const WedgeLoads&) const = default;
};

// The standard's required factor for a preset: permanent slopes 1.35 / 1.30
// / 1.25 (grades 一级 / 二级 / 三级) in the ordinary and 1.15 / 1.10 / 1.05 in
// the seismic condition, temporary slopes 1.25 / 1.20 / 1.15 in the ordinary
// condition; the standard gives none for a temporary slope under seismic load.
std::optional<double> presetFactor(const FactorPreset& preset);
// "永久边坡 一级 一般工况" and the like.
std::string presetName(const FactorPreset& preset);

// The range each kind of load value keeps: a dip 0..90, an azimuth (trend,
// dip direction) any finite number, a plunge -90..90, a magnitude (force,
// pressure, k, distance, depth) >= 0, a required factor >= 1, a percentage
// 0..100, a level any finite number.
enum class LoadRange { Dip, Azimuth, Plunge, Magnitude, RequiredFactor, Percent, Level };
bool withinLoadRange(double value, LoadRange range);
// "<name>应在0与90之间，现为95" and the like, for a value outside its range.
std::string loadRangeMessage(double value, LoadRange range, const std::string& name);

// Throws Error with the user's message for a value out of its range (a
// negative k, force, pressure, crack distance or water depth; a dip outside
// 0..90 or a plunge outside -90..90; a required factor below 1 or other
// than its preset's; a preset the standard has no factor for; anything not
// finite; a strength parameter out of its model's range: JRC 0..20, JCS and
// sigci > 0, phi_r 0..<90, a >= 0, b > 0, d >= 0, mb > 0, s 0..1, the
// Hoek-Brown a 0.5..1, a waviness 0..<90; a size limit out of range,
// validateSizeLimits).
void validateLoads(const WedgeLoads& loads);
// The same for one plane's strength (plane 0 or 1): the message names the
// plane and the parameter ("第一切割面的JRC应在0与20之间，现为25"), the
// field its key ("strength.plane1.jrc").
void validateStrength(const JointStrength& strength, int plane);

} // namespace trelmox
