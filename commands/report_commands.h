#pragma once
// "生成计算书": the calculation report of a block, formatted from its inputs
// and written by the writer given. The PDF writer paints with Qt (paint/),
// which this layer does not link: the windows and trelmox-report pass it in.
#include <filesystem>
#include <functional>

#include "commands/feedback.h"
#include "document/block_document.h"
#include "report/calculation_report.h"

namespace trelmox::commands {

// Writes `report` to the file at the path, replacing it whole.
using ReportWriter = std::function<void(const std::filesystem::path&, const CalculationReport&)>;

struct WrittenReport {
    CalculationReport Report;
    WrittenFiles Written; // the report's file
};

// Formats the report of `inputs` and writes it into `folder` under its
// block's name (calculationReportFileName). A writer's failure throws.
WrittenReport writeCalculationReport(const CalculationReportInputs& inputs, const std::filesystem::path& folder,
                                     const ReportWriter& write, Feedback& feedback);

} // namespace trelmox::commands
