#pragma once
// The inputs of the safety factor that a probabilistic or sensitivity
// analysis may vary, and the block's inputs as numbers with one setter per
// input. Every varied evaluation goes through computeSafetyFactor (Kc) and
// analyseWedge (the full factor Fs), so a sample computes exactly what the
// deterministic analyses compute.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/full_analysis.h"
#include "analysis/wedge.h"
#include "model/loads.h"
#include "model/block.h"
#include "model/size_limits.h"
#include "model/error.h"

namespace trelmox {

// Plane 1 and 2 are the first and the second cutting plane; "top" the slope
// top surface, "face" the slope face. rock/water are the unit weights, u1/u2
// the water pressures on the cutting planes. The loads enter the full
// factor only: k the seismic coefficient, crackdist / crackwater the tension
// crack's distance behind the crest and its water depth, force / bolt the
// total magnitude of the external forces / of the bolts (shared out among
// them in their given proportions). The size limits (face_trace1 ...
// bench_width, named as in the companion file) bound the real wedge, which
// each sample scales to the limits it draws; crackdip / crackdipdir the
// tension crack's attitude.
enum class Parameter {
    Dip1,
    DipDir1,
    Dip2,
    DipDir2,
    DipTop,
    DipDirTop,
    DipFace,
    DipDirFace,
    Cohesion1,
    Friction1,
    Cohesion2,
    Friction2,
    RockUnitWeight,
    WaterUnitWeight,
    SlopeHeight,
    WaterPressure1,
    WaterPressure2,
    Seismic,
    CrackDistance,
    CrackWater,
    ForceMagnitude,
    BoltForce,
    FaceTrace1,
    FaceTrace2,
    TopTrace1,
    TopTrace2,
    Persistence1,
    Persistence2,
    SlopeLength,
    BenchHeight,
    BenchWidth,
    CrackDip,
    CrackDipDir,
};
inline constexpr int ParameterCount = 33;
// The inputs before the size limits: their streams keep the counters they
// had before the limits were added, so a seed draws what it always drew.
inline constexpr int FirstSizeParameter = static_cast<int>(Parameter::FaceTrace1);
// The size limit an input is, if one.
std::optional<SizeLimitKind> sizeLimitOf(Parameter parameter);
// A plane's dip (the cutting planes', the slope's, the crack's), or its dip
// direction: angles bounded to 0..90, or azimuths that are periodic.
bool isDip(Parameter parameter);
bool isDipDirection(Parameter parameter);

// "dip1", "dipdir1", ..., "u2": the names the command line and the files use.
const char* parameterName(Parameter parameter);
std::optional<Parameter> parameterFromName(std::string_view name);
// "第一切割面倾角", "第一切割面摩擦系数 f1", ...: the names a person reads.
const char* parameterCaption(Parameter parameter);
// All names separated by blanks, in enumeration order, for usage texts.
std::string parameterNameList();

// The physically meaningful values: dips 0..90; cohesion, friction, water
// unit weight and water pressures >= 0; rock unit weight and slope height
// > 0 (Low is then 0 and excluded by the samplers, which never return an end
// of an open range). Dip directions are unbounded: an azimuth is periodic
// and the computation only takes sines and cosines of differences of them.
struct ParameterRange {
    double Low = 0, High = 0; // may be -inf / +inf
};
ParameterRange parameterRange(Parameter parameter);
// "0..90", "0..inf", "-inf..inf" for messages.
std::string rangeText(ParameterRange range);

// A value or a distribution that does not fit an input. what() names the
// input by its command-line name, for the tool; a window words the refusal
// in its own terms from the input, the reason and the numbers.
class ParameterRefusal : public Error {
public:
    enum class Reason {
        NegativeSpread,       // First: the standard deviation
        BlockValueOutside,    // First: the block's value, outside parameterRange
        InvalidRange,         // First, Second: a range that is not finite LO <= HI (< 1e150 apart)
        RangeOutside,         // First, Second: a range leaving parameterRange
        LognormalUnbounded,   // a lognormal (exponential, gamma: Distribution) for an input with a bounded range
        LognormalNonPositive, // First: the block's value, not > 0
        ComputedWater,        // a computed water pressure asked to vary
        NoCrack,              // a crack's input asked to vary on a block without a crack
        NoForce,              // the force total asked to vary without external forces
        NoBolt,               // the bolt total asked to vary without bolts
        NoSizeLimit,          // a size limit asked to vary that the loads do not give
        ValueOutside,         // First: a value outside parameterRange
        SpreadTooLarge,       // First: a deviation whose draws would overflow
        OutsideBounds,        // First: the block's value, outside the bounds First..Second
                              // of a triangular or beta distribution (Low, High)
        BetaSpread,           // First: a beta deviation its bounds cannot hold
        BetaNarrow,           // First: a beta deviation too small against its bounds Low..High
        TruncationEmpty,      // First, Second: truncation bounds that leave no value
    };
    // distribution: the Distribution::Kind the refusal is about.
    ParameterRefusal(Parameter input, Reason why, double first = 0, double second = 0, int distribution = 3,
                     double low = 0, double high = 0);
    Parameter Input;
    Reason Why;
    double First, Second;
    int Distribution;
    double Low, High;
};

// The refusal as a person reads it in the language of the interface: in
// English what() (the inputs by the tool's names), in Chinese the inputs by
// their captions, as the windows word it.
std::string refusalWords(const ParameterRefusal& refusal);

// The block's inputs as numbers. In computed water mode the water pressures
// follow the (possibly varied) water unit weight and slope height.
struct BlockInputs {
    PlaneAttitudeArray Attitudes{};
    WedgeNumbers Numbers{};
    bool ComputedWater = false;
    // The loads of the full factor, and the varied values of the loads'
    // inputs, which evaluateFull writes into them.
    WedgeLoads Loads;
    double CrackDistance = 0, CrackWater = 0, ForceTotal = 0, BoltTotal = 0;
    // The size limits by SizeLimitKind; 0 where the loads do not give one.
    std::array<double, SizeLimitKindCount> SizeLimits{};
    // The tension crack's attitude (none: the block has no crack).
    TPlaneAttitude CrackAttitude{};
    // The loads' own magnitudes, which ForceTotal and BoltTotal scale.
    std::vector<double> ForceShares, BoltShares;
};
// Checks the parameters as the deterministic analysis does (same errors,
// same order); the loads are the defaults, those of a block without a
// companion file.
BlockInputs blockInputs(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters);
// The same with the block's loads; throws Error for loads out of range.
BlockInputs blockInputs(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters,
                        const WedgeLoads& loads);

double parameterValue(const BlockInputs& inputs, Parameter parameter);
// Where the input lives in `inputs`.
double& parameterField(BlockInputs& inputs, Parameter parameter);
// computeSafetyFactor of the inputs, after recomputing the water pressures
// in place in computed mode (so one working copy serves many evaluations),
// with the trigonometry of a sample (sample_trig.h): what a probabilistic
// run computes for these inputs, bit for bit; the deterministic analysis's
// own result whenever every attitude is in whole degrees. Throws Error as
// computeSafetyFactor does.
SafetyResult evaluate(BlockInputs& inputs);

// The full analysis of the inputs (analyseWedge) after writing the varied
// loads into inputs.Loads and, in computed mode, the water pressures;
// `planes` must be sampleWedgePlanes(inputs.Attitudes, inputs.Loads.Crack).
// With the trigonometry of a sample, as evaluate. Throws Error as
// analyseWedge does.
FullAnalysis evaluateFull(BlockInputs& inputs);
// Into `analysis`, whose storage a run reuses from sample to sample.
void evaluateFull(BlockInputs& inputs, const WedgePlanes& planes, FullAnalysis& analysis);
// The plane whose normal the input enters, if an attitude.
std::optional<TPlaneRole> planeOf(Parameter parameter);
// Recomputes the normal of one plane of `planes` from `attitudes`, with the
// trigonometry of a sample.
void refreshPlane(WedgePlanes& planes, const PlaneAttitudeArray& attitudes, TPlaneRole plane);

// Throws a refusal when the block's water pressures are computed (they
// follow water and height, so they cannot vary on their own), and for a load
// the block does not have (a crack's inputs without a crack, force without
// external forces, bolt without bolts, a size limit the loads do not give).
void requireVariable(const BlockInputs& inputs, Parameter parameter);

} // namespace trelmox
