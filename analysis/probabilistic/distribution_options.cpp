#include "analysis/probabilistic/distribution_options.h"

#include <vector>

#include "model/error.h"
#include "model/numtext.h"
#include "model/wording.h"

namespace trelmox {

namespace {

// A number of the option `what` (its whole text, "--sd c1=x").
double optionNumber(const std::string& text, const std::string& what, const std::string& field) {
    try {
        return textToFloat(text);
    } catch (const Error&) {
        throw Error::refused("invalid number '" + text + "' for " + what, field);
    }
}

// "NAME=REST" of --option; REST is returned.
std::string assignedTo(const std::string& text, const std::string& option, Parameter& parameter) {
    const auto equals = text.find('=');
    if (equals == std::string::npos)
        throw Error::refused("--" + option + " needs NAME=VALUE, not '" + text + "'", option);
    parameter = parameterOption(text.substr(0, equals));
    return text.substr(equals + 1);
}

// "A:B:C" split at the colons into exactly `count` numbers.
std::vector<double> numbersOf(const std::string& value, std::size_t count, const std::string& form,
                              const std::string& what, const std::string& field) {
    std::vector<double> numbers;
    std::size_t from = 0;
    for (std::size_t colon; (colon = value.find(':', from)) != std::string::npos; from = colon + 1)
        numbers.push_back(optionNumber(value.substr(from, colon - from), what, field));
    numbers.push_back(optionNumber(value.substr(from), what, field));
    if (numbers.size() != count) throw Error::refused(form + ", not '" + what + "'", field);
    return numbers;
}

} // namespace

Parameter parameterOption(const std::string& name) {
    const auto parameter = parameterFromName(name);
    if (!parameter)
        throw Error::refused("unknown parameter '" + name + "' (names: " + parameterNameList() + ")", "param");
    return *parameter;
}

InputDistribution parseDistributionOption(const std::string& option, const std::string& text) {
    InputDistribution d;
    const std::string what = "--" + option + " " + text;
    if (option == "exponential") {
        d.Input = parameterOption(text);
        d.Shape = exponentialDistribution();
        return d;
    }
    const std::string value = assignedTo(text, option, d.Input);
    if (option == "uniform" || option == "triangular") {
        const auto n = numbersOf(value, 2, "--" + option + " needs NAME=LO:HI", what, option);
        d.Shape = option == "uniform" ? uniformDistribution(n[0], n[1]) : triangularDistribution(n[0], n[1]);
    } else if (option == "beta") {
        const auto n = numbersOf(value, 3, "--beta needs NAME=SD:LO:HI", what, option);
        d.Shape = betaDistribution(n[0], n[1], n[2]);
    } else {
        const double sd = optionNumber(value, what, option);
        d.Shape = option == "gamma" ? gammaDistribution(sd)
                  : option == "sd"  ? normalDistribution(sd)
                                    : lognormalDistribution(sd);
    }
    return d;
}

InputTruncation parseTruncationOption(const std::string& text) {
    InputTruncation t;
    const std::string value = assignedTo(text, "truncate", t.Input);
    const std::string what = "--truncate " + text;
    const auto colon = value.find(':');
    if (colon == std::string::npos) throw Error::refused("--truncate needs NAME=LO:HI, not '" + text + "'", "truncate");
    const std::string low = value.substr(0, colon), high = value.substr(colon + 1);
    if (!low.empty()) t.Low = optionNumber(low, what, "truncate");
    if (!high.empty()) t.High = optionNumber(high, what, "truncate");
    return t;
}

Distribution shapedDistribution(const std::string& input, const std::string& kind, std::optional<double> sd,
                                std::optional<double> low, std::optional<double> high,
                                std::optional<double> truncateLow, std::optional<double> truncateHigh) {
    const auto need = [&](const std::optional<double>& value, const char* what) {
        if (!value) throw Error::refused("the " + kind + " distribution of " + input + " needs " + what, input);
        return *value;
    };
    Distribution d;
    if (kind == "normal")
        d = normalDistribution(need(sd, "sd"));
    else if (kind == "uniform")
        d = uniformDistribution(need(low, "low"), need(high, "high"));
    else if (kind == "lognormal")
        d = lognormalDistribution(need(sd, "sd"));
    else if (kind == "exponential")
        d = exponentialDistribution();
    else if (kind == "triangular")
        d = triangularDistribution(need(low, "low"), need(high, "high"));
    else if (kind == "beta")
        d = betaDistribution(need(sd, "sd"), need(low, "low"), need(high, "high"));
    else if (kind == "gamma")
        d = gammaDistribution(need(sd, "sd"));
    else
        throw Error::refused("unknown distribution '" + kind +
                                 "' (normal, uniform, lognormal, exponential, triangular, beta, gamma)",
                             input);
    return truncateLow || truncateHigh ? truncated(d, truncateLow, truncateHigh) : d;
}

Distribution listedDistribution(const std::string& input, const std::string& kind, const std::vector<double>& numbers) {
    // The numbers each kind takes, in the order they are listed.
    enum Number { Sd, Low, High };
    static const struct {
        const char* kind;
        std::vector<Number> takes;
        const char* names;
    } forms[] = {{"normal", {Sd}, ", sd"},
                 {"lognormal", {Sd}, ", sd"},
                 {"gamma", {Sd}, ", sd"},
                 {"exponential", {}, ""},
                 {"uniform", {Low, High}, ", low, high"},
                 {"triangular", {Low, High}, ", low, high"},
                 {"beta", {Sd, Low, High}, ", sd, low, high"}};
    for (const auto& form : forms) {
        if (kind != form.kind) continue;
        if (numbers.size() != form.takes.size()) {
            const std::string shape = "(\"" + kind + "\"" + form.names + ")", count = std::to_string(numbers.size());
            throw Error::refused(inLanguage(input + " 的分布应为 " + shape + "，而不是 " + count + " 个数",
                                            "the distribution of " + input + " is " + shape + ", not " + count +
                                                (numbers.size() == 1 ? " number" : " numbers")),
                                 input);
        }
        std::optional<double> given[3];
        for (std::size_t k = 0; k < numbers.size(); ++k) given[form.takes[k]] = numbers[k];
        return shapedDistribution(input, kind, given[Sd], given[Low], given[High], std::nullopt, std::nullopt);
    }
    // An unknown kind, refused with the list of the known ones.
    return shapedDistribution(input, kind, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt);
}

} // namespace trelmox
