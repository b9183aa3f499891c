#pragma once
// Kc and the full factor Fs, each with its contact case, as one input runs
// over a range, the others held at the block's values: each value is a
// sample of a probabilistic run (evaluate, evaluateFull), all in vector lanes.
#include <optional>
#include <string>
#include <vector>

#include "analysis/probabilistic/parameters.h"
#include "model/error.h"

namespace trelmox {

struct SensitivityStep {
    double Value = 0;
    std::optional<SafetyResult> Result; // Kc; absent when the computation failed
    std::optional<Error> Failure;       // its failure then
    // Fs (Contact NoBlock: no real wedge): its contact and factor, the other
    // fields only for a block with a tension crack or passive bolts; absent
    // when it failed.
    std::optional<FullSafety> Full;
    std::optional<Error> FullFailure; // its failure then
};

// More steps than any curve needs; the bound keeps the results (about 460
// bytes a step, most of it the two failures' room: under 500 MB) within
// memory and the step counter within an int.
inline constexpr int MaxSensitivitySteps = 1'000'000;

// steps intervals: steps + 1 values from `from` to `to`, both included. A
// step whose value the parameter may not take (a height of 0) fails with
// the message the deterministic analysis gives for such a value. Throws Error for
// steps outside 1..MaxSensitivitySteps, a bound outside the parameter's
// range, and a water pressure of a block whose pressures are computed.
std::vector<SensitivityStep> runSensitivity(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters,
                                            Parameter parameter, double from, double to, int steps);
// The same with the block's loads.
std::vector<SensitivityStep> runSensitivity(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters,
                                            const WedgeLoads& loads, Parameter parameter, double from, double to,
                                            int steps);

// The block's own value of the input and its Kc: where the block sits on
// the curve. None when it cuts out no wedge or its computation fails.
struct BlockPoint {
    double Value = 0, SafetyFactor = 0;
};
std::optional<BlockPoint> blockPoint(BlockInputs inputs, Parameter parameter);

// The value of Kc, or with `full` of Fs, at a step that has one: none where
// the computation failed or the (real) wedge does not exist.
std::optional<double> stepFactor(const SensitivityStep& step, bool full);

// Where Kc (or with `full` Fs) crosses `limit` (linear between steps), in
// input values; steps without a factor break the curve.
std::vector<double> limitCrossings(const std::vector<SensitivityStep>& steps, bool full = false, double limit = 1);

} // namespace trelmox
