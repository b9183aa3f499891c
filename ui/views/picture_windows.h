#pragma once
// The picture windows of the program, made when first asked for and kept
// for the whole run like the other windows, each showing the block that
// `source` describes at the moment it is opened.
#include <memory>
#include <optional>

#include "report/calculation_report.h"
#include "ui/views/viewed_block.h"

namespace trelmox::views {

class ProbabilisticWindow;
class SensitivityWindow;
class StereonetWindow;
class WedgeViewWindow;

class PictureWindows {
public:
    // The analysis windows keep their settings and runs in `records` (the
    // block document's), or in their own when none is given.
    explicit PictureWindows(BlockSource source, StudyRecords* records = nullptr);
    ~PictureWindows();

    void showStereonet();
    void showWedgeView();
    // These two keep the user's settings when shown again.
    void showProbabilistic();
    void showSensitivity();

    StereonetWindow& stereonet();
    WedgeViewWindow& wedgeView();
    ProbabilisticWindow& probabilistic();
    SensitivityWindow& sensitivity();

    // After the block changed: the open pictures redraw, and the analysis
    // windows show the block and say when their last run is out of date.
    void blockChanged();

private:
    BlockSource source_;
    StudyRecords* records_;
    std::unique_ptr<StereonetWindow> stereonet_;
    std::unique_ptr<WedgeViewWindow> wedgeView_;
    std::unique_ptr<ProbabilisticWindow> probabilistic_;
    std::unique_ptr<SensitivityWindow> sensitivity_;
};

} // namespace trelmox::views
