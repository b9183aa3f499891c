#include "model/block_loads.h"

#include "model/companion.h"

namespace trelmox {

std::optional<WedgeLoads> dataFileCompanion(const std::filesystem::path& dataFile) {
    // The stem, not the block name up to the first ".": a block named
    // "a.b" lives in "a.b.txt" with "a.b.json" beside it.
    return readCompanionFile(dataFile.parent_path(), dataFile.stem().string());
}

void setRequiredFactor(WedgeLoads& loads, std::optional<double> factor) {
    if (!factor) return;
    loads.RequiredFactor = *factor;
    loads.Preset.reset(); // the user's own factor, no longer the standard's row
}

} // namespace trelmox
