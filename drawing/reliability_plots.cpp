#include "drawing/reliability_plots.h"

#include <algorithm>
#include <cstdio>

#include "model/language.h"

namespace trelmox {

namespace {

// The frame is 1.6 wide and 1 high, as the other plots.
constexpr double FrameWidth = 1.6;
constexpr double TitleHeight = 0.045, TickHeight = 0.028;
// The bars' axis: alpha from -1 to 1 between these x.
constexpr double AxisLeft = 0.62, AxisRight = 1.28, Top = 0.86, Bottom = 0.2;
const Colour Black{0, 0, 0};
const Colour GridColour{225, 225, 225};
const Colour LoadColour{210, 60, 50};        // alpha > 0: the input's rise leads to failure
const Colour ResistanceColour{70, 120, 190}; // alpha < 0: its fall does

double xOf(double alpha) { return AxisLeft + (alpha + 1) / 2 * (AxisRight - AxisLeft); }

std::string fixed(double value, int decimals) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

TextItem text(Point2 at, std::string content, double height, HAlign h, VAlign v = VAlign::Middle, bool bold = false) {
    return TextItem{at, std::move(content), height, Black, h, v, bold};
}

void addAxis(Figure& figure) {
    for (double alpha : {-1.0, -0.5, 0.0, 0.5, 1.0}) {
        const double x = xOf(alpha);
        figure.items.push_back(polyline({{x, Bottom}, {x, Top}}, Pen{alpha == 0 ? Black : GridColour, 0.002}));
        figure.items.push_back(text({x, Bottom - 0.035}, fixed(alpha, 1), TickHeight, HAlign::Centre));
    }
    figure.items.push_back(text({(AxisLeft + AxisRight) / 2, Bottom - 0.085},
                                inLanguage("重要性系数 α", "importance factor alpha"), TickHeight, HAlign::Centre));
}

} // namespace

Figure alphaFigure(const ReliabilityResult* result) {
    Figure figure;
    figure.xMin = 0, figure.yMin = 0, figure.xMax = FrameWidth, figure.yMax = 1;
    const ReliabilityMode* design = result && result->Design ? &*result->Design : nullptr;
    const std::string title = design ? inLanguage("重要性系数 α（可靠指标 β = ", "Importance factors alpha (beta = ") +
                                           fixed(design->Beta, 3) + inLanguage("）", ")")
                                     : std::string(inLanguage("重要性系数 α（尚无设计验算点）",
                                                              "Importance factors alpha (no design point yet)"));
    figure.items.push_back(text({FrameWidth / 2, 0.95}, title, TitleHeight, HAlign::Centre, VAlign::Middle, true));
    addAxis(figure);
    if (!design) return figure;
    const std::size_t n = std::min(result->Inputs.size(), design->Alpha.size());
    const double row = std::min(0.09, (Top - Bottom) / static_cast<double>(std::max<std::size_t>(n, 1)));
    const double label = std::min(0.032, row * 0.55);
    for (std::size_t k = 0; k < n; ++k) {
        const double alpha = std::clamp(design->Alpha[k], -1.0, 1.0);
        const double middle = Top - row * (static_cast<double>(k) + 0.5);
        const double half = row * 0.32;
        figure.items.push_back(polygon({{xOf(0), middle - half},
                                        {xOf(alpha), middle - half},
                                        {xOf(alpha), middle + half},
                                        {xOf(0), middle + half}},
                                       alpha > 0 ? LoadColour : ResistanceColour));
        figure.items.push_back(
            text({AxisLeft - 0.02, middle}, parameterCaption(result->Inputs[k]), label, HAlign::Right));
        figure.items.push_back(text({AxisRight + 0.02, middle},
                                    fixed(design->Alpha[k], 3) + "  (" + fixed(100 * alpha * alpha, 1) + "%)", label,
                                    HAlign::Left));
    }
    figure.items.push_back(text({FrameWidth / 2, 0.04},
                                inLanguage("α > 0：该输入增大导致失效；α < 0：该输入减小导致失效；括号内为 α² 所占份额",
                                           "alpha > 0: failure as the input rises; alpha < 0: as it falls; in "
                                           "brackets alpha^2, the input's share"),
                                TickHeight * 0.9, HAlign::Centre));
    return figure;
}

} // namespace trelmox
