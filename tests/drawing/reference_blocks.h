#pragma once
// The two blocks whose corners are known by hand, shared by the drawing and
// analysis tests.
#include <array>

#include "model/block.h"

namespace trelmox::testing {

// Drawing order, H = 10: horizontal slope top, slope face N0E dipping SE 60,
// first cutting plane N60E dipping SE 45, second N60W dipping NE 45.
inline std::array<TPlaneQuadrant, PlaneCount> workedExamplePlanes() {
    return {{{"N", "0", "E", "S", "E", "0"},
             {"N", "0", "E", "S", "E", "60"},
             {"N", "60", "E", "S", "E", "45"},
             {"N", "60", "W", "N", "E", "45"}}};
}

// Storage order, H = 40: the example block shipped with the program.
inline PlaneQuadrantArray exampleBlockQuadrants() {
    return {{{"N", "15", "E", "S", "E", "45"},
             {"N", "35", "W", "S", "W", "70"},
             {"N", "75", "W", "S", "W", "12"},
             {"N", "85", "W", "S", "W", "65"}}};
}

} // namespace trelmox::testing
