#pragma once
// A 3D view of a point cloud coloured by joint set: the points turned about
// their centre by dragging, brought nearer by the wheel, drawn as dots. A
// dense cloud is drawn from an even sample of its points, enough to see
// the facets and the sets without slowing the window.
#include <QWidget>

#include <array>
#include <cstdint>
#include <vector>

#include "model/block.h"

namespace trelmox::views {

class CloudView : public QWidget {
    Q_OBJECT
public:
    explicit CloudView(QWidget* parent = nullptr);
    // The points (in the block frame) with one colour each.
    void setPoints(const std::vector<TPoint3D>& points, const std::vector<std::array<std::uint8_t, 3>>& colours);
    std::size_t shownPoints() const { return points_.size(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    std::vector<TPoint3D> points_; // about their centre
    std::vector<std::array<std::uint8_t, 3>> colours_;
    double radius_ = 1;
    double azimuth_ = 0, elevation_ = 20; // degrees: looking north, from a little above
    double zoom_ = 1;
    QPoint last_;
};

} // namespace trelmox::views
