#include "model/datafile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

#include "model/attitude.h"

#include "model/numtext.h"
#include "model/textcodec.h"
#include "tests/model/test_blocks.h"
#include "tests/model/test_support.h"

using namespace trelmox;
using trelmox::testing::goldenBytes;
using trelmox::testing::messageOf;
using trelmox::testing::TempFolder;

namespace {

std::string gbText(const SavedBlock& block) {
    return utf8ToGb18030(blockDataText(block.Attitudes, block.Quadrants, block.Params));
}

// The 18 lines of the example block with one line replaced.
std::string exampleWithLine(int number, const std::string& line) {
    const auto block = trelmox::testing::exampleBlock();
    std::string text = blockDataText(block.Attitudes, block.Quadrants, block.Params);
    std::size_t start = 0;
    for (int i = 1; i < number; ++i) start = text.find("\r\n", start) + 2;
    return text.replace(start, text.find("\r\n", start) - start, line);
}

std::string firstLines(const std::string& text, int count) {
    std::size_t end = 0;
    for (int i = 0; i < count; ++i) end = text.find("\r\n", end) + 2;
    return text.substr(0, end);
}

// What reading a written file must give back.
BlockDataTexts textsOf(const SavedBlock& block) {
    BlockDataTexts texts;
    for (int i = 0; i < PlaneCount; ++i) {
        const auto& a = block.Attitudes[i];
        texts.Attitudes[i] = std::array<std::string, 2>{floatToText(a.DipAngle), floatToText(a.DipDirection)};
        texts.Quadrants[i] = block.Quadrants[i];
    }
    const TWedgeParams& p = block.Params;
    const bool entered = p.WaterPressureMode == TWaterPressureMode::Entered;
    texts.RockUnitWeight = p.RockUnitWeight;
    texts.WaterUnitWeight = p.WaterUnitWeight;
    texts.SlopeHeight = p.SlopeHeight;
    texts.OverhangCoefficient = p.OverhangCoefficient;
    texts.Water1 = {entered ? "z" : "j", entered ? p.WaterPressure1 : p.ComputedWaterPressure1};
    texts.Water2 = {entered ? "z" : "j", entered ? p.WaterPressure2 : p.ComputedWaterPressure2};
    texts.Cohesion1 = p.Cohesion1;
    texts.Friction1 = p.Friction1;
    texts.Cohesion2 = p.Cohesion2;
    texts.Friction2 = p.Friction2;
    return texts;
}

// Texts a user could type into a box: no "," and no line break, Chinese
// and characters outside GBK included.
class RandomTexts {
public:
    explicit RandomTexts(unsigned seed) : random_(seed) {}
    std::string text() {
        static const char* const pieces[] = {"a",  "Z", "0", "9",  ".",  "-", " ", "\t", "楔", "块", "β",
                                             "：", "é", "😀", "\"", "\\", "/", ";", "z",  "j",  "E",  "\r "};
        std::string t;
        for (int n = length_(random_); n > 0; --n) t += pieces[piece_(random_)];
        return t;
    }
    double number() { return number_(random_) * std::pow(10.0, exponent_(random_)); }
    bool coin() { return piece_(random_) % 2 == 0; }
    SavedBlock block() {
        SavedBlock b;
        for (auto& a : b.Attitudes) a = {number(), number()};
        for (auto& q : b.Quadrants) q = {text(), text(), text(), text(), text(), text()};
        for (auto* s : {&b.Params.RockUnitWeight, &b.Params.WaterUnitWeight, &b.Params.SlopeHeight,
                        &b.Params.OverhangCoefficient, &b.Params.WaterPressure1, &b.Params.ComputedWaterPressure1,
                        &b.Params.WaterPressure2, &b.Params.ComputedWaterPressure2, &b.Params.Cohesion1,
                        &b.Params.Friction1, &b.Params.Cohesion2, &b.Params.Friction2})
            *s = text();
        b.Params.WaterPressureMode = coin() ? TWaterPressureMode::Entered : TWaterPressureMode::Computed;
        return b;
    }

private:
    std::mt19937 random_;
    std::uniform_int_distribution<int> length_{0, 8}, piece_{0, 21}, exponent_{-8, 8};
    std::uniform_real_distribution<double> number_{-400, 400};
};

} // namespace

TEST(BlockDataFile, GoldenFilesAreByteExact) {
    EXPECT_EQ(gbText(trelmox::testing::exampleBlock()), goldenBytes("example_block.txt"));
    EXPECT_EQ(gbText(trelmox::testing::workedExampleBlock()), goldenBytes("worked_example_block.txt"));
    // The example shipped with the program is this very block.
    EXPECT_EQ(goldenBytes("../../examples/example.txt"), goldenBytes("example_block.txt"));
}

TEST(BlockDataFile, EmptyBoxesAreWrittenAsEmptyLines) {
    EXPECT_EQ(blockDataText({}, {}, {}), "0,0\r\n0,0\r\n0,0\r\n0,0\r\n,,,,,\r\n,,,,,\r\n,,,,,\r\n,,,,,\r\n"
                                         "\r\n\r\n\r\n\r\nz,\r\nz,\r\n\r\n\r\n\r\n\r\n");
}

TEST(BlockDataFile, WrittenFilesReadBackAsTheSameTexts) {
    RandomTexts random(7);
    for (int i = 0; i < 3000; ++i) {
        const SavedBlock block = random.block();
        const std::string bytes = gbText(block);
        ASSERT_EQ(parseBlockData(gb18030ToUtf8(bytes)), textsOf(block)) << gb18030ToUtf8(bytes);
    }
    TempFolder folder;
    for (int i = 0; i < 100; ++i) {
        const SavedBlock block = random.block();
        const std::string name = "块" + std::to_string(i);
        writeBlockFile(folder.path(), name, block.Attitudes, block.Quadrants, block.Params);
        ASSERT_EQ(readBlockFile(folder.path(), name + ".txt"), textsOf(block));
    }
}

TEST(BlockDataFile, SavedBlockIsTheModelAsWritten) {
    for (const SavedBlock& block : {trelmox::testing::exampleBlock(), trelmox::testing::workedExampleBlock()}) {
        const SavedBlock saved = savedBlockFromTexts(parseBlockData(gb18030ToUtf8(gbText(block))));
        EXPECT_EQ(saved.Attitudes, block.Attitudes);
        EXPECT_EQ(saved.Quadrants, block.Quadrants);
        TWedgeParams expected = block.Params;
        (expected.WaterPressureMode == TWaterPressureMode::Entered ? expected.ComputedWaterPressure1
                                                                   : expected.WaterPressure1) = "";
        (expected.WaterPressureMode == TWaterPressureMode::Entered ? expected.ComputedWaterPressure2
                                                                   : expected.WaterPressure2) = "";
        EXPECT_EQ(saved.Params, expected);
    }
}

TEST(BlockDataFile, ReaderKeepsWhatIsThereAndNothingElse) {
    const auto block = trelmox::testing::exampleBlock();
    const std::string full = blockDataText(block.Attitudes, block.Quadrants, block.Params);
    const BlockDataTexts expected = textsOf(block);

    EXPECT_EQ(parseBlockData(""), BlockDataTexts{});
    EXPECT_EQ(parseBlockData(full + "extra,line\r\nmore\r\n"), expected);
    std::string lfOnly = full;
    std::erase(lfOnly, '\r');
    EXPECT_EQ(parseBlockData(lfOnly), expected);
    EXPECT_EQ(parseBlockData(full.substr(0, full.size() - 2)), expected); // no end after the last line

    BlockDataTexts tenLines = parseBlockData(firstLines(full, 10));
    EXPECT_EQ(tenLines.Quadrants, expected.Quadrants);
    EXPECT_EQ(tenLines.WaterUnitWeight, "9.81");
    EXPECT_EQ(tenLines.SlopeHeight, std::nullopt);
    EXPECT_EQ(tenLines.Water1, std::nullopt);
    EXPECT_EQ(tenLines.Friction2, std::nullopt);
}

TEST(BlockDataFile, ShortLinesAndExtraFields) {
    const struct {
        int number;
        std::string line;
        std::function<bool(const BlockDataTexts&)> holds;
    } cases[] = {
        {1, "45",
         [](const auto& t) {
             return *t.Attitudes[0] == std::array<std::string, 2>{"45", ""};
         }},
        {1, "",
         [](const auto& t) {
             return *t.Attitudes[0] == std::array<std::string, 2>{"", ""};
         }},
        {5, "N,15", [](const auto& t) { return *t.Quadrants[0] == TPlaneQuadrant{"N", "15", "", "", "", ""}; }},
        {9, "1,5", [](const auto& t) { return t.RockUnitWeight == "1"; }},
        {13, "j,12.5",
         [](const auto& t) {
             return *t.Water1 == BlockDataTexts::WaterLine{"j", "12.5"};
         }},
        {13, "x,12.5",
         [](const auto& t) {
             return *t.Water1 == BlockDataTexts::WaterLine{"x", "12.5"};
         }},
        {14, "z",
         [](const auto& t) {
             return *t.Water2 == BlockDataTexts::WaterLine{"z", ""};
         }},
        {18, "0.5,0.6", [](const auto& t) { return t.Friction2 == "0.5"; }},
    };
    for (const auto& c : cases) EXPECT_TRUE(c.holds(parseBlockData(exampleWithLine(c.number, c.line)))) << c.line;
}

TEST(BlockDataFile, SavedBlockNamesTheWrongLine) {
    const auto block = trelmox::testing::exampleBlock();
    const std::string full = blockDataText(block.Attitudes, block.Quadrants, block.Params);
    const struct {
        std::string text;
        int line;
        std::string message;
    } cases[] = {
        {"", 1, "缺失：块体数据文件应有 18 行"},
        {firstLines(full, 10), 11, "缺失：块体数据文件应有 18 行"},
        {firstLines(full, 12), 13, "缺失：块体数据文件应有 18 行"},
        {firstLines(full, 17), 18, "缺失：块体数据文件应有 18 行"},
        {exampleWithLine(13, "x,65.4"), 13, "水压标记“x”无效：应为“z”（输入值）或“j”（计算值）"},
        {exampleWithLine(13, "J,65.4"), 13, "水压标记“J”无效：应为“z”（输入值）或“j”（计算值）"},
        {exampleWithLine(14, ",65.4"), 14, "水压标记“”无效：应为“z”（输入值）或“j”（计算值）"},
        {exampleWithLine(14, "z,65.4"), 14, "水压标记“z”与第 13 行的“j”不一致"},
        {exampleWithLine(2, "70,2 35"), 2, "'2 35' is not a valid floating point value"},
        {exampleWithLine(3, "12"), 3, "'' is not a valid floating point value"},
        {exampleWithLine(4, "inf,185"), 4, "'inf' is not a valid floating point value"},
        // Every text the analysis converts, on its own line.
        {exampleWithLine(9, ""), 9, "'' is not a valid floating point value"},
        {exampleWithLine(12, "1.0"), 12, "'1.0' is not a valid integer value"},
        {exampleWithLine(5, "N,1 5,E,S,E,45"), 5, "'1 5' is not a valid floating point value"},
        {exampleWithLine(8, "N,85,W,S,W,6x"), 8, "'6x' is not a valid floating point value"},
        // Letters that fit no case once left the plane to the vectors of the
        // plane before it: a volume of 25,735,891.85 beside an unchanged Kc.
        {exampleWithLine(8, "N,85,W,S,w,65"), 8,
         "象限字母“N,W,S,w”不能组成产状：走向 N…E 应倾向 S,E 或 N,W，走向 N…W 应倾向 S,W 或 N,E"},
        {exampleWithLine(6, "N,35,W,S,E,70"), 6,
         "象限字母“N,W,S,E”不能组成产状：走向 N…E 应倾向 S,E 或 N,W，走向 N…W 应倾向 S,W 或 N,E"},
        {exampleWithLine(7, "S,75,W,S,W,12"), 7,
         "象限字母“S,W,S,W”不能组成产状：走向 N…E 应倾向 S,E 或 N,W，走向 N…W 应倾向 S,W 或 N,E"},
        // A control character is refused, shown, and never cuts the message.
        {exampleWithLine(9, std::string("2\0"
                                        "5",
                                        3)),
         9, "含有控制字符：“2\\x005”"},
        {exampleWithLine(6, "N,85,W,S\tW,65"), 6, "含有控制字符：“S\\tW”"},
        {exampleWithLine(15, "2\r4"), 15, "含有控制字符：“2\\r4”"},
        // Lines 1-4 against lines 5-8: a changed line 1 once gave NoBlock
        // beside the volume of the unchanged quadrants.
        {exampleWithLine(1, "30,300"), 0, "第1行的倾角、倾向“30,300”与第5行的象限产状“N,15,E,S,E,45”不一致"},
        {exampleWithLine(8, "N,85,W,S,W,64"), 0, "第4行的倾角、倾向“65,185”与第8行的象限产状“N,85,W,S,W,64”不一致"},
    };
    for (const auto& c : cases) {
        try {
            savedBlockFromTexts(parseBlockData(c.text));
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), c.message);
            EXPECT_EQ(e.line(), c.line) << c.message;
        }
    }
}

TEST(BlockDataFile, SavedBlockTrimsFieldsAndAcceptsWhatTheWriterWrites) {
    const SavedBlock example = trelmox::testing::exampleBlock();
    const struct {
        int number;
        std::string line;
    } cases[] = {
        {8, "N,85,W,S,W\r,65"}, // a stray CR once went into the letters and the report
        {8, " N , 85,W ,S,W,65 "},
        {9, " 25\r"},
        {1, "45.0000000000001,105"}, // within the 15 digits the writer keeps
        {1, "45,465"},               // the same azimuth
        {2, "70,-125"},
    };
    for (const auto& c : cases) {
        const SavedBlock saved = savedBlockFromTexts(parseBlockData(exampleWithLine(c.number, c.line)));
        EXPECT_EQ(saved.Quadrants, example.Quadrants) << c.line;
        EXPECT_EQ(saved.Params.RockUnitWeight, "25") << c.line;
    }
    // What the dip-angle confirm writes: quadrants converted from numbers
    // whose 15-digit texts do not give back the same last digit.
    std::mt19937 random(3);
    std::uniform_real_distribution<double> unit(0, 1);
    const auto angle = [&](double range) { return unit(random) * range * (unit(random) < 0.1 ? 1e-6 : 1); };
    for (int i = 0; i < 2000; ++i) {
        SavedBlock block = example;
        for (auto& a : block.Attitudes) a = {angle(90), angle(360)};
        data2to1(block.Attitudes, block.Quadrants);
        const std::string text = blockDataText(block.Attitudes, block.Quadrants, block.Params);
        ASSERT_NO_THROW(savedBlockFromTexts(parseBlockData(text))) << text;
        ASSERT_TRUE(disagreeingLines(parseBlockData(text)).empty()) << text;
    }
}

TEST(BlockDataFile, DisagreeingLinesNameBothLinesAndSkipWhatCannotBeCompared) {
    const auto lines = [](const std::string& text) {
        std::vector<std::pair<int, int>> pairs;
        for (const auto& d : disagreeingLines(parseBlockData(text))) pairs.emplace_back(d.AttitudeLine, d.QuadrantLine);
        return pairs;
    };
    using Pairs = std::vector<std::pair<int, int>>;
    const auto block = trelmox::testing::exampleBlock();
    const std::string full = blockDataText(block.Attitudes, block.Quadrants, block.Params);
    EXPECT_EQ(lines(full), Pairs{});
    EXPECT_EQ(lines(exampleWithLine(1, "30,300")), (Pairs{{1, 5}}));
    EXPECT_EQ(lines(exampleWithLine(3, "13,195")), (Pairs{{3, 7}}));
    EXPECT_EQ(lines(exampleWithLine(8, "N,85,W,S,w,65")), Pairs{});      // letters: nothing to compare
    EXPECT_EQ(lines(exampleWithLine(2, "x,235")), Pairs{});              // not a number
    EXPECT_EQ(lines(exampleWithLine(2, " 71 ,235\r")), (Pairs{{2, 6}})); // trimmed, then compared
    EXPECT_EQ(lines(firstLines(full, 6)), Pairs{});                      // lines 7 and 8 absent
    EXPECT_EQ(disagreeingLines(parseBlockData(exampleWithLine(4, "64,185")))[0].Message,
              "第4行的倾角、倾向“64,185”与第8行的象限产状“N,85,W,S,W,65”不一致");
}

TEST(BlockDataFile, ByteOrderMarksAreSkippedOnReading) {
    TempFolder folder;
    const std::string gb = goldenBytes("example_block.txt");
    const std::string expected =
        blockDataText(trelmox::testing::exampleBlock().Attitudes, trelmox::testing::exampleBlock().Quadrants,
                      trelmox::testing::exampleBlock().Params);
    const struct {
        const char* name;
        std::string bytes;
    } files[] = {
        {"utf8", "\xEF\xBB\xBF" + expected},
        {"gb18030", "\x84\x31\x95\x33" + gb},
        {"none", gb},
    };
    for (const auto& f : files) {
        writeFileAtomically(folder.path() / (std::string(f.name) + ".txt"), f.bytes);
        EXPECT_EQ(readBlockFile(folder.path(), f.name), parseBlockData(expected)) << f.name;
        EXPECT_NO_THROW(readSavedBlock(folder.path() / (std::string(f.name) + ".txt"))) << f.name;
    }
}

TEST(BlockDataFile, OnlyRegularFilesOfAtMostAMegabyteAreRead) {
    TempFolder folder;
    const auto fifo = folder.path() / "fifo.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto large = folder.path() / "large.txt";
    writeFileAtomically(large, goldenBytes("example_block.txt") + std::string(MaxDataFileBytes, ' '));
    const struct {
        std::filesystem::path file;
        const char* message;
    } cases[] = {
        {fifo, "不是普通文件，不能读取"},        // once blocked for ever
        {"/dev/zero", "不是普通文件，不能读取"}, // once ended in the allocator
        {large, "文件大于 1 MB，不能读取"},
        {folder.path(), "I/O error 21"},
    };
    for (const auto& c : cases) EXPECT_EQ(messageOf([&] { readSavedBlock(c.file); }), c.message) << c.file;
    EXPECT_EQ(messageOf([&] { readBlockFile(folder.path(), "fifo"); }), "不是普通文件，不能读取");
}

TEST(BlockDataFile, FilesAreNamedAfterTheBlock) {
    TempFolder folder;
    const auto block = trelmox::testing::exampleBlock();
    writeBlockFile(folder.path(), "my", block.Attitudes, block.Quadrants, block.Params);
    EXPECT_EQ(readFileBytes(folder.path() / "my.txt"), goldenBytes("example_block.txt"));
    for (const char* boxText : {"my", "my.txt", "my.block.txt"})
        EXPECT_EQ(readBlockFile(folder.path(), boxText), textsOf(block)) << boxText;
    writeBlockFile(folder.path(), "", {}, {}, {});
    EXPECT_TRUE(std::filesystem::exists(folder.path() / ".txt"));

    const struct {
        std::function<void()> call;
        std::string message;
    } failures[] = {
        {[&] { readBlockFile(folder.path(), "other.txt"); }, "File not found"},
        {[&] { readBlockFile(folder.path(), "sub/my"); }, "块体名称“sub/my”无效：不能含有“/”或“\\”，也不能是“.”或“..”"},
        {[&] { writeBlockFile(folder.path(), "..", {}, {}, {}); },
         "块体名称“..”无效：不能含有“/”或“\\”，也不能是“.”或“..”"},
        {[&] { writeBlockFile(folder.path() / "missing", "a", {}, {}, {}); }, "File not found"},
    };
    for (const auto& f : failures) EXPECT_EQ(messageOf(f.call), f.message);

    writeFileAtomically(folder.path() / "bad.txt", "45,105\r\n\xFF\xFF\r\n");
    EXPECT_EQ(messageOf([&] { readBlockFile(folder.path(), "bad"); }),
              "文件“" + (folder.path() / "bad.txt").string() + "”无法读取：文本含有无效的 GB18030 字节（第 9 字节）");
    EXPECT_THAT(folder.entries(), ::testing::ElementsAre(".txt", "bad.txt", "my.txt"));
}
