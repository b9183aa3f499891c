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

#include "analysis/block_analysis.h"
#include "model/datafile.h"
#include "model/loads.h"

namespace trelmox {

// "主动", "被动"; "无水", "块体水压（使用计算值）", "饱和楔体", ...: the
// words every report uses for a bolt's mode and for the water.
std::string boltModeText(BoltMode mode);
std::string waterModeText(const WedgeLoads& loads, const TWedgeParams& params);
// The strength model of cutting plane `plane` (0, 1) with its parameters
// and units: "巴顿-班迪斯 τ = σn·tan(φr + JRC·lg(JCS/σn))，JRC = 8，JCS =
// 50000 kPa，φr = 28°" and the like; Mohr-Coulomb names the data file's c
// and f. Any waviness follows.
std::string strengthText(const JointStrength& strength, int plane, const TWedgeParams& params);

// The report's text (UTF-8, CR LF line ends) of a run whose full analysis
// was worked out (run.Full); `block` holds the texts the run's input was
// read from, reported as typed.
std::string fullReportText(const std::string& blockName, const SavedBlock& block, const BlockRun& run);
std::filesystem::path fullReportPath(const std::filesystem::path& reportFolder, const std::string& blockName);
// Replaced atomically.
void writeFullReport(const std::filesystem::path& reportFolder, const std::string& blockName, const SavedBlock& block,
                     const BlockRun& run);

} // namespace trelmox
