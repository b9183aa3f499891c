#include "report/calculation_parts.h"

#include <charconv>

#include "model/numtext.h"
#include "model/wording.h"

namespace trelmox::report_parts {

std::string fixed(double v) { return floatToFixed4(v); }

std::string bracketed(const std::string& text) { return say("（" + text + "）", " (" + text + ")"); }

std::string degrees(double v) { return floatToText(v) + "°"; }

std::string significant(double v) {
    char buffer[48];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 4).ptr;
    return std::string(buffer, end);
}

std::string percent(double fraction) {
    char buffer[48];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, fraction * 100, std::chars_format::fixed, 2).ptr;
    return std::string(buffer, end) + "%";
}

std::string requiredFactorText(const WedgeLoads& l) {
    return floatToText(l.RequiredFactor) + (l.Preset ? bracketed(presetName(*l.Preset)) : "");
}

FullOutcome fullOutcome(const CalculationReportInputs& in) {
    if (!in.Results) return {};
    return {in.Results->Full ? &*in.Results->Full : nullptr, &in.Results->Loads, in.Results->FullError};
}

bool hasFactor(const FullOutcome& full) {
    return full.Report && !full.Report->Analysis.Refusal && full.Report->Analysis.State;
}

} // namespace trelmox::report_parts
