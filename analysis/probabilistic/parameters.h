#pragma once
// The inputs of the safety factor that a probabilistic or sensitivity
// analysis may vary, and the block's inputs as numbers with one setter per
// input. Every varied evaluation goes through computeSafetyFactor, so a
// sample computes exactly what the deterministic analysis computes.
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/wedge.h"
#include "model/block.h"
#include "model/error.h"

namespace trelmox {

// Plane 1 and 2 are the first and the second cutting plane; "top" the slope
// top surface, "face" the slope face. rock/water are the unit weights, u1/u2
// the water pressures on the cutting planes.
enum class Parameter {
    Dip1, DipDir1, Dip2, DipDir2, DipTop, DipDirTop, DipFace, DipDirFace,
    Cohesion1, Friction1, Cohesion2, Friction2,
    RockUnitWeight, WaterUnitWeight, SlopeHeight, WaterPressure1, WaterPressure2,
};
inline constexpr int ParameterCount = 17;

// "dip1", "dipdir1", ..., "u2": the names the command line and the files use.
const char* parameterName(Parameter parameter);
std::optional<Parameter> parameterFromName(std::string_view name);
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
        InvalidRange,         // First, Second: a range that is not finite LO <= HI
        RangeOutside,         // First, Second: a range leaving parameterRange
        LognormalUnbounded,   // a lognormal for an input with a bounded range
        LognormalNonPositive, // First: the block's value, not > 0
        ComputedWater,        // a computed water pressure asked to vary
        ValueOutside,         // First: a value outside parameterRange
    };
    ParameterRefusal(Parameter input, Reason why, double first = 0, double second = 0);
    Parameter Input;
    Reason Why;
    double First, Second;
};

// The block's inputs as numbers. In computed water mode the water pressures
// follow the (possibly varied) water unit weight and slope height.
struct BlockInputs {
    PlaneAttitudeArray Attitudes{};
    WedgeNumbers Numbers{};
    bool ComputedWater = false;
};
// Converts the parameter texts as the deterministic analysis does (same
// errors, same order).
BlockInputs blockInputs(const PlaneAttitudeArray& attitudes, const TWedgeParams& params);

double parameterValue(const BlockInputs& inputs, Parameter parameter);
// Where the input lives in `inputs`.
double& parameterField(BlockInputs& inputs, Parameter parameter);
// computeSafetyFactor of the inputs, after recomputing the water pressures
// in place in computed mode (so one working copy serves many evaluations).
// Throws Error as computeSafetyFactor does.
SafetyResult evaluate(BlockInputs& inputs);
// The same with the attitudes' half of the computation done beforehand:
// `normals` must be wedgeNormals(inputs.Attitudes).
SafetyResult evaluate(BlockInputs& inputs, const WedgeNormals& normals);

// The parts of the wedge's normals that the input enters (none but for the
// attitudes).
WedgeNormalParts normalParts(Parameter parameter);

// Throws a ComputedWater refusal when the block's water pressures are
// computed (they follow water and height, so they cannot vary on their own).
void requireVariable(const BlockInputs& inputs, Parameter parameter);

} // namespace trelmox
