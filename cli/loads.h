#pragma once
// The loads and support of a block data file for the tool's commands.
#include <filesystem>
#include <optional>

#include "cli/options.h"
#include "model/loads.h"

namespace trelmox::cli {

// The loads of the block's companion file beside the data file - the data
// file's name with ".json" for its extension, where the windows keep it -
// absent without one; the block then carries the defaults (WedgeLoads{}):
// its own water pressures and no other load. Throws Error naming what is
// wrong with a companion file that exists.
std::optional<WedgeLoads> dataFileCompanion(const std::filesystem::path& dataFile);

// --required F, the factor the design must reach, if given. Throws
// UsageError for anything but a number >= 1.
std::optional<double> requiredFactorOption(const ParsedArgs& parsed);
// The factor in place of the companion file's (and of its preset).
void setRequiredFactor(WedgeLoads& loads, std::optional<double> factor);

} // namespace trelmox::cli
