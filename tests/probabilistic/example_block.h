#pragma once
// The base case of the tests: the shipped example block (contact on both
// planes, Kc 1.1891 with computed water pressures).
#include <string>

#include "model/block.h"

namespace trelmox::testing {

inline PlaneAttitudeArray exampleAttitudes() { return {{{45, 105}, {70, 235}, {12, 195}, {65, 185}}}; }

inline TWedgeParams exampleParams() {
    TWedgeParams p;
    p.RockUnitWeight = "25";
    p.WaterUnitWeight = "9.81";
    p.SlopeHeight = "40";
    p.OverhangCoefficient = "1";
    p.Cohesion1 = "24";
    p.Friction1 = "0.364";
    p.Cohesion2 = "48";
    p.Friction2 = "0.577";
    p.WaterPressureMode = TWaterPressureMode::Computed;
    return p;
}

inline TWedgeParams enteredParams(const std::string& u1, const std::string& u2) {
    TWedgeParams p = exampleParams();
    p.WaterPressureMode = TWaterPressureMode::Entered;
    p.WaterPressure1 = u1;
    p.WaterPressure2 = u2;
    return p;
}

} // namespace trelmox::testing
