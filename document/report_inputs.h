#pragma once
// The inputs of a block's calculation report, with everything the report
// shows worked out before it formats: the block's run (given, or analysed
// afresh) and the facts of the block's own inputs (blockFacts). The
// windows give the document's run and the reason when there is none; the
// tool and the module analyse the saved block.
#include <optional>
#include <string>

#include "analysis/block_analysis.h"
#include "model/datafile.h"
#include "model/loads.h"
#include "report/calculation_report.h"

namespace trelmox {

// The corners from the entries' texts, read first (the slope height, then
// the planes), for a block that may not be whole yet: a text that is not a
// number, or letters that form no attitude, is the problem shown in place
// of the drawing.
BlockCorners enteredCorners(const PlaneQuadrantArray& quadrants, const std::string& slopeHeightText);

// `results`: the block's run on these very inputs, or none with `noResults`
// saying why.
CalculationReportInputs reportInputs(const std::string& blockName, const SavedBlock& block, const WedgeLoads& loads,
                                     std::optional<BlockRun> results, std::string noResults, const std::string& date);

// The block analysed afresh, as the tool reports it: a failure of the
// analysis (a text that is not a number, a triple of planes that cuts out
// no corner) becomes the reason the report has no results.
CalculationReportInputs analysedReportInputs(const std::string& blockName, const SavedBlock& block,
                                             const WedgeLoads& loads, const std::string& date);
// The same from a block read from its file, whose texts were converted once
// by the reader.
CalculationReportInputs analysedReportInputs(const std::string& blockName, const ParsedBlock& block,
                                             const WedgeLoads& loads, const std::string& date);

} // namespace trelmox
