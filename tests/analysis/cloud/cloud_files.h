#pragma once
// Cloud files written byte by byte for the readers' tests: the same points
// as PLY (ASCII, binary little- and big-endian), XYZ text and LAS.
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "model/block.h"

namespace trelmox::test {

template <typename T> void append(std::string& out, T value, bool big = false) {
    char raw[sizeof(T)];
    std::memcpy(raw, &value, sizeof(T));
    if (big != (std::endian::native == std::endian::big))
        for (std::size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(raw[i], raw[sizeof(T) - 1 - i]);
    out.append(raw, sizeof(T));
}

inline std::string plyHeader(const std::string& format, std::size_t count, const std::string& extra = "") {
    return "ply\nformat " + format + " 1.0\ncomment made by a test\n" + extra + "element vertex " +
           std::to_string(count) +
           "\nproperty double x\nproperty double y\nproperty double z\nproperty float nx\nproperty float ny\n"
           "property float nz\nproperty uchar red\nproperty uchar green\nproperty uchar blue\nend_header\n";
}

inline std::string asciiPly(const std::vector<TPoint3D>& points) {
    std::string out = plyHeader("ascii", points.size());
    char line[200];
    for (const TPoint3D& p : points) {
        std::snprintf(line, sizeof line, "%.17g %.17g %.17g 0 0 1 10 20 30\n", p.x, p.y, p.z);
        out += line;
    }
    return out;
}

inline std::string binaryPly(const std::vector<TPoint3D>& points, bool big) {
    std::string out = plyHeader(big ? "binary_big_endian" : "binary_little_endian", points.size());
    for (const TPoint3D& p : points) {
        append(out, p.x, big), append(out, p.y, big), append(out, p.z, big);
        append(out, 0.0f, big), append(out, 0.0f, big), append(out, 1.0f, big);
        append<std::uint8_t>(out, 10), append<std::uint8_t>(out, 20), append<std::uint8_t>(out, 30);
    }
    return out;
}

inline std::string xyzText(const std::vector<TPoint3D>& points) {
    std::string out = "X,Y,Z,intensity\n";
    char line[200];
    for (const TPoint3D& p : points) {
        std::snprintf(line, sizeof line, "%.17g,%.17g,%.17g,7\n", p.x, p.y, p.z);
        out += line;
    }
    return out;
}

// LAS 1.<minor> with point format 2 (1.2) or 7 (1.4), coordinates scaled by
// `scale` from an offset; classification 2 (ground) unless given.
inline std::string lasFile(const std::vector<TPoint3D>& points, int minor, double scale,
                           const std::vector<int>& classes = {}) {
    const int format = minor >= 4 ? 7 : 2;
    const std::uint16_t headerBytes = minor >= 4 ? 375 : 227;
    const std::uint16_t recordBytes = format == 7 ? 36 : 26;
    std::string out(headerBytes, '\0');
    std::memcpy(out.data(), "LASF", 4);
    out[24] = 1, out[25] = static_cast<char>(minor);
    const auto put = [&](std::size_t at, auto value) { std::memcpy(out.data() + at, &value, sizeof value); };
    put(94, headerBytes);
    put(96, std::uint32_t{headerBytes});
    out[104] = static_cast<char>(format);
    put(105, recordBytes);
    put(107, std::uint32_t(minor >= 4 ? 0 : points.size()));
    const double offset[3] = {500000, 3000000, 100};
    for (int a = 0; a < 3; ++a) put(131 + 8 * a, scale), put(155 + 8 * a, offset[a]);
    if (minor >= 4) put(247, std::uint64_t{points.size()});
    for (std::size_t i = 0; i < points.size(); ++i) {
        std::string record(recordBytes, '\0');
        const double xyz[3] = {points[i].x, points[i].y, points[i].z};
        for (int a = 0; a < 3; ++a) {
            const auto v = static_cast<std::int32_t>(std::llround((xyz[a] - offset[a]) / scale));
            std::memcpy(record.data() + 4 * a, &v, 4);
        }
        const int cls = i < classes.size() ? classes[i] : 2;
        record[format == 7 ? 16 : 15] = static_cast<char>(cls);
        const std::uint16_t rgb[3] = {10 << 8, 20 << 8, 30 << 8};
        std::memcpy(record.data() + (format == 7 ? 30 : 20), rgb, 6);
        out += record;
    }
    return out;
}

inline std::filesystem::path writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

} // namespace trelmox::test
