#include "document/report_inputs.h"

#include <utility>

#include "analysis/probabilistic/block_facts.h"
#include "model/wording.h"

namespace trelmox {

CalculationReportInputs reportInputs(const std::string& blockName, const SavedBlock& block, const WedgeLoads& loads,
                                     std::optional<BlockRun> results, std::string noResults, const std::string& date) {
    CalculationReportInputs in{blockName,    block,        loads, std::move(results), std::move(noResults),
                               std::nullopt, std::nullopt, date};
    in.Facts = blockFacts(block, loads, in.Results ? &*in.Results : nullptr);
    return in;
}

CalculationReportInputs analysedReportInputs(const std::string& blockName, const SavedBlock& block,
                                             const WedgeLoads& loads, const std::string& date) {
    const auto failed = [](const Error& failure) {
        return std::string(say("分析失败：", "analysis failed: ")) + failure.what();
    };
    std::string reason;
    std::optional<BlockRun> results;
    try {
        BlockRun run = runBlock(blockInput(block), loads);
        if (run.Failure) reason = failed(*run.Failure);
        if (run.complete()) results = std::move(run);
    } catch (const Error& failure) { // a text that is not a number
        reason = failed(failure);
    }
    return reportInputs(blockName, block, loads, std::move(results), std::move(reason), date);
}

} // namespace trelmox
