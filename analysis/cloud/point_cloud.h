#pragma once
// A point cloud of a rock face as a survey delivers it: a laser scan or a
// photogrammetric model, read from PLY, LAS or plain XYZ text. Points are in
// the block frame (x east, y north, z up, one length unit throughout); a
// cloud in other axes is turned by its CloudFrame when it is read.
//
// The readers take the file's bytes and never trust a count the file states:
// every count is checked against the bytes there are before anything is
// allocated for it, so that a damaged or hostile header gives a refusal,
// never a crash or a gigabyte reserved for nothing.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "model/block.h"

namespace trelmox {

struct PointCloud {
    std::vector<TPoint3D> Points;
    // One colour a point when the file gives colours, else empty.
    std::vector<std::array<std::uint8_t, 3>> Colours;
    std::string Format; // "PLY binary little-endian", "LAS 1.4", "XYZ text", ...
    // LAS points the scanner's software classified as vegetation (3-5) or
    // noise (7, 18), left out.
    std::size_t Dropped = 0;
};

// The most points a cloud may have: 50 million points take some 1.2 GB with
// their working arrays. A denser scan is thinned by its own software first.
inline constexpr std::size_t MaxCloudPoints = 50'000'000;

// The directions of the file's x, y and z axes in the block frame, as three
// letters from E, W, N, S, U, D ("ENU", the default, changes nothing; "NEU"
// is northing-easting-up; "ENU" turned to y up is "EUS"). Each direction
// appears once, up to its sign.
struct CloudFrame {
    std::array<int, 3> Axis{0, 1, 2};    // block axis (0 x east, 1 y north, 2 z up) of each file axis
    std::array<double, 3> Sign{1, 1, 1}; // +1 or -1
    bool identity() const { return Axis == std::array<int, 3>{0, 1, 2} && Sign == std::array<double, 3>{1, 1, 1}; }
};
// Throws a refused Error (field "frame") for anything but three such letters.
CloudFrame parseCloudFrame(std::string_view text);
std::string cloudFrameText(const CloudFrame& frame);
void applyFrame(const CloudFrame& frame, std::vector<TPoint3D>& points);

// The readers of the three formats, on a file's bytes. Each refuses, with a
// message naming the point, line or header field, a file that is damaged,
// holds a coordinate that is no finite number, or holds no point.
PointCloud readPly(std::string_view bytes);
PointCloud readLas(std::string_view bytes);
PointCloud readXyz(std::string_view bytes);

// The reader the bytes call for: PLY by its "ply" line, LAS (and LAZ,
// refused with how to convert it) by "LASF", else XYZ text.
PointCloud readCloudBytes(std::string_view bytes);
// Reads the file and turns it into the block frame. Every failure names the
// file (Error::path and the message's start).
PointCloud readCloudFile(const std::filesystem::path& path, const CloudFrame& frame = {});

} // namespace trelmox
