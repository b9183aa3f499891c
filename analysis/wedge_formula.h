#pragma once
// The water pressures on the wedge's cutting planes, written once over
// their value type (formula_values.h): the analysis instantiates them for
// doubles, kernel_lanes.h for the vectors of every kernel width, so that
// the lanes cannot drift from the analysis.
//
// Included by the analysis's sources and by kernel_lanes.h after its lane
// operations; no other header includes it.
#include "analysis/formula_values.h"

namespace trelmox {

// The mean pressure on a cutting plane of water that stands h high where
// the plane meets the line of intersection and drains at its free faces:
// gammaW h / 2 there, a third of it on average, gammaW h / 6. The
// parameter window's computed pressures take h as the slope height, the
// saturated wedge as the height its line of intersection climbs.
template <typename Value> [[gnu::always_inline]] inline Value drainedWaterPressureOf(Value waterUnitWeight, Value h) {
    return (waterUnitWeight * h) / every<Value>(6);
}

} // namespace trelmox
