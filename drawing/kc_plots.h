#pragma once
// The plots of the safety factors as neutral figures: the histogram of a
// probabilistic analysis and Kc against one input of a sensitivity
// analysis, each with its limit drawn in. The windows, the SVG files and
// the calculation report all draw these same figures.
#include <optional>
#include <string>
#include <vector>

#include "analysis/probabilistic/probabilistic.h"
#include "analysis/probabilistic/sensitivity.h"
#include "drawing/figure.h"

namespace trelmox {

// The histogram of Kc over the samples that cut out a wedge, the bars
// below Kc = 1 in the failure colour, with P(Kc<1) in the title. Without a
// result (no run yet, a cancelled run, one that cut out no wedge) only the
// axes and the line Kc = 1.
Figure kcHistogramFigure(const ProbabilisticResult* result);
// The same for the full factor Fs of the real wedge, against the required
// factor Fst; none when no sample had a real wedge.
std::optional<Figure> fsHistogramFigure(const ProbabilisticResult& result);
// The volumes of the failed real wedges (Fs < 1), in m³, with the lines of
// their 5, 50 and 95 % percentiles and the mean in the title. Without a
// result, or when no wedge failed, only the axes with the reason.
Figure failedVolumeFigure(const ProbabilisticResult* result);

// Kc against the input named `parameter`, one colour per contact case;
// values whose computation failed or that cut out no wedge leave a gap; the
// block's own point marked when given.
Figure sensitivityFigure(const std::vector<SensitivityStep>& steps, const std::string& parameter,
                         const std::optional<BlockPoint>& block);

// Axis values at round steps (1, 2 or 5 times a power of ten) from a tick
// at or below `low` to one at or above `high`, about `count` of them.
std::vector<double> roundTicks(double low, double high, int count);

} // namespace trelmox
