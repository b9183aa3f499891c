#pragma once
// The probabilistic and sensitivity runs' results as the tool prints them
// (a readable table, JSON, CSV or a workbook) and the module gives them.
#include <ostream>
#include <string>
#include <vector>

#include "analysis/probabilistic/probabilistic.h"
#include "analysis/probabilistic/sensitivity.h"
#include "report/json_format.h"

namespace trelmox {

// Six significant digits, as the readable tables show a figure.
std::string shortNumber(double value);

// probabilistic --format json's object.
Json probabilisticJson(const std::string& block, const ProbabilisticSettings& settings,
                       const ProbabilisticResult& result);
// The run as `format` ("text", "json" or "xlsx") shows it.
void printProbabilistic(const std::string& format, const std::string& block, const ProbabilisticSettings& settings,
                        const ProbabilisticResult& result, std::ostream& out);

// sensitivity --format json's object.
Json sensitivityJson(const std::string& block, Parameter input, double required,
                     const std::vector<SensitivityStep>& steps);
// The steps as `format` ("text", "json" or "csv") shows them.
void printSensitivity(const std::string& format, const std::string& block, Parameter input, double required,
                      const std::vector<SensitivityStep>& steps, std::ostream& out);

} // namespace trelmox
