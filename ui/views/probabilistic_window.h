#pragma once
// "可靠度分析": a Monte Carlo or Latin hypercube analysis of the block with
// its loads, run on a worker thread with a progress bar and a cancel
// button, shown as the histogram of Kc with the probability of failure
// P(Kc < 1), and P(Fs < required) of the full factor beside it. Only the
// loads the block has are offered as inputs.
#include <QWidget>

#include <atomic>
#include <exception>
#include <optional>
#include <thread>

#include "analysis/probabilistic/probabilistic.h"
#include "report/calculation_report.h"
#include "ui/views/viewed_block.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace trelmox::views {

class FigureWidget;

class ProbabilisticWindow : public QWidget {
    Q_OBJECT
public:
    explicit ProbabilisticWindow(BlockSource source, QWidget* parent = nullptr);
    ~ProbabilisticWindow() override;

    // Reads the block again and sets every input's distribution to the
    // first-run default around the block's value.
    void refresh();
    // Reads the block again and shows its values; the distributions stay.
    void updateBlock();
    // Starts the analysis; a bad setting goes to the error box.
    void start();
    void cancel();
    bool running() const { return worker_.joinable(); }

    FigureWidget* picture() const { return picture_; }
    const std::optional<ProbabilisticResult>& result() const { return result_; }
    // The finished run with its settings, when it was made for `block`.
    std::optional<ProbabilisticRun> runFor(const ViewedBlock& block) const;
    QString summary() const;
    // The distribution table as settings; throws Error for a bad number.
    ProbabilisticSettings settings() const;
    // Row of an input in the table: the distribution (0 fixed, 1 normal,
    // 2 uniform, 3 lognormal) and its numbers as texts.
    void setDistribution(Parameter parameter, int kind, const QString& first, const QString& second = {});
    void setSamples(int samples);

signals:
    void analysisFinished();

private:
    void buildTable();
    void fillDefaults(int row, int kind);
    void launch(const WedgeLoads& loads, const ProbabilisticSettings& chosen);
    void showProgress(std::uint64_t done, std::uint64_t total);
    void finish(ProbabilisticResult result, std::exception_ptr failure);
    void setRunning(bool running);
    void showPlot();

    BlockSource source_;
    ViewedBlock block_;
    std::optional<BlockInputs> inputs_;
    std::optional<ProbabilisticResult> result_;
    ViewedBlock runBlock_; // what result_ was computed for
    ProbabilisticSettings runSettings_;
    std::thread worker_;
    std::atomic<bool> cancelled_{false};

    QLabel* caption_ = nullptr;
    QTableWidget* table_ = nullptr;
    QSpinBox* samples_ = nullptr;
    QComboBox* method_ = nullptr;
    QSpinBox* seed_ = nullptr;
    QSpinBox* bins_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    FigureWidget* picture_ = nullptr;
    QLabel* summary_ = nullptr;
};

} // namespace trelmox::views
