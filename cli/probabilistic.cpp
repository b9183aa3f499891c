// trelmox-cli probabilistic / sensitivity: the uncertainty of Kc and of the
// full factor Fs for one block data file with its loads. Exit statuses: 0 done, 1 the block could not be read or
// converted, 2 usage error (a bad option, or settings that do not fit the
// block such as a negative deviation), 130 a probabilistic run stopped by
// Ctrl-C.
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "analysis/probabilistic/probabilistic.h"
#include "analysis/probabilistic/sensitivity.h"
#include "cli/cli.h"
#include "cli/destination.h"
#include "cli/help_table.h"
#include "cli/input_options.h"
#include "cli/loads.h"
#include "cli/options.h"
#include "cli/progress.h"
#include "model/block_names.h"
#include "commands/study_commands.h"
#include "model/datafile.h"
#include "model/error.h"
#include "model/language.h"
#include "model/numtext.h"
#include "model/shown_text.h"
#include "report/failure_text.h"
#include "report/json_format.h"
#include "report/json_sheet.h"
#include "report/study_formats.h"

namespace trelmox::cli {

namespace {

ProbabilisticSettings probabilisticSettings(const ParsedArgs& parsed) {
    ProbabilisticSettings settings;
    settings.KeepFactors = false; // the output is the statistics and the histograms
    if (auto n = parsed.last("samples")) settings.Samples = integerArgument<std::uint64_t>(*n, "--samples");
    if (auto s = parsed.last("seed")) settings.Seed = integerArgument<std::uint64_t>(*s, "--seed");
    if (auto t = parsed.last("threads")) {
        settings.Threads = integerArgument<unsigned>(*t, "--threads");
        if (settings.Threads == 0) throw UsageError("--threads needs at least 1");
    }
    if (auto b = parsed.last("bins")) settings.HistogramBins = integerArgument<int>(*b, "--bins");
    const std::string method = parsed.choice("method", {"mc", "lhs"}, "mc");
    settings.Method = method == "lhs" ? SamplingMethod::LatinHypercube : SamplingMethod::MonteCarlo;
    readInputOptions(parsed, settings);
    return settings;
}

struct BlockFile {
    std::string Name;
    ParsedBlock Block;
    WedgeLoads Loads;
};

BlockFile readBlock(const std::string& file) {
    return {blockNameOf(file), readSavedBlock(file), dataFileCompanion(file).value_or(WedgeLoads{})};
}

// Parses the arguments: the single FILE and the options; --help gives
// nullopt after printing the usage.
std::optional<ParsedArgs> commandArgs(const std::vector<std::string>& args, const char* command, std::ostream& out) {
    ParsedArgs parsed = parseCommand(command, args);
    if (parsed.help) {
        out << commandUsage(command);
        return std::nullopt;
    }
    if (parsed.positional.size() != 1) throw UsageError("give exactly one block data file");
    return parsed;
}

int usageFailure(const std::string& command, const std::string& message, std::ostream& err) {
    err << "trelmox-cli " << command << ": " << message << "\n\n" << commandUsage(command);
    return ExitUsage;
}

// The run's failure as the user reads it. The factors' statistics
// overflow when some sample's factor leaves about 1e154; the input whose
// samples reach farthest from zero is the one named as its cause.
std::string runFailureText(const Error& failure, const BlockInputs& inputs, const ProbabilisticSettings& settings) {
    if (failure.fault() != ArithmeticFault::Overflow) return toolMessage(failure);
    std::optional<Parameter> widest;
    double reach = 0;
    for (int i = 0; i < ParameterCount; ++i) {
        const Distribution& d = settings.Distributions[i];
        if (d.Type == Distribution::Kind::Fixed) continue;
        const auto parameter = static_cast<Parameter>(i);
        const Sampler sampler(parameter, parameterValue(inputs, parameter), d);
        for (const double u : {1e-9, 1 - 1e-9})
            if (const double v = std::fabs(sampler.value(u)); v > reach) reach = v, widest = parameter;
    }
    if (!widest) return toolMessage(failure);
    const std::string name = parameterName(*widest), far = shortNumber(reach);
    return messageLanguage() == Language::English
               ? std::string(failure.what()) + ": the samples of " + name + " reach " + far +
                     ", beyond what the factors' statistics can hold"
               : std::string(failure.what()) + "：" + name + " 的抽样值达到 " + far + "，安全系数的统计量超出数的范围";
}

int blockFailure(const std::string& command, const std::string& file, const Error& failure, std::ostream& err) {
    err << "trelmox-cli " << command << ": " << fileFailureText(file, failure) << '\n';
    return ExitBlockFailed;
}

} // namespace

int runProbabilisticCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const char* command = "probabilistic";
    std::optional<ParsedArgs> parsed;
    ProbabilisticSettings settings;
    std::optional<double> required;
    std::string format;
    std::optional<ResultDestination> destination;
    try {
        parsed = commandArgs(args, command, out);
        if (!parsed) return ExitOk;
        settings = probabilisticSettings(*parsed);
        required = requiredFactorOption(*parsed);
        format = parsed->choice("format", {"text", "json", "xlsx"}, "text");
        destination.emplace(*parsed, format, parsed->positional, out);
    } catch (const UsageError& usage) {
        return usageFailure(command, usage.what(), err);
    }
    const std::string& file = parsed->positional.front();
    BlockFile block;
    BlockInputs inputs;
    try {
        destination->check();
        block = readBlock(file);
        setRequiredFactor(block.Loads, required);
        inputs = blockInputs(block.Block.Input.Attitudes, block.Block.Input.Parameters, block.Loads);
    } catch (const Error& failure) {
        return blockFailure(command, file, failure, err);
    }
    try {
        validateSettings(inputs, settings);
    } catch (const Error& failure) {
        return usageFailure(command, toolMessage(failure), err);
    }
    ProgressLine progress(err, !parsed->flags.contains("quiet") && isTerminal(err));
    const InterruptGuard interrupt;
    ProbabilisticResult result;
    try {
        TerminalFeedback feedback(progress, interrupt);
        result = commands::probabilisticStudy({block.Block.Input.Attitudes, block.Block.Input.Parameters, block.Loads},
                                              settings, feedback);
    } catch (const Error& failure) {
        progress.clear();
        err << "trelmox-cli " << command << ": " << shownMessage(runFailureText(failure, inputs, settings)) << '\n';
        return ExitBlockFailed;
    }
    progress.clear();
    // A Ctrl-C after the last sample still means the user wants no output.
    if (result.Cancelled || interrupt.interrupted()) {
        err << "trelmox-cli " << command << ": interrupted\n";
        return ExitInterrupted;
    }
    try {
        std::ostream& to = destination->stream();
        printProbabilistic(format, block.Name, settings, result, to);
        destination->finish();
    } catch (const Error& failure) {
        err << "trelmox-cli " << command << ": " << shownMessage(toolMessage(failure)) << '\n';
        return ExitBlockFailed;
    }
    return ExitOk;
}

namespace {

struct SensitivityRequest {
    Parameter Input{};
    double From = 0, To = 0;
    int Steps = 0;
};

SensitivityRequest sensitivityRequest(const ParsedArgs& parsed) {
    const auto required = [&](const char* option) {
        const auto value = parsed.last(option);
        if (!value) throw UsageError(std::string("--") + option + " is required");
        return *value;
    };
    SensitivityRequest request;
    request.Input = parameterNamed(required("param"));
    request.From = numberArgument(required("from"), "--from");
    request.To = numberArgument(required("to"), "--to");
    request.Steps = integerArgument<int>(required("steps"), "--steps");
    return request;
}

} // namespace

int runSensitivityCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const char* command = "sensitivity";
    std::optional<ParsedArgs> parsed;
    SensitivityRequest request;
    std::optional<double> required;
    std::string format;
    try {
        parsed = commandArgs(args, command, out);
        if (!parsed) return ExitOk;
        request = sensitivityRequest(*parsed);
        required = requiredFactorOption(*parsed);
        format = parsed->choice("format", {"text", "csv", "json"}, "text");
    } catch (const UsageError& usage) {
        return usageFailure(command, usage.what(), err);
    }
    const std::string& file = parsed->positional.front();
    BlockFile block;
    try {
        block = readBlock(file);
        setRequiredFactor(block.Loads, required);
        blockInputs(block.Block.Input.Attitudes, block.Block.Input.Parameters, block.Loads);
    } catch (const Error& failure) {
        return blockFailure(command, file, failure, err);
    }
    std::vector<SensitivityStep> steps;
    try {
        steps = *commands::sensitivityStudy({block.Block.Input.Attitudes, block.Block.Input.Parameters, block.Loads},
                                            request.Input, request.From, request.To, request.Steps,
                                            commands::silentFeedback());
    } catch (const Error& failure) {
        return usageFailure(command, toolMessage(failure), err);
    }
    printSensitivity(format, block.Name, request.Input, block.Loads.RequiredFactor, steps, out);
    return ExitOk;
}

} // namespace trelmox::cli
