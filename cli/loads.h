#pragma once
// The loads and support of a block data file for the tool's commands.
#include <filesystem>
#include <optional>

#include "cli/options.h"
#include "model/block_loads.h"

namespace trelmox::cli {

// --required F, the factor the design must reach, if given. Throws
// UsageError for anything but a number >= 1.
std::optional<double> requiredFactorOption(const ParsedArgs& parsed);

} // namespace trelmox::cli
