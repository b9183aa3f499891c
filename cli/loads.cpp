#include "cli/loads.h"

#include "model/companion.h"
#include "model/error.h"
#include "model/numtext.h"

namespace trelmox::cli {

std::optional<WedgeLoads> dataFileCompanion(const std::filesystem::path& dataFile) {
    // The stem, not the block name up to the first ".": a block named
    // "a.b" lives in "a.b.txt" with "a.b.json" beside it.
    return readCompanionFile(dataFile.parent_path(), dataFile.stem().string());
}

std::optional<double> requiredFactorOption(const ParsedArgs& parsed) {
    const auto text = parsed.last("required");
    if (!text) return std::nullopt;
    double factor = 0;
    try {
        factor = textToFloat(*text);
    } catch (const Error&) {
        // not a number: refused below like a factor below 1
    }
    if (!withinLoadRange(factor, LoadRange::RequiredFactor))
        throw UsageError("--required needs a safety factor of at least 1, not '" + *text + "'");
    return factor;
}

void setRequiredFactor(WedgeLoads& loads, std::optional<double> factor) {
    if (!factor) return;
    loads.RequiredFactor = *factor;
    loads.Preset.reset(); // the user's own factor, no longer the standard's row
}

} // namespace trelmox::cli
