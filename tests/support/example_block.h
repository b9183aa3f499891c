#pragma once
// The base case of the tests, shared by every module's tests: the shipped
// example block (cutting planes 45/105 and 70/235 under a slope 65/185 with
// a top 12/195, 40 high; contact on both planes, Kc 1.1891 with computed
// water pressures) and the corners its drawing export computes.
#include <string>

#include "model/block.h"
#include "model/loads.h"

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

inline BlockVertices exampleVertices() {
    return {{0, 0, 0},
            {-34.7340090471, 84.8268963285, 55.5052926959},
            {-37.9581352395, 23.3069037531, 42.6970137193},
            {5.5231374687, 20.3370678905, 44.4793303154}};
}

// The example block's loads in the full report's golden file: a crack,
// saturated water, seismic load, a force, bolts of both kinds and a bolt to
// design.
inline WedgeLoads exampleLoads() {
    WedgeLoads l;
    l.Water = WaterMode::Saturated;
    l.Crack = TensionCrack{{80, 10}, 5, 4};
    l.SeismicCoefficient = 0.1;
    l.Forces = {{500, {150, 20}}};
    l.Bolts = {{800, {330, 15}, BoltMode::Active}, {600, {340, 10}, BoltMode::Passive}};
    l.Design = DesignBolt{{340, 15}, BoltMode::Active};
    return l;
}

} // namespace trelmox::testing
