#pragma once
// The 18-line block data file: lines 1-4 dip angle,dip direction per plane;
// 5-8 the six quadrant texts per plane; 9-12 rock and water unit weight,
// slope height, overhang coefficient; 13-14 "z,<entered>" or
// "j,<computed>" water pressure of plane 1 and 2; 15-18 c1, f1, c2, f2.
// Planes in storage order. GB18030 text with CR LF, no byte-order mark.
#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/block.h"
#include "model/block_input.h"

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

// Throws the reader's error when a plane's quadrant letters form no
// attitude (or its strike angle is not a number).
void requireAttitudeLetters(const TPlaneQuadrant& plane);

// A data file is 18 short lines; anything much larger is not one, and
// reading it whole would only cost memory.
inline constexpr std::size_t MaxDataFileBytes = 1 << 20;

// dataFolder / (blockName + ".txt"), replaced atomically.
void writeBlockFile(const std::filesystem::path& dataFolder, const std::string& blockName,
                    const PlaneAttitudeArray& attitudes, const PlaneQuadrantArray& quadrants,
                    const TWedgeParams& params);
// Reads the data file of block Parse(".", boxText, 1) (blockFilePath), a
// regular file of at most MaxDataFileBytes; a byte-order mark is skipped.
BlockDataTexts readBlockFile(const std::filesystem::path& dataFolder, const std::string& boxText);

// A plane whose dip angle and dip direction (line 1-4) disagree with its
// quadrant line (5-8) beyond the 15 significant digits the writer keeps;
// dip directions are compared as azimuths (400 agrees with 40). Message
// names both lines and shows their texts.
struct LineDisagreement {
    int AttitudeLine = 0, QuadrantLine = 0;
    std::string Message;
    bool operator==(const LineDisagreement&) const = default;
};
// The planes whose two lines disagree, in plane order. Fields are compared
// trimmed as savedBlockFromTexts trims them; a plane whose texts do not
// convert or whose letters form no meaningful combination has nothing to
// compare and is left out.
std::vector<LineDisagreement> disagreeingLines(const BlockDataTexts& texts);

// A block as saved, for analysing files without the windows, read strictly
// because its results are reported without a person looking at the boxes:
// - every field is trimmed of surrounding spaces, CR and LF; any other
//   control character is refused;
// - all 18 lines must be there; every text the analysis converts must be a
//   number (the analysis's own messages);
// - the letters of each quadrant line must form a meaningful combination;
// - markers: "z" -> Entered (the values go to WaterPressure1/2), "j" ->
//   Computed (to ComputedWaterPressure1/2), the same on both lines;
// - lines 1-4 must agree with lines 5-8 (disagreeingLines).
// Failures about one line carry its number (Error::line()).
struct SavedBlock {
    PlaneAttitudeArray Attitudes{};
    PlaneQuadrantArray Quadrants{};
    TWedgeParams Params{};
};
// A block read from its file: the texts it holds, kept for writing them
// back and reporting them as typed, and the numbers they convert to, each
// text converted once, here.
struct ParsedBlock : SavedBlock {
    BlockInput Input;
};
ParsedBlock savedBlockFromTexts(const BlockDataTexts& texts);
// The input of texts that did not come from a file (the entries, a block
// built in a program): blockInput of its planes and parameters.
BlockInput blockInput(const SavedBlock& block);
// The data file at `file` (a regular file of at most MaxDataFileBytes,
// byte-order mark skipped), read by savedBlockFromTexts.
ParsedBlock readSavedBlock(const std::filesystem::path& file);

} // namespace trelmox
