#include "ui/views/picture_windows.h"

#include "ui/style.h"

#include "ui/views/probabilistic_window.h"
#include "ui/views/sensitivity_window.h"
#include "ui/views/stereonet_window.h"
#include "ui/views/wedge_view_window.h"

namespace trelmox::views {
namespace {

template <typename Window> Window& made(std::unique_ptr<Window>& window, const BlockSource& source) {
    if (!window) window = std::make_unique<Window>(source);
    return *window;
}

template <typename Window>
Window& made(std::unique_ptr<Window>& window, const BlockSource& source, StudyRecords* records) {
    if (!window) window = std::make_unique<Window>(source, records);
    return *window;
}

// Beside the window whose command opens it (the analysis window's
// buttons, the main window's menu).
void bringUp(QWidget& window) {
    ui::placeBesideOpener(&window);
    ui::bringToFront(&window);
}

} // namespace

PictureWindows::PictureWindows(BlockSource source, StudyRecords* records)
    : source_(std::move(source)), records_(records) {}
PictureWindows::~PictureWindows() = default;

StereonetWindow& PictureWindows::stereonet() { return made(stereonet_, source_); }
WedgeViewWindow& PictureWindows::wedgeView() { return made(wedgeView_, source_); }
ProbabilisticWindow& PictureWindows::probabilistic() { return made(probabilistic_, source_, records_); }
SensitivityWindow& PictureWindows::sensitivity() { return made(sensitivity_, source_, records_); }

void PictureWindows::blockChanged() {
    if (stereonet_ && stereonet_->isVisible()) stereonet_->refresh();
    if (wedgeView_ && wedgeView_->isVisible()) wedgeView_->refresh();
    if (probabilistic_ && !probabilistic_->running()) probabilistic_->updateBlock();
    if (sensitivity_) sensitivity_->updateBlock();
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
