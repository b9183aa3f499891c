#include "ui/views/figure_widget.h"

#include <QMouseEvent>
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

void FigureWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const QPointF at = event->position();
    emit pressed(fitFigure(figure_, width(), height()).framePoint(at.x(), at.y()));
}

} // namespace trelmox::views
