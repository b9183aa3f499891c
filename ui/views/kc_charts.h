#pragma once
// The charts of the safety factor: the histogram of Kc from a probabilistic
// analysis and Kc and the full factor Fs against one input from a
// sensitivity analysis, both with the limit Kc = 1 drawn in.
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

// The samples and the statistics of Kc and of Fs in words, each factor
// named with its method, for under the histogram.
QString statisticsText(const ProbabilisticResult& result);

// The block's own value of the input and its Kc, marked on the curve.
struct BlockPoint {
    double Value = 0, SafetyFactor = 0;
};

// Kc against the input, one coloured run per contact case, and Fs as one
// dashed curve; values whose computation failed or that cut out no wedge
// leave a gap.
QChart* sensitivityChart(const std::vector<SensitivityStep>& steps, const QString& parameter,
                         const std::optional<BlockPoint>& block);

// Where a factor's curve crosses `limit` (linear between steps), in input
// values: Kc's, or with `full` Fs's.
std::vector<double> limitCrossings(const std::vector<SensitivityStep>& steps, bool full = false, double limit = 1);

} // namespace trelmox::views
