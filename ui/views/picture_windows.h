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
    explicit PictureWindows(BlockSource source);
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

    // The analyses run on `block` in the windows, without opening one.
    std::optional<ProbabilisticRun> probabilisticRun(const ViewedBlock& block) const;
    std::optional<SensitivityRun> sensitivityRun(const ViewedBlock& block) const;

private:
    BlockSource source_;
    std::unique_ptr<StereonetWindow> stereonet_;
    std::unique_ptr<WedgeViewWindow> wedgeView_;
    std::unique_ptr<ProbabilisticWindow> probabilistic_;
    std::unique_ptr<SensitivityWindow> sensitivity_;
};

} // namespace trelmox::views
