#pragma once
// The figures of an analysis as every output shows them to a person: the
// analysis window, the report and the tool's table. Volume, height and plunge
// in the "0.0000" pattern (a wedge is measured to a tenth of a millimetre
// at most), Kc in the general format with 15 significant digits.
#include <string>

#include "analysis/geometry.h"
#include "analysis/wedge.h"

namespace trelmox {

struct FigureTexts {
    std::string Volume, Height, Plunge, SafetyFactor;
    bool operator==(const FigureTexts&) const = default;
};

FigureTexts figureTexts(const WedgeGeometry& geometry, const SafetyResult& safety);

} // namespace trelmox
