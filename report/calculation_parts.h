#pragma once
// What the parts of the calculation report share: the wording of its
// figures and the outcome of the full analysis; and the sections built in
// files of their own (calculation_inputs.cpp: the inputs and the methods;
// calculation_studies.cpp: the probabilistic and sensitivity analyses).
// They format what they are given; they compute nothing.
#include <optional>
#include <string>
#include <vector>

#include "model/error.h"
#include "model/loads.h"
#include "report/calculation_report.h"
#include "report/figures.h"

namespace trelmox::report_parts {

inline constexpr DirectionLayout Sentence = DirectionLayout::Sentence;

using Rows = std::vector<std::vector<std::string>>;

// Four decimals.
std::string fixed(double v);
// "（text）" after Chinese, " (text)" after English.
std::string bracketed(const std::string& text);
std::string degrees(double v);
// Statistics to four significant digits: what a histogram can tell.
std::string significant(double v);
std::string percent(double fraction);
// The required factor, with the name of its preset when it has one.
std::string requiredFactorText(const WedgeLoads& l);

// The full analysis of the run with its support design and its loads, or
// the failure that left none (absent when there was no run).
struct FullOutcome {
    const RealWedge* Report = nullptr;
    const WedgeLoads* Loads = nullptr;
    std::optional<Error> Failure;
};
FullOutcome fullOutcome(const CalculationReportInputs& in);
// The full analysis gave a factor and a stability state.
bool hasFactor(const FullOutcome& full);

// The basic data: planes, parameters, loads and support.
ReportSection inputSection(const CalculationReportInputs& in);
// The methods in words, those of the runs made included.
ReportSection methodSection(const CalculationReportInputs& in);

// The probabilistic run's settings, random inputs and results.
std::vector<ReportItem> probabilisticItems(const CalculationReportInputs& in, const ProbabilisticRun& run);
// The sensitivity run in a sentence: the range, the block's own point, the
// crossings of Kc = 1 and of Fs = Fst.
std::string sensitivityText(const CalculationReportInputs& in, const SensitivityRun& run, const FullOutcome& full);

} // namespace trelmox::report_parts
