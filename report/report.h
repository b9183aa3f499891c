#pragma once
// The 30-line analysis report of a block: both notations of the four planes,
// seven parameter texts and the three result texts shown in the analysis
// window. GB18030 text, CR LF after every line.
#include <filesystem>
#include <string>

#include "model/block.h"
#include "model/datafile.h"
#include "report/figures.h"

namespace trelmox {

struct ReportInputs {
    std::string BlockName;
    PlaneAttitudeArray Attitudes{};
    PlaneQuadrantArray Quadrants{};
    TWedgeParams Params{};
    // Result texts as the analysis window shows them (empty before any analysis).
    std::string VolumeText, PlungeText, SafetyFactorText;
};

// A saved block's report; without figures (no analysis yet) the result
// lines end in their tab.
ReportInputs reportInputs(const std::string& blockName, const SavedBlock& block, const FigureTexts* figures);

// The report's text (UTF-8, CR LF line ends).
std::string reportText(const ReportInputs& inputs);
// reportFolder / (BlockName + ".txt"), replaced atomically.
void writeReport(const std::filesystem::path& reportFolder, const ReportInputs& inputs);

} // namespace trelmox
