// The XYZ text reader: one point a line, x y z first (or where a header
// names them), fields separated by blanks, commas, semicolons or tabs,
// further columns skipped. A header line naming x, y, z (and red, green,
// blue) may come first; lines starting with "#" or "//" are comments.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "analysis/cloud/point_cloud.h"
#include "model/error.h"
#include "model/textcodec.h"
#include "model/wording.h"

namespace trelmox {

namespace {

std::vector<std::string_view> fields(std::string_view line) {
    const bool separated = line.find_first_of(",;\t") != std::string_view::npos;
    std::vector<std::string_view> out;
    std::size_t i = 0;
    const auto isSeparator = [&](char c) { return separated ? (c == ',' || c == ';' || c == '\t') : c == ' '; };
    while (i <= line.size()) {
        std::size_t end = i;
        while (end < line.size() && !isSeparator(line[end])) ++end;
        std::string_view f = line.substr(i, end - i);
        while (!f.empty() && (f.front() == ' ' || f.front() == '"')) f.remove_prefix(1);
        while (!f.empty() && (f.back() == ' ' || f.back() == '"')) f.remove_suffix(1);
        // Runs of blanks make one separator.
        if (separated || !f.empty()) out.push_back(f);
        i = end + 1;
    }
    return out;
}

std::optional<double> number(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double v = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return v;
}

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

struct Columns {
    std::size_t X = 0, Y = 1, Z = 2;
    std::optional<std::size_t> Red, Green, Blue;
    std::size_t needed() const {
        std::size_t n = std::max({X, Y, Z}) + 1;
        if (Red) n = std::max({n, *Red + 1, *Green + 1, *Blue + 1});
        return n;
    }
};

std::optional<std::size_t> column(const std::vector<std::string>& names, std::initializer_list<const char*> wanted) {
    for (std::size_t i = 0; i < names.size(); ++i)
        for (const char* w : wanted)
            if (names[i] == w) return i;
    return std::nullopt;
}

Error lineError(int line, const std::string& zh, const std::string& en) {
    return Error::atLine(
        say("XYZ 文件第 " + std::to_string(line) + " 行：" + zh, "XYZ file line " + std::to_string(line) + ": " + en),
        line);
}

Columns headerColumns(const std::vector<std::string_view>& header, int line) {
    std::vector<std::string> names;
    for (std::string_view f : header) names.push_back(lower(f));
    const auto x = column(names, {"x", "//x", "e", "east", "easting"});
    const auto y = column(names, {"y", "n", "north", "northing"});
    const auto z = column(names, {"z", "h", "elevation", "height"});
    if (!x || !y || !z) throw lineError(line, "表头没有 x、y、z 列", "the header names no x, y and z columns");
    Columns c{*x, *y, *z, column(names, {"r", "red"}), column(names, {"g", "green"}), column(names, {"b", "blue"})};
    if (!c.Red || !c.Green || !c.Blue) c.Red.reset();
    return c;
}

// A colour of 0..255; a colour that is no number is black.
std::uint8_t channel(double v) { return v > 0 ? static_cast<std::uint8_t>(std::min(std::round(v), 255.0)) : 0; }

} // namespace

PointCloud readXyz(std::string_view bytes) {
    PointCloud cloud;
    cloud.Format = "XYZ text";
    // A point takes six bytes at least ("0 0 0\n"): what the file can hold.
    cloud.Points.reserve(std::min(bytes.size() / 6, MaxCloudPoints));
    Columns columns;
    bool firstData = true;
    int lineNumber = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(at, end - at);
        at = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string_view::npos) continue;
        line.remove_prefix(start);
        if (line.starts_with("#") || line.starts_with("//")) {
            // "//X Y Z": a header some programs write as a comment.
            if (firstData && line.starts_with("//") && lower(line.substr(2, 1)) == "x") {
                columns = headerColumns(fields(line), lineNumber);
                firstData = false;
            }
            continue;
        }
        const std::vector<std::string_view> f = fields(line);
        if (firstData) {
            firstData = false;
            if (f.size() < 3 || !number(f[0]) || !number(f[1]) || !number(f[2])) {
                columns = headerColumns(f, lineNumber);
                continue;
            }
        }
        if (f.size() < columns.needed())
            throw lineError(lineNumber, "只有 " + std::to_string(f.size()) + " 列",
                            "it has only " + std::to_string(f.size()) + " columns");
        TPoint3D p;
        double* axes[3] = {&p.x, &p.y, &p.z};
        const std::size_t at3[3] = {columns.X, columns.Y, columns.Z};
        for (int a = 0; a < 3; ++a) {
            const auto v = number(f[at3[a]]);
            if (!v) {
                // The field in the message: cut short, whatever is no readable text made visible.
                const std::string field = visibleText(std::string(f[at3[a]].substr(0, 40)));
                throw lineError(lineNumber, "“" + field + "”不是数", "\"" + field + "\" is not a number");
            }
            if (!std::isfinite(*v))
                throw lineError(lineNumber, "坐标不是有限数", "a coordinate is not a finite number");
            *axes[a] = *v;
        }
        if (cloud.Points.size() == MaxCloudPoints)
            throw Error::refused(say("点数超过上限 " + std::to_string(MaxCloudPoints),
                                     "the points exceed the limit of " + std::to_string(MaxCloudPoints)));
        cloud.Points.push_back(p);
        if (columns.Red) {
            const auto r = number(f[*columns.Red]), g = number(f[*columns.Green]), b = number(f[*columns.Blue]);
            if (!r || !g || !b) throw lineError(lineNumber, "颜色不是数", "a colour is not a number");
            cloud.Colours.push_back({channel(*r), channel(*g), channel(*b)});
        }
    }
    if (cloud.Points.empty()) throw Error::refused(inLanguage("XYZ 文件中没有点", "the XYZ file holds no point"));
    return cloud;
}

} // namespace trelmox
