#pragma once
// "三维视图": the wedge - the real one with its forces and bolts, else the
// tetrahedron of its corners - shaded, turned by the user with the mouse
// (drag) and zoomed with the wheel.
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

    // No scene: the empty picture. `caption` names the block on it.
    void setScene(const std::optional<WedgeScene>& scene, const std::string& caption);
    const WedgeScene& scene() const { return scene_; }
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

    WedgeScene scene_;
    std::string caption_;
    ViewAngles view_;
    QPoint dragFrom_;
};

class WedgeViewWindow : public QWidget {
    Q_OBJECT
public:
    explicit WedgeViewWindow(BlockSource source, QWidget* parent = nullptr);

    // Reads the block again, works out its wedge and shows the first view.
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
