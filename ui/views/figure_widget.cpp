#include "ui/views/figure_widget.h"

#include <QPainter>

#include "paint/figure_painter.h"

namespace trelmox::views {

FigureWidget::FigureWidget(QWidget* parent) : QWidget(parent) {
    setMinimumSize(320, 240);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void FigureWidget::setFigure(Figure figure) {
    figure_ = std::move(figure);
    update();
}

void FigureWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paint::paintFigure(painter, figure_, QRectF(rect()));
}

} // namespace trelmox::views
