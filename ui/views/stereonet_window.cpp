#include "ui/views/stereonet_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/style.h"
#include "ui/views/figure_widget.h"
#include "ui/views/picture_file.h"

namespace trelmox::views {

StereonetWindow::StereonetWindow(BlockSource source, QWidget* parent)
    : QWidget(parent, Qt::Window), source_(std::move(source)) {
    setObjectName(QStringLiteral("StereonetWindow"));
    setWindowTitle(tr("赤平投影"));
    ui::fitToScreen(this, {820, 540});
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("BlockCaption"));
    picture_ = new FigureWidget(this);
    picture_->setObjectName(QStringLiteral("StereonetPicture"));
    projection_ = new QComboBox(this);
    projection_->setObjectName(QStringLiteral("ProjectionBox"));
    projection_->addItems({tr("等角投影（吴氏网）"), tr("等面积投影（施密特网）")});
    auto* save = new QPushButton(tr("保存图片…"), this);
    save->setObjectName(QStringLiteral("SavePictureButton"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(tr("投影方式"), this));
    buttons->addWidget(projection_);
    buttons->addStretch();
    buttons->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption_);
    layout->addWidget(picture_, 1);
    layout->addLayout(buttons);

    connect(projection_, &QComboBox::currentIndexChanged, this, [this] { redraw(); });
    connect(save, &QPushButton::clicked, this,
            [this] { askAndSavePicture(this, picture_, suggestedPicturePath(block_, windowTitle())); });
    redraw();
}

void StereonetWindow::refresh() {
    block_ = source_();
    redraw();
}

void StereonetWindow::setProjection(NetProjection projection) {
    projection_->setCurrentIndex(projection == NetProjection::EqualAngle ? 0 : 1);
}

void StereonetWindow::redraw() {
    caption_->setText(blockCaption(block_));
    // Before a confirm the planes are all 0°∠0°: an empty net, and the
    // caption says that no block is confirmed.
    if (block_.Name.isEmpty()) return picture_->setFigure(Figure{});
    const NetProjection projection =
        projection_->currentIndex() == 0 ? NetProjection::EqualAngle : NetProjection::EqualArea;
    StereonetInput input{block_.Attitudes, smallerFrictionAngle(block_.Parameters), projection, pictureCaption(block_)};
    if (block_.Loads && block_.Loads->Crack) input.Crack = block_.Loads->Crack->Attitude;
    picture_->setFigure(stereonetFigure(input));
}

} // namespace trelmox::views
