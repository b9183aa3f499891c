#pragma once
// The loads of a block data file as the tool's commands and the module
// take them.
#include <filesystem>
#include <optional>

#include "model/loads.h"

namespace trelmox {

// The loads of the block's companion file beside the data file - the data
// file's name with ".json" for its extension, where the windows keep it -
// absent without one; the block then carries the defaults (WedgeLoads{}):
// its own water pressures and no other load. Throws Error naming what is
// wrong with a companion file that exists.
std::optional<WedgeLoads> dataFileCompanion(const std::filesystem::path& dataFile);
// The factor in place of the companion file's (and of its preset).
void setRequiredFactor(WedgeLoads& loads, std::optional<double> factor);

} // namespace trelmox
