#include "document/report_inputs.h"

#include <utility>

#include "analysis/probabilistic/block_facts.h"
#include "model/wording.h"

namespace trelmox {

BlockCorners enteredCorners(const PlaneQuadrantArray& quadrants, const std::string& slopeHeightText) {
    QuadrantAttitudeArray planes;
    double slopeHeight = 0;
    try {
        slopeHeight = fieldNumber(slopeHeightText, "SlopeHeight");
        for (int i = 0; i < PlaneCount; ++i) planes[i] = quadrantAttitude(quadrants[i]);
    } catch (const Error& error) {
        return BlockCorners{std::nullopt, {error.what()}};
    }
    return blockCorners(planes, slopeHeight);
}

namespace {

// The facts of entries whose texts do not all convert: whatever does
// convert is still shown (the corners from the planes and the slope height,
// the computed water pressure, the parameters without the planes), so that
// the report can draw the block beside the reason it was not analysed.
BlockFacts enteredFacts(const SavedBlock& block, const WedgeLoads& loads, const BlockRun* run) {
    const TWedgeParams& p = block.Params;
    BlockFacts facts{run ? blockCorners(*run) : enteredCorners(block.Quadrants, p.SlopeHeight), {}, {}, {}};
    if (p.WaterPressureMode != TWaterPressureMode::Entered) try {
            facts.ComputedWaterPressure = ComputeWaterPressure(fieldNumber(p.WaterUnitWeight, "WaterUnitWeight"),
                                                               fieldNumber(p.SlopeHeight, "SlopeHeight"));
        } catch (const Error&) {}
    try {
        facts.Parameters = parameterNumbers(p);
        facts.Values = blockInputs(block.Attitudes, *facts.Parameters, loads);
    } catch (const Error&) {}
    return facts;
}

std::optional<BlockInput> convertedInput(const SavedBlock& block) {
    try {
        return blockInput(block);
    } catch (const Error&) {
        return std::nullopt;
    }
}

// `input`: the block's texts converted, none when they do not all convert.
CalculationReportInputs inputsWithFacts(const std::string& blockName, const SavedBlock& block,
                                        const std::optional<BlockInput>& input, const WedgeLoads& loads,
                                        std::optional<BlockRun> results, std::string noResults,
                                        const std::string& date) {
    CalculationReportInputs in{blockName,    block,        loads, std::move(results), std::move(noResults),
                               std::nullopt, std::nullopt, date};
    const BlockRun* run = in.Results ? &*in.Results : nullptr;
    in.Facts = input ? blockFacts(*input, loads, run) : enteredFacts(block, loads, run);
    return in;
}

} // namespace

CalculationReportInputs reportInputs(const std::string& blockName, const SavedBlock& block, const WedgeLoads& loads,
                                     std::optional<BlockRun> results, std::string noResults, const std::string& date) {
    return inputsWithFacts(blockName, block, convertedInput(block), loads, std::move(results), std::move(noResults),
                           date);
}

namespace {

// `known`: the block's texts as the file reader converted them; none, and
// they are converted here.
CalculationReportInputs analysedWith(const std::string& blockName, const SavedBlock& block, const BlockInput* known,
                                     const WedgeLoads& loads, const std::string& date) {
    const auto failed = [](const Error& failure) {
        return std::string(say("分析失败：", "analysis failed: ")) + failure.what();
    };
    std::string reason;
    std::optional<BlockRun> results;
    std::optional<BlockInput> input; // the texts converted once, for the run and the facts
    try {
        input = known ? *known : blockInput(block);
        BlockRun run = runBlock(*input, loads);
        if (run.Failure) reason = failed(*run.Failure);
        if (run.complete()) results = std::move(run);
    } catch (const Error& failure) { // a text that is not a number
        reason = failed(failure);
    }
    return inputsWithFacts(blockName, block, input, loads, std::move(results), std::move(reason), date);
}

} // namespace

CalculationReportInputs analysedReportInputs(const std::string& blockName, const SavedBlock& block,
                                             const WedgeLoads& loads, const std::string& date) {
    return analysedWith(blockName, block, nullptr, loads, date);
}

CalculationReportInputs analysedReportInputs(const std::string& blockName, const ParsedBlock& block,
                                             const WedgeLoads& loads, const std::string& date) {
    return analysedWith(blockName, block, &block.Input, loads, date);
}

} // namespace trelmox
