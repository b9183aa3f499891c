#include "ui/workspace.h"

#include <QProcess>
#include <QStandardPaths>

#include "drawing/dxf.h"
#include "model/attitude.h"
#include "model/datafile.h"
#include "model/error.h"
#include "model/files.h"
#include "report/report.h"
#include "ui/messages.h"
#include "ui/tform2.h"
#include "ui/tform3.h"
#include "ui/tform4.h"

namespace trelmox::ui {

namespace {

const char* const TextViewer = "xdg-open";

bool startDetached(const QString& program, const QStringList& arguments) {
    const QString found = QStandardPaths::findExecutable(program);
    return !found.isEmpty() && QProcess::startDetached(found, arguments);
}

} // namespace

QString pathText(const std::filesystem::path& folder, const QString& name) {
    return QString::fromStdString(folder.string()) + u'/' + name;
}

Workspace::Workspace(std::filesystem::path programFolder)
    : programFolder_(std::move(programFolder)), startProgram_(startDetached) {}

std::filesystem::path Workspace::dataFolder() const { return programFolder_ / DataFolderName; }
std::filesystem::path Workspace::reportFolder() const { return programFolder_ / ReportFolderName; }

void Workspace::attach(TForm2* planeEntry, TForm3* parameters, TForm4* analysis) {
    planeEntry_ = planeEntry;
    parameters_ = parameters;
    analysis_ = analysis;
}

bool Workspace::refuseEmptyBlockName() const {
    if (!planeEntry_->blockNameText().isEmpty()) return false;
    messageBoxes().message(EmptyBlockNameMessage);
    return true;
}

void Workspace::writeReport() {
    if (refuseEmptyBlockName()) return;
    checkBlockName(model_.CurrentBlock);
    ReportInputs inputs{model_.CurrentBlock, model_.PlaneAttitudes, model_.PlaneQuadrants, parameters_->params(),
                        analysis_->volumeText().toStdString(), analysis_->plungeText().toStdString(),
                        analysis_->safetyFactorText().toStdString()};
    trelmox::writeReport(reportFolder(), inputs);
}

void Workspace::writeDataFile() {
    if (refuseEmptyBlockName()) return;
    checkBlockName(model_.CurrentBlock);
    writeBlockFile(dataFolder(), model_.CurrentBlock, model_.PlaneAttitudes, model_.PlaneQuadrants,
                   parameters_->params());
}

void Workspace::loadBlock() {
    const std::string boxText = planeEntry_->blockNameText().toStdString();
    checkBlockName(Parse(".", boxText, 1));
    const BlockDataTexts texts = readBlockFile(dataFolder(), boxText);
    planeEntry_->showBlock(texts);
    parameters_->showBlock(texts);
}

QString Workspace::currentReportText() const {
    const std::filesystem::path path = reportFolder() / (model_.CurrentBlock + ".txt");
    try {
        return QString::fromStdString(readTextFile(path)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    } catch (const Error& failure) {
        throw Error("Cannot open file \"" + path.string() + "\". " + failure.what());
    }
}

std::optional<BlockVertices> Workspace::computeCorners() {
    const auto failed = corners_.computeForBlock(model_.PlaneQuadrants, parameters_->slopeHeightText().toStdString());
    for (const FailedTriple& triple : failed)
        messageBoxes().message(QString::fromStdString(failedTripleMessage(triple)));
    if (!failed.empty()) return std::nullopt;
    return corners_.vertices();
}

void Workspace::exportDrawing() {
    const auto corners = computeCorners();
    if (!corners) return;
    checkBlockName(model_.CurrentBlock);
    writeDxf(reportFolder(), model_.CurrentBlock, *corners);
}

void Workspace::viewReport(const QString& blockNameBoxText) const {
    const QString report = pathText(reportFolder(), blockNameBoxText);
    if (!startProgram_(TextViewer, {report}))
        messageBoxes().message(QStringLiteral("没有找到可以打开报告的文本查看程序（%1），请手动打开：%2")
                                   .arg(TextViewer, report));
}

} // namespace trelmox::ui
