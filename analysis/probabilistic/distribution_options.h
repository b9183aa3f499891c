#pragma once
// The two ways a script gives an input's distribution as text, each read
// here once: the tool's options (--sd c1=5, --uniform f1=0.3:0.45,
// --exponential k, --truncate c1=0:, ...) and the module's shapes
// (("normal", 5), ("uniform", 0.3, 0.45), ...). Whether a distribution fits
// its input is checked later, with the block (validateDistribution).
#include <optional>
#include <string>
#include <vector>

#include "analysis/probabilistic/distribution.h"
#include "analysis/probabilistic/parameters.h"

namespace trelmox {

// The tool's distribution options, without "--": "sd" (normal), "uniform",
// "lognormal", "exponential", "triangular", "beta", "gamma".
inline constexpr const char* DistributionOptions[] = {"sd",         "uniform", "lognormal", "exponential",
                                                      "triangular", "beta",    "gamma"};

struct InputDistribution {
    Parameter Input{};
    Distribution Shape;
};
// The value of --`option`: NAME=SD (sd, lognormal, gamma), NAME=LO:HI
// (uniform, triangular), NAME=SD:LO:HI (beta) or NAME alone (exponential,
// whose one number is the block's value). Throws a refused Error (field the
// option) with the tool's wording for an unknown NAME, a missing "=", a
// text that is not a number or the wrong count of numbers.
InputDistribution parseDistributionOption(const std::string& option, const std::string& text);

struct InputTruncation {
    Parameter Input{};
    std::optional<double> Low, High; // an empty bound: none
};
// The value of --truncate: NAME=LO:HI, either bound may be empty. Throws a
// refused Error (field "truncate") as parseDistributionOption does.
InputTruncation parseTruncationOption(const std::string& text);

// An input by the name the tool gives it; a refused Error (field "param")
// names the known ones otherwise.
Parameter parameterOption(const std::string& name);

// The module's shape of `input`'s distribution: the kind by its name
// ("normal", "uniform", "lognormal", "exponential", "triangular", "beta",
// "gamma") with the numbers it takes (sd; low, high; sd, low, high) and the
// truncation bounds. Throws a refused Error (field `input`) for an unknown
// kind or a number the kind needs and was not given.
Distribution shapedDistribution(const std::string& input, const std::string& kind, std::optional<double> sd,
                                std::optional<double> low, std::optional<double> high,
                                std::optional<double> truncateLow, std::optional<double> truncateHigh);

// The module's short shape: the kind and its numbers in their order
// (("normal", sd), ("uniform", low, high), ("beta", sd, low, high),
// ("exponential",), ...), without truncation. Throws a refused Error (field
// `input`) for an unknown kind or a count of numbers the kind does not take.
Distribution listedDistribution(const std::string& input, const std::string& kind, const std::vector<double>& numbers);

} // namespace trelmox
