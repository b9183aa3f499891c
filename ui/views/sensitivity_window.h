#pragma once
// "敏感性分析": Kc and the full factor Fs as one input runs over a range,
// the others held at the block's values, with the values where Kc reaches 1
// and Fs the required factor. Only the loads the block has are offered.
#include <QWidget>

#include <optional>
#include <vector>

#include "analysis/probabilistic/sensitivity.h"
#include "report/calculation_report.h"
#include "ui/views/viewed_block.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace trelmox::views {

class FigureWidget;

class SensitivityWindow : public QWidget {
    Q_OBJECT
public:
    // The settings and the last run are kept in `records` (the block
    // document's), or in the window's own when none is given.
    explicit SensitivityWindow(BlockSource source, StudyRecords* records = nullptr, QWidget* parent = nullptr);

    // Reads the block again and proposes a range around its value.
    void refresh();
    // Reads the block again; the chosen input and range stay.
    void updateBlock();
    // Runs the analysis; a bad setting goes to the error box.
    void compute();
    void setParameter(Parameter parameter);
    void setRange(const QString& from, const QString& to, int steps);

    FigureWidget* picture() const { return picture_; }
    const std::vector<SensitivityStep>& steps() const;
    // The computed steps and their input, when they were computed for `block`.
    std::optional<SensitivityRun> runFor(const ViewedBlock& block) const;
    QString summary() const;

private:
    Parameter parameter() const;
    void proposeRange();
    void showPlot(const std::optional<BlockPoint>& block);
    void showStale();
    // Every edit of a setting goes into the records at once.
    void takeEdits();

    BlockSource source_;
    ViewedBlock block_;
    StudyRecords ownRecords_;
    StudyRecords& records_;

    QLabel* caption_ = nullptr;
    QComboBox* parameter_ = nullptr;
    QLineEdit* from_ = nullptr;
    QLineEdit* to_ = nullptr;
    QSpinBox* stepCount_ = nullptr;
    FigureWidget* picture_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* stale_ = nullptr;
};

} // namespace trelmox::views
