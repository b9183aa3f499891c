#include "commands/report_commands.h"

namespace trelmox::commands {

WrittenReport writeCalculationReport(const CalculationReportInputs& inputs, const std::filesystem::path& folder,
                                     const ReportWriter& write, Feedback& feedback) {
    WrittenReport written;
    written.Report = calculationReport(inputs);
    const std::filesystem::path file = folder / calculationReportFileName(inputs.BlockName);
    write(file, written.Report);
    written.Written.push_back(file);
    feedback.fileWritten(file);
    return written;
}

} // namespace trelmox::commands
