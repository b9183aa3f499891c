#pragma once
// "赤平投影": the block's planes, their line of intersection and the
// friction circle on a lower-hemisphere net.
#include <QWidget>

#include "drawing/stereonet.h"
#include "ui/views/viewed_block.h"

class QComboBox;
class QLabel;

namespace trelmox::views {

class FigureWidget;

class StereonetWindow : public QWidget {
    Q_OBJECT
public:
    explicit StereonetWindow(BlockSource source, QWidget* parent = nullptr);

    // Reads the block again and redraws.
    void refresh();
    void setProjection(NetProjection projection);
    FigureWidget* picture() const { return picture_; }

private:
    void redraw();

    BlockSource source_;
    ViewedBlock block_;
    FigureWidget* picture_ = nullptr;
    QLabel* caption_ = nullptr;
    QComboBox* projection_ = nullptr;
};

} // namespace trelmox::views
