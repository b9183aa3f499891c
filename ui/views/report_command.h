#pragma once
// "生成计算书" on the analysis window: the calculation report of the
// current block, written as a PDF beside its other reports and shown in a
// print preview for printing. Both are painted by one layout.
#include <QRect>

#include "report/calculation_report.h"

class QPushButton;
class QWidget;

namespace trelmox::ui {
class Workspace;
}

namespace trelmox::views {

// The report's inputs as the windows hold them: the confirmed block with
// its parameters and loads, its results while they belong to it, and the
// probabilistic and sensitivity runs made on it.
CalculationReportInputs windowReportInputs(const ui::Workspace& workspace);

// The button, placed at `geometry` in `parent` beside its own controls.
QPushButton* addReportButton(QWidget* parent, ui::Workspace& workspace, const QRect& geometry);

} // namespace trelmox::views
