#include "drawing/label_placer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace trelmox {

namespace {

// Room kept round a label, as a share of its height.
constexpr double Margin = 0.15;

bool inside(const Point2& p, double left, double right, double bottom, double top) {
    return p.x >= left && p.x <= right && p.y >= bottom && p.y <= top;
}

// Whether the segment a-b meets the axis-parallel box (Liang-Barsky clipping).
bool crosses(Point2 a, Point2 b, double left, double right, double bottom, double top) {
    double t0 = 0, t1 = 1;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {a.x - left, right - a.x, a.y - bottom, top - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

} // namespace

int LabelPlacer::clashes(const Box& b) const {
    const double left = b.centre.x - b.halfWidth, right = b.centre.x + b.halfWidth;
    const double bottom = b.centre.y - b.halfHeight, top = b.centre.y + b.halfHeight;
    int count = 0;
    for (const Box& other : placed_)
        if (std::abs(b.centre.x - other.centre.x) < b.halfWidth + other.halfWidth &&
            std::abs(b.centre.y - other.centre.y) < b.halfHeight + other.halfHeight)
            count += 4; // a label over a label is worse than one over a line
    for (const Segment& s : segments_)
        if (crosses(s.from, s.to, left, right, bottom, top)) ++count;
    for (const Mark& m : points_)
        if (inside(m.at, left - m.radius, right + m.radius, bottom - m.radius, top + m.radius)) count += 2;
    return count;
}

Point2 LabelPlacer::place(Point2 anchor, Point2 direction, double distance, double width, double height) {
    const double length = std::hypot(direction.x, direction.y);
    const double start = length > 1e-12 ? std::atan2(direction.y, direction.x) : std::numbers::pi / 4;
    const double halfWidth = width / 2 + Margin * height, halfHeight = height / 2 + Margin * height;
    // Where it is wanted first; then out from the anchor in the wanted
    // direction, turned ever further to either side, a step further out
    // each round. A wide label moves out by half its width more when it
    // goes sideways, so that its near edge keeps the distance.
    Box best{{anchor.x + distance * std::cos(start), anchor.y + distance * std::sin(start)}, halfWidth, halfHeight};
    int fewest = clashes(best);
    constexpr double Turns[] = {0, 30, -30, 60, -60, 90, -90, 120, -120, 150, -150, 180};
    for (int ring = 1; ring <= 4 && fewest != 0; ++ring) {
        const double reach = distance + ring * 0.8 * height;
        for (double turn : Turns) {
            const double angle = start + turn * std::numbers::pi / 180;
            const double across = std::abs(std::cos(angle)) * (halfWidth - halfHeight);
            const Box box{{anchor.x + (reach + across) * std::cos(angle), anchor.y + reach * std::sin(angle)},
                          halfWidth,
                          halfHeight};
            const int count = clashes(box);
            if (count < fewest) {
                fewest = count;
                best = box;
            }
            if (count == 0) break;
        }
    }
    placed_.push_back(best);
    return best.centre;
}

} // namespace trelmox
