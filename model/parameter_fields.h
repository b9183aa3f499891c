#pragma once
// The block's parameters that hold one text each, in one table: the data
// file's line, the file's text, the entries' text, the number and the
// field's name in the data. The data file's reader and writer, the
// conversion into numbers and the block document all read this table, so
// that a parameter is described once.
#include <array>
#include <optional>
#include <string>

#include "model/block.h"
#include "model/block_input.h"
#include "model/datafile.h"

namespace trelmox {

struct ParameterField {
    int Line; // in the data file
    std::optional<std::string> BlockDataTexts::*FileText;
    std::string TWedgeParams::*Text;
    double BlockParameters::*Number; // none: the integer overhang coefficient
    const char* Field;
};

// In the order of the data file's lines.
inline constexpr std::array<ParameterField, 8> ParameterFields{{
    {9, &BlockDataTexts::RockUnitWeight, &TWedgeParams::RockUnitWeight, &BlockParameters::RockUnitWeight,
     "RockUnitWeight"},
    {10, &BlockDataTexts::WaterUnitWeight, &TWedgeParams::WaterUnitWeight, &BlockParameters::WaterUnitWeight,
     "WaterUnitWeight"},
    {11, &BlockDataTexts::SlopeHeight, &TWedgeParams::SlopeHeight, &BlockParameters::SlopeHeight, "SlopeHeight"},
    {12, &BlockDataTexts::OverhangCoefficient, &TWedgeParams::OverhangCoefficient, nullptr, "OverhangCoefficient"},
    {15, &BlockDataTexts::Cohesion1, &TWedgeParams::Cohesion1, &BlockParameters::Cohesion1, "Cohesion1"},
    {16, &BlockDataTexts::Friction1, &TWedgeParams::Friction1, &BlockParameters::Friction1, "Friction1"},
    {17, &BlockDataTexts::Cohesion2, &TWedgeParams::Cohesion2, &BlockParameters::Cohesion2, "Cohesion2"},
    {18, &BlockDataTexts::Friction2, &TWedgeParams::Friction2, &BlockParameters::Friction2, "Friction2"},
}};

// The real-valued parameters (rows of ParameterFields) in the order the
// entries are converted and checked, which decides which bad value the user
// hears about first: rock unit weight, slope height, c1, c2, f1, f2, water
// unit weight. The data file is read in its lines' order instead, so that
// its first bad line is the one named.
inline constexpr std::array<int, 7> ConversionOrder{0, 2, 4, 6, 5, 7, 1};

} // namespace trelmox
