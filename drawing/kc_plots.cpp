#include "drawing/kc_plots.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "analysis/full_analysis.h"
#include "drawing/stereonet.h"
#include "model/numtext.h"
#include "model/language.h"

namespace trelmox {
namespace {

// The contact cases as the figures name them.
const char* contactLabel(TWedgeContact contact) {
    switch (contact) {
    case TWedgeContact::NoBlock: return inLanguage("不能切出块体", "no block");
    case TWedgeContact::BothPlanes: return inLanguage("双面接触", "both planes");
    case TWedgeContact::FirstPlaneOnly: return inLanguage("仅第一切割面接触", "plane 1 only");
    case TWedgeContact::SecondPlaneOnly: return inLanguage("仅第二切割面接触", "plane 2 only");
    case TWedgeContact::LiftOff: return inLanguage("浮起", "lift-off");
    case TWedgeContact::Unresolved: return inLanguage("未定", "unresolved");
    }
    return "";
}

// The frame is 1.6 wide and 1 high, the proportions of the windows' plots.
constexpr double FrameWidth = 1.6;
constexpr double TitleHeight = 0.045, LabelHeight = 0.032, TickHeight = 0.028;
const Colour Black{0, 0, 0};
const Colour GridColour{225, 225, 225};
const Colour SafeColour{70, 120, 190};
const Colour FailureColour{210, 60, 50};
const Colour LimitColour{200, 0, 0};

Colour lighter(Colour c) {
    const auto mix = [](std::uint8_t v) { return static_cast<std::uint8_t>(v + (255 - v) * 0.35); };
    return {mix(c.r), mix(c.g), mix(c.b)};
}
Colour darker(Colour c) {
    const auto mix = [](std::uint8_t v) { return static_cast<std::uint8_t>(v * 0.75); };
    return {mix(c.r), mix(c.g), mix(c.b)};
}

// Digits enough to tell ticks `step` apart, and no more.
std::string tickText(double value, double step) {
    const int decimals = std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 12);
    if (std::abs(value) < step * 1e-6) value = 0; // no "-0.0"
    char buffer[48];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals).ptr;
    return std::string(buffer, end);
}

std::string percentText(double fraction) {
    char buffer[48];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, fraction * 100, std::chars_format::fixed, 2).ptr;
    return std::string(buffer, end) + "%";
}

// Four significant digits, never an exponent: a volume reads as "1234" or
// "0.01235".
std::string sizeText(double value) {
    if (!std::isfinite(value)) return "—";
    const int magnitude = value == 0 ? 0 : static_cast<int>(std::floor(std::log10(std::abs(value))));
    const int decimals = std::clamp(3 - magnitude, 0, 8);
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals).ptr;
    return std::string(buffer, end);
}

double tickStep(const std::vector<double>& ticks) { return ticks.size() > 1 ? ticks[1] - ticks[0] : 1; }

// The plotting area inside the frame and the data ranges it shows.
struct PlotArea {
    double left = 0.16, right = 1.54, bottom = 0.24, top = 0.86;
    std::vector<double> xTicks, yTicks;

    double x0() const { return xTicks.front(); }
    double x1() const { return xTicks.back(); }
    double y0() const { return yTicks.front(); }
    double y1() const { return yTicks.back(); }
    Point2 at(double x, double y) const {
        return {left + (x - x0()) / (x1() - x0()) * (right - left),
                bottom + (y - y0()) / (y1() - y0()) * (top - bottom)};
    }
    Point2 clamped(double x, double y) const { return at(std::clamp(x, x0(), x1()), std::clamp(y, y0(), y1())); }
};

PlotArea plotArea(double xLow, double xHigh, double yLow, double yHigh) {
    PlotArea area;
    area.xTicks = roundTicks(xLow, xHigh, 9);
    area.yTicks = roundTicks(yLow, yHigh, 7);
    return area;
}

TextItem text(Point2 at, std::string content, double height, HAlign h, VAlign v, bool bold = false) {
    TextItem item{at, std::move(content), height, Black, h, v, bold};
    return item;
}

Figure emptyPlot(const std::string& title) {
    Figure figure;
    figure.xMin = 0;
    figure.yMin = 0;
    figure.xMax = FrameWidth;
    figure.yMax = 1;
    figure.items.push_back(text({FrameWidth / 2, 0.95}, title, TitleHeight, HAlign::Centre, VAlign::Middle, true));
    return figure;
}

// Grid, frame, ticks with their values, and the axis titles: the x title
// under the values, the y title above the y axis (texts do not turn).
void addAxes(Figure& figure, const PlotArea& area, const std::string& xTitle, const std::string& yTitle) {
    const Pen grid{GridColour, 0.002};
    const double xStep = tickStep(area.xTicks), yStep = tickStep(area.yTicks);
    for (double x : area.xTicks) {
        const Point2 p = area.at(x, area.y0());
        figure.items.push_back(polyline({p, area.at(x, area.y1())}, grid));
        figure.items.push_back(polyline({p, {p.x, p.y - 0.012}}, Pen{Black, 0.002}));
        figure.items.push_back(text({p.x, p.y - 0.02}, tickText(x, xStep), TickHeight, HAlign::Centre, VAlign::Top));
    }
    for (double y : area.yTicks) {
        const Point2 p = area.at(area.x0(), y);
        figure.items.push_back(polyline({p, area.at(area.x1(), y)}, grid));
        figure.items.push_back(polyline({p, {p.x - 0.012, p.y}}, Pen{Black, 0.002}));
        figure.items.push_back(text({p.x - 0.02, p.y}, tickText(y, yStep), TickHeight, HAlign::Right, VAlign::Middle));
    }
    figure.items.push_back(polygon({area.at(area.x0(), area.y0()), area.at(area.x1(), area.y0()),
                                    area.at(area.x1(), area.y1()), area.at(area.x0(), area.y1())},
                                   std::nullopt, Pen{Black, 0.003}));
    figure.items.push_back(
        text({(area.left + area.right) / 2, area.bottom - 0.075}, xTitle, LabelHeight, HAlign::Centre, VAlign::Top));
    figure.items.push_back(text({area.left, area.top + 0.03}, yTitle, LabelHeight, HAlign::Left, VAlign::Bottom));
}

// One entry of the key under the plot: a filled square, a line or a dot.
struct KeyEntry {
    enum Kind { Swatch, Line, Dot } kind;
    Colour colour;
    std::string label;
    LineStyle style = LineStyle::Solid;
};

void addKey(Figure& figure, const std::vector<KeyEntry>& entries) {
    constexpr double Mark = 0.05, Gap = 0.012, Spacing = 0.05, Y = 0.045;
    double width = 0;
    for (const KeyEntry& e : entries) width += Mark + Gap + labelWidth(e.label, LabelHeight) + Spacing;
    double x = (FrameWidth - width + Spacing) / 2;
    for (const KeyEntry& e : entries) {
        switch (e.kind) {
        case KeyEntry::Swatch:
            figure.items.push_back(
                polygon({{x, Y - 0.015}, {x + Mark, Y - 0.015}, {x + Mark, Y + 0.015}, {x, Y + 0.015}},
                        lighter(e.colour), Pen{darker(e.colour), 0.002}));
            break;
        case KeyEntry::Line:
            figure.items.push_back(polyline({{x, Y}, {x + Mark, Y}}, Pen{e.colour, 0.005, e.style}));
            break;
        case KeyEntry::Dot: figure.items.push_back(CircleItem{{x + Mark / 2, Y}, 0.011, std::nullopt, e.colour}); break;
        }
        x += Mark + Gap;
        figure.items.push_back(text({x, Y}, e.label, LabelHeight, HAlign::Left, VAlign::Middle));
        x += labelWidth(e.label, LabelHeight) + Spacing;
    }
}

void addBar(Figure& figure, const PlotArea& area, double left, double right, double count, Colour colour) {
    if (left >= right) return;
    figure.items.push_back(polygon({area.at(left, 0), area.at(right, 0), area.at(right, count), area.at(left, count)},
                                   lighter(colour), Pen{darker(colour), 0.002}));
}

struct HistogramPlot {
    const Histogram& bins;
    std::string factor;   // "Kc", "Fs"
    double limit = 1;     // failure below it
    std::string limitKey; // the key's text of the limit line
    std::string below, above;
    double belowShare = 0;
};

Figure histogramFigure(const HistogramPlot& plot) {
    const std::string limitText = floatToText(plot.limit);
    Figure figure = emptyPlot(inLanguage("安全系数 ", "Safety factor ") + plot.factor +
                              inLanguage(" 直方图    P(", " histogram    P(") + plot.factor + "<" + limitText +
                              ") = " + percentText(plot.belowShare));
    const Histogram& h = plot.bins;
    const double top =
        static_cast<double>(std::max<std::uint64_t>(1, *std::max_element(h.Counts.begin(), h.Counts.end())));
    const PlotArea area = plotArea(std::min(h.Edges.front(), plot.limit - 0.05),
                                   std::max(h.Edges.back(), plot.limit + 0.05), 0, top * 1.08);
    addAxes(figure, area, inLanguage("安全系数 ", "safety factor ") + plot.factor, inLanguage("样本数", "samples"));
    for (std::size_t i = 0; i < h.Counts.size(); ++i) {
        const double left = h.Edges[i], right = h.Edges[i + 1], count = static_cast<double>(h.Counts[i]);
        if (count == 0) continue;
        addBar(figure, area, left, std::min(right, plot.limit), count, FailureColour);
        addBar(figure, area, std::max(left, plot.limit), right, count, SafeColour);
    }
    figure.items.push_back(polyline({area.at(plot.limit, area.y0()), area.at(plot.limit, area.y1())},
                                    Pen{LimitColour, 0.005, LineStyle::Dashed}));
    addKey(figure, {{KeyEntry::Swatch, FailureColour, plot.below},
                    {KeyEntry::Swatch, SafeColour, plot.above},
                    {KeyEntry::Line, LimitColour, plot.limitKey, LineStyle::Dashed}});
    return figure;
}

Colour contactColour(TWedgeContact contact) {
    switch (contact) {
    case TWedgeContact::BothPlanes: return SafeColour;
    case TWedgeContact::FirstPlaneOnly: return {230, 140, 20};
    case TWedgeContact::SecondPlaneOnly: return {40, 150, 70};
    case TWedgeContact::LiftOff: return {100, 100, 100};
    default: return Black;
    }
}

bool cutsWedge(const SensitivityStep& step) {
    return step.Result && step.Result->Contact != TWedgeContact::NoBlock &&
           step.Result->Contact != TWedgeContact::Unresolved;
}

} // namespace

std::vector<double> roundTicks(double low, double high, int count) {
    if (!(high > low)) high = low + 1;
    const double rough = (high - low) / std::max(1, count - 1);
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power * 10;
    for (double factor : {1.0, 2.0, 5.0})
        if (factor * power >= rough * (1 - 1e-9)) {
            step = factor * power;
            break;
        }
    std::vector<double> ticks;
    const double first = std::floor(low / step + 1e-9), last = std::ceil(high / step - 1e-9);
    for (double i = first; i <= last; ++i) ticks.push_back(i * step);
    if (ticks.size() < 2) ticks.push_back(ticks.back() + step);
    return ticks;
}

Figure kcHistogramFigure(const ProbabilisticResult* result) {
    if (!result || result->Cancelled || !result->Statistics || result->Bins.Counts.empty()) {
        Figure figure =
            emptyPlot(inLanguage("安全系数 Kc 直方图（尚未计算）", "Safety factor Kc histogram (not yet computed)"));
        const PlotArea area = plotArea(0, 2, 0, 10);
        addAxes(figure, area, inLanguage("安全系数 Kc", "safety factor Kc"), inLanguage("样本数", "samples"));
        figure.items.push_back(
            polyline({area.at(1, area.y0()), area.at(1, area.y1())}, Pen{LimitColour, 0.005, LineStyle::Dashed}));
        return figure;
    }
    return histogramFigure({result->Bins, "Kc", 1, "Kc = 1", inLanguage("Kc < 1（失稳）", "Kc < 1 (unstable)"),
                            inLanguage("Kc ≥ 1（稳定）", "Kc ≥ 1 (stable)"), result->Statistics->Pf});
}

std::optional<Figure> fsHistogramFigure(const ProbabilisticResult& result) {
    const FullFactorSummary& full = result.Full;
    if (result.Cancelled || !full.Statistics || full.Bins.Counts.empty()) return std::nullopt;
    const std::string required = floatToText(full.RequiredFactor);
    return histogramFigure({full.Bins, "Fs", full.RequiredFactor, "Fst = " + required,
                            "Fs < " + required + inLanguage("（未达要求）", " (below the requirement)"),
                            "Fs ≥ " + required + inLanguage("（满足要求）", " (meets the requirement)"),
                            full.PBelowRequired});
}

Figure failedVolumeFigure(const ProbabilisticResult* result) {
    const FailedWedgeSizes* sizes =
        result && !result->Cancelled && result->Full.FailedSizes ? &*result->Full.FailedSizes : nullptr;
    if (!sizes || sizes->VolumeHistogram.Counts.empty() ||
        sizes->VolumeHistogram.Edges.size() != sizes->VolumeHistogram.Counts.size() + 1) {
        Figure figure = emptyPlot(
            std::string(inLanguage("破坏楔块（Fs<1）体积直方图", "Volume histogram of failed wedges (Fs<1)")) +
            (result && !result->Cancelled ? inLanguage("（没有破坏的楔块）", " (no wedge failed)")
                                          : inLanguage("（尚未计算）", " (not yet computed)")));
        addAxes(figure, plotArea(0, 1, 0, 10), inLanguage("楔块体积 V（m³）", "wedge volume V (m³)"),
                inLanguage("楔块数", "wedges"));
        return figure;
    }
    const Histogram& h = sizes->VolumeHistogram;
    Figure figure =
        emptyPlot(inLanguage("破坏楔块（Fs<1）体积直方图    ", "Volume histogram of failed wedges (Fs<1)    ") +
                  std::to_string(sizes->Count) + inLanguage(" 个，均值 ", " wedges, mean ") +
                  sizeText(sizes->MeanVolume) + " m³");
    const double top =
        static_cast<double>(std::max<std::uint64_t>(1, *std::max_element(h.Counts.begin(), h.Counts.end())));
    const PlotArea area = plotArea(h.Edges.front(), h.Edges.back(), 0, top * 1.08);
    addAxes(figure, area, inLanguage("楔块体积 V（m³）", "wedge volume V (m³)"), inLanguage("楔块数", "wedges"));
    for (std::size_t i = 0; i < h.Counts.size(); ++i)
        if (h.Counts[i])
            addBar(figure, area, h.Edges[i], h.Edges[i + 1], static_cast<double>(h.Counts[i]), FailureColour);
    const Colour percentileColour{40, 40, 40};
    const struct {
        double value;
        LineStyle style;
    } lines[] = {{sizes->Volume5, LineStyle::Dotted},
                 {sizes->Volume50, LineStyle::Dashed},
                 {sizes->Volume95, LineStyle::Dotted}};
    for (const auto& line : lines)
        if (std::isfinite(line.value))
            figure.items.push_back(polyline({area.clamped(line.value, area.y0()), area.clamped(line.value, area.y1())},
                                            Pen{percentileColour, 0.004, line.style}));
    addKey(figure, {{KeyEntry::Swatch, FailureColour, inLanguage("破坏楔块", "failed wedges")},
                    {KeyEntry::Line, percentileColour,
                     inLanguage("中位数 ", "median ") + sizeText(sizes->Volume50) + " m³", LineStyle::Dashed},
                    {KeyEntry::Line, percentileColour,
                     inLanguage("5%、95% 分位 ", "5% and 95% percentiles ") + sizeText(sizes->Volume5) +
                         inLanguage("、", ", ") + sizeText(sizes->Volume95) + " m³",
                     LineStyle::Dotted}});
    return figure;
}

namespace {

const Colour FullFactorColour{120, 60, 170};

// Fs of the real wedge as one dotted curve beside Kc's, broken where the
// real wedge does not exist.
void addFullFactorCurve(Figure& figure, const PlotArea& area, const std::vector<SensitivityStep>& steps,
                        std::vector<KeyEntry>& key) {
    const Pen pen{FullFactorColour, 0.006, LineStyle::Dotted};
    std::vector<Point2> run;
    bool drawn = false;
    const auto endRun = [&] {
        if (run.size() > 1) {
            figure.items.push_back(polyline(run, pen));
            drawn = true;
        }
        run.clear();
    };
    for (const SensitivityStep& step : steps) {
        const auto factor = stepFactor(step, true);
        if (factor)
            run.push_back(area.clamped(step.Value, *factor));
        else
            endRun();
    }
    endRun();
    if (drawn)
        key.push_back(
            {KeyEntry::Line, FullFactorColour, inLanguage("Fs（实际楔块）", "Fs (real wedge)"), LineStyle::Dotted});
}

} // namespace

Figure sensitivityFigure(const std::vector<SensitivityStep>& steps, const std::string& parameter,
                         const std::optional<BlockPoint>& block) {
    Figure figure =
        emptyPlot(inLanguage("安全系数 Kc、Fs 与 ", "Safety factors Kc, Fs against ") + parameter +
                  inLanguage(" 的关系", "") + (steps.empty() ? inLanguage("（尚未计算）", " (not yet computed)") : ""));
    double low = 0, high = 1, top = 2;
    if (!steps.empty()) {
        low = std::min(steps.front().Value, steps.back().Value);
        high = std::max(steps.front().Value, steps.back().Value);
    }
    for (const SensitivityStep& step : steps)
        for (bool full : {false, true})
            if (const auto factor = stepFactor(step, full); factor && std::isfinite(*factor))
                top = std::max(top, *factor * 1.1);
    // The block's own value outside the range widens the axis to include
    // it: drawn at the edge it would read as a value inside the range.
    if (block && !steps.empty() && std::isfinite(block->Value)) {
        low = std::min(low, block->Value);
        high = std::max(high, block->Value);
        if (std::isfinite(block->SafetyFactor)) top = std::max(top, block->SafetyFactor * 1.1);
    }
    const PlotArea area = plotArea(low, high, 0, top);
    addAxes(figure, area, parameter, inLanguage("安全系数 Kc、Fs", "safety factors Kc, Fs"));

    // One polyline per run of steps with the same contact case; where only
    // the case changes the next run starts at the last point, so no gap.
    std::vector<KeyEntry> key;
    std::vector<Point2> run;
    std::optional<TWedgeContact> runContact;
    const auto endRun = [&] {
        if (run.size() > 1) figure.items.push_back(polyline(run, Pen{contactColour(*runContact), 0.006}));
        run.clear();
    };
    for (const SensitivityStep& step : steps) {
        if (!cutsWedge(step)) {
            endRun();
            runContact.reset();
            continue;
        }
        const Point2 p = area.clamped(step.Value, step.Result->SafetyFactor);
        if (runContact && *runContact != step.Result->Contact) {
            const Point2 last = run.back();
            endRun();
            run.push_back(last);
        }
        if (!runContact || *runContact != step.Result->Contact) {
            runContact = step.Result->Contact;
            const std::string label = contactLabel(*runContact);
            if (std::none_of(key.begin(), key.end(), [&](const KeyEntry& e) { return e.label == label; }))
                key.push_back({KeyEntry::Line, contactColour(*runContact), label});
        }
        run.push_back(p);
    }
    endRun();
    addFullFactorCurve(figure, area, steps, key);
    figure.items.push_back(
        polyline({area.at(area.x0(), 1), area.at(area.x1(), 1)}, Pen{LimitColour, 0.005, LineStyle::Dashed}));
    key.push_back({KeyEntry::Line, LimitColour, "Kc = 1", LineStyle::Dashed});
    if (block) {
        figure.items.push_back(CircleItem{area.clamped(block->Value, block->SafetyFactor), 0.013,
                                          Pen{{255, 255, 255}, 0.003}, LimitColour});
        key.push_back({KeyEntry::Dot, LimitColour, inLanguage("块体取值", "the block's value")});
    }
    addKey(figure, key);
    return figure;
}

} // namespace trelmox
