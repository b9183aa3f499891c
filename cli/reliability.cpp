// trelmox-cli reliability: the reliability index, the design point and
// P(failure) by FORM, SORM and importance sampling for one block data file
// with its loads. Exit statuses: 0 done, 1 the block could not be read or
// no design point was found (the output says why), 2 usage error, 130
// stopped by Ctrl-C.
#include <cstdio>
#include <ostream>
#include <set>

#include "analysis/probabilistic/reliability.h"
#include "cli/cli.h"
#include "cli/input_options.h"
#include "cli/loads.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/progress.h"
#include "model/datafile.h"
#include "model/language.h"
#include "model/numtext.h"
#include "report/reliability_json.h"

namespace trelmox::cli {

namespace {

const std::string ReliabilityUsage =
    std::string("usage: trelmox-cli reliability FILE [--sd NAME=SD ...] [--uniform NAME=LO:HI ...]\n"
                "           [--lognormal NAME=SD ...] [--exponential NAME ...] [--triangular NAME=LO:HI ...]\n"
                "           [--beta NAME=SD:LO:HI ...] [--gamma NAME=SD ...] [--truncate NAME=LO:HI ...]\n"
                "           [--correlation PLANE=RHO ...] [--fisher PLANE=K ...] [--factor fs|kc]\n"
                "           [--target-beta B|CLASS-TYPE] [--design-bolt TREND/PLUNGE] [--is-cov C]\n"
                "           [--max-samples N] [--seed S] [--threads N] [--format text|json|xlsx]\n"
                "           [--output FILE] [--quiet]\n"
                "\n"
                "Reliability analysis of the block in FILE, its random inputs as 'probabilistic'\n"
                "takes them. In standard normal space (each input's own distribution, c and f\n"
                "through their copula) FORM finds the design point, the most likely inputs at\n"
                "failure, and the reliability index beta, its distance from the medians;\n"
                "alpha gives each input's weight (alpha^2 its share). P(failure) by FORM,\n"
                "by SORM (Tvedt's formula from the curvatures at the design point) and by\n"
                "importance sampling about the design point; the failure modes the contact\n"
                "cases give, found from several starts, and the system's P(failure) by\n"
                "importance sampling over all of them, beside Ditlevsen's bounds. Failure is\n"
                "a wedge whose factor is below 1, as 'probabilistic' counts it.\n"
                "\n"
                "  --factor fs|kc       the factor of the limit state g = factor - 1: Fs of the\n"
                "                       real wedge with its loads (default) or the data file's Kc\n") +
    InputOptionsHelp +
    "  --target-beta B      the target index: a number, or CLASS-TYPE with the safety\n"
    "                       class 1, 2 or 3 and the failure type ductile or brittle,\n"
    "                       as GB 50153-2008 Table A.1.4 sets it (1-ductile 3.7,\n"
    "                       2-ductile 3.2, 3-ductile 2.7, 1-brittle 4.2, 2-brittle\n"
    "                       3.7, 3-brittle 3.2); checked against the system's index\n"
    "  --design-bolt TREND/PLUNGE\n"
    "                       one more active bolt along this direction (degrees): the\n"
    "                       least force with which the block reaches the target\n"
    "                       (needs --target-beta; Fs only)\n"
    "  --is-cov C           importance sampling stops at this coefficient of variation\n"
    "                       (default 0.1)\n"
    "  --max-samples N      or after N samples, 1..10000000 (default 1000000)\n"
    "  --seed S             seed, 0..2^64-1 (default 1); a seed gives the same result\n"
    "                       with any number of threads\n"
    "  --threads N          threads, 1..4 per core (default: one per core)\n"
    "  --format text|json|xlsx  output (default text); json: one object with beta,\n"
    "                       pf_form, pf_sorm, pf_is, pf_is_cov, design_point, alpha,\n"
    "                       fs_at_design_point, evaluations, modes, pf_system,\n"
    "                       target_beta, meets_target, required_bolt_force and error;\n"
    "                       xlsx: that object as a workbook's row\n"
    "  --output FILE        write the output to FILE (replaced in one step when\n"
    "                       complete) instead of standard output\n"
    "  --quiet              no progress line\n"
    "\n" +
    ParameterNamesHelp +
    "\nCtrl-C stops the run; nothing is written then.\n"
    "Exit status: 0 done, 1 the block could not be read or has no design point,\n"
    "2 usage error, 130 stopped.\n";

// "B" or "CLASS-TYPE".
double targetOption(const std::string& text) {
    const auto dash = text.find('-');
    if (dash != std::string::npos && dash > 0) {
        const std::string level = text.substr(0, dash), type = text.substr(dash + 1);
        if ((level == "1" || level == "2" || level == "3") && (type == "ductile" || type == "brittle"))
            return targetBeta(level == "1"   ? SafetyClass::First
                              : level == "2" ? SafetyClass::Second
                                             : SafetyClass::Third,
                              type == "brittle" ? FailureType::Brittle : FailureType::Ductile);
    }
    return numberArgument(text, "--target-beta");
}

// "TREND/PLUNGE".
LineDirection boltOption(const std::string& text) {
    const auto slash = text.find('/');
    if (slash == std::string::npos) throw UsageError("--design-bolt needs TREND/PLUNGE, not '" + text + "'");
    return {numberArgument(text.substr(0, slash), "--design-bolt"),
            numberArgument(text.substr(slash + 1), "--design-bolt")};
}

ReliabilitySettings reliabilitySettings(const ParsedArgs& parsed) {
    ReliabilitySettings s;
    readInputOptions(parsed, s.Inputs);
    if (auto seed = parsed.last("seed")) s.Inputs.Seed = integerArgument<std::uint64_t>(*seed, "--seed");
    if (auto t = parsed.last("threads")) {
        s.Inputs.Threads = integerArgument<unsigned>(*t, "--threads");
        if (s.Inputs.Threads == 0) throw UsageError("--threads needs at least 1");
    }
    s.Factor = parsed.choice("factor", {"fs", "kc"}, "fs") == "kc" ? ReliabilityFactor::Kc : ReliabilityFactor::Fs;
    if (auto b = parsed.last("target-beta")) s.TargetBeta = targetOption(*b);
    if (auto d = parsed.last("design-bolt")) s.DesignBolt = boltOption(*d);
    if (auto c = parsed.last("is-cov")) s.TargetCov = numberArgument(*c, "--is-cov");
    if (auto n = parsed.last("max-samples")) s.MaxSamples = integerArgument<std::uint64_t>(*n, "--max-samples");
    return s;
}

std::string shortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string optionalNumber(const std::optional<double>& value) { return value ? shortNumber(*value) : "—"; }

std::string sampledText(const std::optional<SampledProbability>& p) {
    if (!p) return "—";
    return shortNumber(p->Pf) + "  (CoV " + optionalNumber(p->Cov) + ", " + std::to_string(p->Samples) +
           inLanguage(" 个样本)", " samples)");
}

void printReliabilityText(const std::string& block, const ReliabilityResult& r, std::ostream& out) {
    const auto line = [&](const std::string& label, const std::string& value) {
        out << tableRow({label, value}, {26, 0}) << '\n';
    };
    line(inLanguage("块体", "block"), shownText(block));
    line(inLanguage("安全系数", "factor"),
         r.Factor == ReliabilityFactor::Kc
             ? inLanguage(ProbabilisticResult::KcMethod,
                          "Kc (the wedge normalised to a horizontal top at the slope height)")
             : inLanguage(ProbabilisticResult::FsMethod,
                          "Fs (the real wedge by the vector method, with the crack, loads and support)"));
    if (r.Failure) line(inLanguage("错误", "error"), reliabilityFailureText(*r.Failure));
    if (const auto& d = r.Design) {
        line(inLanguage("可靠指标 β", "beta"), shortNumber(d->Beta));
        line("P(failure) FORM", shortNumber(d->PfForm));
        line("P(failure) SORM Breitung", optionalNumber(r.PfBreitung));
        line("P(failure) SORM Tvedt", optionalNumber(r.PfTvedt));
        line("P(failure) IS", sampledText(r.Importance));
        line(inLanguage("设计验算点", "design point"), inLanguage("取值 / α / α²", "value / alpha / alpha^2"));
        for (std::size_t k = 0; k < r.Inputs.size(); ++k)
            line(std::string("  ") + parameterName(r.Inputs[k]), shortNumber(d->DesignPoint[k]) + " / " +
                                                                     shortNumber(d->Alpha[k]) + " / " +
                                                                     shortNumber(d->Alpha[k] * d->Alpha[k]));
        line(inLanguage("验算点处的安全系数", "factor at design point"), optionalNumber(r.FactorAtDesignPoint));
        line(inLanguage("迭代次数", "iterations"), std::to_string(r.Iterations));
    }
    line(inLanguage("安全系数计算次数", "evaluations"), std::to_string(r.Evaluations));
    for (std::size_t m = 0; m < r.Modes.size(); ++m)
        line(inLanguage("失效模式 ", "mode ") + std::to_string(m + 1), std::string(contactName(r.Modes[m].Contact)) +
                                                                           "  beta " + shortNumber(r.Modes[m].Beta) +
                                                                           "  P " + shortNumber(r.Modes[m].PfForm));
    if (r.Design) {
        line("P(failure) system IS", sampledText(r.System));
        line(inLanguage("Ditlevsen 界限", "Ditlevsen bounds"),
             optionalNumber(r.DitlevsenLow) + " .. " + optionalNumber(r.DitlevsenHigh));
        line(inLanguage("体系可靠指标", "system beta"), optionalNumber(r.SystemBeta));
    }
    if (r.TargetBeta) {
        const std::string verdict = !r.MeetsTarget   ? "—"
                                    : *r.MeetsTarget ? inLanguage("满足", "met")
                                                     : inLanguage("不满足", "not met");
        line(inLanguage("目标可靠指标", "target beta"), shortNumber(*r.TargetBeta) + "  " + verdict);
    }
    if (r.DesignBolt)
        line(inLanguage("所需锚杆力", "required bolt force"),
             r.RequiredBoltForce ? shortNumber(*r.RequiredBoltForce) + "  (" + shortNumber(r.DesignBolt->Trend) + "/" +
                                       shortNumber(r.DesignBolt->Plunge) + ")"
                                 : reliabilityFailureText(*r.BoltFailure));
}

int usageFailure(const std::string& message, std::ostream& err) {
    err << "trelmox-cli reliability: " << message << "\n\n" << ReliabilityUsage;
    return ExitUsage;
}

} // namespace

int runReliabilityCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ParsedArgs parsed;
    ReliabilitySettings settings;
    std::string format;
    std::optional<ResultDestination> destination;
    try {
        std::set<std::string> options = {"factor", "target-beta", "design-bolt", "is-cov", "max-samples",
                                         "seed",   "threads",     "format",      "output"};
        options.insert(InputOptionNames.begin(), InputOptionNames.end());
        parsed = parseArgs(args, options, {"quiet"});
        if (parsed.help) {
            out << ReliabilityUsage;
            return ExitOk;
        }
        if (parsed.positional.size() != 1) throw UsageError("give exactly one block data file");
        settings = reliabilitySettings(parsed);
        format = parsed.choice("format", {"text", "json", "xlsx"}, "text");
        destination.emplace(parsed, format, parsed.positional, out);
    } catch (const UsageError& usage) {
        return usageFailure(usage.what(), err);
    }
    const std::string& file = parsed.positional.front();
    const std::string name = blockNameOf(file);
    SavedBlock block;
    WedgeLoads loads;
    BlockInputs inputs;
    try {
        destination->check();
        block = readSavedBlock(file);
        loads = dataFileCompanion(file).value_or(WedgeLoads{});
        inputs = blockInputs(block.Attitudes, block.Params, loads);
    } catch (const Error& failure) {
        err << "trelmox-cli reliability: " << fileFailureText(file, failure) << '\n';
        return ExitBlockFailed;
    }
    try {
        validateReliability(inputs, settings);
    } catch (const Error& failure) {
        return usageFailure(toolMessage(failure), err);
    }
    ProgressLine progress(err, !parsed.flags.contains("quiet") && isTerminal(err));
    const InterruptGuard interrupt;
    ReliabilityResult result;
    try {
        result = runReliability(block.Attitudes, block.Params, loads, settings,
                                [&](std::uint64_t done, std::uint64_t total) {
                                    progress.update(done, total);
                                    return !interrupt.interrupted();
                                });
    } catch (const Error& failure) {
        progress.clear();
        err << "trelmox-cli reliability: " << shownText(toolMessage(failure)) << '\n';
        return ExitBlockFailed;
    }
    progress.clear();
    if (result.Cancelled || interrupt.interrupted()) {
        err << "trelmox-cli reliability: interrupted\n";
        return ExitInterrupted;
    }
    try {
        std::ostream& to = destination->stream();
        if (format == "json")
            to << jsonLine(reliabilityJson(result)) << '\n';
        else if (format == "xlsx")
            to << xlsxWorkbook({xlsxSheetOf({reliabilityJson(result)}, "reliability")});
        else
            printReliabilityText(name, result, to);
        destination->finish();
    } catch (const Error& failure) {
        err << "trelmox-cli reliability: " << shownText(toolMessage(failure)) << '\n';
        return ExitBlockFailed;
    }
    return result.Design ? ExitOk : ExitBlockFailed;
}

} // namespace trelmox::cli
