#include "ui/views/wedge_view_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "ui/style.h"
#include "ui/views/picture_file.h"

namespace trelmox::views {
namespace {

constexpr double DegreesPerPixel = 0.5;
constexpr double MinZoom = 0.2, MaxZoom = 20;

} // namespace

WedgeViewWidget::WedgeViewWidget(QWidget* parent) : FigureWidget(parent) {
    setCursor(Qt::OpenHandCursor);
    setToolTip(tr("拖动鼠标旋转，滚轮缩放，双击复位"));
    redraw();
}

void WedgeViewWidget::setScene(const std::optional<WedgeScene>& scene, const std::string& caption) {
    scene_ = scene.value_or(WedgeScene{});
    caption_ = caption;
    resetView();
}

void WedgeViewWidget::setView(const ViewAngles& view) {
    view_ = view;
    view_.Azimuth = std::fmod(std::fmod(view_.Azimuth, 360.0) + 360.0, 360.0);
    view_.Elevation = std::clamp(view_.Elevation, -90.0, 90.0);
    view_.Zoom = std::clamp(view_.Zoom, MinZoom, MaxZoom);
    redraw();
}

void WedgeViewWidget::resetView() { setView(defaultView(scene_)); }

void WedgeViewWidget::redraw() { setFigure(wedgeViewFigure(scene_, view_, caption_)); }

void WedgeViewWidget::mousePressEvent(QMouseEvent* event) { dragFrom_ = event->position().toPoint(); }

// The wedge follows the hand: dragging right turns its near side to the
// right (the eye goes left round it), dragging up rolls its near side up
// (the eye goes down).
void WedgeViewWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const QPoint now = event->position().toPoint(), moved = now - dragFrom_;
    dragFrom_ = now;
    ViewAngles view = view_;
    view.Azimuth += moved.x() * DegreesPerPixel;
    view.Elevation += moved.y() * DegreesPerPixel;
    setView(view);
}

void WedgeViewWidget::mouseDoubleClickEvent(QMouseEvent*) { resetView(); }

void WedgeViewWidget::wheelEvent(QWheelEvent* event) {
    ViewAngles view = view_;
    view.Zoom *= std::pow(1.15, event->angleDelta().y() / 120.0);
    setView(view);
    event->accept();
}

WedgeViewWindow::WedgeViewWindow(BlockSource source, QWidget* parent)
    : QWidget(parent, Qt::Window), source_(std::move(source)) {
    setObjectName(QStringLiteral("WedgeViewWindow"));
    setWindowTitle(tr("三维视图"));
    ui::fitToScreen(this, {720, 600});
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("BlockCaption"));
    picture_ = new WedgeViewWidget(this);
    picture_->setObjectName(QStringLiteral("WedgeViewPicture"));
    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("ProblemLabel"));
    problem_->setWordWrap(true);
    problem_->setStyleSheet(QStringLiteral("color: #c00000"));
    auto* reset = new QPushButton(tr("复位视角"), this);
    reset->setObjectName(QStringLiteral("ResetViewButton"));
    auto* save = new QPushButton(tr("保存图片…"), this);
    save->setObjectName(QStringLiteral("SavePictureButton"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(tr("拖动鼠标旋转，滚轮缩放"), this));
    buttons->addStretch();
    buttons->addWidget(reset);
    buttons->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption_);
    layout->addWidget(picture_, 1);
    layout->addWidget(problem_);
    layout->addLayout(buttons);

    connect(reset, &QPushButton::clicked, picture_, &WedgeViewWidget::resetView);
    connect(save, &QPushButton::clicked, this,
            [this] { askAndSavePicture(this, picture_, suggestedPicturePath(block_, windowTitle())); });
    caption_->setText(blockCaption(block_));
}

void WedgeViewWindow::refresh() {
    block_ = source_();
    const BlockScene scene = blockScene(block_);
    caption_->setText(blockCaption(block_));
    problem_->setText(scene.Problem);
    picture_->setScene(scene.Scene, pictureCaption(block_));
}

QString WedgeViewWindow::problem() const { return problem_->text(); }

} // namespace trelmox::views
