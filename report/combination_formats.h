#pragma once
// A combination run's pairs as the tool prints them (a readable table,
// JSON, CSV or a workbook) and the module gives them.
#include <cstddef>
#include <ostream>
#include <string>

#include "analysis/joints/combination_result.h"
#include "report/json_format.h"

namespace trelmox {

// combinations --format json's row of the run's i-th pair, in its order.
Json combinationJsonRow(const CombinationResult& c, std::size_t i);
// The run as `format` ("text", "json", "csv" or "xlsx") shows it.
void printCombinations(const std::string& format, const CombinationResult& c, std::ostream& out);

} // namespace trelmox
