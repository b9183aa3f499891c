#include "document/block_outcome.h"

#include <utility>

#include "analysis/forces.h"
#include "analysis/polyhedron.h"
#include "analysis/support.h"
#include "analysis/vertices.h"
#include "analysis/wedge.h"
#include "model/error.h"
#include "model/language.h"
#include "report/size_text.h"

namespace trelmox {

void analyseBlock(const ParsedBlock& block, const WedgeLoads& loads, BlockOutcome& outcome) {
    BlockRun run = runBlock(block.Input, loads);
    run.throwFailure();
    for (const FailedTriple& triple : run.FailedTriples) outcome.messages.push_back(failedTripleMessage(triple));
    if (!run.complete())
        throw Error(
            inLanguage("不能求出块体的全部角点，未作分析", "not all corners of the block can be found; not analysed"));

    outcome.geometry = run.Geometry;
    outcome.safety = run.Safety;
    const std::string contactText = contactMessage(run.Safety->Contact);
    if (!contactText.empty()) outcome.messages.push_back(contactText);
    // The full analysis's failure or refusal is a message of the block, not
    // the block's failure: Kc and the geometry stand.
    if (!run.Full)
        outcome.messages.push_back(run.fullFailureMessage());
    else if (const auto refusal = run.Full->Analysis.Refusal)
        outcome.messages.push_back(refusalMessage(*refusal));
    else if (std::string size = sizingSentence(loads.Size, run.Full->Analysis.Size); !size.empty())
        outcome.messages.push_back(std::move(size));
    if (run.Full && !run.Full->Analysis.Refusal) {
        if (std::string drains = crackDrainNote(run.Full->Analysis.Forces); !drains.empty())
            outcome.messages.push_back(std::move(drains));
        if (std::string unconfirmed = leastBoltNote(run.Full->Design); !unconfirmed.empty())
            outcome.messages.push_back(std::move(unconfirmed));
    }
    outcome.run = std::move(run);
}

} // namespace trelmox
