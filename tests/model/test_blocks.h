#pragma once
// The two reference blocks of the golden files, built from the quadrant
// texts the user would type and converted as the entry window converts them.
#include <string>

#include "model/attitude.h"
#include "model/datafile.h"
#include "model/files.h"

namespace trelmox::testing {

inline SavedBlock blockFromQuadrants(const PlaneQuadrantArray& quadrants, TWedgeParams params) {
    SavedBlock block;
    block.Quadrants = quadrants;
    data1to2(block.Quadrants, block.Attitudes);
    block.Params = std::move(params);
    return block;
}

// The parameter texts in the order of the data file's lines 9-18; the pair
// of water pressures not in use holds a text that must never be stored.
inline TWedgeParams paramsOf(const std::array<std::string, 10>& lines, TWaterPressureMode mode) {
    const bool entered = mode == TWaterPressureMode::Entered;
    return TWedgeParams{lines[0],
                        lines[1],
                        lines[2],
                        lines[3],
                        entered ? lines[4] : "not stored",
                        entered ? "not stored" : lines[4],
                        entered ? lines[5] : "not stored",
                        entered ? "not stored" : lines[5],
                        lines[6],
                        lines[7],
                        lines[8],
                        lines[9],
                        mode};
}

// Two cutting planes N15E/SE45 and N35W/SW70 under a slope N85W/SW65 with a
// top N75W/SW12, 40 high, computed water pressures.
inline SavedBlock exampleBlock() {
    return blockFromQuadrants({TPlaneQuadrant{"N", "15", "E", "S", "E", "45"},
                               {"N", "35", "W", "S", "W", "70"},
                               {"N", "75", "W", "S", "W", "12"},
                               {"N", "85", "W", "S", "W", "65"}},
                              paramsOf({"25", "9.81", "40", "1", "65.4", "65.4", "24", "0.364", "48", "0.577"},
                                       TWaterPressureMode::Computed));
}

// A symmetric wedge 10 high under a horizontal top, entered water pressures.
inline SavedBlock workedExampleBlock() {
    return blockFromQuadrants(
        {TPlaneQuadrant{"N", "60", "E", "S", "E", "45"},
         {"N", "60", "W", "N", "E", "45"},
         {"N", "0", "E", "S", "E", "0"},
         {"N", "0", "E", "S", "E", "60"}},
        paramsOf({"26.5", "10", "10", "1", "5", "2.50", "20", "0.6", "15", "0.45"}, TWaterPressureMode::Entered));
}

// The worked example with its first cutting plane horizontal, parallel to
// the horizontal top: two triples of planes cut out no corner.
inline SavedBlock blockWithoutCorners() {
    SavedBlock block = workedExampleBlock();
    block.Quadrants[0] = {"N", "60", "E", "S", "E", "0"};
    block.Attitudes[0] = {0, 150};
    return block;
}

inline std::string goldenBytes(const std::string& name) {
    return readFileBytes(std::string(TRELMOX_TEST_DATA) + "/" + name);
}

} // namespace trelmox::testing
