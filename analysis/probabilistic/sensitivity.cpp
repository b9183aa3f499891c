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

std::optional<BlockPoint> blockPoint(BlockInputs inputs, Parameter parameter) {
    try {
        const SafetyResult own = evaluate(inputs);
        if (own.Contact == TWedgeContact::NoBlock || own.Contact == TWedgeContact::Unresolved) return std::nullopt;
        return BlockPoint{parameterValue(inputs, parameter), own.SafetyFactor};
    } catch (const Error&) {
        return std::nullopt;
    }
}

std::optional<double> stepFactor(const SensitivityStep& step, bool full) {
    if (full) {
        if (!step.Full || step.Full->Contact == TWedgeContact::NoBlock || step.Full->Contact == TWedgeContact::Unresolved)
            return std::nullopt;
        return step.Full->Factor;
    }
    if (!step.Result || step.Result->Contact == TWedgeContact::NoBlock) return std::nullopt;
    return step.Result->SafetyFactor;
}

std::vector<double> limitCrossings(const std::vector<SensitivityStep>& steps, bool full, double limit) {
    std::vector<double> crossings;
    for (std::size_t i = 1; i < steps.size(); ++i) {
        const auto a = stepFactor(steps[i - 1], full), b = stepFactor(steps[i], full);
        if (!a || !b) continue;
        const double ka = *a - limit, kb = *b - limit;
        if (ka == 0) crossings.push_back(steps[i - 1].Value);
        else if (ka * kb < 0)
            crossings.push_back(steps[i - 1].Value + (steps[i].Value - steps[i - 1].Value) * ka / (ka - kb));
    }
    if (!steps.empty() && stepFactor(steps.back(), full) == limit) crossings.push_back(steps.back().Value);
    return crossings;
}

} // namespace trelmox
