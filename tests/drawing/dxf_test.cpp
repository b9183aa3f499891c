#include "drawing/dxf.h"

#include <dl_creationadapter.h>
#include <dl_dxf.h>
#include <gtest/gtest.h>

#include "analysis/vertices.h"
#include "model/files.h"
#include "tests/drawing/reference_blocks.h"
#include "tests/model/test_support.h"

using namespace trelmox;
using trelmox::testing::messageOf;
using trelmox::testing::TempFolder;

namespace {

BlockVertices workedExampleCorners() {
    VertexGeometry g;
    g.compute(trelmox::testing::workedExamplePlanes(), "10");
    return g.vertices();
}

BlockVertices exampleBlockCorners() {
    VertexGeometry g;
    g.computeForBlock(trelmox::testing::exampleBlockQuadrants(), "40");
    return g.vertices();
}

std::string golden(const char* name) { return readFileBytes(std::filesystem::path(TRELMOX_TEST_DATA) / name); }

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        result.push_back(text.substr(start, end - start));
    return result;
}

// What a DXF reader sees in the file.
struct Drawing : DL_CreationAdapter {
    std::vector<DL_LineData> lines;
    std::vector<int> lineColours;
    std::vector<DL_TextData> texts;
    void addLine(const DL_LineData& data) override {
        lines.push_back(data);
        lineColours.push_back(getAttributes().getColor());
    }
    void addText(const DL_TextData& data) override { texts.push_back(data); }
};

} // namespace

TEST(DxfText, MatchesTheReferenceDrawingsByteForByte) {
    EXPECT_EQ(dxfText(workedExampleCorners()), golden("workedblock.dxf"));
    EXPECT_EQ(dxfText(exampleBlockCorners()), golden("exampleblock.dxf"));
}

TEST(DxfText, LayoutOfTheFile) {
    const std::string text = dxfText(workedExampleCorners());
    const std::vector<std::string> l = lines(text);
    ASSERT_EQ(l.size(), 163u);
    EXPECT_EQ(text.size(), [&] {
        size_t n = 0;
        for (auto& s : l) n += s.size() + 2;
        return n;
    }()); // CR LF after each
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
    EXPECT_EQ(l.front(), " 0");
    EXPECT_EQ(l.back(), " ");
    // LINE 1 from the toe to (-20, 0, 10) carries the only colour.
    EXPECT_EQ(std::vector<std::string>(l.begin() + 4, l.begin() + 22),
              (std::vector<std::string>{"  0", "LINE", "  8", "0", "62", "6", "10", "0", "20", "0", "30", "0", "11",
                                        "-20", "21", "0", "31", "10"}));
    EXPECT_EQ(std::count(l.begin(), l.end(), "62"), 1);
    EXPECT_EQ(std::count(l.begin(), l.end(), " 0"), 1);
}

TEST(DxfText, NoCornersYetWritesZeros) {
    const std::vector<std::string> l = lines(dxfText(BlockVertices{}));
    ASSERT_EQ(l.size(), 163u);
    const std::string coordinateCodes[] = {"10", "20", "30", "11", "21", "31"};
    int coordinates = 0;
    // Group code / value pairs up to the closing blank line.
    for (size_t i = 0; i + 1 < l.size(); i += 2)
        if (std::find(std::begin(coordinateCodes), std::end(coordinateCodes), l[i]) != std::end(coordinateCodes)) {
            EXPECT_EQ(l[i + 1], "0") << "line " << i + 2;
            ++coordinates;
        }
    EXPECT_EQ(coordinates, 6 * 6 + 4 * 3);
}

TEST(DxfText, ReadBackByADxfReader) {
    TempFolder folder;
    const BlockVertices v = exampleBlockCorners();
    writeDxf(folder.path(), "W1", v);
    Drawing drawing;
    DL_Dxf reader;
    ASSERT_TRUE(reader.in((folder.path() / "W1block.dxf").string(), &drawing));

    const TPoint3D edges[6][2] = {{v.Vertex1, v.Vertex2}, {v.Vertex1, v.Vertex3}, {v.Vertex1, v.Vertex4},
                                  {v.Vertex2, v.Vertex3}, {v.Vertex2, v.Vertex4}, {v.Vertex3, v.Vertex4}};
    ASSERT_EQ(drawing.lines.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        const DL_LineData& line = drawing.lines[i];
        // 15 significant digits survive the text round trip.
        const double tolerance = 1e-12;
        EXPECT_NEAR(line.x1, edges[i][0].x, tolerance) << i;
        EXPECT_NEAR(line.y1, edges[i][0].y, tolerance) << i;
        EXPECT_NEAR(line.z1, edges[i][0].z, tolerance) << i;
        EXPECT_NEAR(line.x2, edges[i][1].x, tolerance) << i;
        EXPECT_NEAR(line.y2, edges[i][1].y, tolerance) << i;
        EXPECT_NEAR(line.z2, edges[i][1].z, tolerance) << i;
    }
    EXPECT_EQ(drawing.lineColours[0], 6);
    for (int i = 1; i < 6; ++i) EXPECT_EQ(drawing.lineColours[i], 256) << "line " << i + 1 << " takes the layer's";

    const TPoint3D corners[4] = {v.Vertex1, v.Vertex2, v.Vertex3, v.Vertex4};
    ASSERT_EQ(drawing.texts.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        const DL_TextData& text = drawing.texts[i];
        EXPECT_EQ(text.text, std::to_string(i + 1));
        EXPECT_EQ(text.height, 10);
        EXPECT_NEAR(text.ipx, corners[i].x, 1e-12) << i;
        EXPECT_NEAR(text.ipy, corners[i].y, 1e-12) << i;
        EXPECT_NEAR(text.ipz, corners[i].z, 1e-12) << i;
    }
}

TEST(WriteDxf, NamesTheFileAfterTheBlockAndReplacesIt) {
    const struct {
        const char* block;
        const char* file;
    } cases[] = {{"W1", "W1block.dxf"}, {"", "block.dxf"}, {"边坡1", "边坡1block.dxf"}};
    for (const auto& c : cases) {
        EXPECT_EQ(dxfFileName(c.block), c.file);
        TempFolder folder;
        writeDxf(folder.path(), c.block, BlockVertices{});
        writeDxf(folder.path(), c.block, workedExampleCorners());
        EXPECT_EQ(folder.entries(), std::vector<std::string>{c.file});
        EXPECT_EQ(readFileBytes(folder.path() / c.file), golden("workedblock.dxf"));
    }
}

TEST(WriteDxf, RefusesNamesThatLeaveTheFolderAndMissingFolders) {
    TempFolder folder;
    for (const char* name : {"../W1", "a/b", "a\\b", ".", ".."}) {
        EXPECT_NE(messageOf([&] { writeDxf(folder.path(), name, BlockVertices{}); }), "") << name;
        EXPECT_TRUE(folder.entries().empty()) << name;
    }
    EXPECT_NE(messageOf([&] { writeDxf(folder.path() / "missing", "W1", BlockVertices{}); }), "");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "missing"));
}
