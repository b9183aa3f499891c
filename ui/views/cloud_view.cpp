#include "ui/views/cloud_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <map>

#include "analysis/vec3.h"

namespace trelmox::views {

namespace {

// Points drawn at most: a few hundred thousand dots paint in a blink.
constexpr std::size_t MostShown = 200'000;

} // namespace

CloudView::CloudView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CloudView"));
    setMinimumSize(320, 240);
    setAutoFillBackground(true);
}

void CloudView::setPoints(const std::vector<TPoint3D>& points,
                          const std::vector<std::array<std::uint8_t, 3>>& colours) {
    points_.clear();
    colours_.clear();
    const std::size_t step = std::max<std::size_t>(1, (points.size() + MostShown - 1) / MostShown);
    TPoint3D centre{};
    for (std::size_t i = 0; i < points.size(); i += step) centre = centre + points[i];
    const double n = static_cast<double>((points.size() + step - 1) / step);
    if (n > 0) centre = (1 / n) * centre;
    radius_ = 0;
    for (std::size_t i = 0; i < points.size(); i += step) {
        points_.push_back(points[i] - centre);
        colours_.push_back(i < colours.size() ? colours[i] : std::array<std::uint8_t, 3>{200, 200, 200});
        radius_ = std::max(radius_, norm(points_.back()));
    }
    if (!(radius_ > 0)) radius_ = 1;
    update();
}

void CloudView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(250, 250, 250));
    if (points_.empty()) return;
    // Turned about z by the azimuth, then tilted by the elevation; drawn a
    // colour at a time, the few colours of the sets.
    const double a = radians(azimuth_), e = radians(elevation_);
    const double scale = zoom_ * 0.45 * std::min(width(), height()) / radius_;
    std::map<std::array<std::uint8_t, 3>, std::vector<QPointF>> byColour;
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const TPoint3D& p = points_[i];
        const double x = p.x * std::cos(a) - p.y * std::sin(a);
        const double y = p.x * std::sin(a) + p.y * std::cos(a);
        const double up = p.z * std::cos(e) - y * std::sin(e);
        byColour[colours_[i]].push_back(QPointF(width() / 2.0 + scale * x, height() / 2.0 - scale * up));
    }
    QPen pen;
    pen.setWidthF(2);
    for (const auto& [colour, dots] : byColour) {
        pen.setColor(QColor(colour[0], colour[1], colour[2]));
        painter.setPen(pen);
        painter.drawPoints(dots.data(), static_cast<int>(dots.size()));
    }
}

void CloudView::mousePressEvent(QMouseEvent* event) { last_ = event->position().toPoint(); }

void CloudView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint now = event->position().toPoint();
    azimuth_ += 0.5 * (now.x() - last_.x());
    elevation_ = std::clamp(elevation_ + 0.5 * (now.y() - last_.y()), -90.0, 90.0);
    last_ = now;
    update();
}

void CloudView::wheelEvent(QWheelEvent* event) {
    zoom_ = std::clamp(zoom_ * std::pow(1.0015, event->angleDelta().y()), 0.1, 50.0);
    update();
}

} // namespace trelmox::views
