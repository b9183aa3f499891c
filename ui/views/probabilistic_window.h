#pragma once
// "可靠度分析": a Monte Carlo or Latin hypercube analysis of the block with
// its loads (commands::probabilisticStudy), run in the background
// (ui::BackgroundRun) with a progress bar and a cancel button, shown as the histogram of Kc with the probability of failure
// P(Kc < 1), and P(Fs < required) of the full factor beside it. Only the
// loads the block has are offered as inputs.
#include <QWidget>

#include <array>
#include <exception>
#include <optional>

#include "analysis/probabilistic/probabilistic.h"
#include "report/calculation_report.h"
#include "ui/views/viewed_block.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace trelmox::ui {
class BackgroundRun;
}

namespace trelmox::views {

class FigureWidget;
class ReliabilityPanel;

class ProbabilisticWindow : public QWidget {
    Q_OBJECT
public:
    // The settings and the last run are kept in `records` (the block
    // document's), or in the window's own when none is given.
    explicit ProbabilisticWindow(BlockSource source, StudyRecords* records = nullptr, QWidget* parent = nullptr);

    // Reads the block again and sets every input's distribution to the
    // first-run default around the block's value.
    void refresh();
    // Reads the block again and shows its values; the distributions stay.
    void updateBlock();
    // Starts the analysis; a bad setting goes to the error box.
    void start();
    void cancel();
    bool running() const;

    FigureWidget* picture() const { return picture_; }
    // The failed wedges' volume histogram.
    FigureWidget* volumePicture() const { return volumePicture_; }
    // The last finished run's result; none while a run is going.
    std::optional<ProbabilisticResult> result() const;
    // The finished run with its settings, when it was made for `block`.
    std::optional<ProbabilisticRun> runFor(const ViewedBlock& block) const;
    QString summary() const;
    // The reliability index's tab beside the histograms.
    ReliabilityPanel* reliability() const { return reliability_; }
    // The settings as entered; throws Error for a bad number.
    ProbabilisticSettings settings() const;
    // Row of an input in the table: the distribution (Distribution::Kind:
    // 0 fixed, 1 normal, 2 uniform, 3 lognormal, 4 exponential, 5
    // triangular, 6 beta, 7 gamma) and its numbers as texts in the tool's
    // order (the deviation, then the bounds: SD, LO:HI or SD:LO:HI).
    void setDistribution(Parameter parameter, int kind, const QString& first, const QString& second = {},
                         const QString& third = {});
    // The truncation bounds of an input's row (empty: none).
    void setTruncation(Parameter parameter, const QString& low, const QString& high);
    void setSamples(int samples);

signals:
    void analysisFinished();

private:
    void buildTable();
    // Every edit of a setting goes into the records at once; the records
    // are what the window shows.
    void takeEdits();
    void showEntries();
    void showRun();
    void fillDefaults(int row, int kind);
    void launch(const WedgeLoads& loads, const ProbabilisticSettings& chosen);
    void finish(ProbabilisticResult result, std::exception_ptr failure);
    void showPlot();
    void showStale();

    BlockSource source_;
    StudyRecords ownRecords_;
    StudyRecords& records_;
    ViewedBlock block_;
    std::optional<BlockInputs> inputs_;
    // The run going on: its block and settings, recorded when it finishes.
    ViewedBlock runBlock_;
    ProbabilisticSettings runSettings_;
    bool showing_ = false; // showing the records: no edit to take
    ui::BackgroundRun* background_ = nullptr;

    QLabel* caption_ = nullptr;
    QTableWidget* table_ = nullptr;
    QSpinBox* samples_ = nullptr;
    QComboBox* method_ = nullptr;
    QSpinBox* seed_ = nullptr;
    QSpinBox* bins_ = nullptr;
    std::array<QDoubleSpinBox*, 2> correlation_{}; // c and f of plane 1, plane 2
    QPushButton* run_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    FigureWidget* picture_ = nullptr;
    FigureWidget* volumePicture_ = nullptr;
    QTabWidget* pictures_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* stale_ = nullptr;
    ReliabilityPanel* reliability_ = nullptr;
};

} // namespace trelmox::views
