#include "analysis/probabilistic/sensitivity.h"

#include <cmath>

#include "model/error.h"

namespace trelmox {

namespace {

void requireInRange(Parameter parameter, double value) {
    const ParameterRange range = parameterRange(parameter);
    if (!std::isfinite(value) || value < range.Low || value > range.High)
        throw ParameterRefusal(parameter, ParameterRefusal::Reason::ValueOutside, value);
}

SensitivityStep step(const BlockInputs& base, Parameter parameter, double value) {
    BlockInputs inputs = base;
    parameterField(inputs, parameter) = value;
    SensitivityStep s{value, {}, {}, {}, {}};
    // A step may reach a value the block's own texts could not hold (a
    // height of 0), which then fails as such a text would.
    try {
        checkWedgeNumbers(inputs.Numbers);
    } catch (const Error& e) {
        s.Failure = s.FullFailure = e.what();
        return s;
    }
    try {
        s.Result = evaluate(inputs);
    } catch (const Error& e) {
        s.Failure = e.what();
    }
    try {
        s.Full = evaluateFull(inputs).Safety;
    } catch (const Error& e) {
        s.FullFailure = e.what();
    }
    return s;
}

} // namespace

std::vector<SensitivityStep> runSensitivity(const PlaneAttitudeArray& attitudes, const TWedgeParams& params,
                                            Parameter parameter, double from, double to, int steps) {
    return runSensitivity(attitudes, params, WedgeLoads{}, parameter, from, to, steps);
}

std::vector<SensitivityStep> runSensitivity(const PlaneAttitudeArray& attitudes, const TWedgeParams& params,
                                            const WedgeLoads& loads, Parameter parameter, double from, double to,
                                            int steps) {
    const BlockInputs base = blockInputs(attitudes, params, loads);
    requireVariable(base, parameter);
    if (steps < 1 || steps > MaxSensitivitySteps)
        throw Error("the number of steps must lie between 1 and " + std::to_string(MaxSensitivitySteps));
    requireInRange(parameter, from);
    requireInRange(parameter, to);
    std::vector<SensitivityStep> result;
    result.reserve(steps + 1);
    for (int i = 0; i <= steps; ++i) result.push_back(step(base, parameter, std::lerp(from, to, double(i) / steps)));
    return result;
}

} // namespace trelmox
