#include "ui/views/report_command.h"

#include <QCoreApplication>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>

#include <memory>

#include "commands/report_commands.h"
#include "document/joint_document.h"
#include "document/report_inputs.h"
#include "paint/report_pages.h"
#include "report/cloud_tables.h"
#include "ui/messages.h"
#include "ui/window_feedback.h"
#include "ui/views/picture_commands.h"
#include "ui/workspace.h"

namespace trelmox::views {
namespace {

// The preview lays the report out again for the printer, page by page.
void showPreview(QWidget* window, const CalculationReport& report) {
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    paint::setReportPageLayout(*printer);
    auto* preview = new QPrintPreviewDialog(printer.get(), window);
    preview->setObjectName(QStringLiteral("ReportPreview"));
    preview->setWindowTitle(QString::fromStdString(report.Header));
    preview->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(preview, &QPrintPreviewDialog::paintRequested, preview, [report, printer](QPrinter* target) {
        ui::runCommand([&] { paint::paintReport(report, *target); });
    });
    preview->open();
}

void makeReport(QWidget* window, ui::Workspace& workspace) {
    // `window` is the button's window, whose status bar tells what was written.
    ui::WindowFeedback feedback;
    std::optional<commands::WrittenReport> written;
    ui::runCommand([&] {
        if (workspace.document().currentBlock().empty()) {
            ui::messageBoxes().message(ui::emptyBlockNameMessage());
            return;
        }
        written = commands::writeCalculationReport(windowReportInputs(workspace), workspace.reportFolder(),
                                                   paint::writeReportPdf, feedback);
    });
    if (auto* statusBar = window->findChild<QStatusBar*>()) workspace.showSaved(statusBar, feedback.written());
    if (written) showPreview(window, written->Report);
}

} // namespace

// Everything comes from the document, the analyses' last runs included:
// no window is asked, so a closed window's run is reported all the same.
CalculationReportInputs windowReportInputs(const ui::Workspace& workspace) {
    const BlockDocument& document = workspace.document();
    const std::string& name = document.currentBlock();
    // The loads as entered, which the results were worked out with.
    const bool current = document.resultsCurrent();
    CalculationReportInputs inputs =
        reportInputs(name, document.block(), document.loads(), current ? document.results() : std::nullopt,
                     current              ? std::string()
                     : document.results() ? StaleResultsText
                                          : NeverAnalysedText,
                     todayText());
    // A block taken from the measurements' combinations carries their
    // kinematic checks against its face.
    const JointDocument& joints = workspace.joints();
    if (joints.opened() && joints.madeBlock(document.block())) {
        // A copy: block() returns the block by value.
        const TPlaneAttitude face = document.block().Attitudes[int(TPlaneRole::SlopeFace)];
        inputs.Joints = JointKinematicsInputs{joints.file().filename().string(), joints.measurements().Planes,
                                              joints.sets(), joints.kinematics(face)};
        // Joints found in a point cloud: the report names the cloud and its sets.
        if (joints.cloud()) inputs.Joints->Cloud = cloudSource(*joints.cloud(), joints.file().filename().string());
    }
    if (inputs.Results) {
        const RunBasis basis = runBasis(workspaceBlock(workspace));
        inputs.Probabilistic = document.studies().probabilisticRunFor(basis);
        inputs.Sensitivity = document.studies().sensitivityRunFor(basis);
        inputs.Reliability = document.studies().reliabilityRunFor(basis);
    }
    return inputs;
}

QPushButton* addReportButton(QWidget* parent, ui::Workspace& workspace, const QRect& geometry) {
    auto* button = new QPushButton(QCoreApplication::translate("ReportCommand", "生成计算书"), parent);
    button->setObjectName(QStringLiteral("ReportButton"));
    button->setGeometry(geometry);
    QObject::connect(button, &QPushButton::clicked, parent,
                     [button, &workspace] { makeReport(button->window(), workspace); });
    return button;
}

} // namespace trelmox::views
