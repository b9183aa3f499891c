#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "analysis/cloud/point_cloud.h"
#include "model/error.h"
#include "model/language.h"
#include "tests/analysis/cloud/cloud_files.h"
#include "tests/model/test_support.h"

using namespace trelmox;
using trelmox::testing::TempFolder;

namespace {

// Survey coordinates on a millimetre grid, so that LAS at 1 mm keeps them.
std::vector<TPoint3D> surveyPoints() {
    std::vector<TPoint3D> points;
    for (int i = 0; i < 50; ++i)
        points.push_back({500123.456 + 0.013 * i, 3000456.789 - 0.021 * i, 123.001 + 0.007 * (i % 7)});
    return points;
}

TEST(CloudReaders, EveryFormatGivesTheSamePoints) {
    TempFolder folder;
    const std::vector<TPoint3D> points = surveyPoints();
    struct Case {
        const char* file;
        std::string bytes;
        const char* format;
        double tolerance; // LAS rounds to its scale
        bool colours;
    } cases[] = {
        {"a.ply", test::asciiPly(points), "PLY ASCII", 0, true},
        {"le.ply", test::binaryPly(points, false), "PLY binary little-endian", 0, true},
        {"be.ply", test::binaryPly(points, true), "PLY binary big-endian", 0, true},
        {"a.xyz", test::xyzText(points), "XYZ text", 0, false},
        {"a12.las", test::lasFile(points, 2, 0.001), "LAS 1.2", 1e-6, true},
        {"a14.las", test::lasFile(points, 4, 0.001), "LAS 1.4", 1e-6, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const PointCloud cloud = readCloudFile(test::writeFile(folder.path() / c.file, c.bytes));
        EXPECT_EQ(cloud.Format, c.format);
        ASSERT_EQ(cloud.Points.size(), points.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            EXPECT_NEAR(cloud.Points[i].x, points[i].x, c.tolerance);
            EXPECT_NEAR(cloud.Points[i].y, points[i].y, c.tolerance);
            EXPECT_NEAR(cloud.Points[i].z, points[i].z, c.tolerance);
        }
        ASSERT_EQ(cloud.Colours.size(), c.colours ? points.size() : 0);
        if (c.colours) {
            EXPECT_EQ(cloud.Colours[7], (std::array<std::uint8_t, 3>{10, 20, 30}));
        }
    }
}

TEST(CloudReaders, PlySkipsElementsAndListsBeforeTheVertices) {
    std::string bytes = "ply\r\nformat binary_little_endian 1.0\r\nelement camera 2\r\nproperty float a\r\n"
                        "property list uchar int idx\r\nelement vertex 2\r\nproperty float x\r\nproperty float y\r\n"
                        "property float z\r\nelement face 1\r\nproperty list uchar int vertex_indices\r\n"
                        "end_header\r\n";
    test::append(bytes, 1.5f), test::append<std::uint8_t>(bytes, 2), test::append(bytes, 7), test::append(bytes, 8);
    test::append(bytes, 2.5f), test::append<std::uint8_t>(bytes, 0);
    for (float v : {1.f, 2.f, 3.f, 4.f, 5.f, 6.f}) test::append(bytes, v);
    const PointCloud cloud = readPly(bytes);
    ASSERT_EQ(cloud.Points.size(), 2u);
    EXPECT_EQ(cloud.Points[1].z, 6);
    EXPECT_TRUE(cloud.Colours.empty());
}

TEST(CloudReaders, LasLeavesOutVegetationAndNoise) {
    const std::vector<TPoint3D> points = surveyPoints();
    const PointCloud cloud = readLas(test::lasFile(points, 4, 0.001, {2, 3, 4, 5, 7, 18, 1}));
    EXPECT_EQ(cloud.Dropped, 5u);
    EXPECT_EQ(cloud.Points.size(), points.size() - 5);
    EXPECT_NEAR(cloud.Points[0].x, points[0].x, 1e-6);
    EXPECT_NEAR(cloud.Points[1].x, points[6].x, 1e-6);
}

TEST(CloudReaders, XyzTakesBlanksAndTheHeadersColumns) {
    const PointCloud blanks = readXyz("# scan\n1 2 3 99\n\n  4\t5\t6\n");
    ASSERT_EQ(blanks.Points.size(), 2u);
    EXPECT_EQ(blanks.Points[1].y, 5);
    const PointCloud named = readXyz("i;Z;Y;X;R;G;B\n0;3;2;1;255;0;9\n");
    EXPECT_EQ(named.Points[0].x, 1);
    EXPECT_EQ(named.Points[0].z, 3);
    EXPECT_EQ(named.Colours[0], (std::array<std::uint8_t, 3>{255, 0, 9}));
}

// Each malformed file is refused with a message that names it, without a
// crash and without allocating what a lying header states.
TEST(CloudReaders, MalformedFilesAreRefusedNamingTheFile) {
    TempFolder folder;
    setMessageLanguage(Language::English);
    const std::vector<TPoint3D> points = surveyPoints();
    std::string lyingLas = test::lasFile(points, 2, 0.001);
    const std::uint32_t billions = 4'000'000'000u;
    std::memcpy(lyingLas.data() + 107, &billions, 4);
    std::string zeroScale = test::lasFile(points, 2, 0.001);
    std::memset(zeroScale.data() + 131, 0, 8);
    std::string farPoints = test::lasFile(points, 4, 0.001);
    const std::uint32_t beyond = 1u << 30;
    std::memcpy(farPoints.data() + 96, &beyond, 4);
    std::string laz = test::lasFile(points, 2, 0.001);
    laz[104] = static_cast<char>(2 | 0x80);
    std::string nanPly = test::binaryPly(points, false);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::memcpy(nanPly.data() + test::plyHeader("binary_little_endian", points.size()).size() + 8, &nan, 8);
    const std::string binary = test::binaryPly(points, true);
    struct Case {
        const char* file;
        std::string bytes;
        const char* says; // part of the English message
    } cases[] = {
        {"cut.ply", binary.substr(0, binary.size() - 5), "states 50 of vertex but the file has only"},
        {"lying.ply", test::plyHeader("binary_big_endian", 3'000'000'000) + "abc", "states 3000000000 of vertex"},
        {"lying_ascii.ply", test::plyHeader("ascii", 1'000'000) + "1 2 3 0 0 1 1 1 1\n", "states 1000000"},
        {"nan.ply", nanPly, "point 1: a coordinate is not a finite number"},
        {"nan.xyz", "1 2 3\n4 nan 6\n", "line 2: a coordinate is not a finite number"},
        {"word.xyz", "1 2 3\n4 five 6\n", "line 2: \"five\" is not a number"},
        {"short.xyz", "1,2,3\n4,5\n", "line 2: it has only 2 columns"},
        {"empty.ply", test::plyHeader("ascii", 0), "holds no point"},
        {"empty.xyz", "", "the file is empty"},
        {"header_only.xyz", "x y z\n", "holds no point"},
        {"no_xyz.ply", "ply\nformat ascii 1.0\nelement vertex 1\nproperty float x\nend_header\n1\n", "lacks x, y or z"},
        {"no_end.ply", "ply\nformat ascii 1.0\nelement vertex 1\n", "no end_header"},
        {"lying.las", lyingLas, "states 4000000000 points but the file holds only 50"},
        {"scale.las", zeroScale, "the scale is 0"},
        {"far.las", farPoints, "lies outside the file"},
        {"short.las", "LASF" + std::string(100, '\0'), "less than its header"},
        {"packed.laz", laz, "laszip"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::filesystem::path path = test::writeFile(folder.path() / c.file, c.bytes);
        try {
            readCloudFile(path);
            ADD_FAILURE() << "read";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::RefusedInput);
            EXPECT_EQ(e.path(), path);
            const std::string message = e.what();
            EXPECT_TRUE(message.starts_with(path.string() + ": ")) << message;
            EXPECT_NE(message.find(c.says), std::string::npos) << message;
        }
    }
    setMessageLanguage(Language::Chinese);
}

TEST(CloudReaders, FrameTurnsTheAxes) {
    std::vector<TPoint3D> points = {{1, 2, 3}};
    applyFrame(parseCloudFrame("neu"), points);
    EXPECT_EQ(points[0], (TPoint3D{2, 1, 3}));
    points = {{1, 2, 3}};
    const CloudFrame yUp = parseCloudFrame("EUS"); // y up, z towards the south
    applyFrame(yUp, points);
    EXPECT_EQ(points[0], (TPoint3D{1, -3, 2}));
    EXPECT_EQ(cloudFrameText(yUp), "EUS");
    for (const char* bad : {"", "EN", "ENUU", "EEU", "ENX", "NSU"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(parseCloudFrame(bad), Error);
    }
}

} // namespace
