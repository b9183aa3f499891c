#pragma once
// The analysis window: the current block's report and its results, and the
// command that analyses the block, shows the results and writes the block's
// files again. The results are the block document's; the boxes only show them.
#include <QWidget>

#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QStatusBar;
class QTextEdit;

namespace trelmox::ui {

class Workspace;

class TForm4 : public QWidget {
    Q_OBJECT
public:
    explicit TForm4(Workspace& workspace);

    Workspace& workspace() const { return workspace_; }
    QString volumeText() const;
    QString heightText() const;
    QString safetyFactorText() const;
    QString plungeText() const;
    // The full analysis beside Kc: Fs, its contact case, the stability state.
    QString fullFactorText() const;
    QString fullContactText() const;
    QString stateText() const;
    QString reportShown() const;
    // The report of the current block in the viewer, read from its file.
    void showCurrentReport();
    // The current block's report as just written (UTF-8, CR LF line ends),
    // in the viewer.
    void showReport(const std::string& text);
    // After the current block's report was written: the viewer, when it
    // shows that block's report, shows the new one.
    void reportWritten(const std::string& text);
    QStatusBar* statusBar() const { return statusBar_; }
    // The current block's name in the name box.
    void showBlockName();
    QString blockName() const;

    void BitBtn1Click(); // analyse (Workspace::analyse)

private:
    void buildResultRows();
    void showDocument();
    void showReportState();

    // The full analysis of the real wedge, in a panel of its own to the
    // right of the window's original controls, which keep their places.
    void buildFullAnalysisPanel();
    void showFullResults();

    Workspace& workspace_;
    QTextEdit* viewer_ = nullptr;
    QLineEdit* blockName_ = nullptr;
    QLineEdit* volume_ = nullptr; // Edit3
    QLineEdit* height_ = nullptr; // Edit4
    QLineEdit* safety_ = nullptr; // Edit1
    QLineEdit* plunge_ = nullptr; // Edit2
    QStatusBar* statusBar_ = nullptr;
    QLineEdit* fullFactor_ = nullptr;
    QLineEdit* fullContact_ = nullptr;
    QLineEdit* state_ = nullptr;
    QLineEdit* fullVolume_ = nullptr;
    QLineEdit* fullWeight_ = nullptr;
    QLabel* sizeNote_ = nullptr;
    QLineEdit* required_ = nullptr;
    QLabel* requiredClass_ = nullptr;
    QLineEdit* designBolt_ = nullptr;
    QLineEdit* leastBolt_ = nullptr;
    QLabel* fullNote_ = nullptr;
    QLabel* leastBoltDirection_ = nullptr;
    QLabel* staleNote_ = nullptr;
    // The block whose name or report the window shows, once it shows one:
    // name, results and report must never belong to different blocks.
    std::optional<std::string> shownBlock_;
    bool reportShown_ = false; // the viewer holds that block's report
};

} // namespace trelmox::ui
