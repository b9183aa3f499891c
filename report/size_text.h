#pragma once
// The words every report uses for a wedge's size limits and what they did
// to it: which limits were given, the factor the wedge was scaled by and the
// limit that decided it, its height, a bench's back-break and a wedge too
// small to matter. Label and value pairs, for the text report's lines and
// the calculation report's tables alike.
#include <string>
#include <utility>
#include <vector>

#include "analysis/wedge_size.h"
#include "model/size_limits.h"

namespace trelmox {

// "沿交线自坡面量取" or "面上两角点间的最大距离".
const char* persistenceMeasureText(PersistenceMeasure measure);
// The limits as given; empty when none is.
std::vector<std::pair<std::string, std::string>> sizeLimitRows(const WedgeSizeLimits& limits);
// What the limits did to the wedge; empty when it was not sized.
std::vector<std::pair<std::string, std::string>> sizingRows(const WedgeSizeLimits& limits, const WedgeSizing& sizing);
// One sentence for a conclusion: "楔块按...缩小为全高楔块的0.5000倍。" and the
// like; empty when it was not sized.
std::string sizingSentence(const WedgeSizeLimits& limits, const WedgeSizing& sizing);

} // namespace trelmox
