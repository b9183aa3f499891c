#pragma once
// The 18-line block data file: lines 1-4 dip angle,dip direction per plane;
// 5-8 the six quadrant texts per plane; 9-12 rock and water unit weight,
// slope height, overhang coefficient; 13-14 "z,<entered>" or
// "j,<computed>" water pressure of plane 1 and 2; 15-18 c1, f1, c2, f2.
// Planes in storage order. GB18030 text with CR LF, no byte-order mark.
#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "model/block.h"

namespace trelmox {

// What a data file holds, as texts. A line absent from the file stays
// absent (std::nullopt), so a loader leaves the matching boxes alone.
struct BlockDataTexts {
    struct WaterLine {
        std::string Marker; // field 1: "z" entered, "j" computed, anything else fills nothing
        std::string Value;  // field 2
        bool operator==(const WaterLine&) const = default;
    };
    std::array<std::optional<std::array<std::string, 2>>, PlaneCount> Attitudes; // DipAngle, DipDirection
    std::array<std::optional<TPlaneQuadrant>, PlaneCount> Quadrants;
    std::optional<std::string> RockUnitWeight, WaterUnitWeight, SlopeHeight, OverhangCoefficient;
    std::optional<WaterLine> Water1, Water2;
    std::optional<std::string> Cohesion1, Friction1, Cohesion2, Friction2;
    bool operator==(const BlockDataTexts&) const = default;
};

// The file's text (UTF-8, CR LF line ends) as the writer produces it.
std::string blockDataText(const PlaneAttitudeArray& attitudes, const PlaneQuadrantArray& quadrants,
                          const TWedgeParams& params);
// Parses a file's text (UTF-8). Short files give absent lines; lines past
// the 18th are ignored; a missing field is an empty text.
BlockDataTexts parseBlockData(const std::string& utf8Text);

// dataFolder / (blockName + ".txt"), replaced atomically.
void writeBlockFile(const std::filesystem::path& dataFolder, const std::string& blockName,
                    const PlaneAttitudeArray& attitudes, const PlaneQuadrantArray& quadrants,
                    const TWedgeParams& params);
// Reads the data file of block Parse(".", boxText, 1): blockFilePath.
BlockDataTexts readBlockFile(const std::filesystem::path& dataFolder, const std::string& boxText);

// A block as saved, for analysing files without the windows: lines 1-4
// converted to numbers (a bad text throws the number error), lines 5-8 as
// quadrants, 9-18 as parameter texts, marker "z" -> Entered (the value goes
// to WaterPressure1/2), "j" -> Computed (to ComputedWaterPressure1/2).
// A file too short to describe a block, or a marker that is neither "z" nor
// "j", throws an Error saying which line is wrong.
struct SavedBlock {
    PlaneAttitudeArray Attitudes{};
    PlaneQuadrantArray Quadrants{};
    TWedgeParams Params{};
};
SavedBlock savedBlockFromTexts(const BlockDataTexts& texts);

} // namespace trelmox
