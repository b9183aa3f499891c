#pragma once
// The charts of the safety factor: the histogram of Kc from a probabilistic
// analysis and Kc against one input from a sensitivity analysis, both with
// the limit Kc = 1 drawn in.
#include <QString>

#include <optional>
#include <vector>

#include "analysis/probabilistic/probabilistic.h"
#include "analysis/probabilistic/sensitivity.h"

class QChart;

namespace trelmox::views {

// A new chart, owned by the caller. Without a result (no analysis yet, or a
// run that cut out no wedge) only the axes and the line Kc = 1.
QChart* kcHistogramChart(const ProbabilisticResult* result);

// The samples and the statistics in words, for under the histogram.
QString statisticsText(const ProbabilisticResult& result);

// The block's own value of the input and its Kc, marked on the curve.
struct BlockPoint {
    double Value = 0, SafetyFactor = 0;
};

// Kc against the input, one coloured run per contact case; values whose
// computation failed or that cut out no wedge leave a gap.
QChart* sensitivityChart(const std::vector<SensitivityStep>& steps, const QString& parameter,
                         const std::optional<BlockPoint>& block);

// Where the curve crosses Kc = 1 (linear between steps), in input values.
std::vector<double> limitCrossings(const std::vector<SensitivityStep>& steps);

} // namespace trelmox::views
