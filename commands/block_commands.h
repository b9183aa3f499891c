#pragma once
// The commands on the block being worked on: analyse it and write its
// files, and write its report alone. They work on the block document and
// return what they found and the files they wrote; whoever runs them shows
// the results (the windows) or prints them.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "analysis/block_analysis.h"
#include "commands/feedback.h"
#include "document/block_document.h"

namespace trelmox::commands {

// The 30-line report as written: its path and its text (UTF-8, CR LF line
// ends), byte for byte what a reader of the file finds once decoded.
struct SavedReport {
    std::filesystem::path Path;
    std::string Text;
};

// Writes the current block's report, replaced whole, from the confirmed
// planes and the parameters as they stand, with the figures only while
// they are current (BlockDocument::figures): a figure is never written
// beside inputs it was not worked out from. Throws while no block is
// confirmed.
SavedReport saveReport(BlockDocument& document, Feedback& feedback);

// "导出DXF图形": the current block's drawing from corners computed afresh;
// when a triple of planes cuts out no corner, those triples and no file.
struct SavedDrawing {
    std::vector<FailedTriple> FailedTriples;
    std::optional<std::filesystem::path> Written;
};
SavedDrawing saveDrawing(BlockDocument& document, Feedback& feedback);

enum class AnalysisOutcome {
    Saved,   // analysed, and the block's files written
    NoWedge, // a triple of planes cuts out no corner: nothing written
    Unnamed, // analysed, but there is no name to write the files under
};

struct AnalysedBlock {
    BlockRun Run;
    AnalysisOutcome Outcome = AnalysisOutcome::NoWedge;
    // In the order written: the data file (with its companion file), the
    // report, the full analysis's report.
    WrittenFiles Written;
    // The report as written, for showing it without reading it back.
    std::string ReportText;
};

// "分析、计算": analyses the confirmed block with its loads (the document's
// results follow), tells each triple of planes that cuts out no corner and
// then stops, tells the contact case where it is not both planes, and
// writes the data file, the report and the full analysis's report. A bad
// text throws before anything is written (the error names its field); a
// failure while writing throws with the files written so far told to the
// feedback (fileWritten).
AnalysedBlock analyseAndSave(BlockDocument& document, Feedback& feedback);

} // namespace trelmox::commands
