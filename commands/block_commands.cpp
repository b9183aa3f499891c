#include "commands/block_commands.h"

#include "analysis/vertices.h"
#include "analysis/wedge.h"

namespace trelmox::commands {

namespace {

void wrote(const std::filesystem::path& file, WrittenFiles& written, Feedback& feedback) {
    written.push_back(file);
    feedback.fileWritten(file);
}

} // namespace

SavedReport saveReport(BlockDocument& document, Feedback& feedback) {
    SavedReport report{document.writeReport(), document.reportText()};
    feedback.fileWritten(report.Path);
    return report;
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
    if (const auto full = document.writeFullReport()) wrote(*full, analysed.Written, feedback);
    analysed.Outcome = AnalysisOutcome::Saved;
    return analysed;
}

} // namespace trelmox::commands
