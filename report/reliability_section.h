#pragma once
// The calculation report's part on a reliability analysis: the method in
// words, the index and the probabilities, the design point with the
// importance factors and their chart, the failure modes, and the line of
// the conclusion.
#include <string>
#include <vector>

#include "report/calculation_report.h"

namespace trelmox {

std::string reliabilityMethodText();
std::vector<ReportItem> reliabilityItems(const CalculationReportInputs& in, const ReliabilityRun& run);
std::string reliabilityConclusion(const ReliabilityRun& run);

} // namespace trelmox
