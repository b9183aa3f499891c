#include "paint/figure_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace trelmox::paint {
namespace {

QColor qtColour(const Colour& c) { return QColor(c.r, c.g, c.b); }

QPen qtPen(const std::optional<Pen>& pen, const FigureViewport& map) {
    if (!pen) return Qt::NoPen;
    QPen qt(qtColour(pen->colour), std::max(map.length(pen->width), 0.5));
    qt.setCapStyle(Qt::RoundCap);
    qt.setJoinStyle(Qt::RoundJoin);
    // Dash lengths in pen widths, as the SVG writer draws them.
    if (pen->style == LineStyle::Dashed)
        qt.setDashPattern({5, 3});
    else if (pen->style == LineStyle::Dotted)
        qt.setDashPattern({1, 2});
    return qt;
}

QBrush qtBrush(const std::optional<Colour>& fill) { return fill ? QBrush(qtColour(*fill)) : QBrush(Qt::NoBrush); }

struct ItemPainter {
    QPainter& painter;
    const FigureViewport& map;

    QPointF at(const Point2& p) const { return {map.x(p.x), map.y(p.y)}; }

    void operator()(const PathItem& path) const {
        QPolygonF polygon;
        for (const Point2& p : path.points) polygon << at(p);
        painter.setPen(qtPen(path.pen, map));
        if (path.closed) {
            painter.setBrush(qtBrush(path.fill));
            painter.drawPolygon(polygon);
        } else {
            painter.drawPolyline(polygon);
        }
    }

    void operator()(const CircleItem& circle) const {
        painter.setPen(qtPen(circle.pen, map));
        painter.setBrush(qtBrush(circle.fill));
        const double r = map.length(circle.radius);
        painter.drawEllipse(at(circle.centre), r, r);
    }

    void operator()(const TextItem& text) const {
        QFont font(FigureFontFamily);
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(map.length(text.height)))));
        font.setBold(text.bold);
        painter.setFont(font);
        painter.setPen(qtColour(text.colour));
        const QString content = QString::fromStdString(text.text);
        const double width = QFontMetricsF(font).horizontalAdvance(content);
        const double shift = text.hAlign == HAlign::Left ? 0 : text.hAlign == HAlign::Centre ? width / 2 : width;
        const QPointF anchor = at(text.position);
        painter.drawText(QPointF(anchor.x() - shift, anchor.y() + font.pixelSize() * baselineShift(text.vAlign)),
                         content);
    }
};

} // namespace

void paintFigure(QPainter& painter, const Figure& figure, const QRectF& target) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(target, qtColour(figure.background));
    painter.setClipRect(target);
    painter.translate(target.topLeft());
    const FigureViewport map = fitFigure(figure, target.width(), target.height());
    const ItemPainter paint{painter, map};
    for (const FigureItem& item : figure.items) std::visit(paint, item);
    painter.restore();
}

} // namespace trelmox::paint
