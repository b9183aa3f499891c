#pragma once
// The options that give the random inputs of the probabilistic run and of
// the reliability analysis: their distributions (--sd, --uniform,
// --lognormal, --exponential, --triangular, --beta, --gamma, --truncate), the
// c-f correlations (--correlation) and the Fisher planes (--fisher), read
// into ProbabilisticSettings by one parser for every command.
#include <string>
#include <vector>

#include "analysis/probabilistic/probabilistic.h"
#include "cli/options.h"

namespace trelmox::cli {

// The distributions, correlations and Fisher planes given; a usage error
// for an option that does not parse (the settings' fit to a block is
// checked by validateSettings).
void readInputOptions(const ParsedArgs& parsed, ProbabilisticSettings& settings);

// An input by its name; a usage error names the known ones otherwise.
Parameter parameterNamed(const std::string& name);
// A number option's value; a usage error names `what` otherwise.
double numberArgument(const std::string& text, const std::string& what);

} // namespace trelmox::cli
