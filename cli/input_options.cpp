#include "cli/input_options.h"

#include <array>
#include <optional>
#include <string_view>

#include "analysis/probabilistic/distribution_options.h"
#include "cli/usage_checked.h"
#include "model/error.h"
#include "model/numtext.h"

namespace trelmox::cli {

Parameter parameterNamed(const std::string& name) {
    return usageChecked([&] { return parameterOption(name); });
}

double numberArgument(const std::string& text, const std::string& what) {
    try {
        return textToFloat(text);
    } catch (const Error&) {
        throw UsageError("invalid number '" + text + "' for " + what);
    }
}

namespace {

// --truncate NAME=LO:HI, either bound may be empty.
void readTruncations(const ParsedArgs& parsed, ProbabilisticSettings& settings) {
    const auto found = parsed.values.find("truncate");
    if (found == parsed.values.end()) return;
    std::array<bool, ParameterCount> given{};
    for (const std::string& text : found->second) {
        const InputTruncation t = usageChecked([&] { return parseTruncationOption(text); });
        Distribution& d = settings.Distributions[static_cast<int>(t.Input)];
        if (d.Type == Distribution::Kind::Fixed)
            throw UsageError("--truncate " + text + ": " + parameterName(t.Input) + " has no distribution to truncate");
        if (given[static_cast<int>(t.Input)])
            throw UsageError(std::string(parameterName(t.Input)) + " is truncated twice");
        given[static_cast<int>(t.Input)] = true;
        if (t.Low) d.TruncateLow = t.Low;
        if (t.High) d.TruncateHigh = t.High;
    }
}

void readDistributions(const ParsedArgs& parsed, ProbabilisticSettings& settings) {
    std::array<bool, ParameterCount> given{};
    for (const char* option : DistributionOptions) {
        const auto found = parsed.values.find(option);
        if (found == parsed.values.end()) continue;
        for (const std::string& text : found->second) {
            const InputDistribution d = usageChecked([&] { return parseDistributionOption(option, text); });
            const int index = static_cast<int>(d.Input);
            if (given[index]) throw UsageError(std::string(parameterName(d.Input)) + " has two distributions");
            given[index] = true;
            settings.Distributions[index] = d.Shape;
        }
    }
    readTruncations(parsed, settings);
}

// --correlation PLANE=RHO for the cohesion and friction of plane 1 or 2.
void readCorrelations(const ParsedArgs& parsed, ProbabilisticSettings& settings) {
    const auto found = parsed.values.find("correlation");
    if (found == parsed.values.end()) return;
    std::array<bool, 2> given{};
    for (const std::string& text : found->second) {
        const auto equals = text.find('=');
        const std::string plane = text.substr(0, equals);
        if (equals == std::string::npos || (plane != "1" && plane != "2"))
            throw UsageError("--correlation needs PLANE=RHO with PLANE 1 or 2, not '" + text + "'");
        const int k = plane == "1" ? 0 : 1;
        if (given[k]) throw UsageError("plane " + plane + " has two correlations");
        given[k] = true;
        settings.Correlation[k] = numberArgument(text.substr(equals + 1), "--correlation " + text);
    }
}

// --fisher PLANE=K for the block's cutting plane 1 or 2.
void readFisherPlanes(const ParsedArgs& parsed, ProbabilisticSettings& settings) {
    const auto found = parsed.values.find("fisher");
    if (found == parsed.values.end()) return;
    for (const std::string& text : found->second) {
        const auto equals = text.find('=');
        const std::string plane = text.substr(0, equals);
        if (equals == std::string::npos || (plane != "1" && plane != "2" && plane != "crack"))
            throw UsageError("--fisher needs PLANE=K with PLANE 1, 2 or crack, not '" + text + "'");
        std::optional<double>& kappa = settings.FisherKappa[plane == "1" ? 0 : plane == "2" ? 1 : 2];
        if (kappa) throw UsageError(plane + " has two Fisher distributions");
        kappa = numberArgument(text.substr(equals + 1), "--fisher " + text);
    }
}

} // namespace

void readInputOptions(const ParsedArgs& parsed, ProbabilisticSettings& settings) {
    readDistributions(parsed, settings);
    readFisherPlanes(parsed, settings);
    readCorrelations(parsed, settings);
}

} // namespace trelmox::cli
