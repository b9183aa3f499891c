#include "ui/workspace.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QStatusBar>

#include "commands/block_commands.h"
#include "model/error.h"
#include "model/files.h"
#include "model/language.h"
#include "model/numtext.h"
#include "ui/loads_window.h"
#include "ui/tform2.h"
#include "ui/tform3.h"
#include "ui/tform4.h"
#include "ui/typeaheadcombo.h"
#include "ui/messages.h"
#include "ui/window_feedback.h"

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
    : programFolder_(std::move(programFolder)),
      document_(programFolder_ / DataFolderName, programFolder_ / ReportFolderName), startProgram_(startDetached) {}

std::filesystem::path Workspace::dataFolder() const { return document_.dataFolder(); }
std::filesystem::path Workspace::reportFolder() const { return document_.reportFolder(); }

void Workspace::attach(TForm2* planeEntry, TForm3* parameters, TForm4* analysis) {
    planeEntry_ = planeEntry;
    parameters_ = parameters;
    analysis_ = analysis;
}

void Workspace::attachLoads(LoadsWindow* loads) { loads_ = loads; }

TForm2& Workspace::planeEntry() const { return *planeEntry_; }
TForm3& Workspace::parameters() const { return *parameters_; }
TForm4& Workspace::analysis() const { return *analysis_; }
LoadsWindow& Workspace::loads() const { return *loads_; }

QString emptyBlockNameMessage() { return QCoreApplication::translate("Workspace", EmptyBlockNameMessage); }

bool Workspace::refuseUnnamed() const {
    if (document_.named()) return false;
    messageBoxes().message(document_.entryName().empty() ? emptyBlockNameMessage()
                                                         : QString::fromUtf8(noConfirmedBlockMessage()));
    return true;
}

// Saving confirms the planes in the entry window's mode, then writes the
// parameters and loads with the block, each step as its own button does.
bool Workspace::settleEdits(const QString& question) {
    if (!document_.modified()) return true;
    switch (messageBoxes().saveChanges(question)) {
    case MessageBoxes::SaveAnswer::Discard: return true;
    case MessageBoxes::SaveAnswer::Cancel: return false;
    case MessageBoxes::SaveAnswer::Save: break;
    }
    if (document_.planesModified() && !planeEntry_->confirmShownMode()) return false;
    if (document_.modified() && !parameters_->confirm()) return false;
    return !document_.modified();
}

void Workspace::writeReport(WrittenFiles& written) {
    if (refuseEmptyBlockName()) return;
    const commands::SavedReport report = commands::saveReport(document_, commands::silentFeedback());
    written.push_back(report.Path);
    if (analysis_) analysis_->reportWritten(report.Text);
}

void Workspace::writeDataFile(WrittenFiles& written) {
    if (refuseEmptyBlockName()) return;
    const WrittenFiles files = document_.writeDataFile();
    written.insert(written.end(), files.begin(), files.end());
}

void Workspace::writeLoads(WrittenFiles& written) {
    if (refuseEmptyBlockName()) return;
    if (const auto file = document_.writeLoads()) written.push_back(*file);
}

bool Workspace::mayLoadOverEdits(const QString& name) const {
    return !document_.modified() ||
           messageBoxes().question(
               QCoreApplication::translate("Workspace", "当前块体数据已修改，是否放弃修改并载入“%1”？").arg(name));
}

void Workspace::loadChosenBlock(TypeAheadCombo& blockNameBox) {
    if (!mayLoadOverEdits(blockNameBox.text())) return blockNameBox.declineChoice();
    loadBlock();
}

void Workspace::loadBlock() {
    const std::vector<LineDisagreement> disagreements = document_.load();
    if (disagreements.empty()) return;
    QString text =
        QCoreApplication::translate("Workspace", "数据文件的两种产状不一致，已按文件载入，请核对后重新确认：");
    for (const LineDisagreement& d : disagreements)
        text +=
            QStringLiteral("\n") + QString::fromStdString(d.Message) + QCoreApplication::translate("Workspace", "。");
    messageBoxes().message(text);
}

QString Workspace::currentReportText() const {
    const std::filesystem::path path = reportFolder() / (document_.currentBlock() + ".txt");
    try {
        return QString::fromStdString(readTextFile(path)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    } catch (const Error& failure) {
        throw Error("Cannot open file \"" + path.string() + "\". " + failure.what());
    }
}

void Workspace::analyse() {
    WindowFeedback feedback;
    std::optional<commands::AnalysedBlock> analysed;
    runCommand([&] {
        // The name goes up once the analysis stands, also when writing the
        // files fails after it.
        const auto showName = qScopeGuard([this] {
            if (document_.results() && analysis_) analysis_->showBlockName();
        });
        analysed = commands::analyseAndSave(document_, feedback);
    });
    if (analysed && analysed->Outcome == commands::AnalysisOutcome::Unnamed) refuseUnnamed();
    if (!analysis_) return;
    if (analysed && analysed->Outcome == commands::AnalysisOutcome::Saved) analysis_->showReport(analysed->ReportText);
    showSaved(analysis_->statusBar(), feedback.written());
}

// The failure names the box: a load's names its entry; a plane's text or
// angle, or its letters, name the box and the plane (the row), and the
// entry window comes up with that box, whichever window's command read it;
// a parameter's names its field in the parameter window.
bool Workspace::runCommand(const std::function<void()>& command) const {
    return ui::runCommand(command, [this](const std::exception& failure) {
        if (const auto* entry = dynamic_cast<const LoadsEntryError*>(&failure)) {
            if (loads_) loads_->focusEntry(entry->Field, entry->Row);
            return;
        }
        const auto* error = dynamic_cast<const Error*>(&failure);
        if (!error || error->field().empty()) return;
        if (error->kind() != ErrorKind::RefusedInput && error->kind() != ErrorKind::NumberText) return;
        if (error->row() >= 0) {
            if (planeEntry_) planeEntry_->focusPlaneBox(error->field(), error->row());
        } else if (parameters_) {
            parameters_->focusParameter(error->field());
        }
    });
}

// The folders' names are Chinese on disk whatever the interface speaks: in
// English each file is named with its folder's role instead, the file's
// own name as it is ("b1.txt (report folder)").
void Workspace::showSaved(QStatusBar* statusBar, const WrittenFiles& written) const {
    if (written.empty()) return;
    const bool english = messageLanguage() == Language::English;
    QStringList files;
    for (const std::filesystem::path& file : written) {
        const std::filesystem::path folder = file.parent_path();
        const QString name = QString::fromStdString(file.filename().string());
        if (english && folder == reportFolder())
            files << QCoreApplication::translate("Workspace", "%1（分析报告文件夹）").arg(name);
        else if (english && folder == dataFolder())
            files << QCoreApplication::translate("Workspace", "%1（数据文件文件夹）").arg(name);
        else
            files << QString::fromStdString(file.lexically_relative(programFolder_).generic_string());
    }
    statusBar->showMessage(QCoreApplication::translate("Workspace", "已保存：") +
                               files.join(QCoreApplication::translate("Workspace", "、")),
                           SavedNoteMilliseconds);
}

void Workspace::viewReport(const QString& blockNameBoxText) const {
    const QString report = pathText(reportFolder(), blockNameBoxText);
    if (!startProgram_(TextViewer, {report}))
        messageBoxes().message(
            QCoreApplication::translate("Workspace", "没有找到可以打开报告的文本查看程序（%1），请手动打开：%2")
                .arg(TextViewer, report));
}

} // namespace trelmox::ui
