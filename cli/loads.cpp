#include "cli/loads.h"

#include "model/error.h"
#include "model/numtext.h"

namespace trelmox::cli {

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

} // namespace trelmox::cli
