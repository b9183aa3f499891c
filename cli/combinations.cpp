// trelmox-cli combinations: every pair of measured planes or joint sets as
// the cutting planes of one slope, sorted by the full factor, so that a
// measurement file goes in and the critical wedge comes out.
#include <cmath>
#include <cstdio>
#include <ostream>

#include <nlohmann/json.hpp>

#include "analysis/joints/combinations.h"
#include "analysis/joints/pair_probability.h"
#include "analysis/joints/set_grouping.h"
#include "cli/cli.h"
#include "cli/destination.h"
#include "cli/help_table.h"
#include "cli/loads.h"
#include "cli/options.h"
#include "cli/usage_checked.h"
#include "commands/study_commands.h"
#include "document/joint_document.h"
#include "model/block_names.h"
#include "model/datafile.h"
#include "model/error.h"
#include "model/files.h"
#include "model/language.h"
#include "model/numtext.h"
#include "model/shown_text.h"
#include "report/combination_formats.h"
#include "report/failure_text.h"
#include "report/joint_tables.h"
#include "report/json_format.h"

namespace trelmox::cli {

namespace {

// Runs `step`, naming the file in its failure.
template <typename Step> auto fromFile(const std::string& file, Step step) {
    try {
        return step();
    } catch (const Error& e) {
        throw e.prefixed(shownPath(file) + ": ").withPath(file);
    }
}

CombinationResult combine(const std::string& blockFile, const std::string& measurementFile, const SetGrouping& choice,
                          const std::optional<PairProbabilitySettings>& probability) {
    const std::string blockName = blockNameOf(blockFile);
    ParsedBlock block;
    std::optional<WedgeLoads> companion;
    fromFile(blockFile, [&] {
        block = readSavedBlock(blockFile);
        companion = dataFileCompanion(blockFile);
        // its failures name the block's file
        combinationSlope(block.Input.Attitudes, block.Input.Parameters, companion.value_or(WedgeLoads{}));
    });
    JointDocument joints;
    fromFile(measurementFile, [&] { joints.open(measurementFile); });
    return commands::combinationStudy(joints, blockName, block, block.Input.Parameters, companion, choice, probability,
                                      commands::silentFeedback());
}

} // namespace

int runCombinationsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ParsedArgs parsed;
    SetGrouping choice;
    std::string format;
    bool probabilistic = false;
    PairProbabilitySettings pairRuns;
    std::optional<ResultDestination> destination;
    try {
        parsed = parseCommand("combinations", args);
        if (parsed.help) {
            out << commandUsage("combinations");
            return ExitOk;
        }
        choice = usageChecked([&] { return parseSetGrouping(parsed.last("sets").value_or("planes")); });
        format = parsed.choice("format", {"text", "json", "csv", "xlsx"}, "text");
        if (parsed.positional.size() != 2) throw UsageError("give a block data file and a measurement file");
        destination.emplace(parsed, format, parsed.positional, out);
        probabilistic = parsed.flags.contains("probabilistic");
        if (!probabilistic && (parsed.last("samples") || parsed.last("seed")))
            throw UsageError("--samples and --seed go with --probabilistic");
        if (auto n = parsed.last("samples")) pairRuns.Samples = integerArgument<std::uint64_t>(*n, "--samples");
        if (auto seed = parsed.last("seed")) pairRuns.Seed = integerArgument<std::uint64_t>(*seed, "--seed");
    } catch (const UsageError& usage) {
        err << "trelmox-cli combinations: " << usage.what() << "\n\n" << commandUsage("combinations");
        return ExitUsage;
    }
    CombinationResult combination;
    try {
        destination->check();
        combination = combine(parsed.positional[0], parsed.positional[1], choice,
                              probabilistic ? std::optional(pairRuns) : std::nullopt);
    } catch (const Error& failure) {
        // Shown as every command shows a failure, control characters from
        // the files made visible.
        err << "trelmox-cli combinations: " << shownMessage(toolMessage(failure)) << '\n';
        return ExitBlockFailed;
    }
    try {
        std::ostream& to = destination->stream();
        printCombinations(format, combination, to);
        destination->finish();
    } catch (const Error& failure) {
        err << "trelmox-cli combinations: " << shownMessage(toolMessage(failure)) << '\n';
        return ExitBlockFailed;
    }
    return ExitOk;
}

} // namespace trelmox::cli
