#include "ui/schematic.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "drawing/label_placer.h"
#include "ui/style.h"

namespace trelmox::ui {

namespace {

// A world point: x east, y north, z up, in units of the drawing's scale.
struct World {
    double x, y, z;
};

constexpr double StrikeAzimuth = 60; // degrees from north, N60E
constexpr double DipAzimuth = 150;   // dipping south-east
constexpr double DipAngle = 40;

double radians(double degrees) { return degrees * std::numbers::pi / 180; }
World horizontal(double azimuth, double length) {
    return {std::sin(radians(azimuth)) * length, std::cos(radians(azimuth)) * length, 0};
}

// Oblique parallel projection: north recedes up and to the right.
class Projection {
public:
    explicit Projection(QSize size) : centre_(size.width() * 0.5, size.height() * 0.62), scale_(size.width() * 0.36) {}
    QPointF operator()(World p) const {
        return {centre_.x() + scale_ * (p.x + 0.35 * p.y), centre_.y() - scale_ * (0.35 * p.y + p.z)};
    }

private:
    QPointF centre_;
    double scale_;
};

QPolygonF polygon(const Projection& at, std::initializer_list<World> points) {
    QPolygonF result;
    for (const World& p : points) result << at(p);
    return result;
}

QPolygonF arc(const Projection& at, double fromAzimuth, double toAzimuth, double radius) {
    QPolygonF result;
    for (double a = fromAzimuth; a <= toAzimuth; a += 2) result << at(horizontal(a, radius));
    return result;
}

void arrow(QPainter& painter, QPointF from, QPointF to) {
    painter.drawLine(from, to);
    const double angle = std::atan2(to.y() - from.y(), to.x() - from.x());
    for (double side : {-0.4, 0.4})
        painter.drawLine(to, to - QPointF(std::cos(angle + side), std::sin(angle + side)) * 10);
}

// The lines drawn, which the labels keep clear of.
class Lines {
public:
    void add(QPointF from, QPointF to) { placer.avoidSegment({from.x(), from.y()}, {to.x(), to.y()}); }
    void add(const QPolygonF& points, bool closed) {
        for (qsizetype i = 0; i + 1 < points.size(); ++i) add(points[i], points[i + 1]);
        if (closed && points.size() > 2) add(points.back(), points.front());
    }
    LabelPlacer placer;
};

// A label centred at `anchor`, or as near as it crosses no line and no
// other label, looking first in `direction` (none: up and to the right);
// on a white ground, so that a line it must touch does not strike through
// it. Returns its rectangle.
QRect label(QPainter& painter, Lines& lines, QPointF anchor, QPointF direction, const QString& text) {
    const QFontMetrics metrics(painter.font());
    QRect rect = metrics.boundingRect(text);
    const Point2 at =
        lines.placer.place({anchor.x(), anchor.y()}, {direction.x(), direction.y()}, 0, rect.width(), rect.height());
    rect.moveCenter(QPointF(at.x, at.y).toPoint());
    // A label that had to move away points at what it names.
    const QPointF nearest(std::clamp(anchor.x(), double(rect.left()), double(rect.right())),
                          std::clamp(anchor.y(), double(rect.top()), double(rect.bottom())));
    if (QLineF(anchor, nearest).length() > rect.height()) {
        const QPen pen = painter.pen();
        painter.setPen(QPen(Qt::darkGray, 1));
        painter.drawLine(anchor, nearest);
        painter.setPen(pen);
    }
    painter.fillRect(rect.adjusted(-2, -1, 2, 1), QColor(255, 255, 255, 210));
    painter.drawText(rect, Qt::AlignCenter, text);
    return rect.adjusted(-3, -2, 3, 2);
}

} // namespace

Schematic drawSchematic(QSize size) {
    Schematic result{QPixmap(size), {}};
    result.picture.fill(Qt::white);
    QPainter painter(&result.picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const Projection at(size);

    Lines lines;
    // The picture's edges keep the labels inside it.
    lines.add(QPolygonF(QRectF(QPointF(1, 1), QSizeF(size) - QSizeF(2, 2))), true);

    // Horizontal reference plane.
    painter.setPen(QPen(Qt::darkGray, 1));
    painter.setBrush(QColor(0xE8, 0xF0, 0xE8));
    const QPolygonF reference = polygon(at, {{-1.0, -1, 0}, {1.0, -1, 0}, {1.0, 1, 0}, {-1.0, 1, 0}});
    painter.drawPolygon(reference);
    lines.add(reference, true);

    // The inclined plane above its strike line, rising against the dip.
    const World along = horizontal(StrikeAzimuth, 0.95);
    const World up = horizontal(DipAzimuth + 180, 0.75);
    const double rise = 0.75 * std::tan(radians(DipAngle));
    painter.setBrush(QColor(0xC8, 0xA8, 0x80, 0xC0));
    painter.setPen(QPen(QColor(0x70, 0x50, 0x30), 1.5));
    const QPolygonF inclined = polygon(at, {{-along.x, -along.y, 0},
                                            {along.x, along.y, 0},
                                            {along.x + up.x, along.y + up.y, rise},
                                            {-along.x + up.x, -along.y + up.y, rise}});
    painter.drawPolygon(inclined);
    lines.add(inclined, true);
    // Its dip line and the dip line's horizontal projection.
    painter.setPen(QPen(QColor(0x70, 0x50, 0x30), 1, Qt::DashLine));
    painter.drawLine(at({up.x, up.y, rise}), at({0, 0, 0}));
    painter.drawLine(at({up.x, up.y, rise}), at({up.x, up.y, 0}));
    lines.add(at({up.x, up.y, rise}), at({0, 0, 0}));
    lines.add(at({up.x, up.y, rise}), at({up.x, up.y, 0}));

    // North, strike and dip direction with their angles.
    const QPointF origin = at({0, 0, 0}), north = at(horizontal(0, 0.95));
    const QPointF strikeFrom = at({-along.x, -along.y, 0}), strikeTo = at({along.x, along.y, 0});
    const QPointF dipTip = at(horizontal(DipAzimuth, 0.9));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1.5));
    arrow(painter, origin, north);
    painter.setPen(QPen(Qt::blue, 2));
    painter.drawLine(strikeFrom, strikeTo);
    painter.setPen(QPen(Qt::red, 2));
    arrow(painter, origin, dipTip);
    painter.setPen(QPen(Qt::blue, 1));
    const QPolygonF strikeArc = arc(at, 0, StrikeAzimuth, 0.3), dipArc = arc(at, 0, DipAzimuth, 0.55);
    painter.drawPolyline(strikeArc);
    painter.setPen(QPen(Qt::red, 1));
    painter.drawPolyline(dipArc);
    lines.add(origin, north);
    lines.add(strikeFrom, strikeTo);
    lines.add(origin, dipTip);
    lines.add(strikeArc, false);
    lines.add(dipArc, false);

    // Each label where it reads best beside what it names, moved only as
    // far as it must to clear the lines and the other labels: English
    // words are longer than Chinese ones.
    painter.setFont(dialogFont(13));
    painter.setPen(Qt::black);
    label(painter, lines, north + QPointF(0, -4), {}, QStringLiteral("N"));
    result.labelRects[0] = label(painter, lines, at(horizontal(StrikeAzimuth / 2, 0.3)) + QPointF(24, -10), {},
                                 QCoreApplication::translate("Schematic", "走向角"));
    result.labelRects[1] = label(painter, lines, at(horizontal(100, 0.55)) + QPointF(30, 2), {},
                                 QCoreApplication::translate("Schematic", "倾向角"));
    result.labelRects[2] =
        label(painter, lines, dipTip + QPointF(22, 12), {}, QCoreApplication::translate("Schematic", "倾向"));
    result.labelRects[3] =
        label(painter, lines, strikeTo + QPointF(16, -12), {}, QCoreApplication::translate("Schematic", "走向"));
    return result;
}

} // namespace trelmox::ui
