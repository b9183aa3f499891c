#include "report/figures.h"

#include "model/numtext.h"

namespace trelmox {

FigureTexts figureTexts(const WedgeGeometry& geometry, const SafetyResult& safety) {
    return {floatToFixed4(geometry.Volume), floatToFixed4(geometry.Height), floatToFixed4(geometry.IntersectionPlunge),
            floatToText(safety.SafetyFactor)};
}

} // namespace trelmox
