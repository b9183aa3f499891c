// The LAS reader: versions 1.0 to 1.4, point formats 0 to 10, uncompressed.
// The public format is small enough to read directly: a fixed header, the
// variable-length records (skipped), then fixed-size point records whose
// integer coordinates are scaled and offset into the survey's units. A LAZ
// file (the same format compressed) is refused with how to convert it.
#include <array>
#include <cmath>
#include <string>

#include "analysis/cloud/byte_reader.h"
#include "analysis/cloud/point_cloud.h"
#include "model/error.h"
#include "model/wording.h"

namespace trelmox {

namespace {

using cloud_bytes::littleAt;

constexpr std::size_t LeastHeaderBytes = 227; // LAS 1.0 to 1.2
constexpr std::size_t Las13HeaderBytes = 235;
constexpr std::size_t Las14HeaderBytes = 375;

// The fixed part of each point format's record, in bytes.
constexpr std::array<std::size_t, 11> RecordBytes = {20, 28, 26, 34, 57, 63, 30, 36, 38, 59, 67};

Error lasError(const std::string& zh, const std::string& en) {
    return Error::refused(say("LAS 文件头：" + zh, "LAS header: " + en));
}

// Where a format keeps its colour, if it has one.
std::optional<std::size_t> colourOffset(int format) {
    switch (format) {
    case 2: return 20;
    case 3:
    case 5: return 28;
    case 7:
    case 8:
    case 10: return 30;
    default: return std::nullopt;
    }
}

// Vegetation (low, medium, high) and noise (low, high): the scanner's own
// software has told them from the ground, and they are no part of the rock.
bool leftOut(int classification) {
    return classification == 3 || classification == 4 || classification == 5 || classification == 7 ||
           classification == 18;
}

struct LasHeader {
    int Major = 0, Minor = 0;
    std::size_t HeaderBytes = 0, PointStart = 0, RecordLength = 0;
    int Format = 0;
    std::uint64_t Count = 0;
    std::array<double, 3> Scale{}, Offset{};
};

LasHeader parseHeader(std::string_view bytes) {
    if (bytes.size() < LeastHeaderBytes)
        throw lasError("文件只有 " + std::to_string(bytes.size()) + " 字节，短于文件头",
                       "the file has only " + std::to_string(bytes.size()) + " bytes, less than its header");
    LasHeader h;
    h.Major = static_cast<unsigned char>(bytes[24]);
    h.Minor = static_cast<unsigned char>(bytes[25]);
    h.HeaderBytes = littleAt<std::uint16_t>(bytes, 94);
    h.PointStart = littleAt<std::uint32_t>(bytes, 96);
    const int formatByte = static_cast<unsigned char>(bytes[104]);
    h.RecordLength = littleAt<std::uint16_t>(bytes, 105);
    h.Count = littleAt<std::uint32_t>(bytes, 107);
    for (int a = 0; a < 3; ++a) {
        h.Scale[a] = littleAt<double>(bytes, 131 + 8 * a);
        h.Offset[a] = littleAt<double>(bytes, 155 + 8 * a);
    }
    // LASzip marks its compressed points by the format's top bits.
    if (formatByte & 0xC0)
        throw Error::refused(inLanguage("这是压缩的 LAZ 文件，不能直接读取：请先解压为 LAS，例如 laszip -i 文件.laz -o "
                                        "文件.las，或 pdal translate 文件.laz 文件.las",
                                        "this is a compressed LAZ file, which is not read directly: convert it to LAS "
                                        "first, e.g. laszip -i file.laz -o file.las, or pdal translate file.laz "
                                        "file.las"));
    if (h.Major != 1 || h.Minor > 4)
        throw lasError("版本 " + std::to_string(h.Major) + "." + std::to_string(h.Minor) + " 不是 1.0 到 1.4",
                       "version " + std::to_string(h.Major) + "." + std::to_string(h.Minor) + " is not 1.0 to 1.4");
    const std::size_t leastHeader = h.Minor >= 4   ? Las14HeaderBytes
                                    : h.Minor == 3 ? Las13HeaderBytes
                                                   : LeastHeaderBytes;
    if (h.HeaderBytes < leastHeader || h.HeaderBytes > bytes.size())
        throw lasError("文件头长度 " + std::to_string(h.HeaderBytes) + " 无效",
                       "the header size " + std::to_string(h.HeaderBytes) + " is invalid");
    h.Format = formatByte;
    if (h.Format >= static_cast<int>(RecordBytes.size()) || (h.Format > 5 && h.Minor < 4) ||
        (h.Format > 3 && h.Minor < 3))
        throw lasError("点格式 " + std::to_string(h.Format) + " 不属于版本 1." + std::to_string(h.Minor),
                       "point format " + std::to_string(h.Format) + " is not one of version 1." +
                           std::to_string(h.Minor));
    if (h.RecordLength < RecordBytes[h.Format])
        throw lasError("点记录长度 " + std::to_string(h.RecordLength) + " 短于点格式 " + std::to_string(h.Format) +
                           " 的 " + std::to_string(RecordBytes[h.Format]) + " 字节",
                       "the point record length " + std::to_string(h.RecordLength) + " is less than the " +
                           std::to_string(RecordBytes[h.Format]) + " bytes of point format " +
                           std::to_string(h.Format));
    // LAS 1.4 counts points in 64 bits; the old 32-bit field is 0 when
    // they do not fit in it.
    if (h.Minor >= 4) {
        const std::uint64_t count64 = littleAt<std::uint64_t>(bytes, 247);
        if (h.Count == 0 || count64 != 0) h.Count = count64;
    }
    for (int a = 0; a < 3; ++a)
        if (!std::isfinite(h.Scale[a]) || h.Scale[a] == 0 || !std::isfinite(h.Offset[a]))
            throw lasError("坐标的比例或偏移不是有限数（或比例为 0）",
                           "a coordinate scale or offset is not a finite number (or the scale is 0)");
    if (h.PointStart < h.HeaderBytes || h.PointStart > bytes.size())
        throw lasError("点数据的起始位置 " + std::to_string(h.PointStart) + " 不在文件中",
                       "the point data's offset " + std::to_string(h.PointStart) + " lies outside the file");
    const std::size_t available = (bytes.size() - h.PointStart) / h.RecordLength;
    if (h.Count > available)
        throw lasError("声明 " + std::to_string(h.Count) + " 个点，文件却只容得下 " + std::to_string(available) + " 个",
                       "it states " + std::to_string(h.Count) + " points but the file holds only " +
                           std::to_string(available));
    if (h.Count > MaxCloudPoints)
        throw lasError("点数 " + std::to_string(h.Count) + " 超过上限 " + std::to_string(MaxCloudPoints),
                       "the " + std::to_string(h.Count) + " points exceed the limit of " +
                           std::to_string(MaxCloudPoints));
    return h;
}

} // namespace

PointCloud readLas(std::string_view bytes) {
    if (!bytes.starts_with("LASF")) throw lasError("没有 LASF 标记", "no LASF signature");
    const LasHeader h = parseHeader(bytes);
    PointCloud cloud;
    cloud.Format = "LAS 1." + std::to_string(h.Minor);
    const auto colour = colourOffset(h.Format);
    cloud.Points.reserve(h.Count);
    if (colour) cloud.Colours.reserve(h.Count);
    std::array<std::uint16_t, 3> brightest{};
    for (std::uint64_t i = 0; i < h.Count; ++i) {
        const std::string_view record = bytes.substr(h.PointStart + i * h.RecordLength, h.RecordLength);
        const int classification =
            h.Format >= 6 ? static_cast<unsigned char>(record[16]) : static_cast<unsigned char>(record[15]) & 0x1F;
        if (leftOut(classification)) {
            ++cloud.Dropped;
            continue;
        }
        TPoint3D p;
        double* axes[3] = {&p.x, &p.y, &p.z};
        for (int a = 0; a < 3; ++a) *axes[a] = littleAt<std::int32_t>(record, 4 * a) * h.Scale[a] + h.Offset[a];
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            throw Error::refused(say("LAS 第 " + std::to_string(i + 1) + " 个点的坐标不是有限数",
                                     "LAS point " + std::to_string(i + 1) + ": a coordinate is not a finite number"));
        cloud.Points.push_back(p);
        if (colour) {
            std::array<std::uint8_t, 3> rgb{};
            for (int c = 0; c < 3; ++c) {
                const std::uint16_t v = littleAt<std::uint16_t>(record, *colour + 2 * c);
                brightest[c] = std::max(brightest[c], v);
                rgb[c] = static_cast<std::uint8_t>(v >> 8);
            }
            cloud.Colours.push_back(rgb);
        }
    }
    // Colours are 16-bit by the format, but some writers store 8-bit values.
    if (colour && brightest[0] < 256 && brightest[1] < 256 && brightest[2] < 256) {
        std::size_t k = 0;
        for (std::uint64_t i = 0; i < h.Count; ++i) {
            const std::string_view record = bytes.substr(h.PointStart + i * h.RecordLength, h.RecordLength);
            const int classification =
                h.Format >= 6 ? static_cast<unsigned char>(record[16]) : static_cast<unsigned char>(record[15]) & 0x1F;
            if (leftOut(classification)) continue;
            for (int c = 0; c < 3; ++c)
                cloud.Colours[k][c] = static_cast<std::uint8_t>(littleAt<std::uint16_t>(record, *colour + 2 * c));
            ++k;
        }
    }
    if (cloud.Points.empty())
        throw Error::refused(cloud.Dropped ? inLanguage("LAS 文件中除植被和噪点外没有点",
                                                        "the LAS file holds no point but vegetation and noise")
                                           : inLanguage("LAS 文件中没有点", "the LAS file holds no point"));
    return cloud;
}

} // namespace trelmox
