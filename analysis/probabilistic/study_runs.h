#pragma once
// The analyses made on one block beside its own run, each kept with what it
// was run with: the block document holds the last of each, and the
// calculation report shows them as they were made.
#include <optional>
#include <utility>
#include <vector>

#include "analysis/probabilistic/probabilistic.h"
#include "analysis/probabilistic/reliability.h"
#include "analysis/probabilistic/sensitivity.h"

namespace trelmox {

struct ProbabilisticRun {
    ProbabilisticSettings Settings;
    ProbabilisticResult Result;
};

struct ReliabilityRun {
    ReliabilitySettings Settings;
    ReliabilityResult Result;
};

struct SensitivityRun {
    Parameter Input = Parameter::Friction1;
    std::vector<SensitivityStep> Steps;
    // Where the block itself sits on the curve (blockPoint), worked out
    // with the run; none when the block's own inputs give no Kc.
    std::optional<BlockPoint> Own{};
};

// The run over `steps` with the block's own point on the curve; none
// without the block's inputs as numbers.
inline SensitivityRun sensitivityRun(Parameter input, std::vector<SensitivityStep> steps,
                                     const std::optional<BlockInputs>& blockValues) {
    return {input, std::move(steps), blockValues ? blockPoint(*blockValues, input) : std::nullopt};
}

} // namespace trelmox
