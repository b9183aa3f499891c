#pragma once
// A widget that shows one engine figure, scaled to fit and centred.
#include <QWidget>

#include "drawing/figure.h"

namespace trelmox::views {

class FigureWidget : public QWidget {
    Q_OBJECT
public:
    explicit FigureWidget(QWidget* parent = nullptr);
    void setFigure(Figure figure);
    const Figure& figure() const { return figure_; }

signals:
    // The left button went down over the figure at this point of its frame.
    void pressed(Point2 framePoint);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    Figure figure_;
};

} // namespace trelmox::views
