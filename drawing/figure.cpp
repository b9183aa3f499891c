#include "drawing/figure.h"

#include <algorithm>
#include <charconv>

#include "model/files.h"

namespace trelmox {
namespace {

// Two decimals are a hundredth of a pixel: plenty, and locale-free.
std::string number(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    return std::string(buffer, result.ptr);
}

std::string colourText(const Colour& c) {
    static const char* hex = "0123456789abcdef";
    std::string text = "#";
    for (std::uint8_t channel : {c.r, c.g, c.b}) {
        text += hex[channel >> 4];
        text += hex[channel & 15];
    }
    return text;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char ch : text) {
        switch (ch) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += ch;
        }
    }
    return out;
}

std::string strokeAttributes(const std::optional<Pen>& pen, const FigureViewport& map) {
    if (!pen) return " stroke=\"none\"";
    const double width = map.length(pen->width);
    std::string text = " stroke=\"" + colourText(pen->colour) + "\" stroke-width=\"" + number(width) + "\"";
    if (pen->style == LineStyle::Dashed)
        text += " stroke-dasharray=\"" + number(width * 5) + "," + number(width * 3) + "\"";
    else if (pen->style == LineStyle::Dotted)
        text += " stroke-dasharray=\"" + number(width) + "," + number(width * 2) + "\"";
    return text + " stroke-linejoin=\"round\" stroke-linecap=\"round\"";
}

std::string fillAttribute(const std::optional<Colour>& fill) {
    return " fill=\"" + (fill ? colourText(*fill) : std::string("none")) + "\"";
}

std::string element(const PathItem& path, const FigureViewport& map) {
    std::string points;
    for (const Point2& p : path.points) points += number(map.x(p.x)) + "," + number(map.y(p.y)) + " ";
    const char* tag = path.closed ? "polygon" : "polyline";
    return std::string("<") + tag + " points=\"" + points + "\"" + strokeAttributes(path.pen, map) +
           fillAttribute(path.closed ? path.fill : std::nullopt) + "/>\n";
}

std::string element(const CircleItem& circle, const FigureViewport& map) {
    return "<circle cx=\"" + number(map.x(circle.centre.x)) + "\" cy=\"" + number(map.y(circle.centre.y)) + "\" r=\"" +
           number(map.length(circle.radius)) + "\"" + strokeAttributes(circle.pen, map) + fillAttribute(circle.fill) +
           "/>\n";
}

const char* anchorName(HAlign align) {
    switch (align) {
    case HAlign::Left: return "start";
    case HAlign::Centre: return "middle";
    case HAlign::Right: return "end";
    }
    return "start";
}

std::string element(const TextItem& text, const FigureViewport& map) {
    const double size = map.length(text.height);
    return "<text x=\"" + number(map.x(text.position.x)) + "\" y=\"" +
           number(map.y(text.position.y) + size * baselineShift(text.vAlign)) + "\" font-size=\"" + number(size) +
           "\" text-anchor=\"" + anchorName(text.hAlign) + "\" fill=\"" + colourText(text.colour) + "\"" +
           (text.bold ? " font-weight=\"bold\"" : "") + ">" + escaped(text.text) + "</text>\n";
}

} // namespace

FigureViewport fitFigure(const Figure& figure, double width, double height) {
    const double frameW = std::max(figure.xMax - figure.xMin, 1e-12);
    const double frameH = std::max(figure.yMax - figure.yMin, 1e-12);
    FigureViewport viewport;
    viewport.scale = std::min(width / frameW, height / frameH);
    viewport.offsetX = (width - frameW * viewport.scale) / 2;
    viewport.offsetY = (height - frameH * viewport.scale) / 2;
    viewport.xMin = figure.xMin;
    viewport.yMax = figure.yMax;
    return viewport;
}

double baselineShift(VAlign align) {
    switch (align) {
    case VAlign::Top: return 0.8;
    case VAlign::Middle: return 0.35;
    case VAlign::Bottom: return 0.0;
    }
    return 0.0;
}

std::string svgText(const Figure& figure, int width, int height) {
    const FigureViewport map = fitFigure(figure, width, height);
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      std::to_string(width) + "\" height=\"" + std::to_string(height) + "\" viewBox=\"0 0 " +
                      std::to_string(width) + " " + std::to_string(height) + "\" font-family=\"" + FigureFontFamily +
                      ", sans-serif\">\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"" + colourText(figure.background) + "\"/>\n";
    for (const FigureItem& item : figure.items)
        svg += std::visit([&map](const auto& primitive) { return element(primitive, map); }, item);
    return svg + "</svg>\n";
}

void writeSvgFile(const std::filesystem::path& path, const Figure& figure, int width, int height) {
    writeFileAtomically(path, svgText(figure, width, height));
}

} // namespace trelmox
