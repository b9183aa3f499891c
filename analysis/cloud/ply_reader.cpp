// The PLY reader: ASCII and binary (little- and big-endian) files, the
// vertex element's x, y, z and colours; normals, other properties and other
// elements (faces of a mesh) are skipped. Elements before the vertices are
// walked over, lists included, with every step checked against the bytes.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "analysis/cloud/byte_reader.h"
#include "analysis/cloud/point_cloud.h"
#include "model/error.h"
#include "model/textcodec.h"
#include "model/wording.h"

namespace trelmox {

namespace {

using cloud_bytes::loadNumber;

constexpr std::size_t MaxHeaderBytes = 64 * 1024;

enum class Type { Int8, UInt8, Int16, UInt16, Int32, UInt32, Float32, Float64 };

std::optional<Type> typeNamed(std::string_view name) {
    if (name == "char" || name == "int8") return Type::Int8;
    if (name == "uchar" || name == "uint8") return Type::UInt8;
    if (name == "short" || name == "int16") return Type::Int16;
    if (name == "ushort" || name == "uint16") return Type::UInt16;
    if (name == "int" || name == "int32") return Type::Int32;
    if (name == "uint" || name == "uint32") return Type::UInt32;
    if (name == "float" || name == "float32") return Type::Float32;
    if (name == "double" || name == "float64") return Type::Float64;
    return std::nullopt;
}

std::size_t sizeOf(Type type) {
    switch (type) {
    case Type::Int8:
    case Type::UInt8: return 1;
    case Type::Int16:
    case Type::UInt16: return 2;
    case Type::Int32:
    case Type::UInt32:
    case Type::Float32: return 4;
    case Type::Float64: return 8;
    }
    return 1;
}

struct Property {
    std::string Name;
    Type Value = Type::Float32;
    std::optional<Type> ListCount; // set for a list property
};

struct Element {
    std::string Name;
    std::uint64_t Count = 0;
    std::vector<Property> Properties;
    // Bytes of one record when no property is a list, else the least.
    std::size_t leastRecordBytes() const {
        std::size_t bytes = 0;
        for (const Property& p : Properties) bytes += p.ListCount ? sizeOf(*p.ListCount) : sizeOf(p.Value);
        return bytes;
    }
    bool fixedSize() const {
        return std::none_of(Properties.begin(), Properties.end(), [](const Property& p) { return p.ListCount; });
    }
};

enum class Encoding { Ascii, Little, Big };

struct Header {
    Encoding Format = Encoding::Ascii;
    std::vector<Element> Elements;
    std::size_t DataStart = 0; // offset of the first byte after end_header's line
};

Error headerError(const std::string& zh, const std::string& en) {
    return Error::refused(say("PLY 文件头：" + zh, "PLY header: " + en));
}

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

// A word of the file in a message: cut short, and whatever is no readable
// text made visible.
std::string shown(std::string_view word) { return visibleText(std::string(word.substr(0, 40))); }

Header parseHeader(std::string_view bytes) {
    Header header;
    std::size_t at = 0;
    bool formatSeen = false;
    for (int lineNumber = 1;; ++lineNumber) {
        const std::size_t end = bytes.find('\n', at);
        if (end == std::string_view::npos || end > MaxHeaderBytes)
            throw headerError("没有 end_header 行", "no end_header line");
        std::string_view line = bytes.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        at = end + 1;
        const std::vector<std::string_view> w = words(line);
        if (lineNumber == 1) {
            if (w.size() != 1 || w[0] != "ply") throw headerError("第一行不是 ply", "the first line is not \"ply\"");
            continue;
        }
        if (w.empty() || w[0] == "comment" || w[0] == "obj_info") continue;
        if (w[0] == "end_header") break;
        if (w[0] == "format") {
            if (w.size() != 3 || w[2] != "1.0")
                throw headerError("format 行应为 format <编码> 1.0", "the format line should be format <encoding> 1.0");
            if (w[1] == "ascii")
                header.Format = Encoding::Ascii;
            else if (w[1] == "binary_little_endian")
                header.Format = Encoding::Little;
            else if (w[1] == "binary_big_endian")
                header.Format = Encoding::Big;
            else
                throw headerError("未知编码 " + shown(w[1]), "unknown encoding " + shown(w[1]));
            formatSeen = true;
        } else if (w[0] == "element") {
            std::uint64_t count = 0;
            if (w.size() != 3 ||
                std::from_chars(w[2].data(), w[2].data() + w[2].size(), count).ptr != w[2].data() + w[2].size())
                throw headerError("element 行应为 element <名称> <个数>",
                                  "the element line should be element <name> <count>");
            header.Elements.push_back({std::string(w[1]), count, {}});
        } else if (w[0] == "property") {
            if (header.Elements.empty())
                throw headerError("property 行之前没有 element 行", "a property line before any element line");
            Property p;
            if (w.size() == 5 && w[1] == "list") {
                p.ListCount = typeNamed(w[2]);
                const auto value = typeNamed(w[3]);
                if (!p.ListCount || !value || *p.ListCount == Type::Float32 || *p.ListCount == Type::Float64)
                    throw headerError("列表属性 " + shown(w[4]) + " 的类型无效",
                                      "the list property " + shown(w[4]) + " has an invalid type");
                p.Value = *value;
                p.Name = w[4];
            } else if (w.size() == 3) {
                const auto value = typeNamed(w[1]);
                if (!value) throw headerError("未知类型 " + shown(w[1]), "unknown type " + shown(w[1]));
                p.Value = *value;
                p.Name = w[2];
            } else {
                throw headerError("第 " + std::to_string(lineNumber) + " 行的 property 行无效",
                                  "invalid property line " + std::to_string(lineNumber));
            }
            header.Elements.back().Properties.push_back(std::move(p));
        } else {
            throw headerError("第 " + std::to_string(lineNumber) + " 行无法识别：" + shown(w[0]),
                              "line " + std::to_string(lineNumber) + " is not understood: " + shown(w[0]));
        }
    }
    if (!formatSeen) throw headerError("没有 format 行", "no format line");
    header.DataStart = at;
    return header;
}

// Where the vertex element keeps what the reader takes.
struct VertexLayout {
    std::size_t X = 0, Y = 0, Z = 0;
    std::optional<std::size_t> Red, Green, Blue;
};

std::optional<std::size_t> propertyIndex(const Element& e, std::initializer_list<std::string_view> names) {
    for (std::size_t i = 0; i < e.Properties.size(); ++i)
        for (std::string_view name : names)
            if (e.Properties[i].Name == name && !e.Properties[i].ListCount) return i;
    return std::nullopt;
}

VertexLayout layoutOf(const Element& vertex) {
    const auto x = propertyIndex(vertex, {"x"}), y = propertyIndex(vertex, {"y"}), z = propertyIndex(vertex, {"z"});
    if (!x || !y || !z) throw headerError("vertex 元素缺少 x、y 或 z 属性", "the vertex element lacks x, y or z");
    VertexLayout layout{*x,
                        *y,
                        *z,
                        propertyIndex(vertex, {"red", "diffuse_red", "r"}),
                        propertyIndex(vertex, {"green", "diffuse_green", "g"}),
                        propertyIndex(vertex, {"blue", "diffuse_blue", "b"})};
    if (!layout.Red || !layout.Green || !layout.Blue) layout.Red.reset();
    return layout;
}

// A colour channel as 0..255 whatever its type: floats are taken as 0..1,
// 16-bit integers as 0..65535.
std::uint8_t channel(double value, Type type) {
    double scaled = value;
    if (type == Type::Float32 || type == Type::Float64)
        scaled = value * 255;
    else if (type == Type::UInt16 || type == Type::Int16)
        scaled = value / 257;
    if (!(scaled > 0)) return 0;
    return static_cast<std::uint8_t>(std::min(255.0, std::round(scaled)));
}

Error pointError(std::uint64_t point, const std::string& zh, const std::string& en) {
    return Error::refused(say("PLY 第 " + std::to_string(point + 1) + " 个点：" + zh,
                              "PLY point " + std::to_string(point + 1) + ": " + en));
}

// The values of one record, read from the binary data at `at`.
class BinaryRecords {
public:
    BinaryRecords(std::string_view bytes, std::size_t at, bool big) : bytes_(bytes), at_(at), big_(big) {}

    double value(Type type, const std::string& what) {
        if (bytes_.size() - at_ < sizeOf(type)) throw cloud_bytes::truncated(what);
        const char* p = bytes_.data() + at_;
        at_ += sizeOf(type);
        switch (type) {
        case Type::Int8: return loadNumber<std::int8_t>(p, big_);
        case Type::UInt8: return loadNumber<std::uint8_t>(p, big_);
        case Type::Int16: return loadNumber<std::int16_t>(p, big_);
        case Type::UInt16: return loadNumber<std::uint16_t>(p, big_);
        case Type::Int32: return loadNumber<std::int32_t>(p, big_);
        case Type::UInt32: return loadNumber<std::uint32_t>(p, big_);
        case Type::Float32: return loadNumber<float>(p, big_);
        case Type::Float64: return loadNumber<double>(p, big_);
        }
        return 0;
    }
    void skipList(const Property& p, const std::string& what) {
        const double count = value(*p.ListCount, what);
        if (count < 0 || count * sizeOf(p.Value) > static_cast<double>(bytes_.size() - at_))
            throw cloud_bytes::truncated(what);
        at_ += static_cast<std::size_t>(count) * sizeOf(p.Value);
    }
    std::size_t position() const { return at_; }

private:
    std::string_view bytes_;
    std::size_t at_;
    bool big_;
};

// The values of one record, read from ASCII data: blank-separated words.
class AsciiRecords {
public:
    AsciiRecords(std::string_view bytes, std::size_t at) : bytes_(bytes), at_(at) {}

    double value(Type, const std::string& what) {
        while (at_ < bytes_.size() && std::isspace(static_cast<unsigned char>(bytes_[at_]))) ++at_;
        if (at_ == bytes_.size()) throw cloud_bytes::truncated(what);
        const char* first = bytes_.data() + at_;
        const char* last = bytes_.data() + bytes_.size();
        double v = 0;
        auto [end, error] = std::from_chars(first, last, v);
        // A word that is no number, or one followed by letters.
        if (error != std::errc() || (end != last && !std::isspace(static_cast<unsigned char>(*end)))) {
            const char* stop = first;
            while (stop != last && !std::isspace(static_cast<unsigned char>(*stop))) ++stop;
            throw Error::refused(
                say(what + "的“" + shown(std::string_view(first, stop - first)) + "”不是数",
                    "\"" + shown(std::string_view(first, stop - first)) + "\" in " + what + " is not a number"));
        }
        at_ = end - bytes_.data();
        return v;
    }
    void skipList(const Property& p, const std::string& what) {
        const double count = value(*p.ListCount, what);
        // Each listed value takes two bytes at least (a digit and a blank).
        if (!(count >= 0) || count > static_cast<double>(bytes_.size() - at_) / 2) throw cloud_bytes::truncated(what);
        for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) value(p.Value, what);
    }
    std::size_t position() const { return at_; }

private:
    std::string_view bytes_;
    std::size_t at_;
};

std::string elementWhat(const Element& e) { return say("元素 " + shown(e.Name), "element " + shown(e.Name)); }

// Least bytes a record takes in the file: binary records their fixed
// part, ASCII ones a character and a separator per value.
std::size_t leastBytes(const Element& e, Encoding format) {
    return format == Encoding::Ascii ? 2 * e.Properties.size() : e.leastRecordBytes();
}

void checkCount(const Element& e, Encoding format, std::size_t remaining) {
    const std::size_t least = std::max<std::size_t>(1, leastBytes(e, format));
    if (e.Count > remaining / least + (format == Encoding::Ascii ? 1 : 0))
        throw headerError("声明 " + shown(e.Name) + " 有 " + std::to_string(e.Count) + " 个，文件却只有 " +
                              std::to_string(remaining) + " 字节数据",
                          "it states " + std::to_string(e.Count) + " of " + shown(e.Name) + " but the file has only " +
                              std::to_string(remaining) + " bytes of data");
}

template <typename Records> void skipElement(const Element& e, Records& records) {
    const std::string what = elementWhat(e);
    for (std::uint64_t i = 0; i < e.Count; ++i)
        for (const Property& p : e.Properties) {
            if (p.ListCount)
                records.skipList(p, what);
            else
                records.value(p.Value, what);
        }
}

template <typename Records>
void readVertices(const Element& vertex, const VertexLayout& layout, Records& records, PointCloud& cloud) {
    cloud.Points.resize(vertex.Count);
    if (layout.Red) cloud.Colours.resize(vertex.Count);
    std::vector<double> values(vertex.Properties.size());
    const std::string what = inLanguage("点", "a point");
    for (std::uint64_t i = 0; i < vertex.Count; ++i) {
        try {
            for (std::size_t k = 0; k < vertex.Properties.size(); ++k) {
                const Property& p = vertex.Properties[k];
                if (p.ListCount)
                    records.skipList(p, what);
                else
                    values[k] = records.value(p.Value, what);
            }
        } catch (const Error& e) {
            throw e.prefixed(
                say("PLY 第 " + std::to_string(i + 1) + " 个点：", "PLY point " + std::to_string(i + 1) + ": "));
        }
        const TPoint3D point{values[layout.X], values[layout.Y], values[layout.Z]};
        if (!std::isfinite(point.x) || !std::isfinite(point.y) || !std::isfinite(point.z))
            throw pointError(i, "坐标不是有限数", "a coordinate is not a finite number");
        cloud.Points[i] = point;
        if (layout.Red)
            cloud.Colours[i] = {channel(values[*layout.Red], vertex.Properties[*layout.Red].Value),
                                channel(values[*layout.Green], vertex.Properties[*layout.Green].Value),
                                channel(values[*layout.Blue], vertex.Properties[*layout.Blue].Value)};
    }
}

template <typename Records> void readBody(const Header& header, Records records, PointCloud& cloud) {
    for (const Element& e : header.Elements) {
        if (e.Name == "vertex") {
            readVertices(e, layoutOf(e), records, cloud);
            return;
        }
        skipElement(e, records);
    }
}

} // namespace

PointCloud readPly(std::string_view bytes) {
    const Header header = parseHeader(bytes);
    const auto vertex = std::find_if(header.Elements.begin(), header.Elements.end(),
                                     [](const Element& e) { return e.Name == "vertex"; });
    if (vertex == header.Elements.end()) throw headerError("没有 vertex 元素", "no vertex element");
    layoutOf(*vertex);
    // Every element up to the vertices must fit in what follows the header.
    std::size_t remaining = bytes.size() - header.DataStart;
    for (auto e = header.Elements.begin(); e <= vertex; ++e) {
        checkCount(*e, header.Format, remaining);
        if (header.Format != Encoding::Ascii) remaining -= e->Count * e->leastRecordBytes();
    }
    if (vertex->Count > MaxCloudPoints)
        throw headerError("点数 " + std::to_string(vertex->Count) + " 超过上限 " + std::to_string(MaxCloudPoints),
                          "the " + std::to_string(vertex->Count) + " points exceed the limit of " +
                              std::to_string(MaxCloudPoints));
    PointCloud cloud;
    if (header.Format == Encoding::Ascii) {
        cloud.Format = "PLY ASCII";
        readBody(header, AsciiRecords(bytes, header.DataStart), cloud);
    } else {
        const bool big = header.Format == Encoding::Big;
        cloud.Format = big ? "PLY binary big-endian" : "PLY binary little-endian";
        readBody(header, BinaryRecords(bytes, header.DataStart, big), cloud);
    }
    if (cloud.Points.empty()) throw Error::refused(inLanguage("PLY 文件中没有点", "the PLY file holds no point"));
    return cloud;
}

} // namespace trelmox
