#pragma once
// A picture as a neutral list of primitives in drawing order (later items
// cover earlier ones), in a frame with x to the right and y upwards. The
// windows paint it with their own painter; the command-line tool writes it
// as SVG. All sizes (pen widths, text heights, radii) are in frame units,
// so a picture keeps its proportions at any output size.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace trelmox {

struct Point2 {
    double x = 0, y = 0;
};

struct Colour {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Colour&) const = default;
};

enum class LineStyle { Solid, Dashed, Dotted };

struct Pen {
    Colour colour;
    double width = 0.005;
    LineStyle style = LineStyle::Solid;
};

// An open polyline, or a polygon when closed (then optionally filled).
struct PathItem {
    std::vector<Point2> points;
    std::optional<Pen> pen;
    bool closed = false;
    std::optional<Colour> fill;
};

// A circle; a small filled one marks a point.
struct CircleItem {
    Point2 centre;
    double radius = 0;
    std::optional<Pen> pen;
    std::optional<Colour> fill;
};

enum class HAlign { Left, Centre, Right };
enum class VAlign { Top, Middle, Bottom };

// UTF-8 text; `position` is the point the alignment refers to.
struct TextItem {
    Point2 position;
    std::string text;
    double height = 0.05;
    Colour colour;
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Middle;
    bool bold = false;
};

inline PathItem polyline(std::vector<Point2> points, Pen pen) {
    return PathItem{std::move(points), pen, false, std::nullopt};
}
inline PathItem polygon(std::vector<Point2> points, std::optional<Colour> fill, std::optional<Pen> pen = std::nullopt) {
    return PathItem{std::move(points), pen, true, fill};
}

using FigureItem = std::variant<PathItem, CircleItem, TextItem>;

struct Figure {
    // The frame's visible window; an output keeps its aspect ratio.
    double xMin = -1, yMin = -1, xMax = 1, yMax = 1;
    Colour background{255, 255, 255};
    std::vector<FigureItem> items;
};

// The font family list every output of a figure asks for: the installed
// Chinese font first, so that the labels never fall back to boxes.
inline constexpr const char* FigureFontFamily = "WenQuanYi Micro Hei";

// How a figure's window sits in an output area of width x height pixels:
// as large as fits, centred, y downwards.
struct FigureViewport {
    double scale = 1, offsetX = 0, offsetY = 0, xMin = 0, yMax = 0;
    double x(double fx) const { return offsetX + (fx - xMin) * scale; }
    double y(double fy) const { return offsetY + (yMax - fy) * scale; }
    double length(double l) const { return l * scale; }
    // The frame point under an output pixel, e.g. where the user clicked.
    Point2 framePoint(double px, double py) const {
        return {xMin + (px - offsetX) / scale, yMax - (py - offsetY) / scale};
    }
};
FigureViewport fitFigure(const Figure& figure, double width, double height);

// Where a text's baseline lies below its reference point, as a share of its
// height, so that vertical alignment needs no renderer support.
double baselineShift(VAlign align);

// A standalone SVG document of `width` x `height` pixels, the figure's
// window centred in it. Numbers are written independently of the locale.
std::string svgText(const Figure& figure, int width, int height);

// Writes svgText to `path` (UTF-8, replaced atomically).
void writeSvgFile(const std::filesystem::path& path, const Figure& figure, int width, int height);

} // namespace trelmox
