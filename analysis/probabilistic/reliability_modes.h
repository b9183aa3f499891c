#pragma once
// The failure modes of one block's limit state: design points searched
// from several starts (the factor is smooth only piecewise, and a search
// finds the design point of the piece it starts in), or followed from the
// design points of a nearby block (the same block with a little more or a
// differently turned bolt), and the system's first-order index from them.
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/probabilistic/form.h"
#include "analysis/probabilistic/reliability.h"
#include "analysis/probabilistic/reliability_space.h"

namespace trelmox {

// The factor at points of standard space for one block.
struct BlockLimitState {
    BlockLimitState(const BlockInputs& base, const ReliabilitySettings& settings);
    StandardFactor factor();
    StandardSpace Space;
    FactorEvaluator Evaluate;
    std::vector<double> Values;
};

// The searches of one block: the design points and what they cost.
struct ModeSearch {
    std::vector<DesignPoint> Points; // converged, distinct, least beta first
    std::optional<ReliabilityFailure> Failure;
    std::uint64_t Evaluations = 0;
};

// From the medians, then from a point on either side of them along every
// axis, as far out as the first design point.
ModeSearch searchModes(const StandardFactor& factor, std::size_t n);
// From each of `starts` alone (the design points of a nearby block): a
// start next to its design point converges in a few steps.
ModeSearch followModes(const StandardFactor& factor, const std::vector<std::vector<double>>& starts);

ReliabilityMode modeOf(const DesignPoint& point, const StandardSpace& space);

// The system's first-order index: from Ditlevsen's upper bound, which with
// one mode is that mode's probability.
double systemBetaOf(const std::vector<ReliabilityMode>& modes, double upper);
// The same from the design points; none without one.
std::optional<double> systemBetaOf(const std::vector<DesignPoint>& points);

} // namespace trelmox
