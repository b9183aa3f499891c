#include "ui/views/picture_windows.h"

#include "ui/views/probabilistic_window.h"
#include "ui/views/sensitivity_window.h"
#include "ui/views/stereonet_window.h"
#include "ui/views/wedge_view_window.h"

namespace trelmox::views {
namespace {

template <typename Window>
Window& made(std::unique_ptr<Window>& window, const BlockSource& source) {
    if (!window) window = std::make_unique<Window>(source);
    return *window;
}

void bringUp(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

PictureWindows::PictureWindows(BlockSource source) : source_(std::move(source)) {}
PictureWindows::~PictureWindows() = default;

StereonetWindow& PictureWindows::stereonet() { return made(stereonet_, source_); }
WedgeViewWindow& PictureWindows::wedgeView() { return made(wedgeView_, source_); }
ProbabilisticWindow& PictureWindows::probabilistic() { return made(probabilistic_, source_); }
SensitivityWindow& PictureWindows::sensitivity() { return made(sensitivity_, source_); }

std::optional<ProbabilisticRun> PictureWindows::probabilisticRun(const ViewedBlock& block) const {
    return probabilistic_ ? probabilistic_->runFor(block) : std::nullopt;
}

std::optional<SensitivityRun> PictureWindows::sensitivityRun(const ViewedBlock& block) const {
    return sensitivity_ ? sensitivity_->runFor(block) : std::nullopt;
}

void PictureWindows::showStereonet() {
    stereonet().refresh();
    bringUp(stereonet());
}

void PictureWindows::showWedgeView() {
    wedgeView().refresh();
    bringUp(wedgeView());
}

void PictureWindows::showProbabilistic() {
    if (!probabilistic().running()) probabilistic().updateBlock();
    bringUp(probabilistic());
}

void PictureWindows::showSensitivity() {
    sensitivity().updateBlock();
    bringUp(sensitivity());
}

} // namespace trelmox::views
