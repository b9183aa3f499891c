#pragma once
// What one block of a batch came to: its figures, its run, the system's
// messages and the failure that stopped it. The analyze command prints it
// and the Python module gives it to scripts, both through report/.
#include <optional>
#include <string>
#include <vector>

#include "analysis/block_analysis.h"
#include "model/error.h"

namespace trelmox {

struct BlockOutcome {
    std::string block;
    std::optional<WedgeGeometry> geometry; // absent when not computed
    std::optional<SafetyResult> safety;
    // The block's run when it got as far as Kc. Its full analysis of the
    // real wedge (run->Full) is absent when it failed; its message is then
    // among `messages`.
    std::optional<BlockRun> run;
    std::vector<std::string> messages; // the system's messages for this block, in order
    // The failure that stopped this block, its message naming the file.
    std::optional<Error> error;
};

} // namespace trelmox
