// trelmox-cli probabilistic / sensitivity: the uncertainty of Kc for one
// block data file. Exit statuses: 0 done, 1 the block could not be read or
// converted, 2 usage error (a bad option, or settings that do not fit the
// block such as a negative deviation), 130 a probabilistic run stopped by
// Ctrl-C.
#include <charconv>
#include <cstdio>
#include <ostream>
#include <set>

#include "analysis/probabilistic/probabilistic.h"
#include "analysis/probabilistic/sensitivity.h"
#include "cli/cli.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/progress.h"
#include "model/datafile.h"
#include "model/error.h"
#include "model/numtext.h"

namespace trelmox::cli {

namespace {

const std::string NameHelp =
    "Parameter names (1 and 2 are the first and the second cutting plane):\n"
    "  dip1 dipdir1 dip2 dipdir2    dip angle and dip direction of the cutting planes\n"
    "  diptop dipdirtop             the slope top surface\n"
    "  dipface dipdirface           the slope face\n"
    "  c1 f1 c2 f2                  cohesion and friction coefficient of the cutting planes\n"
    "  rock water height            rock and water unit weight, slope height\n"
    "  u1 u2                        water pressures (blocks with entered pressures only;\n"
    "                               computed pressures follow water and height)\n"
    "Dips lie within 0..90; c, f, water, u >= 0; rock and height > 0. A normal\n"
    "distribution is truncated to that range; dip directions are not bounded.\n";

const std::string ProbabilisticUsage =
    "usage: trelmox-cli probabilistic FILE [--samples N] [--seed S] [--method mc|lhs]\n"
    "           [--sd NAME=SD ...] [--uniform NAME=LO:HI ...] [--lognormal NAME=SD ...]\n"
    "           [--fisher PLANE=K ...] [--threads N] [--bins N] [--format text|json] [--quiet]\n"
    "\n"
    "Monte Carlo (mc, default) or Latin hypercube (lhs) analysis of the block in\n"
    "FILE: every sample draws the varied inputs and computes Kc as 'analyze' does.\n"
    "Statistics and P(Kc < 1), the probability of sliding, are taken over the\n"
    "samples that cut out a wedge (lift-off counts as failure); P(failure) counts\n"
    "the same failed wedges over all samples; the other contact cases and failed\n"
    "computations are counted.\n"
    "\n"
    "  --samples N          number of samples, 1..10000000 (default 10000)\n"
    "  --seed S             seed, 0..2^64-1 (default 1); a seed gives the same\n"
    "                       result with any number of threads\n"
    "  --sd NAME=SD         normal, mean = the block's value, deviation SD\n"
    "  --uniform NAME=LO:HI uniform between LO and HI\n"
    "  --lognormal NAME=SD  lognormal, mean = the block's value (> 0), deviation SD\n"
    "  --fisher PLANE=K     cutting plane 1 or 2 drawn as a joint set: its pole from\n"
    "                       a Fisher distribution about the block's plane with\n"
    "                       concentration K >= 0 (in place of its dip and dip\n"
    "                       direction varied apart)\n"
    "  --threads N          threads, 1..4 per core (default: one per core)\n"
    "  --bins N             histogram bins, 1..10000 (default 20)\n"
    "  --format text|json   output (default text)\n"
    "  --quiet              no progress line (shown on a terminal for runs\n"
    "                       longer than a second)\n"
    "\n" +
    NameHelp +
    "\nCtrl-C stops the run; nothing is written then.\n"
    "Exit status: 0 done, 1 the block could not be read, 2 usage error, 130 stopped.\n";

const std::string SensitivityUsage =
    "usage: trelmox-cli sensitivity FILE --param NAME --from A --to B --steps N\n"
    "           [--format text|csv|json]\n"
    "\n"
    "Kc and the contact case of the block in FILE as NAME runs from A to B in N\n"
    "equal steps (N = 1..1000000; N + 1 values, both ends included), the other\n"
    "inputs held at the block's values.\n"
    "\n" +
    NameHelp + "\nExit status: 0 done, 1 the block could not be read, 2 usage error.\n";

Parameter parameterNamed(const std::string& name) {
    const auto parameter = parameterFromName(name);
    if (!parameter) throw UsageError("unknown parameter '" + name + "' (names: " + parameterNameList() + ")");
    return *parameter;
}

double numberArgument(const std::string& text, const std::string& what) {
    try {
        return textToFloat(text);
    } catch (const Error&) {
        throw UsageError("invalid number '" + text + "' for " + what);
    }
}

template <typename Integer> Integer integerArgument(const std::string& text, const std::string& what) {
    Integer value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        throw UsageError("invalid whole number '" + text + "' for " + what);
    return value;
}

// "NAME=REST" of --option; REST is returned.
std::string assignedTo(const std::string& text, const std::string& option, Parameter& parameter) {
    const auto equals = text.find('=');
    if (equals == std::string::npos) throw UsageError("--" + option + " needs NAME=VALUE, not '" + text + "'");
    parameter = parameterNamed(text.substr(0, equals));
    return text.substr(equals + 1);
}

Distribution distributionFrom(const std::string& option, const std::string& value, const std::string& what) {
    if (option == "uniform") {
        const auto colon = value.find(':');
        if (colon == std::string::npos) throw UsageError("--uniform needs NAME=LO:HI, not '" + what + "'");
        return uniformDistribution(numberArgument(value.substr(0, colon), what),
                                   numberArgument(value.substr(colon + 1), what));
    }
    const double sd = numberArgument(value, what);
    return option == "sd" ? normalDistribution(sd) : lognormalDistribution(sd);
}

void readDistributions(const ParsedArgs& parsed, ProbabilisticSettings& settings) {
    std::array<bool, ParameterCount> given{};
    for (const char* option : {"sd", "uniform", "lognormal"}) {
        const auto found = parsed.values.find(option);
        if (found == parsed.values.end()) continue;
        for (const std::string& text : found->second) {
            Parameter parameter{};
            const std::string value = assignedTo(text, option, parameter);
            const int index = static_cast<int>(parameter);
            if (given[index]) throw UsageError(std::string(parameterName(parameter)) + " has two distributions");
            given[index] = true;
            settings.Distributions[index] = distributionFrom(option, value, "--" + std::string(option) + " " + text);
        }
    }
}

// --fisher PLANE=K for the block's cutting plane 1 or 2.
void readFisherPlanes(const ParsedArgs& parsed, ProbabilisticSettings& settings) {
    const auto found = parsed.values.find("fisher");
    if (found == parsed.values.end()) return;
    for (const std::string& text : found->second) {
        const auto equals = text.find('=');
        const std::string plane = text.substr(0, equals);
        if (equals == std::string::npos || (plane != "1" && plane != "2"))
            throw UsageError("--fisher needs PLANE=K with PLANE 1 or 2, not '" + text + "'");
        std::optional<double>& kappa = settings.FisherKappa[plane == "1" ? 0 : 1];
        if (kappa) throw UsageError("plane " + plane + " has two Fisher distributions");
        kappa = numberArgument(text.substr(equals + 1), "--fisher " + text);
    }
}

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
    readDistributions(parsed, settings);
    readFisherPlanes(parsed, settings);
    return settings;
}

const char* methodName(SamplingMethod method) { return method == SamplingMethod::LatinHypercube ? "lhs" : "mc"; }

// Six significant digits for the readable tables.
std::string shortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string statisticJson(const std::optional<SafetyStatistics>& s, double SafetyStatistics::*field) {
    return s ? jsonNumber((*s).*field) : "null";
}

void printProbabilisticJson(const std::string& block, const ProbabilisticSettings& settings,
                            const ProbabilisticResult& r, std::ostream& out) {
    const auto& s = r.Statistics;
    out << "{\"block\":" << jsonString(shownText(block)) << ",\"method\":\"" << methodName(settings.Method)
        << "\",\"samples\":" << r.Samples << ",\"seed\":" << settings.Seed << ",\"wedges\":" << r.Wedges
        << ",\"mean\":" << statisticJson(s, &SafetyStatistics::Mean)
        << ",\"sd\":" << statisticJson(s, &SafetyStatistics::Sd)
        << ",\"min\":" << statisticJson(s, &SafetyStatistics::Min)
        << ",\"max\":" << statisticJson(s, &SafetyStatistics::Max)
        << ",\"pf\":" << statisticJson(s, &SafetyStatistics::Pf) << ",\"p_failure\":" << jsonNumber(r.PFailure)
        << ",\"contacts\":{";
    for (int c = 0; c < ContactCount; ++c)
        out << (c ? "," : "") << jsonString(contactName(static_cast<TWedgeContact>(c))) << ':' << r.Contacts[c];
    out << "},\"failed\":" << r.Failed << ",\"histogram\":{\"edges\":[";
    for (std::size_t i = 0; i < r.KcHistogram.Edges.size(); ++i)
        out << (i ? "," : "") << jsonNumber(r.KcHistogram.Edges[i]);
    out << "],\"counts\":[";
    for (std::size_t i = 0; i < r.KcHistogram.Counts.size(); ++i) out << (i ? "," : "") << r.KcHistogram.Counts[i];
    out << "]}}\n";
}

void printProbabilisticText(const std::string& block, const ProbabilisticSettings& settings,
                            const ProbabilisticResult& r, std::ostream& out) {
    const auto line = [&](const std::string& label, const std::string& value) {
        out << label << std::string(label.size() < 26 ? 26 - label.size() : 1, ' ') << value << '\n';
    };
    line("block", shownText(block));
    line("method", methodName(settings.Method));
    line("samples", std::to_string(r.Samples));
    line("seed", std::to_string(settings.Seed));
    line("wedges", std::to_string(r.Wedges));
    if (const auto& s = r.Statistics) {
        line("Kc mean", shortNumber(s->Mean));
        line("Kc sd", shortNumber(s->Sd));
        line("Kc min", shortNumber(s->Min));
        line("Kc max", shortNumber(s->Max));
        line("P(Kc < 1)", shortNumber(s->Pf));
    }
    line("P(failure)", shortNumber(r.PFailure));
    for (int c = 0; c < ContactCount; ++c)
        line(std::string("  ") + contactName(static_cast<TWedgeContact>(c)), std::to_string(r.Contacts[c]));
    line("failed", std::to_string(r.Failed));
    const Histogram& h = r.KcHistogram;
    if (!h.Counts.empty()) out << "Kc histogram\n";
    for (std::size_t b = 0; b < h.Counts.size(); ++b)
        line("  " + shortNumber(h.Edges[b]) + " .. " + shortNumber(h.Edges[b + 1]), std::to_string(h.Counts[b]));
}

struct BlockFile {
    std::string Name;
    SavedBlock Block;
};

BlockFile readBlock(const std::string& file) { return {blockNameOf(file), readSavedBlock(file)}; }

// Parses the arguments: the single FILE and the options; --help gives
// nullopt after printing the usage.
std::optional<ParsedArgs> commandArgs(const std::vector<std::string>& args, const std::set<std::string>& options,
                                      const std::string& usage, std::ostream& out,
                                      const std::set<std::string>& flags = {}) {
    ParsedArgs parsed = parseArgs(args, options, flags);
    if (parsed.help) {
        out << usage;
        return std::nullopt;
    }
    if (parsed.positional.size() != 1) throw UsageError("give exactly one block data file");
    return parsed;
}

int usageFailure(const std::string& command, const std::string& message, const std::string& usage,
                 std::ostream& err) {
    err << "trelmox-cli " << command << ": " << message << "\n\n" << usage;
    return ExitUsage;
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
    std::string format;
    try {
        parsed = commandArgs(args,
                             {"samples", "seed", "method", "sd", "uniform", "lognormal", "fisher", "threads", "bins",
                              "format"},
                             ProbabilisticUsage, out, {"quiet"});
        if (!parsed) return ExitOk;
        settings = probabilisticSettings(*parsed);
        format = parsed->choice("format", {"text", "json"}, "text");
    } catch (const UsageError& usage) {
        return usageFailure(command, usage.what(), ProbabilisticUsage, err);
    }
    const std::string& file = parsed->positional.front();
    BlockFile block;
    BlockInputs inputs;
    try {
        block = readBlock(file);
        inputs = blockInputs(block.Block.Attitudes, block.Block.Params);
    } catch (const Error& failure) {
        return blockFailure(command, file, failure, err);
    }
    try {
        validateSettings(inputs, settings);
    } catch (const Error& failure) {
        return usageFailure(command, failure.what(), ProbabilisticUsage, err);
    }
    ProgressLine progress(err, !parsed->flags.contains("quiet") && isTerminal(err));
    const InterruptGuard interrupt;
    const ProbabilisticResult result =
        runProbabilistic(block.Block.Attitudes, block.Block.Params, settings, [&](std::uint64_t done, std::uint64_t total) {
            progress.update(done, total);
            return !interrupt.interrupted();
        });
    progress.clear();
    // A Ctrl-C after the last sample still means the user wants no output.
    if (result.Cancelled || interrupt.interrupted()) {
        err << "trelmox-cli " << command << ": interrupted\n";
        return ExitInterrupted;
    }
    if (format == "json") printProbabilisticJson(block.Name, settings, result, out);
    else printProbabilisticText(block.Name, settings, result, out);
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

std::string stepKc(const SensitivityStep& step) { return step.Result ? jsonNumber(step.Result->SafetyFactor) : ""; }

std::string stepContact(const SensitivityStep& step) { return step.Result ? contactName(step.Result->Contact) : ""; }

void printSensitivity(const std::string& format, const std::string& block, Parameter input,
                      const std::vector<SensitivityStep>& steps, std::ostream& out) {
    const std::string name = parameterName(input);
    if (format == "json") {
        out << "{\"block\":" << jsonString(shownText(block)) << ",\"param\":" << jsonString(name) << ",\"steps\":[";
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const SensitivityStep& s = steps[i];
            out << (i ? "," : "") << "{\"value\":" << jsonNumber(s.Value)
                << ",\"contact\":" << (s.Result ? jsonString(stepContact(s)) : "null")
                << ",\"kc\":" << (s.Result ? stepKc(s) : "null")
                << ",\"error\":" << (s.Result ? "null" : jsonString(s.Failure)) << '}';
        }
        out << "]}\n";
    } else if (format == "csv") {
        out << name << ",contact,kc,error\r\n";
        for (const SensitivityStep& s : steps)
            out << jsonNumber(s.Value) << ',' << stepContact(s) << ',' << stepKc(s) << ','
                << csvField(s.Failure) << "\r\n";
    } else {
        out << "block " << shownText(block) << "\n" << name << std::string(14 - std::min<std::size_t>(name.size(), 13), ' ')
            << "contact          Kc\n";
        for (const SensitivityStep& s : steps) {
            std::string value = shortNumber(s.Value);
            value += std::string(value.size() < 14 ? 14 - value.size() : 1, ' ');
            if (s.Result)
                out << value << stepContact(s) << std::string(17 - stepContact(s).size(), ' ')
                    << floatToFixed4(s.Result->SafetyFactor) << '\n';
            else
                out << value << "failed: " << s.Failure << '\n';
        }
    }
}

} // namespace

int runSensitivityCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const char* command = "sensitivity";
    std::optional<ParsedArgs> parsed;
    SensitivityRequest request;
    std::string format;
    try {
        parsed = commandArgs(args, {"param", "from", "to", "steps", "format"}, SensitivityUsage, out);
        if (!parsed) return ExitOk;
        request = sensitivityRequest(*parsed);
        format = parsed->choice("format", {"text", "csv", "json"}, "text");
    } catch (const UsageError& usage) {
        return usageFailure(command, usage.what(), SensitivityUsage, err);
    }
    const std::string& file = parsed->positional.front();
    BlockFile block;
    try {
        block = readBlock(file);
        blockInputs(block.Block.Attitudes, block.Block.Params);
    } catch (const Error& failure) {
        return blockFailure(command, file, failure, err);
    }
    std::vector<SensitivityStep> steps;
    try {
        steps = runSensitivity(block.Block.Attitudes, block.Block.Params, request.Input, request.From, request.To,
                               request.Steps);
    } catch (const Error& failure) {
        return usageFailure(command, failure.what(), SensitivityUsage, err);
    }
    printSensitivity(format, block.Name, request.Input, steps, out);
    return ExitOk;
}

} // namespace trelmox::cli
