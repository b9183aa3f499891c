#pragma once
// A core parser's refusal as the tool's usage error.
#include "cli/options.h"
#include "model/error.h"

namespace trelmox::cli {

// The value a core parser of an option's syntax makes of its text; the
// input it refuses is a usage error with the parser's message.
template <typename Parse> auto usageChecked(Parse parse) {
    try {
        return parse();
    } catch (const Error& refused) {
        throw UsageError(refused.what());
    }
}

} // namespace trelmox::cli
