#pragma once
// The calculation report (计算书) of one block, the document an engineer
// signs and attaches to a design: cover data, the inputs in tables, the
// methods in words, every result, the pictures and the conclusion against
// the required factor. Built here as sections of paragraphs, tables and
// figures; the page writer (paint/report_pages.h) lays them out on A4 pages
// for the PDF file and the printer alike.
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "analysis/block_analysis.h"
#include "analysis/cloud/cloud_sets.h"
#include "analysis/joints/kinematics.h"
#include "analysis/joints/measurements.h"
#include "analysis/joints/sets.h"
#include "analysis/probabilistic/block_facts.h"
#include "analysis/probabilistic/study_runs.h"
#include "analysis/wedge.h"
#include "drawing/figure.h"
#include "model/datafile.h"
#include "model/loads.h"

namespace trelmox {

struct ReportParagraph {
    std::string Text;
};

// A numbered part of a section, e.g. "2. 实际楔块三维分析".
struct ReportHeading {
    std::string Text;
};

struct ReportTable {
    std::string Caption;             // "表1 平面产状", above the table
    std::vector<std::string> Header; // empty: a table of label and value rows
    std::vector<std::vector<std::string>> Rows;
};

struct ReportPicture {
    Figure Picture;
    std::string Caption;   // "图1 赤平投影（下半球等角投影）", under the picture
    double Aspect = 0.625; // height / width of its place on the page
};

using ReportItem = std::variant<ReportParagraph, ReportHeading, ReportTable, ReportPicture>;

struct ReportSection {
    std::string Title;
    std::vector<ReportItem> Items;
    bool NewPage = false; // starts on a page of its own
};

struct CalculationReport {
    std::string Title;                                      // on the cover
    std::string Header;                                     // at the head of every page, with the block name
    std::vector<std::pair<std::string, std::string>> Cover; // label, value; an empty value leaves room to sign
    std::vector<ReportSection> Sections;
};

// The point cloud a block's joints were found in: its file, the points,
// the facets, the face told apart and the sets with their facets' extents.
struct CloudSource {
    std::string File; // shown by name
    std::string Format;
    std::size_t Points = 0, Facets = 0;
    CloudJoints Joints;
};

// The measurement file a block's cutting planes were taken from, and the
// kinematic checks of its planes against the block's slope face.
struct JointKinematicsInputs {
    std::string File; // shown by name
    std::vector<Measurement> Planes;
    std::vector<JointSet> Sets;
    KinematicResult Result;             // all four modes
    std::optional<CloudSource> Cloud{}; // when the planes are a cloud's facets
};

struct CalculationReportInputs {
    std::string BlockName;
    SavedBlock Block;
    WedgeLoads Loads;
    // The block's run, complete (Kc worked out); when absent, NoResults
    // says why and the report gives the inputs only.
    std::optional<BlockRun> Results;
    std::string NoResults;
    // Runs made on this very block, when there were any.
    std::optional<ProbabilisticRun> Probabilistic;
    std::optional<SensitivityRun> Sensitivity;
    std::string Date; // of the report, e.g. "2026-12-08"
    // A block made from a measurement file: the kinematic net of each mode
    // and the per-mode table join the report.
    std::optional<JointKinematicsInputs> Joints{};
    // The reliability analysis made on this very block, when there was one.
    std::optional<ReliabilityRun> Reliability{};
    // The corners, the computed water pressure and the inputs as numbers,
    // worked out from the block and its run (blockFacts).
    BlockFacts Facts{};
};

// Why a report from the windows has no results.
inline constexpr const char* NeverAnalysedText =
    "该块体尚未分析：请在分析窗口按“分析、计算”后再生成计算书。本计算书只列出输入数据。";
inline constexpr const char* StaleResultsText =
    "块体数据在上次分析后已修改，上次的结果不属于本计算书所列的数据：请重新按“分析、计算”后再生成计算书。"
    "本计算书只列出输入数据。";

// Formats every part from the inputs, the run and the facts; computes
// nothing (document/report_inputs.h makes the inputs). Never throws for a
// block that could not be analysed, it says so.
CalculationReport calculationReport(const CalculationReportInputs& inputs);

// "W1计算书.pdf", beside the block's other reports.
std::string calculationReportFileName(const std::string& blockName);

// Today's date in the local time zone, "2026-12-08".
std::string todayText();

} // namespace trelmox
