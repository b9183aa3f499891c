#include "report/study_formats.h"

#include <cstdio>
#include <functional>
#include <ostream>

#include "model/error.h"
#include "model/language.h"
#include "model/numtext.h"
#include "model/shown_text.h"
#include "report/json_sheet.h"
#include "report/xlsx_table.h"

namespace trelmox {

std::string shortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

namespace {

const char* methodName(SamplingMethod method) { return method == SamplingMethod::LatinHypercube ? "lhs" : "mc"; }

// How each factor is worked out, in the language of the messages.
const char* kcMethod() {
    return inLanguage(ProbabilisticResult::KcMethod,
                      "Kc (the wedge normalised to a horizontal upper slope at the slope height)");
}
const char* fsMethod() {
    return inLanguage(ProbabilisticResult::FsMethod,
                      "Fs (the real wedge by the vector method, with the tension crack, loads and support)");
}

Json statisticJson(const std::optional<SafetyStatistics>& s, double SafetyStatistics::*field) {
    return s ? jsonOf((*s).*field) : Json(nullptr);
}

// "mean":...,"histogram":{...}: the keys both factors share.
void addFindingsJson(const FactorSummary& f, Json& json) {
    const auto& s = f.Statistics;
    json["mean"] = statisticJson(s, &SafetyStatistics::Mean);
    json["sd"] = statisticJson(s, &SafetyStatistics::Sd);
    json["min"] = statisticJson(s, &SafetyStatistics::Min);
    json["max"] = statisticJson(s, &SafetyStatistics::Max);
    json["pf"] = statisticJson(s, &SafetyStatistics::Pf);
    json["p_failure"] = jsonOf(f.PFailure);
    Json contacts = Json::object();
    for (int c = 0; c < ContactCount; ++c) contacts[contactName(static_cast<TWedgeContact>(c))] = f.Contacts[c];
    json["contacts"] = contacts;
    json["failed"] = f.Failed;
    Json edges = Json::array();
    for (const double edge : f.Bins.Edges) edges.push_back(jsonOf(edge));
    Json histogram;
    histogram["edges"] = edges;
    histogram["counts"] = f.Bins.Counts;
    json["histogram"] = histogram;
}

// ",\"too_small\":...": what the size limits found, as keys of "fs": wedges
// too small to count, benches left too narrow, the failed wedges' sizes
// (null unless the loads limit the size).
void addSizeFindingsJson(const FullFactorSummary& f, Json& json) {
    json["too_small"] = f.TooSmall;
    json["bench_too_narrow"] = f.BenchTooNarrow;
    json["p_bench_too_narrow"] = jsonOf(f.PBenchTooNarrow);
    json["failed_sizes"] = nullptr;
    if (const auto& sizes = f.FailedSizes) {
        Json failed;
        failed["count"] = sizes->Count;
        failed["volume_mean"] = jsonOf(sizes->MeanVolume);
        failed["weight_mean"] = jsonOf(sizes->MeanWeight);
        failed["volume_p5"] = jsonOf(sizes->Volume5);
        failed["volume_p50"] = jsonOf(sizes->Volume50);
        failed["volume_p95"] = jsonOf(sizes->Volume95);
        Json histogram;
        histogram["edges"] = sizes->VolumeHistogram.Edges;
        histogram["counts"] = sizes->VolumeHistogram.Counts;
        failed["histogram"] = histogram;
        json["failed_sizes"] = failed;
    }
}

// Kc's findings at the top level, as before Fs joined; Fs's in "fs".
Json probabilisticObjectOf(const std::string& block, const ProbabilisticSettings& settings,
                           const ProbabilisticResult& r) {
    Json json;
    json["block"] = shownText(block);
    json["method"] = methodName(settings.Method);
    json["samples"] = r.Samples;
    json["seed"] = settings.Seed;
    json["wedges"] = r.Wedges;
    addFindingsJson(r, json);
    json["kc_method"] = kcMethod();
    Json fs;
    fs["method"] = fsMethod();
    fs["required_factor"] = jsonOf(r.Full.RequiredFactor);
    fs["wedges"] = r.Full.Wedges;
    fs["p_below_required"] = r.Full.Statistics ? jsonOf(r.Full.PBelowRequired) : Json(nullptr);
    addFindingsJson(r.Full, fs);
    addSizeFindingsJson(r.Full, fs);
    json["fs"] = fs;
    return json;
}

using LinePrinter = std::function<void(const std::string& label, const std::string& value)>;

// Kc's lines, or Fs's with "Fs" for `factor`; a required factor adds the
// probability of falling short of it.
void printFindingsText(const std::string& factor, const FactorSummary& f, const LinePrinter& line,
                       std::optional<double> required = std::nullopt, double pBelowRequired = 0) {
    if (const auto& s = f.Statistics) {
        line(factor + inLanguage(" 均值", " mean"), shortNumber(s->Mean));
        line(factor + inLanguage(" 标准差", " sd"), shortNumber(s->Sd));
        line(factor + inLanguage(" 最小值", " min"), shortNumber(s->Min));
        line(factor + inLanguage(" 最大值", " max"), shortNumber(s->Max));
        line("P(" + factor + " < 1)", shortNumber(s->Pf));
        if (required) line("P(" + factor + " < " + shortNumber(*required) + ")", shortNumber(pBelowRequired));
    }
    line(factor + inLanguage(" 破坏概率", " P(failure)"), shortNumber(f.PFailure));
    for (int c = 0; c < ContactCount; ++c)
        line(std::string("  ") + contactName(static_cast<TWedgeContact>(c)), std::to_string(f.Contacts[c]));
    line(factor + inLanguage(" 计算失败", " failed"), std::to_string(f.Failed));
    if (!f.Bins.Counts.empty()) line(factor + inLanguage(" 直方图", " histogram"), "");
    for (std::size_t b = 0; b < f.Bins.Counts.size(); ++b)
        line("  " + shortNumber(f.Bins.Edges[b]) + " .. " + shortNumber(f.Bins.Edges[b + 1]),
             std::to_string(f.Bins.Counts[b]));
}

// The readable name of a sampling method.
const char* methodText(SamplingMethod method) {
    return method == SamplingMethod::LatinHypercube ? inLanguage("拉丁超立方抽样 (lhs)", "lhs")
                                                    : inLanguage("蒙特卡洛 (mc)", "mc");
}

void printProbabilisticText(const std::string& block, const ProbabilisticSettings& settings,
                            const ProbabilisticResult& r, std::ostream& out) {
    const LinePrinter line = [&](const std::string& label, const std::string& value) {
        out << tableRow({label, value}, {26, 0}) << '\n';
    };
    line(inLanguage("块体", "block"), shownText(block));
    line(inLanguage("抽样方法", "method"), methodText(settings.Method));
    line(inLanguage("样本数", "samples"), std::to_string(r.Samples));
    line(inLanguage("随机种子", "seed"), std::to_string(settings.Seed));
    line("Kc", kcMethod());
    line(inLanguage("Kc 楔块数", "Kc wedges"), std::to_string(r.Wedges));
    printFindingsText("Kc", r, line);
    line("Fs", fsMethod());
    line(inLanguage("要求安全系数", "required factor"), shortNumber(r.Full.RequiredFactor));
    line(inLanguage("Fs 楔块数", "Fs wedges"), std::to_string(r.Full.Wedges));
    printFindingsText("Fs", r.Full, line, r.Full.RequiredFactor, r.Full.PBelowRequired);
    if (r.Full.TooSmall)
        line(inLanguage("Fs 过小楔块（未计）", "Fs too small (left out)"), std::to_string(r.Full.TooSmall));
    if (r.Full.BenchTooNarrow)
        line(inLanguage("P(平台过窄)", "P(bench too narrow)"), shortNumber(r.Full.PBenchTooNarrow));
    if (const auto& sizes = r.Full.FailedSizes) {
        line(inLanguage("破坏楔块平均体积", "failed wedges' volume mean"), shortNumber(sizes->MeanVolume));
        line(inLanguage("破坏楔块平均重量", "failed wedges' weight mean"), shortNumber(sizes->MeanWeight));
        line(inLanguage("破坏体积 5/50/95%", "failed volume 5/50/95%"),
             shortNumber(sizes->Volume5) + " / " + shortNumber(sizes->Volume50) + " / " + shortNumber(sizes->Volume95));
    }
}

} // namespace

Json probabilisticJson(const std::string& block, const ProbabilisticSettings& settings,
                       const ProbabilisticResult& result) {
    return probabilisticObjectOf(block, settings, result);
}

void printProbabilistic(const std::string& format, const std::string& block, const ProbabilisticSettings& settings,
                        const ProbabilisticResult& result, std::ostream& out) {
    if (format == "json") out << jsonLine(probabilisticJson(block, settings, result)) << '\n';
    // One row: the JSON's keys as columns, Fs's as "fs.mean" and so on,
    // each histogram bin a column of its own.
    else if (format == "xlsx")
        out << xlsxWorkbook({xlsxSheetOf({probabilisticJson(block, settings, result)}, "probabilistic")});
    else
        printProbabilisticText(block, settings, result, out);
}

namespace {

std::string stepKc(const SensitivityStep& step) { return step.Result ? csvNumber(step.Result->SafetyFactor) : ""; }

std::string stepContact(const SensitivityStep& step) { return step.Result ? contactName(step.Result->Contact) : ""; }

std::string stepFs(const SensitivityStep& step) { return step.Full ? csvNumber(step.Full->Factor) : ""; }

std::string stepFsContact(const SensitivityStep& step) { return step.Full ? contactName(step.Full->Contact) : ""; }

// Empty where no factor was worked out (no real wedge, a failed step); as
// the data name it, or for reading (`readable`).
std::string stepState(const SensitivityStep& step, double required, bool readable = false) {
    const auto state = step.Full ? stabilityState(*step.Full, required) : std::nullopt;
    return state ? readable ? stabilityStateName(*state) : stateInData(*state) : "";
}

std::string stepStateCode(const SensitivityStep& step, double required) {
    const auto state = step.Full ? stabilityState(*step.Full, required) : std::nullopt;
    return state ? stateCode(*state) : "";
}

// The text when `present`, else null.
Json textOrNull(const std::string& text, bool present) { return present ? Json(text) : Json(nullptr); }

// A step's failure: its message and its kind as the tool's data name it,
// each null when there is none.
Json failureMessage(const std::optional<Error>& failure) { return failure ? Json(failure->what()) : Json(nullptr); }
Json failureKind(const std::optional<Error>& failure) { return failure ? Json(errorKindKey(*failure)) : Json(nullptr); }
// The message in a table's cell, empty when there is none.
std::string failureCell(const std::optional<Error>& failure) { return failure ? failure->what() : ""; }

} // namespace

Json sensitivityJson(const std::string& block, Parameter input, double required,
                     const std::vector<SensitivityStep>& steps) {
    Json json;
    json["block"] = shownText(block);
    json["param"] = parameterName(input);
    Json rows = Json::array();
    for (const SensitivityStep& s : steps) {
        const std::string state = stepState(s, required);
        Json row;
        row["value"] = jsonOf(s.Value);
        row["contact"] = textOrNull(stepContact(s), s.Result.has_value());
        row["kc"] = s.Result ? jsonOf(s.Result->SafetyFactor) : Json(nullptr);
        row["error"] = failureMessage(s.Failure);
        row["error_kind"] = failureKind(s.Failure);
        row["fs_contact"] = textOrNull(stepFsContact(s), s.Full.has_value());
        row["fs"] = s.Full ? jsonOf(s.Full->Factor) : Json(nullptr);
        row["state"] = textOrNull(state, !state.empty());
        row["state_code"] = textOrNull(stepStateCode(s, required), !state.empty());
        row["fs_error"] = failureMessage(s.FullFailure);
        row["fs_error_kind"] = failureKind(s.FullFailure);
        rows.push_back(row);
    }
    json["steps"] = rows;
    json["kc_method"] = kcMethod();
    json["fs_method"] = fsMethod();
    json["required_factor"] = jsonOf(required);
    return json;
}

namespace {

void printSensitivityJson(const std::string& block, Parameter input, double required,
                          const std::vector<SensitivityStep>& steps, std::ostream& out) {
    out << jsonLine(sensitivityJson(block, input, required, steps)) << '\n';
}

void printSensitivityCsv(Parameter input, double required, const std::vector<SensitivityStep>& steps,
                         std::ostream& out) {
    out << parameterName(input) << ",contact,kc,error,fs_contact,fs,state,state_code,fs_error\r\n";
    for (const SensitivityStep& s : steps)
        out << csvNumber(s.Value) << ',' << stepContact(s) << ',' << stepKc(s) << ','
            << csvField(failureCell(s.Failure)) << ',' << stepFsContact(s) << ',' << stepFs(s) << ','
            << stepState(s, required) << ',' << stepStateCode(s, required) << ','
            << csvField(failureCell(s.FullFailure)) << "\r\n";
}

// "BothPlanes       1.1891".
std::string factorColumns(const char* contact, double factor) {
    return tableRow({contact, floatToFixed4(factor)}, {17, 0});
}

void printSensitivityText(const std::string& block, Parameter input, double required,
                          const std::vector<SensitivityStep>& steps, std::ostream& out) {
    out << inLanguage("块体 ", "block ") << shownText(block) << '\n'
        << "Kc: " << kcMethod() << '\n'
        << "Fs: " << fsMethod() << inLanguage("，要求安全系数 ", ", required factor ") << shortNumber(required) << '\n'
        << tableRow({parameterName(input), inLanguage("接触情况", "contact"), "Kc",
                     inLanguage("接触情况(Fs)", "Fs contact"), "Fs", inLanguage("稳定状态", "state")},
                    {14, 17, 8, 17, 8, 0})
        << '\n';
    const std::string failed = inLanguage("计算失败：", "failed: ");
    for (const SensitivityStep& s : steps) {
        const std::string kc = s.Result ? factorColumns(contactName(s.Result->Contact), s.Result->SafetyFactor)
                                        : failed + failureCell(s.Failure);
        const std::string fs =
            s.Full ? factorColumns(contactName(s.Full->Contact), s.Full->Factor) : failed + failureCell(s.FullFailure);
        out << tableRow({shortNumber(s.Value), kc, fs, stepState(s, required, true)}, {14, 25, 25, 0}) << '\n';
    }
}

} // namespace

void printSensitivity(const std::string& format, const std::string& block, Parameter input, double required,
                      const std::vector<SensitivityStep>& steps, std::ostream& out) {
    if (format == "json")
        printSensitivityJson(block, input, required, steps, out);
    else if (format == "csv")
        printSensitivityCsv(input, required, steps, out);
    else
        printSensitivityText(block, input, required, steps, out);
}

} // namespace trelmox
