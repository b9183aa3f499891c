#pragma once
// One block's run as the analyze command and the Python module take it.
#include "analysis/block_outcome.h"
#include "model/datafile.h"
#include "model/loads.h"

namespace trelmox {

// The block's outcome from its texts and loads, as analyze works it out for
// a data file: the one block run, then the messages of its corners, its
// contact case and its full analysis in the order analyze shows them. Throws
// the failure that stops the block (the run's, or corners missing).
void analyseBlock(const ParsedBlock& block, const WedgeLoads& loads, BlockOutcome& outcome);

} // namespace trelmox
