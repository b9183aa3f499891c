#include "cli/input_options.h"

#include <array>
#include <optional>
#include <string_view>

#include "model/error.h"
#include "model/numtext.h"

namespace trelmox::cli {

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

namespace {

// "NAME=REST" of --option; REST is returned.
std::string assignedTo(const std::string& text, const std::string& option, Parameter& parameter) {
    const auto equals = text.find('=');
    if (equals == std::string::npos) throw UsageError("--" + option + " needs NAME=VALUE, not '" + text + "'");
    parameter = parameterNamed(text.substr(0, equals));
    return text.substr(equals + 1);
}

// "A:B:C" split at the colons into exactly `count` numbers.
std::vector<double> numbersOf(const std::string& value, std::size_t count, const std::string& form,
                              const std::string& what) {
    std::vector<double> numbers;
    std::size_t from = 0;
    for (std::size_t colon; (colon = value.find(':', from)) != std::string::npos; from = colon + 1)
        numbers.push_back(numberArgument(value.substr(from, colon - from), what));
    numbers.push_back(numberArgument(value.substr(from), what));
    if (numbers.size() != count) throw UsageError(form + ", not '" + what + "'");
    return numbers;
}

Distribution distributionFrom(const std::string& option, const std::string& value, const std::string& what) {
    if (option == "uniform" || option == "triangular") {
        const auto n = numbersOf(value, 2, "--" + option + " needs NAME=LO:HI", what);
        return option == "uniform" ? uniformDistribution(n[0], n[1]) : triangularDistribution(n[0], n[1]);
    }
    if (option == "beta") {
        const auto n = numbersOf(value, 3, "--beta needs NAME=SD:LO:HI", what);
        return betaDistribution(n[0], n[1], n[2]);
    }
    if (option == "exponential") return exponentialDistribution();
    const double sd = numberArgument(value, what);
    if (option == "gamma") return gammaDistribution(sd);
    return option == "sd" ? normalDistribution(sd) : lognormalDistribution(sd);
}

// --truncate NAME=LO:HI, either bound may be empty.
void readTruncations(const ParsedArgs& parsed, ProbabilisticSettings& settings) {
    const auto found = parsed.values.find("truncate");
    if (found == parsed.values.end()) return;
    std::array<bool, ParameterCount> given{};
    for (const std::string& text : found->second) {
        Parameter parameter{};
        const std::string value = assignedTo(text, "truncate", parameter);
        const std::string what = "--truncate " + text;
        const auto colon = value.find(':');
        if (colon == std::string::npos) throw UsageError("--truncate needs NAME=LO:HI, not '" + text + "'");
        const std::string low = value.substr(0, colon), high = value.substr(colon + 1);
        Distribution& d = settings.Distributions[static_cast<int>(parameter)];
        if (d.Type == Distribution::Kind::Fixed)
            throw UsageError(what + ": " + parameterName(parameter) + " has no distribution to truncate");
        if (given[static_cast<int>(parameter)])
            throw UsageError(std::string(parameterName(parameter)) + " is truncated twice");
        given[static_cast<int>(parameter)] = true;
        if (!low.empty()) d.TruncateLow = numberArgument(low, what);
        if (!high.empty()) d.TruncateHigh = numberArgument(high, what);
    }
}

void readDistributions(const ParsedArgs& parsed, ProbabilisticSettings& settings) {
    std::array<bool, ParameterCount> given{};
    for (const char* option : {"sd", "uniform", "lognormal", "exponential", "triangular", "beta", "gamma"}) {
        const auto found = parsed.values.find(option);
        if (found == parsed.values.end()) continue;
        for (const std::string& text : found->second) {
            Parameter parameter{};
            // The exponential's one number is the block's value: its NAME alone.
            const bool named = std::string_view(option) == "exponential";
            const std::string value =
                named ? (parameter = parameterNamed(text), std::string()) : assignedTo(text, option, parameter);
            const int index = static_cast<int>(parameter);
            if (given[index]) throw UsageError(std::string(parameterName(parameter)) + " has two distributions");
            given[index] = true;
            settings.Distributions[index] = distributionFrom(option, value, "--" + std::string(option) + " " + text);
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
