#include "analysis/probabilistic/sensitivity.h"

#include <cmath>
#include <optional>
#include <string>

#include "analysis/probabilistic/kernel.h"
#include "analysis/wedge_size.h"
#include "model/checked.h"
#include "model/error.h"

namespace trelmox {

namespace {

void requireInRange(Parameter parameter, double value) {
    const ParameterRange range = parameterRange(parameter);
    if (!std::isfinite(value) || value < range.Low || value > range.High)
        throw ParameterRefusal(parameter, ParameterRefusal::Reason::ValueOutside, value);
}

// A step may reach a value the block's own texts could not hold (a height
// of 0), which then fails as such a text would: the message, if so.
// `inputs`: a working copy of the block's.
std::optional<Error> physicalFailure(BlockInputs& inputs, Parameter parameter, double value) {
    parameterField(inputs, parameter) = value;
    try {
        checkWedgeNumbers(inputs.Numbers);
        // A size limit of 0 is refused as the companion file refuses it.
        if (const auto kind = sizeLimitOf(parameter)) {
            WedgeSizeLimits limits = inputs.Loads.Size;
            setSizeLimit(limits, *kind, value);
            validateSizeLimits(limits);
        }
    } catch (const Error& e) {
        return e;
    }
    return std::nullopt;
}

// The failure a sample's outcome stands for, as the scalar analysis throws it.
Error outcomeFailure(SampleOutcome outcome) {
    switch (outcome) {
    case SampleOutcome::DivisionByZero:
        return Error::arithmetic(outcomeMessage(outcome), ArithmeticFault::DivisionByZero);
    case SampleOutcome::InvalidOperation:
        return Error::arithmetic(outcomeMessage(outcome), ArithmeticFault::InvalidOperation);
    case SampleOutcome::NoDriving: return Error::arithmetic(outcomeMessage(outcome), ArithmeticFault::NoDrivingForce);
    default: return Error::arithmetic(OverflowMessage, ArithmeticFault::Overflow);
    }
}

// Kc and Fs of every value at once, in the lanes of the widest kernel; the
// full factor of a block with passive bolts one value at a time, as the
// scalar analysis decides which of them carry.
std::vector<SensitivityStep> evaluateSteps(const BlockInputs& base, Parameter parameter, std::vector<double> values) {
    const std::size_t n = values.size();
    const std::size_t padded = (n + MaxLanes - 1) / MaxLanes * MaxLanes;
    values.resize(padded, values.back());
    KernelPlan plan;
    buildKernelPlan(base, {parameter}, plan);
    KernelColumns columns;
    columns.Input[static_cast<int>(parameter)] = values.data();
    columns.Count = padded;
    std::vector<double> kc(padded), fs(padded);
    std::vector<SampleOutcome> kcOutcome(padded), fsOutcome(padded);
    // The lanes take neither the size limits (the wedge scaled) nor a
    // crack whose attitude changes.
    const bool scalarFull = needsScalarFull(base.Loads) || sizes(base.Loads.Size) || parameter == Parameter::CrackDip ||
                            parameter == Parameter::CrackDipDir;
    widestKernel().Evaluate(plan.Constants, columns,
                            {kc.data(), kcOutcome.data(), scalarFull ? nullptr : fs.data(), fsOutcome.data()});
    std::vector<SensitivityStep> steps(n);
    BlockInputs probe = base;
    for (std::size_t i = 0; i < n; ++i) {
        SensitivityStep& s = steps[i];
        s.Value = values[i];
        if (const auto failure = physicalFailure(probe, parameter, values[i])) {
            s.Failure = s.FullFailure = *failure;
            continue;
        }
        // A factor beyond the range of a double fails as overflow, as the
        // deterministic analysis's does.
        if (failedOutcome(kcOutcome[i]))
            s.Failure = outcomeFailure(kcOutcome[i]);
        else if (!std::isfinite(kc[i]))
            s.Failure = outcomeFailure(SampleOutcome::Overflow);
        else
            s.Result = SafetyResult{kc[i], static_cast<TWedgeContact>(kcOutcome[i])};
        if (scalarFull) {
            BlockInputs inputs = base;
            parameterField(inputs, parameter) = values[i];
            try {
                s.Full = evaluateFull(inputs).Safety;
            } catch (const Error& e) {
                s.FullFailure = e;
            }
        } else if (failedOutcome(fsOutcome[i])) {
            s.FullFailure = outcomeFailure(fsOutcome[i]);
        } else if (!std::isfinite(fs[i])) {
            s.FullFailure = outcomeFailure(SampleOutcome::Overflow);
        } else {
            s.Full = FullSafety{};
            s.Full->Contact = static_cast<TWedgeContact>(fsOutcome[i]);
            s.Full->Factor = fs[i];
        }
    }
    return steps;
}

} // namespace

std::vector<SensitivityStep> runSensitivity(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters,
                                            Parameter parameter, double from, double to, int steps) {
    return runSensitivity(attitudes, parameters, WedgeLoads{}, parameter, from, to, steps);
}

std::vector<SensitivityStep> runSensitivity(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters,
                                            const WedgeLoads& loads, Parameter parameter, double from, double to,
                                            int steps) {
    const BlockInputs base = blockInputs(attitudes, parameters, loads);
    requireVariable(base, parameter);
    if (steps < 1 || steps > MaxSensitivitySteps)
        throw Error::refused("the number of steps must lie between 1 and " + std::to_string(MaxSensitivitySteps));
    requireInRange(parameter, from);
    requireInRange(parameter, to);
    std::vector<double> values;
    values.reserve(steps + 1);
    for (int i = 0; i <= steps; ++i) values.push_back(std::lerp(from, to, double(i) / steps));
    return evaluateSteps(base, parameter, std::move(values));
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
        if (!step.Full || step.Full->Contact == TWedgeContact::NoBlock ||
            step.Full->Contact == TWedgeContact::Unresolved)
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
        if (ka == 0)
            crossings.push_back(steps[i - 1].Value);
        else if (ka * kb < 0)
            crossings.push_back(steps[i - 1].Value + (steps[i].Value - steps[i - 1].Value) * ka / (ka - kb));
    }
    if (!steps.empty() && stepFactor(steps.back(), full) == limit) crossings.push_back(steps.back().Value);
    return crossings;
}

} // namespace trelmox
