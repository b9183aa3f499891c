#include "drawing/contours.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "model/error.h"
#include "model/language.h"

namespace trelmox {

namespace {

constexpr double NotCounted = std::numeric_limits<double>::quiet_NaN();

// Values at the nodes of a square grid over [-1, 1]^2, row by row from the
// bottom; NaN where nothing was counted.
struct NodeGrid {
    int size = 0;
    double step = 0;
    std::vector<double> values;
    Point2 node(int i, int j) const { return {-1 + i * step, -1 + j * step}; }
    double value(int i, int j) const { return values[static_cast<std::size_t>(j) * size + i]; }
};

// Every node inside the net, and those just outside that are corners of a
// cell reaching into it; outside, a node stands for the rim in its
// direction, so that lines run on to the rim before they are cut there.
NodeGrid densityGrid(const PoleDensity& density, NetProjection projection, int size) {
    NodeGrid grid{size, 2.0 / (size - 1), std::vector<double>(static_cast<std::size_t>(size) * size, NotCounted)};
    const double reach = 1 + 1.5 * grid.step;
    std::vector<std::size_t> counted;
    std::vector<TPoint3D> directions;
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i) {
            const Point2 p = grid.node(i, j);
            if (std::hypot(p.x, p.y) > reach) continue;
            counted.push_back(static_cast<std::size_t>(j) * size + i);
            directions.push_back(unprojectPoint(p, projection));
        }
    const std::vector<double> values = density.at(directions);
    for (std::size_t k = 0; k < counted.size(); ++k) grid.values[counted[k]] = values[k];
    return grid;
}

// Marching squares. A crossing lies on a grid edge, named by a number, so
// that the segments of neighbouring cells meet in the same point and can
// be joined into polylines.
class Tracer {
public:
    Tracer(const NodeGrid& grid, double level)
        : grid_(grid), level_(level), points_(edgeCount()), ends_(edgeCount(), {-1, -1}) {}

    std::vector<std::vector<Point2>> lines() {
        for (int j = 0; j + 1 < grid_.size; ++j)
            for (int i = 0; i + 1 < grid_.size; ++i) traceCell(i, j);
        std::vector<std::vector<Point2>> result;
        std::vector<bool> used(segments_.size(), false);
        // Open lines start at an edge with one segment; loops anywhere.
        for (int edge = 0; edge < edgeCount(); ++edge)
            if (ends_[edge][0] >= 0 && ends_[edge][1] < 0 && !used[ends_[edge][0]])
                result.push_back(follow(edge, ends_[edge][0], used));
        for (std::size_t s = 0; s < segments_.size(); ++s)
            if (!used[s]) result.push_back(follow(segments_[s][0], static_cast<int>(s), used));
        return result;
    }

private:
    int edgeCount() const { return 2 * grid_.size * (grid_.size - 1); }
    int horizontal(int i, int j) const { return j * (grid_.size - 1) + i; }
    int vertical(int i, int j) const { return grid_.size * (grid_.size - 1) + i * (grid_.size - 1) + j; }
    bool above(double v) const { return v >= level_; }

    // The crossing on the edge from node a to node b, or -1.
    int crossing(int edge, int ia, int ja, int ib, int jb) {
        const double a = grid_.value(ia, ja), b = grid_.value(ib, jb);
        if (above(a) == above(b)) return -1;
        const double t = (level_ - a) / (b - a);
        const Point2 pa = grid_.node(ia, ja), pb = grid_.node(ib, jb);
        points_[edge] = {pa.x + t * (pb.x - pa.x), pa.y + t * (pb.y - pa.y)};
        return edge;
    }

    void addSegment(int a, int b) {
        const int s = static_cast<int>(segments_.size());
        segments_.push_back({a, b});
        for (int edge : {a, b}) ends_[edge][ends_[edge][0] < 0 ? 0 : 1] = s;
    }

    void traceCell(int i, int j) {
        const double corners[4] = {grid_.value(i, j), grid_.value(i + 1, j), grid_.value(i + 1, j + 1),
                                   grid_.value(i, j + 1)};
        for (double v : corners)
            if (std::isnan(v)) return;
        // Around the cell: bottom, right, top, left.
        const int bottom = crossing(horizontal(i, j), i, j, i + 1, j);
        const int right = crossing(vertical(i + 1, j), i + 1, j, i + 1, j + 1);
        const int top = crossing(horizontal(i, j + 1), i, j + 1, i + 1, j + 1);
        const int left = crossing(vertical(i, j), i, j, i, j + 1);
        std::vector<int> cut;
        for (int edge : {bottom, right, top, left})
            if (edge >= 0) cut.push_back(edge);
        if (cut.size() == 2) {
            addSegment(cut[0], cut[1]);
        } else if (cut.size() == 4) {
            // A saddle: the mean of the corners decides whether the corners
            // on the level's upper side connect through the middle.
            const double centre = (corners[0] + corners[1] + corners[2] + corners[3]) / 4;
            if (above(centre) == above(corners[0])) {
                addSegment(bottom, right);
                addSegment(top, left);
            } else {
                addSegment(left, bottom);
                addSegment(right, top);
            }
        }
    }

    std::vector<Point2> follow(int edge, int segment, std::vector<bool>& used) {
        std::vector<Point2> line{points_[edge]};
        while (segment >= 0 && !used[segment]) {
            used[segment] = true;
            edge = segments_[segment][0] == edge ? segments_[segment][1] : segments_[segment][0];
            line.push_back(points_[edge]);
            segment = ends_[edge][0] == segment ? ends_[edge][1] : ends_[edge][0];
        }
        return line;
    }

    const NodeGrid& grid_;
    double level_;
    std::vector<Point2> points_;           // the crossing on each edge
    std::vector<std::array<int, 2>> ends_; // the segments ending on each edge
    std::vector<std::array<int, 2>> segments_;
};

bool insideNet(Point2 p) { return p.x * p.x + p.y * p.y <= 1; }

// Where the segment p -> q leaves (or enters) the unit circle.
Point2 rimCrossing(Point2 p, Point2 q) {
    const double dx = q.x - p.x, dy = q.y - p.y;
    const double a = dx * dx + dy * dy, b = 2 * (p.x * dx + p.y * dy), c = p.x * p.x + p.y * p.y - 1;
    const double root = std::sqrt(std::max(0.0, b * b - 4 * a * c));
    double t = (-b + root) / (2 * a);
    if (t < 0 || t > 1) t = (-b - root) / (2 * a);
    t = std::clamp(t, 0.0, 1.0);
    return {p.x + t * dx, p.y + t * dy};
}

// The parts of a polyline inside the net.
void addClipped(const std::vector<Point2>& line, std::vector<std::vector<Point2>>& out) {
    std::vector<Point2> piece;
    for (std::size_t k = 0; k < line.size(); ++k) {
        const bool inside = insideNet(line[k]);
        if (k > 0 && inside != insideNet(line[k - 1])) {
            const Point2 rim = rimCrossing(line[k - 1], line[k]);
            if (inside) {
                piece = {rim};
            } else {
                piece.push_back(rim);
                if (piece.size() > 1) out.push_back(std::move(piece));
                piece.clear();
            }
        }
        if (inside) piece.push_back(line[k]);
    }
    if (piece.size() > 1) out.push_back(std::move(piece));
}

} // namespace

std::vector<double> contourLevels(double maximum, int count) {
    if (!(maximum > 0)) return {};
    const double wanted = maximum / count;
    const double decade = std::pow(10, std::floor(std::log10(wanted)));
    double step = 10 * decade;
    for (double m : {1.0, 2.0, 5.0})
        if (m * decade >= wanted) {
            step = m * decade;
            break;
        }
    std::vector<double> levels;
    for (int k = 1; k * step < maximum; ++k) levels.push_back(k * step);
    return levels;
}

DensityContours densityContours(const PoleDensity& density, NetProjection projection, int gridSize,
                                std::vector<double> levels) {
    if (gridSize < 3)
        throw Error(
            inLanguage("等密度线的网格应至少 3×3", "the grid of the density contours should be at least 3 x 3"));
    const NodeGrid grid = densityGrid(density, projection, gridSize);
    DensityContours contours;
    for (int j = 0; j < gridSize; ++j)
        for (int i = 0; i < gridSize; ++i)
            if (insideNet(grid.node(i, j)) && grid.value(i, j) > contours.Maximum) {
                contours.Maximum = grid.value(i, j);
                contours.MaximumAt = unprojectPoint(grid.node(i, j), projection);
            }
    contours.Levels = levels.empty() ? contourLevels(contours.Maximum) : std::move(levels);
    for (double level : contours.Levels) {
        std::vector<std::vector<Point2>> clipped;
        for (const auto& line : Tracer(grid, level).lines()) addClipped(line, clipped);
        contours.Lines.push_back(std::move(clipped));
    }
    return contours;
}

} // namespace trelmox
