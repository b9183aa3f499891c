// trelmox-cli reliability: the reliability index, the design point and
// P(failure) by FORM, SORM and importance sampling for one block data file
// with its loads. Exit statuses: 0 done, 1 the block could not be read or
// no design point was found (the output says why), 2 usage error, 130
// stopped by Ctrl-C.
#include <cstdio>
#include <ostream>
#include <set>

#include "analysis/probabilistic/reliability.h"
#include "analysis/probabilistic/reliability_bolt.h"
#include "analysis/support.h"
#include "cli/cli.h"
#include "cli/destination.h"
#include "cli/help_table.h"
#include "cli/input_options.h"
#include "cli/loads.h"
#include "cli/options.h"
#include "cli/progress.h"
#include "model/block_names.h"
#include "model/datafile.h"
#include "model/language.h"
#include "model/numtext.h"
#include "model/shown_text.h"
#include "report/failure_text.h"
#include "report/json_format.h"
#include "report/json_sheet.h"
#include "report/reliability_json.h"

namespace trelmox::cli {

namespace {

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
    if (slash == std::string::npos) throw UsageError("--design-bolt needs TREND/PLUNGE or least, not '" + text + "'");
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
    if (auto d = parsed.last("design-bolt")) {
        if (*d == "least")
            s.LeastForceBolt = true;
        else
            s.DesignBolt = boltOption(*d);
    }
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
    return shortNumber(p->Pf) + inLanguage("  (变异系数 ", "  (CoV ") + optionalNumber(p->Cov) + ", " +
           std::to_string(p->Samples) + inLanguage(" 个样本)", " samples)");
}

// The design bolt's force, its direction and how far the search for the
// least-force one could confirm it.
template <typename Line> void printBoltText(const ReliabilityResult& r, const Line& line) {
    const std::string label = r.LeastForceBolt ? inLanguage("所需锚杆力（最省方向）", "least-force bolt")
                                               : inLanguage("所需锚杆力", "required bolt force");
    if (!r.RequiredBoltForce) {
        line(label, reliabilityFailureText(*r.BoltFailure));
    } else if (!r.DesignBolt) {
        line(label, std::string("0  ") + inLanguage("(不加锚杆已满足目标)", "(the target is met without a bolt)"));
    } else {
        line(label, shortNumber(*r.RequiredBoltForce) + "  (" + shortNumber(r.DesignBolt->Trend) + "/" +
                        shortNumber(r.DesignBolt->Plunge) + ")");
        const std::string margin = shortNumber(100 * BoltForceMargin) + "%";
        line(inLanguage("锚杆力余量", "bolt force margin"),
             messageLanguage() == Language::English
                 ? "the target holds up to " + margin + " above the force (the support design's margin)"
                 : "该力至其以上" + margin + "之间均满足目标（同支护设计的余量）");
    }
    if (r.LeastForceBolt && r.DesignBolt && r.BoltLowerBound) {
        const std::string bound = shortNumber(*r.BoltLowerBound);
        const std::string share = shortNumber(100 * LeastBoltTolerance) + "%";
        const bool english = messageLanguage() == Language::English;
        std::string said;
        if (r.BoltLeastConfirmed && *r.BoltLeastConfirmed)
            said = english ? "confirmed: within " + share + " of the lower bound " + bound
                           : "已确认：与下界 " + bound + " 相差不超过" + share;
        else
            said = english ? "not confirmed as the least: no direction needs less than " + bound
                           : "未能确认为最小：任何方向所需的力不小于 " + bound;
        line(inLanguage("最省方向", "least direction"), said);
    }
    if (r.LeastForceBolt)
        line(inLanguage("锚杆搜索", "bolt search"),
             std::to_string(r.BoltDirections) + inLanguage(" 个方向，计算安全系数 ", " directions, ") +
                 std::to_string(r.BoltEvaluations) + inLanguage(" 次", " evaluations"));
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
        line(inLanguage("失效概率 FORM", "P(failure) FORM"), shortNumber(d->PfForm));
        line(inLanguage("失效概率 SORM Breitung", "P(failure) SORM Breitung"), optionalNumber(r.PfBreitung));
        line(inLanguage("失效概率 SORM Tvedt", "P(failure) SORM Tvedt"), optionalNumber(r.PfTvedt));
        line(inLanguage("失效概率 重要抽样", "P(failure) IS"), sampledText(r.Importance));
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
        line(inLanguage("失效模式 ", "mode ") + std::to_string(m + 1),
             std::string(contactName(r.Modes[m].Contact)) + inLanguage("  β ", "  beta ") +
                 shortNumber(r.Modes[m].Beta) + "  P " + shortNumber(r.Modes[m].PfForm));
    if (r.Design) {
        line(inLanguage("体系失效概率 重要抽样", "P(failure) system IS"), sampledText(r.System));
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
    if (r.DesignBolt || r.LeastForceBolt) printBoltText(r, line);
}

int usageFailure(const std::string& message, std::ostream& err) {
    err << "trelmox-cli reliability: " << message << "\n\n" << commandUsage("reliability");
    return ExitUsage;
}

} // namespace

int runReliabilityCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ParsedArgs parsed;
    ReliabilitySettings settings;
    std::string format;
    std::optional<ResultDestination> destination;
    try {
        parsed = parseCommand("reliability", args);
        if (parsed.help) {
            out << commandUsage("reliability");
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
    ParsedBlock block;
    WedgeLoads loads;
    BlockInputs inputs;
    try {
        destination->check();
        block = readSavedBlock(file);
        loads = dataFileCompanion(file).value_or(WedgeLoads{});
        inputs = blockInputs(block.Input.Attitudes, block.Input.Parameters, loads);
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
        result = runReliability(block.Input.Attitudes, block.Input.Parameters, loads, settings,
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
