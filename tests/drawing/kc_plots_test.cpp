#include "drawing/kc_plots.h"

#include <gtest/gtest.h>

#include <cmath>

namespace trelmox {
namespace {

std::vector<const PathItem*> paths(const Figure& figure, bool filled) {
    std::vector<const PathItem*> found;
    for (const FigureItem& item : figure.items)
        if (const auto* path = std::get_if<PathItem>(&item); path && path->fill.has_value() == filled)
            found.push_back(path);
    return found;
}

bool hasText(const Figure& figure, const std::string& part) {
    for (const FigureItem& item : figure.items)
        if (const auto* text = std::get_if<TextItem>(&item); text && text->text.find(part) != std::string::npos)
            return true;
    return false;
}

// The dashed line of the limit: the one vertical dashed path.
double limitX(const Figure& figure) {
    for (const PathItem* path : paths(figure, false))
        if (path->pen && path->pen->style == LineStyle::Dashed && path->points.size() == 2 &&
            path->points[0].x == path->points[1].x && path->points[0].y != path->points[1].y)
            return path->points[0].x;
    ADD_FAILURE() << "no limit line";
    return 0;
}

SensitivityStep step(double value, std::optional<TWedgeContact> contact, double kc = 1.2) {
    SensitivityStep s;
    s.Value = value;
    if (contact) s.Result = SafetyResult{kc, *contact};
    return s;
}

} // namespace

TEST(RoundTicks, CoverTheRangeInRoundSteps) {
    const struct {
        double low, high;
        int count;
        double step;
    } cases[] = {{0.95, 1.7, 9, 0.1}, {0, 10.8, 7, 2}, {0, 1, 9, 0.2},
                 {-30, 30, 9, 10},    {5, 5, 9, 0.2},  {0, 24000, 7, 5000}};
    for (const auto& c : cases) {
        const std::vector<double> ticks = roundTicks(c.low, c.high, c.count);
        ASSERT_GE(ticks.size(), 2u);
        EXPECT_LE(ticks.front(), c.low + 1e-12);
        EXPECT_GE(ticks.back(), std::max(c.high, c.low) - 1e-12);
        for (std::size_t i = 1; i < ticks.size(); ++i) EXPECT_NEAR(ticks[i] - ticks[i - 1], c.step, c.step * 1e-9);
        EXPECT_LE(static_cast<int>(ticks.size()), 2 * c.count);
    }
}

// A bar never straddles the limit: the part below it is coloured as failure.
TEST(KcHistogram, BarsSplitAtTheLimit) {
    ProbabilisticResult result;
    result.Statistics = SafetyStatistics{1.0, 0.1, 0.8, 1.25, 0.4};
    result.Bins = {{0.8, 0.9, 0.95, 1.05, 1.25}, {3, 5, 8, 4}};
    const Figure figure = kcHistogramFigure(&result);
    const double limit = limitX(figure);
    std::vector<Colour> below, above;
    for (const PathItem* bar : paths(figure, true)) {
        double left = bar->points[0].x, right = left, bottom = bar->points[0].y;
        for (const Point2& p : bar->points)
            left = std::min(left, p.x), right = std::max(right, p.x), bottom = std::min(bottom, p.y);
        if (bottom < 0.2) continue; // the key's swatches, under the plot
        EXPECT_TRUE(right <= limit + 1e-12 || left >= limit - 1e-12) << left << " " << right;
        (right <= limit + 1e-12 ? below : above).push_back(*bar->fill);
    }
    ASSERT_FALSE(below.empty());
    ASSERT_FALSE(above.empty());
    EXPECT_NE(below.front(), above.front());
    EXPECT_TRUE(hasText(figure, "P(Kc<1) = 40.00%"));

    EXPECT_TRUE(hasText(kcHistogramFigure(nullptr), "（尚未计算）"));
    result.Cancelled = true;
    EXPECT_TRUE(hasText(kcHistogramFigure(&result), "（尚未计算）"));
}

// A step that failed or cut out no wedge breaks the curve; a change of
// contact case alone does not.
TEST(SensitivityPlot, GapsOnlyWhereThereIsNoFactor) {
    const auto curves = [](const std::vector<SensitivityStep>& steps) {
        std::vector<PathItem> found;
        const Figure figure = sensitivityFigure(steps, "f1", std::nullopt);
        for (const PathItem* path : paths(figure, false))
            if (path->pen && path->pen->width == 0.006) found.push_back(*path);
        return found;
    };
    const auto both = TWedgeContact::BothPlanes, first = TWedgeContact::FirstPlaneOnly;
    EXPECT_EQ(curves({step(0, both), step(1, both), step(2, std::nullopt), step(3, both), step(4, both)}).size(), 2u);
    EXPECT_EQ(curves({step(0, both), step(1, both), step(2, TWedgeContact::NoBlock), step(3, both)}).size(), 1u);
    const auto changing = curves({step(0, both), step(1, both), step(2, first), step(3, first)});
    ASSERT_EQ(changing.size(), 2u);
    EXPECT_EQ(changing[0].points.back().x, changing[1].points.front().x);
    EXPECT_EQ(changing[0].points.back().y, changing[1].points.front().y);
}

// The block's value outside the range is drawn where it lies, the axis
// widened to it, not at the range's edge as if inside.
TEST(SensitivityPlot, BlockValueOutsideTheRangeWidensTheAxis) {
    const auto both = TWedgeContact::BothPlanes;
    const std::vector<SensitivityStep> steps{step(0.546, both), step(0.573, both), step(0.6, both)};
    for (const double value : {0.364, 0.58, 0.8}) {
        SCOPED_TRACE(value);
        const Figure figure = sensitivityFigure(steps, "f1", BlockPoint{value, 1.1});
        const PathItem* curve = nullptr;
        for (const PathItem* path : paths(figure, false))
            if (path->pen && path->pen->width == 0.006) curve = path;
        const CircleItem* dot = nullptr;
        for (const FigureItem& item : figure.items)
            if (const auto* circle = std::get_if<CircleItem>(&item); circle && !dot)
                dot = circle; // the key's dot follows
        ASSERT_TRUE(curve && dot);
        const double first = curve->points.front().x, last = curve->points.back().x;
        if (value < 0.546)
            EXPECT_LT(dot->centre.x, first);
        else if (value > 0.6)
            EXPECT_GT(dot->centre.x, last);
        else
            EXPECT_TRUE(dot->centre.x > first && dot->centre.x < last);
    }
}

} // namespace trelmox
