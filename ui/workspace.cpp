#include "ui/workspace.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>

#include "model/error.h"
#include "model/files.h"
#include "model/language.h"
#include "model/numtext.h"
#include "ui/loads_window.h"
#include "ui/tform2.h"
#include "ui/tform3.h"
#include "ui/tform4.h"
#include "ui/messages.h"
#include "ui/typeaheadcombo.h"

namespace trelmox::ui {

namespace {

const char* const TextViewer = "xdg-open";

bool startDetached(const QString& program, const QStringList& arguments) {
    const QString found = QStandardPaths::findExecutable(program);
    return !found.isEmpty() && QProcess::startDetached(found, arguments);
}

// Whether the box's text is not a number.
bool notANumber(const NumberBox& number) {
    try {
        const std::string text = number.box->text().toStdString();
        if (number.integer)
            textToInt32(text);
        else
            textToFloat(text);
    } catch (const Error& failure) {
        return failure.kind() == ErrorKind::NumberText;
    }
    return false;
}

void giveFocus(TypeAheadCombo* box) {
    QWidget* window = box->window();
    window->show();
    window->raise();
    window->activateWindow();
    box->setFocus(Qt::OtherFocusReason);
    box->lineEdit()->selectAll();
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
    written.push_back(document_.writeReport());
    if (analysis_) analysis_->reportWritten();
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

void Workspace::writeFullReport(WrittenFiles& written) {
    // It follows the data file and the report, whose refusals have told the user.
    if (!document_.named()) return;
    if (const auto file = document_.writeFullReport()) written.push_back(*file);
}

bool Workspace::mayLoadOverEdits(const QString& name) const {
    return !document_.modified() ||
           messageBoxes().question(
               QCoreApplication::translate("Workspace", "当前块体数据已修改，是否放弃修改并载入“%1”？").arg(name));
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

// A loads box names itself in its failure. The other boxes come in the
// order the command reads them, and it stops at the first text that is not
// a number: the first such box is the one to correct.
bool Workspace::runCommand(const std::function<void()>& command, const std::vector<NumberBox>& boxesRead) const {
    return ui::runCommand(command, [this, &boxesRead](const std::exception& failure) {
        if (const auto* entry = dynamic_cast<const LoadsEntryError*>(&failure)) {
            if (loads_) loads_->focusEntry(entry->Field, entry->Row);
            return;
        }
        const auto* error = dynamic_cast<const Error*>(&failure);
        if (!error) return;
        // A plane's angle out of range, or its letters, name the box and the
        // plane: the entry window comes up with that box, whichever
        // window's command refused it.
        if (error->kind() == ErrorKind::RefusedInput) {
            if (planeEntry_) planeEntry_->focusPlaneBox(error->field(), error->row());
            return;
        }
        if (error->kind() != ErrorKind::NumberText) return;
        for (const NumberBox& number : boxesRead)
            if (notANumber(number)) return giveFocus(number.box);
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
