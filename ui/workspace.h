#pragma once
// What the windows share: the program folder, the block document behind
// them, and the commands that involve more than one window (file writers
// that refuse without a block name, loading a block over edits, the report
// for the viewer, opening a report, and commands that point the user at the
// box whose text is not a number).
#include <QPointer>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "document/block_document.h"
#include "document/joint_document.h"

class QStatusBar;

namespace trelmox::ui {

class LoadsWindow;
class TForm2;
class TForm3;
class TForm4;
class TypeAheadCombo;

inline const char* const DataFolderName = "数据文件";
inline const char* const ReportFolderName = "分析报告";
inline const char* const EmptyBlockNameMessage = QT_TRANSLATE_NOOP("Workspace", "请输入或选择块体名称");
// The above in the interface's language.
QString emptyBlockNameMessage();

// How long a status bar tells what a command wrote: long enough to be read
// after the command, short enough not to outlive it.
inline constexpr int SavedNoteMilliseconds = 15000;

// Starts a program with its arguments, detached, without a shell; false
// when it could not be started.
using ProgramStarter = std::function<bool(const QString& program, const QStringList& arguments)>;

class Workspace {
public:
    // `programFolder` holds the data and report folders.
    explicit Workspace(std::filesystem::path programFolder);

    const std::filesystem::path& programFolder() const { return programFolder_; }
    std::filesystem::path dataFolder() const;
    std::filesystem::path reportFolder() const;

    BlockDocument& document() { return document_; }
    const BlockDocument& document() const { return document_; }
    // The joint measurements, their sets and combinations.
    JointDocument& joints() { return joints_; }
    const JointDocument& joints() const { return joints_; }

    // The windows are the program's (app/); the workspace only points at
    // them, and forgets one once it is destroyed.
    void attach(TForm2* planeEntry, TForm3* parameters, TForm4* analysis);
    TForm2& planeEntry() const;
    TForm3& parameters() const;
    TForm4& analysis() const;
    void attachLoads(LoadsWindow* loads);
    LoadsWindow& loads() const;

    // The report and the data file of the current block. With an empty
    // block name each shows the empty-name message and writes nothing.
    void writeReport(WrittenFiles& written);
    void writeDataFile(WrittenFiles& written);
    // The companion file alone, refusing an empty block name the same way.
    void writeLoads(WrittenFiles& written);
    // Whether a block named `name` may be loaded over the document: yes when
    // nothing was edited since the last load or confirm, else the user's
    // answer to the question.
    bool mayLoadOverEdits(const QString& name) const;
    // Loads the block the document's entry name names and tells the user
    // which of its lines disagree, if any.
    void loadBlock();
    // The block just picked from an entry window's block-name list: loaded
    // when no edit is lost or the user agrees, else the list goes back to
    // the name it showed, so that the box never names a block not loaded.
    void loadChosenBlock(TypeAheadCombo& blockNameBox);
    // The report of CurrentBlock as text, for the analysis window's viewer;
    // fails with "Cannot open file "<path>". <reason>".
    QString currentReportText() const;

    // "分析、计算", from the analysis window or the loads window: analyses
    // the block and writes its files (commands::analyseAndSave), its notes
    // in message boxes, then the analysis window shows the block's name and
    // the report written, and its status bar the files.
    void analyse();

    // Runs a command like runCommand; when it fails on a text that is not a
    // number or a value refused, the box the failure's field names gets the
    // focus with its text selected, so the user can type the correction at
    // once: a plane's box in the entry window, a parameter's, a load's.
    bool runCommand(const std::function<void()>& command) const;

    // Tells in a window's status bar what a command wrote, e.g.
    // "已保存：分析报告/b1.txt、数据文件/b1.txt"; nothing written, nothing said.
    void showSaved(QStatusBar* statusBar, const WrittenFiles& written) const;

    // Opens the report named by a block-name box text in the desktop's
    // text viewer.
    void viewReport(const QString& blockNameBoxText) const;
    void setProgramStarter(ProgramStarter starter) { startProgram_ = std::move(starter); }

    // Shows what the file writers lack, the entry name or a confirmed
    // block, and says whether they lack it.
    bool refuseUnnamed() const;

    // Asks what to do with edits not yet confirmed or saved, when there are
    // any: true when they were saved or the user lets them go, false when
    // the user cancels or saving failed (its error shown).
    bool settleEdits(const QString& question);

private:
    bool refuseEmptyBlockName() const { return refuseUnnamed(); }

    std::filesystem::path programFolder_;
    BlockDocument document_;
    JointDocument joints_;
    QPointer<TForm2> planeEntry_;
    QPointer<TForm3> parameters_;
    QPointer<TForm4> analysis_;
    QPointer<LoadsWindow> loads_;
    ProgramStarter startProgram_;
};

// "<folder>/<name>" as a text, the name appended unchanged.
QString pathText(const std::filesystem::path& folder, const QString& name);

} // namespace trelmox::ui
