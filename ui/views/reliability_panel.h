#pragma once
// The reliability index beside the Monte Carlo histogram in "可靠度分析":
// the random inputs of the probabilistic window's table, the factor, a
// target beta (a number, or a safety class and failure type) and a design
// bolt; run on a worker thread, shown as beta, P(failure) by FORM, SORM
// and importance sampling, the design point with its importance factors
// and their chart, the failure modes and the system's probability.
#include <QWidget>

#include <functional>
#include <optional>

#include "document/study_records.h"
#include "ui/views/viewed_block.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QTableWidget;

namespace trelmox::ui {
class BackgroundRun;
}

namespace trelmox::views {

class FigureWidget;

class ReliabilityPanel : public QWidget {
    Q_OBJECT
public:
    // What a run takes: the block as it stands and the random inputs as
    // the window's table gives them; throws Error for a bad text.
    struct Request {
        ViewedBlock Block;
        ProbabilisticSettings Inputs;
    };
    using RequestSource = std::function<Request()>;
    ReliabilityPanel(RequestSource source, StudyRecords& records, QWidget* parent);

    // Starts the analysis; a bad setting goes to the error box.
    void start();
    bool running() const;
    FigureWidget* alphaPicture() const { return alpha_; }
    QString summary() const;
    // The target: none (index 0), a class and type of GB 50153 (1..6) or
    // the number typed (7).
    void setTarget(int choice, double value = 0);
    // One more active bolt along trend/plunge whose least force reaching
    // the target is sought; none when not given.
    void setDesignBolt(std::optional<std::pair<double, double>> direction);
    // One more active bolt in the direction needing the least force.
    void setLeastForceBolt();
    // Shows the block's last run (the window made again, a block changed).
    void showRun(const ViewedBlock& block);

signals:
    void analysisFinished();

private:
    ReliabilitySettings chosenSettings(const ProbabilisticSettings& inputs) const;
    void finish(const RunBasis& basis, const ReliabilitySettings& settings, std::optional<ReliabilityResult> result,
                std::exception_ptr failure);
    void showResult(const ReliabilityResult* result);

    RequestSource source_;
    StudyRecords& records_;
    QComboBox* factor_ = nullptr;
    QComboBox* target_ = nullptr;
    QDoubleSpinBox* targetValue_ = nullptr;
    QCheckBox* bolt_ = nullptr;
    QDoubleSpinBox* trend_ = nullptr;
    QDoubleSpinBox* plunge_ = nullptr;
    QCheckBox* least_ = nullptr;
    QDoubleSpinBox* cov_ = nullptr;
    ui::BackgroundRun* run_ = nullptr;
    QLabel* summary_ = nullptr;
    QTableWidget* designPoint_ = nullptr;
    FigureWidget* alpha_ = nullptr;
};

} // namespace trelmox::views
