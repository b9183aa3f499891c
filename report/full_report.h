#pragma once
// The full analysis's own report, reportFolder / (name + "三维分析.txt"),
// beside the 30-line report: the planes, the parameters and the loads as
// entered, the real wedge's geometry, every force (magnitude, trend,
// plunge), the factor with its contact case and stability state against the
// required factor, Kc for comparison, and the support the required factor
// needs. GB18030 text, CR LF after every line.
#include <filesystem>
#include <optional>
#include <string>

#include "analysis/full_analysis.h"
#include "analysis/support.h"
#include "model/datafile.h"
#include "model/loads.h"

namespace trelmox {

struct FullReportInputs {
    std::string BlockName;
    SavedBlock Block;
    WedgeLoads Loads;
    FullAnalysis Analysis;
    SupportDesign Design;
    std::optional<SafetyResult> Kc; // absent when it could not be computed
};

// "主动", "被动"; "无水", "块体水压（使用计算值）", "饱和楔体", ...: the
// words every report uses for a bolt's mode and for the water.
std::string boltModeText(BoltMode mode);
std::string waterModeText(const WedgeLoads& loads, const TWedgeParams& params);

// Runs the full analysis, the support design and Kc of the block.
// Throws Error as analyseSavedBlock does.
FullReportInputs fullReportInputs(const std::string& blockName, const SavedBlock& block, const WedgeLoads& loads);

// The report's text (UTF-8, CR LF line ends).
std::string fullReportText(const FullReportInputs& inputs);
std::filesystem::path fullReportPath(const std::filesystem::path& reportFolder, const std::string& blockName);
// Replaced atomically.
void writeFullReport(const std::filesystem::path& reportFolder, const FullReportInputs& inputs);

} // namespace trelmox
