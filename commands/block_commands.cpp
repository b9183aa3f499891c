#include "commands/block_commands.h"

#include "analysis/vertices.h"
#include "analysis/wedge.h"
#include "commands/block_exports.h"
#include "report/report.h"

namespace trelmox::commands {

namespace {

void wrote(const std::filesystem::path& file, WrittenFiles& written, Feedback& feedback) {
    written.push_back(file);
    feedback.fileWritten(file);
}

} // namespace

SavedReport saveReport(BlockDocument& document, Feedback& feedback) {
    document.requireBlock();
    const ExportedBlock block{document.currentBlock(), document.block(), std::nullopt, nullptr, document.figures()};
    SavedReport report{writeBlockOutput(BlockOutput::Report, document.reportFolder(), block).front(),
                       reportText(reportInputs(block.Name, block.Saved, block.Figures ? &*block.Figures : nullptr))};
    feedback.fileWritten(report.Path);
    return report;
}

SavedDrawing saveDrawing(BlockDocument& document, Feedback& feedback) {
    BlockDocument::Corners corners = document.corners();
    SavedDrawing drawing{std::move(corners.FailedTriples), std::nullopt};
    if (!corners.Vertices) return drawing;
    BlockRun cornersOnly;
    cornersOnly.Vertices = std::move(corners.Vertices);
    const ExportedBlock block{document.currentBlock(), document.block(), std::nullopt, &cornersOnly, std::nullopt};
    drawing.Written = writeBlockOutput(BlockOutput::Drawing, document.reportFolder(), block).front();
    feedback.fileWritten(*drawing.Written);
    return drawing;
}

AnalysedBlock analyseAndSave(BlockDocument& document, Feedback& feedback) {
    AnalysedBlock analysed;
    analysed.Run = document.analyse();
    for (const FailedTriple& triple : analysed.Run.FailedTriples) feedback.inform(failedTripleMessage(triple));
    if (!analysed.Run.FailedTriples.empty()) return analysed;
    if (const std::string message = contactMessage(analysed.Run.Safety->Contact); !message.empty())
        feedback.inform(message);
    if (!document.named()) {
        analysed.Outcome = AnalysisOutcome::Unnamed;
        return analysed;
    }
    for (const std::filesystem::path& file : document.writeDataFile()) wrote(file, analysed.Written, feedback);
    SavedReport report = saveReport(document, silentFeedback());
    wrote(report.Path, analysed.Written, feedback);
    analysed.ReportText = std::move(report.Text);
    // The full analysis's report of the run just made, when it worked
    // the full analysis out.
    const ExportedBlock block{document.currentBlock(), document.analysedBlock(), analysed.Run.Loads, &analysed.Run,
                              std::nullopt};
    for (const std::filesystem::path& file : writeBlockOutput(BlockOutput::FullReport, document.reportFolder(), block))
        wrote(file, analysed.Written, feedback);
    analysed.Outcome = AnalysisOutcome::Saved;
    return analysed;
}

} // namespace trelmox::commands
