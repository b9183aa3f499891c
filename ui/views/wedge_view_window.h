#pragma once
// "三维视图": the wedge as a shaded tetrahedron that the user turns with the
// mouse (drag) and zooms with the wheel.
#include <QPoint>
#include <QWidget>

#include "drawing/wedge_view.h"
#include "ui/views/figure_widget.h"
#include "ui/views/viewed_block.h"

class QLabel;

namespace trelmox::views {

class WedgeViewWidget : public FigureWidget {
    Q_OBJECT
public:
    explicit WedgeViewWidget(QWidget* parent = nullptr);

    // No corners: the empty picture. `caption` names the block on it.
    void setCorners(const std::optional<BlockVertices>& corners, const std::string& caption);
    const ViewAngles& view() const { return view_; }
    void setView(const ViewAngles& view);
    // Back to the first view of the block.
    void resetView();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void redraw();

    BlockVertices corners_{};
    std::string caption_;
    ViewAngles view_;
    QPoint dragFrom_;
};

class WedgeViewWindow : public QWidget {
    Q_OBJECT
public:
    explicit WedgeViewWindow(BlockSource source, QWidget* parent = nullptr);

    // Reads the block again, computes its corners and shows the first view.
    void refresh();
    WedgeViewWidget* picture() const { return picture_; }
    // Why there is no wedge to show; empty when there is one.
    QString problem() const;

private:
    BlockSource source_;
    ViewedBlock block_;
    WedgeViewWidget* picture_ = nullptr;
    QLabel* caption_ = nullptr;
    QLabel* problem_ = nullptr;
};

} // namespace trelmox::views
