#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <filesystem>
#include <fstream>
#include <map>
#include <iterator>
#include <sstream>
#include <sys/stat.h>

#include "analysis/block_analysis.h"
#include "analysis/vec3.h"
#include "cli/cli.h"
#include "report/json_format.h"
#include "report/outcome_formats.h"
#include "drawing/block_pictures.h"
#include "model/attitude.h"
#include "model/companion.h"
#include "model/datafile.h"
#include "model/files.h"
#include "model/textcodec.h"
#include "report/full_report.h"
#include "tests/model/test_blocks.h"
#include "tests/support/example_block.h"

namespace fs = std::filesystem;
using namespace trelmox;
using namespace trelmox::cli;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

const fs::path ExampleBlock = fs::path(TRELMOX_TEST_DATA) / ".." / ".." / "examples" / "example.txt";

struct CliRun {
    int status;
    std::string out, err;
};

// In the Chinese the windows use, which these tests were written against.
CliRun analyze(std::vector<std::string> args) {
    args.insert(args.begin(), {"--lang", "zh", "analyze"});
    std::ostringstream out, err;
    const int status = run(args, out, err);
    return {status, out.str(), err.str()};
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

// The example block's lines with some lines replaced (1-based numbers).
std::string exampleWith(const std::map<int, std::string>& replaced) {
    std::ifstream in(ExampleBlock, std::ios::binary);
    std::string result, line;
    for (int n = 1; std::getline(in, line); ++n) {
        const auto found = replaced.find(n);
        result += (found == replaced.end() ? line : found->second + "\r") + "\n";
    }
    return result;
}

class AnalyzeTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("trelmox-cli-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir / "reports");
        fs::create_directories(dir / "dxf");
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return dir / name;
    }
    fs::path dir;
};

TEST_F(AnalyzeTest, ExampleBlockGivesTheKnownResultAsJson) {
    const CliRun r = analyze({"--format", "json", ExampleBlock.string()});
    ASSERT_EQ(r.status, ExitOk) << r.err;
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_THAT(out[0], HasSubstr("{\"block\":\"example\",\"contact\":\"BothPlanes\",\"kc\":1.1891"));
    EXPECT_THAT(out[0], HasSubstr("\"volume\":17896.9513"));
    EXPECT_THAT(out[0], HasSubstr("\"height\":39.1259"));
    EXPECT_THAT(out[0], HasSubstr("\"plunge\":31.1965"));
    EXPECT_THAT(out[0], HasSubstr("\"messages\":[],\"error\":null,\"error_kind\":null}"));
}

TEST_F(AnalyzeTest, WritesReportAndDrawingNamedAfterTheFile) {
    fs::copy_file(ExampleBlock, dir / "W1.old.txt");
    const CliRun r = analyze({"--report-dir=" + (dir / "reports").string(), "--dxf-dir", (dir / "dxf").string(),
                              (dir / "W1.old.txt").string()});
    ASSERT_EQ(r.status, ExitOk) << r.out;
    std::ifstream report(dir / "reports" / "W1.txt", std::ios::binary);
    std::stringstream bytes;
    bytes << report.rdbuf();
    const auto reportLines = lines(bytes.str());
    ASSERT_EQ(reportLines.size(), 30u);
    EXPECT_EQ(reportLines[27], trelmox::utf8ToGb18030("1.楔块的体积:\tV=\t17896.9513\r"));
    EXPECT_THAT(reportLines[29], HasSubstr("Kc=\t1.1891"));
    std::ifstream dxf(dir / "dxf" / "W1block.dxf", std::ios::binary);
    std::stringstream dxfBytes;
    dxfBytes << dxf.rdbuf();
    EXPECT_EQ(lines(dxfBytes.str()).size(), 163u);
}

TEST_F(AnalyzeTest, OneBadBlockNeverStopsTheBatch) {
    const fs::path badNumber = write("bad.txt", exampleWith({{9, "2 5"}}));
    const fs::path badMarker = write("marker.txt", exampleWith({{13, "x,65.4"}}));
    const fs::path empty = write("empty.txt", "");
    const fs::path fifo = dir / "fifo.txt"; // once blocked the batch for ever
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const CliRun r = analyze({"--format", "json", "--report-dir", (dir / "reports").string(),
                              (dir / "missing.txt").string(), badNumber.string(), badMarker.string(), empty.string(),
                              fifo.string(), "/dev/zero", ExampleBlock.string()});
    EXPECT_EQ(r.status, ExitBlockFailed);
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 7u);
    EXPECT_THAT(out[0], HasSubstr("\"block\":\"missing\",\"contact\":null,\"kc\":null"));
    EXPECT_THAT(out[0], HasSubstr("\"error\":\"" + (dir / "missing.txt").string() + ": 文件或文件夹不存在\""));
    EXPECT_THAT(out[1],
                HasSubstr("\"error\":\"" + badNumber.string() + " 第9行: '2 5' is not a valid floating point value\""));
    EXPECT_THAT(out[2], HasSubstr("\"block\":\"marker\""));
    EXPECT_THAT(out[2], HasSubstr(" 第13行: 水压标记“x”无效"));
    EXPECT_THAT(out[3], HasSubstr(" 第1行: 缺失"));
    EXPECT_THAT(out[4], HasSubstr("fifo.txt: 不是普通文件，不能读取"));
    EXPECT_THAT(out[5], HasSubstr("/dev/zero: 不是普通文件，不能读取"));
    EXPECT_THAT(out[6], HasSubstr("\"contact\":\"BothPlanes\""));
    EXPECT_TRUE(fs::exists(dir / "reports" / "example.txt"));
    EXPECT_FALSE(fs::exists(dir / "reports" / "bad.txt"));
}

// A batch is shared out over the cores: each row and each report must be
// what the block gives alone, in the inputs' order.
TEST_F(AnalyzeTest, ABatchGivesEachBlockItsOwnRowAndFilesInOrder) {
    std::vector<std::string> files;
    for (int h = 20; h < 44; ++h)
        files.push_back(write("h" + std::to_string(h) + ".txt", exampleWith({{11, std::to_string(h)}})).string());
    const auto readReport = [&](const std::string& name) {
        std::ifstream in(dir / "reports" / (name + ".txt"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    std::vector<std::string> alone, reports;
    for (const std::string& file : files) {
        const CliRun r = analyze({"--format", "json", "--report-dir", (dir / "reports").string(), file});
        alone.push_back(r.out);
        reports.push_back(readReport(fs::path(file).stem().string()));
    }
    std::vector<std::string> args = {"--format", "json", "--report-dir", (dir / "reports").string()};
    args.insert(args.end(), files.begin(), files.end());
    const CliRun batch = analyze(args);
    ASSERT_EQ(batch.status, ExitOk) << batch.err;
    const auto rows = lines(batch.out);
    ASSERT_EQ(rows.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(rows[i] + "\n", alone[i]) << files[i];
        EXPECT_EQ(readReport(fs::path(files[i]).stem().string()), reports[i]) << files[i];
    }
}

TEST_F(AnalyzeTest, MessagesNameTheFileTheLineAndWhatWasWrong) {
    const std::string longField(10000, '7');
    const struct {
        const char* name;
        std::string bytes;
        std::string error; // after "<path>"
        std::string kind = "refused_input";
    } cases[] = {
        {"empty", exampleWith({{9, ""}}), " 第9行: '' is not a valid floating point value", "number_text"},
        // A NUL byte once cut the message after "'2".
        {"nul",
         exampleWith({{9, std::string("2\0"
                                      "5",
                                      3)}}),
         " 第9行: 含有控制字符：“2\\\\x005”"},
        {"negative", exampleWith({{15, "-1000"}}), ": 平面1c值不能为负数"},
        {"letters", exampleWith({{8, "N,85,W,S,w,65"}}), " 第8行: 象限字母“N,W,S,w”不能组成产状"},
        {"lines", exampleWith({{1, "30,300"}}), ": 第1行的倾角、倾向“30,300”与第5行的象限产状“N,15,E,S,E,45”不一致"},
    };
    for (const auto& c : cases) {
        const fs::path file = write(std::string(c.name) + ".txt", c.bytes);
        const CliRun r = analyze({"--format", "json", file.string()});
        EXPECT_EQ(r.status, ExitBlockFailed) << c.name;
        EXPECT_THAT(r.out, HasSubstr("\"error\":\"" + file.string() + c.error)) << c.name;
        // The kind of the failure stays beside the message that names the file.
        EXPECT_THAT(r.out, HasSubstr("\"error_kind\":\"" + c.kind + "\"}")) << c.name;
    }
    // A byte-order mark is skipped, not shown as part of the first number.
    const CliRun bom = analyze({write("bom.txt", "\xEF\xBB\xBF" + exampleWith({})).string()});
    EXPECT_EQ(bom.status, ExitOk) << bom.out;
    // A long bad field is cut, and the end of the message stays.
    const fs::path longFile = write("long.txt", exampleWith({{9, longField + "x"}}));
    const CliRun cut = analyze({"--format", "json", longFile.string()});
    EXPECT_THAT(cut.out, HasSubstr("7…7"));
    EXPECT_THAT(cut.out, HasSubstr("7x' is not a valid floating point value\",\"error_kind\":\"number_text\"}"));
    EXPECT_LT(cut.out.size(), 1000u);
    // A write failure names the file it could not write, not the data file.
    const fs::path missing = dir / "missing";
    const CliRun write = analyze({"--format", "json", "--report-dir", missing.string(), ExampleBlock.string()});
    EXPECT_THAT(write.out, HasSubstr(ExampleBlock.string() + ": 无法写入“" + (missing / "example.txt").string() +
                                     "”：文件或文件夹不存在"));
}

TEST_F(AnalyzeTest, OutputsNeverReplaceAnInputOfTheRun) {
    // A report is "<block>.txt", like a data file: --report-dir . once
    // turned W1.txt into its own report.
    fs::create_directories(dir / "in");
    const fs::path input = write("in/W1.txt", exampleWith({}));
    const fs::path second = write("in/W1block.dxf", exampleWith({})); // block "W1block"
    fs::create_hard_link(input, dir / "linked.txt");
    fs::create_directory_symlink(dir / "in", dir / "alias");
    const struct {
        std::vector<std::string> args;
        std::string output;
    } cases[] = {
        {{"--report-dir", (dir / "in").string(), input.string()}, (dir / "in" / "W1.txt").string()},
        {{"--report-dir", (dir / "in" / "." / "").string(), input.string()}, (dir / "in" / "." / "W1.txt").string()},
        {{"--report-dir", (dir / "alias").string(), input.string()}, (dir / "alias" / "W1.txt").string()},
        {{"--report-dir", dir.string(), (dir / "linked.txt").string()}, (dir / "linked.txt").string()},
        {{"--dxf-dir", (dir / "in").string(), input.string(), second.string()}, (dir / "in" / "W1block.dxf").string()},
    };
    for (const auto& c : cases) {
        auto args = c.args;
        args.insert(args.begin(), {"--format", "json"});
        const CliRun r = analyze(args);
        EXPECT_EQ(r.status, ExitBlockFailed) << c.output;
        EXPECT_THAT(r.out, HasSubstr("输出文件“" + c.output + "”是本次分析的输入文件")) << c.output;
        EXPECT_EQ(lines(r.out)[0].find("\"kc\":null") != std::string::npos, true) << c.output;
        EXPECT_EQ(exampleWith({}), [&] {
            std::ifstream in(input, std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(in), {});
        }()) << c.output;
    }
}

TEST_F(AnalyzeTest, TwoInputsWhoseOutputsCollideFailTheSecondNamingBoth) {
    // Same block name from different folders, from "W.txt" and "W.v2.txt",
    // and the empty name of ".x.txt": each once overwrote the other's
    // report while the run reported success.
    fs::create_directories(dir / "a");
    fs::create_directories(dir / "b");
    const struct {
        std::string first, second, report;
    } cases[] = {
        {"a/W.txt", "b/W.txt", "W.txt"},
        {"a/V.txt", "a/V.v2.txt", "V.txt"},
        {"a/.x.txt", "b/.y.txt", ".txt"},
    };
    for (const auto& c : cases) {
        fs::remove_all(dir / "reports");
        fs::create_directory(dir / "reports");
        const fs::path first = write(c.first, exampleWith({{15, "24"}}));
        const fs::path second = write(c.second, exampleWith({{15, "99"}}));
        const CliRun r = analyze({"--format", "json", "--report-dir", (dir / "reports").string(), "--dxf-dir",
                                  (dir / "reports").string(), first.string(), second.string()});
        EXPECT_EQ(r.status, ExitBlockFailed) << c.second;
        const auto out = lines(r.out);
        ASSERT_EQ(out.size(), 2u);
        EXPECT_THAT(out[0], HasSubstr("\"error\":null"));
        EXPECT_THAT(out[1],
                    HasSubstr("\"error\":\"" + second.string() + ": 输出文件“" + (dir / "reports" / c.report).string() +
                              "”已写有输入文件“" + first.string() + "”的结果，不能覆盖\""));
        std::ifstream report(dir / "reports" / c.report, std::ios::binary);
        const std::string text(std::istreambuf_iterator<char>(report), {});
        EXPECT_NE(text.find("\t24"), std::string::npos) << c.second; // the first block's cohesion
    }
}

TEST_F(AnalyzeTest, FileNamesInGbkAndNamesNearTheLimit) {
    // A GBK name (from an archive made on a GBK system) once failed with an
    // encoding error and put raw bytes into the JSON line.
    const fs::path gbk = write("\xD0\xA8\xBF\xE9.txt", exampleWith({})); // 楔块
    const fs::path neither = write("\xFF\xFE.txt", exampleWith({}));
    const std::string longName(251, 'L');
    const fs::path longFile = write(longName + ".txt", exampleWith({}));
    const CliRun r = analyze({"--format", "json", "--report-dir", (dir / "reports").string(), gbk.string(),
                              neither.string(), longFile.string()});
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_THAT(out[0], HasSubstr("{\"block\":\"楔块\",\"contact\":\"BothPlanes\""));
    EXPECT_TRUE(fs::exists(dir / "reports" / "楔块.txt"));
    EXPECT_THAT(out[1], HasSubstr("{\"block\":\"\\\\xFF\\\\xFE\""));
    EXPECT_THAT(out[1], HasSubstr("\\\\xFF\\\\xFE.txt: 块体名称"));
    // Block names of 240-251 bytes once failed for their temporary's name.
    EXPECT_THAT(out[2], HasSubstr("\"error\":null"));
    EXPECT_TRUE(fs::exists(dir / "reports" / (longName + ".txt")));
    for (const std::string& line : out) EXPECT_TRUE(trelmox::isUtf8(line)) << line;
}

TEST_F(AnalyzeTest, SingularTripleGivesMessagesAndNoGeometryFromAnotherBlock) {
    // Slope top and first cutting plane both horizontal: the triples (1,2,3)
    // and (1,3,4) have a zero determinant. The example analysed before must
    // not lend its corners.
    const fs::path singular =
        write("singular.txt", exampleWith({{1, "0,105"}, {3, "0,195"}, {5, "N,15,E,S,E,0"}, {7, "N,75,W,S,W,0"}}));
    const CliRun r = analyze({"--format", "json", "--report-dir", (dir / "reports").string(), "--dxf-dir",
                              (dir / "dxf").string(), ExampleBlock.string(), singular.string()});
    EXPECT_EQ(r.status, ExitBlockFailed);
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_THAT(out[1],
                HasSubstr("\"block\":\"singular\",\"contact\":null,\"kc\":null,\"kc_note\":null,\"volume\":null"));
    EXPECT_THAT(out[1], HasSubstr("\"messages\":[\"1、2、3三平面不能切出块体\",\"1、3、4三平面不能切出块体\"]"));
    EXPECT_FALSE(fs::exists(dir / "reports" / "singular.txt"));
    EXPECT_FALSE(fs::exists(dir / "dxf" / "singularblock.dxf"));
}

TEST_F(AnalyzeTest, NoBlockIsAnAnalysisWithItsMessage) {
    const fs::path overhang = write("overhang.txt", exampleWith({{12, "-1"}}));
    const CliRun r = analyze({"--format", "json", overhang.string()});
    EXPECT_EQ(r.status, ExitOk);
    // No wedge: no factor and no wedge's figures, never a 0 a script would count.
    EXPECT_THAT(r.out, HasSubstr("\"contact\":\"NoBlock\",\"kc\":null,\"kc_note\":null,\"volume\":null,"));
    // The real wedge is refused beside Kc, for its own reason.
    EXPECT_THAT(r.out, HasSubstr("\"fs_contact\":\"NoBlock\",\"fs\":null,"));
    EXPECT_THAT(
        r.out,
        HasSubstr("\"messages\":[\"不能切除块体\",\"两切割面的交线不在坡面出露，不能切除块体\"],\"error\":null"));
}

TEST_F(AnalyzeTest, BlockNameThatWouldLeaveItsFolderIsRefusedBeforeWriting) {
    const fs::path sneaky = write("a\\b.txt", exampleWith({}));
    const CliRun r = analyze({"--format", "json", "--report-dir", (dir / "reports").string(), "--dxf-dir",
                              (dir / "dxf").string(), sneaky.string()});
    EXPECT_EQ(r.status, ExitBlockFailed);
    EXPECT_THAT(r.out, Not(HasSubstr("\"error\":null")));
    EXPECT_TRUE(fs::is_empty(dir / "reports"));
    EXPECT_TRUE(fs::is_empty(dir / "dxf"));
}

TEST_F(AnalyzeTest, TextAndCsvCarryTheSameResult) {
    const CliRun text = analyze({ExampleBlock.string()});
    EXPECT_EQ(text.status, ExitOk);
    EXPECT_THAT(text.out, HasSubstr("example"));
    EXPECT_THAT(text.out, HasSubstr("BothPlanes"));
    EXPECT_THAT(text.out, HasSubstr("1.1891"));
    EXPECT_THAT(text.out, HasSubstr("17896.9513"));
    const CliRun csv = analyze({"--format", "csv", ExampleBlock.string()});
    const auto rows = lines(csv.out);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0],
              "block,contact,kc,volume,height,plunge,fs_contact,fs,state,state_code,weight,areas.plane1,areas.plane2,"
              "areas.face,areas.top,areas.crack,required_bolt_force,required_bolt_trend,required_bolt_plunge,"
              "scale,scale_limit,scaled_height,wedge_volume,too_small,back_break,back_break_length,"
              "remaining_bench,bench_too_narrow,messages,error,kc_note,fs_note,fs_error,fs_error_kind\r");
    EXPECT_THAT(rows[1], ::testing::StartsWith("example,BothPlanes,1.1891"));
}

// The tool's columns from fs_contact to required_bolt_plunge for a wedge
// the full analysis found, as the engine gives them; the bolt is the
// design bolt when the loads give one, else the least-force direction.
std::vector<std::string> fullColumns(const trelmox::RealWedge& full, std::string (*number)(double)) {
    using namespace trelmox;
    const FullAnalysis& a = full.Analysis;
    std::vector<std::string> columns = {contactName(a.Safety.Contact), number(a.Safety.Factor),
                                        stabilityStateName(*a.State), trelmox::stateCode(*a.State),
                                        number(norm(a.Forces.Weight))};
    for (const WedgePolygon& face : a.Shape.Faces) columns.push_back(number(face.Area));
    const SupportDesign& d = full.Design;
    const double force = d.Bolt ? *d.BoltForce : d.Least->Force;
    const LineDirection direction = d.Bolt ? d.Bolt->Direction : d.Least->Direction;
    for (double figure : {force, direction.Trend, direction.Plunge}) columns.push_back(number(figure));
    return columns;
}

std::string joined(const std::vector<std::string>& columns) {
    std::string text;
    for (const std::string& column : columns) text += column + ",";
    return text;
}

std::string fileBytes(const fs::path& path) { return trelmox::readFileBytes(path); }

} // namespace

// The full analysis reads the companion file beside the data file and then
// writes its own report and draws the real wedge with its loads; Kc's report
// and drawing keep their bytes with loads or without, a block without loads
// gets the files it got before Fs joined, and the tool writes nothing beside
// the data file.
TEST_F(AnalyzeTest, FullAnalysisWithTheCompanionFileAndKcsFilesUnchanged) {
    const struct {
        const char* folder;
        std::optional<trelmox::WedgeLoads> loads;
        std::vector<std::string> reports;
    } cases[] = {
        {"plain", std::nullopt, {"example.txt"}},
        {"loaded", trelmox::testing::exampleLoads(), {"example.txt", "example三维分析.txt"}},
    };
    std::map<std::string, std::string> kcFiles; // by folder: the report and drawing bytes
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        const fs::path in = dir / c.folder, reports = dir / "reports" / c.folder, dxf = dir / "dxf" / c.folder,
                       plots = dir / "plots" / c.folder, drawn = dir / "drawn" / c.folder;
        for (const fs::path& folder : {in, reports, dxf, plots, drawn}) fs::create_directories(folder);
        fs::copy_file(ExampleBlock, in / "example.txt");
        if (c.loads) write(std::string(c.folder) + "/example.json", trelmox::companionText(*c.loads));
        const std::string file = (in / "example.txt").string();
        const trelmox::ParsedBlock block = trelmox::readSavedBlock(ExampleBlock);
        const trelmox::BlockRun expected =
            trelmox::runBlock(trelmox::blockInput(block), c.loads.value_or(trelmox::WedgeLoads{}));
        const trelmox::BlockVertices vertices = *expected.Vertices;
        const trelmox::WedgeScene scene = c.loads ? trelmox::blockScene(vertices, &expected.Full->Analysis, *c.loads)
                                                  : trelmox::tetrahedronScene(vertices);
        trelmox::writeBlockPictures(drawn, "example", block.Attitudes, block.Input.Parameters, expected.Loads, scene);

        const CliRun json = analyze({"--format", "json", "--report-dir", reports.string(), "--dxf-dir", dxf.string(),
                                     "--plot-dir", plots.string(), file});
        ASSERT_EQ(json.status, ExitOk) << json.out;
        std::vector<std::string> written;
        for (const auto& entry : fs::directory_iterator(reports)) written.push_back(entry.path().filename());
        std::sort(written.begin(), written.end());
        EXPECT_EQ(written, c.reports);
        kcFiles[c.folder] = fileBytes(reports / "example.txt") + fileBytes(dxf / "exampleblock.dxf");
        if (c.loads) {
            EXPECT_EQ(fileBytes(reports / "example三维分析.txt"),
                      trelmox::utf8ToGb18030(fullReportText("example", block, expected)));
        }
        for (const char* picture : {"examplestereonet.svg", "examplewedge.svg"})
            EXPECT_EQ(fileBytes(plots / picture), fileBytes(drawn / picture)) << picture;
        EXPECT_EQ(fs::exists(in / "example.json"), c.loads.has_value()); // never written by the tool

        const std::vector<std::string> columns = fullColumns(*expected.Full, jsonNumber);
        const std::string areas = "{\"plane1\":" + columns[5] + ",\"plane2\":" + columns[6] +
                                  ",\"face\":" + columns[7] + ",\"top\":" + columns[8] + ",\"crack\":" + columns[9] +
                                  "}";
        EXPECT_THAT(json.out, HasSubstr("\"fs_contact\":\"" + columns[0] + "\",\"fs\":" + columns[1] +
                                        ",\"fs_note\":null,\"fs_error\":null,\"fs_error_kind\":null,\"state\":\"" +
                                        columns[2] + "\",\"state_code\":\"" + columns[3] + "\",\"weight\":" +
                                        columns[4] + ",\"areas\":" + areas + ",\"required_bolt_force\":" + columns[10] +
                                        ",\"required_bolt_trend\":" + columns[11] +
                                        ",\"required_bolt_plunge\":" + columns[12] + ",\"scale\":1.0,"));
        const CliRun csv = analyze({"--format", "csv", file});
        EXPECT_THAT(csv.out, HasSubstr("," + joined(fullColumns(*expected.Full, csvNumber)) +
                                       "1,,40,")); // nothing bound the size
    }
    EXPECT_EQ(kcFiles["loaded"], kcFiles["plain"]);
}

// What the analysis says of its own rules reaches every output that
// carries the block's messages: a saturated wedge whose crack daylights in
// the face and drains there keeps the joints' pressures of the wedge
// without the crack; a least bolt force that the search could not confirm
// (a non-linear strength gives no bound to check it against).
TEST_F(AnalyzeTest, TheAnalysissNotesAreSaidInTheMessages) {
    trelmox::WedgeLoads draining;
    draining.Water = trelmox::WaterMode::Saturated;
    draining.Crack = trelmox::TensionCrack{{60, 45}, 10, 100};
    trelmox::WedgeLoads rough;
    rough.Strength[0].Model = rough.Strength[1].Model = trelmox::StrengthModel::BartonBandis;
    rough.RequiredFactor = 2.5, rough.Preset.reset();
    const struct {
        trelmox::WedgeLoads loads;
        const char* said;
    } cases[] = {
        {draining, "张裂缝在坡面出露，不能存水，两切割面仍取无张裂缝时楔块的水压力"},
        {rough, "最省力锚杆方向由搜索求得，未能确认其锚固力在各方向最小值的0.5%以内"},
    };
    fs::copy_file(ExampleBlock, dir / "example.txt");
    for (const auto& c : cases) {
        write("example.json", trelmox::companionText(c.loads));
        for (const char* format : {"json", "csv", "text"}) {
            const CliRun r = analyze({"--format", format, (dir / "example.txt").string()});
            ASSERT_EQ(r.status, ExitOk) << r.err;
            EXPECT_THAT(r.out, HasSubstr(c.said)) << format;
        }
    }
}

// The real wedge is decided on its own: its refusal is a message beside Kc,
// not the block's failure; a companion file that cannot be read fails its
// block.
TEST_F(AnalyzeTest, TheRealWedgeIsDecidedBesideKc) {
    using trelmox::PlaneAttitudeArray;
    const struct {
        const char* name;
        PlaneAttitudeArray attitudes;
        std::string companion;
        int status;
        std::vector<std::string> parts;
    } cases[] = {
        {"the line of intersection never meets the top",
         {{{30, 105}, {30, 195}, {24, 150}, {70, 180}}},
         "",
         ExitOk,
         {"\"contact\":\"BothPlanes\",", "\"volume\":621724.9", "\"plunge\":-22.207",
          "\"fs_contact\":\"NoBlock\",\"fs\":null,\"fs_note\":null,\"fs_error\":null,\"fs_error_kind\":null,"
          "\"state\":null,\"state_code\":null,\"weight\":null,\"areas\":null,"
          "\"required_bolt_force\":null,\"required_bolt_trend\":null,\"required_bolt_plunge\":null,",
          "\"messages\":[\"两切割面的交线不在坡顶线后方与坡顶面相交，不能切除块体\"],\"error\":null"}},
        {"a top dipping into the slope",
         {{{31.33, 140}, {31.33, 220}, {30, 0}, {60, 180}}},
         "",
         ExitOk,
         {"\"contact\":\"NoBlock\",\"kc\":null,", "\"fs_contact\":\"BothPlanes\",\"fs\":1.3", "\"weight\":165509.",
          "\"messages\":[\"不能切除块体\"],\"error\":null"}},
        {"a companion file that is no JSON",
         {{{30, 105}, {30, 195}, {0, 0}, {70, 180}}},
         "{",
         ExitBlockFailed,
         {"\"kc\":null", "“example.json”"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path in = dir / "in";
        fs::remove_all(in);
        fs::create_directories(in);
        trelmox::PlaneQuadrantArray quadrants;
        trelmox::data2to1(c.attitudes, quadrants);
        trelmox::TWedgeParams params = trelmox::testing::exampleParams();
        params.SlopeHeight = "30";
        trelmox::writeBlockFile(in, "example", c.attitudes, quadrants, params);
        if (!c.companion.empty()) write("in/example.json", c.companion);
        const CliRun r = analyze({"--format", "json", (in / "example.txt").string()});
        EXPECT_EQ(r.status, c.status) << r.out;
        for (const std::string& part : c.parts) EXPECT_THAT(r.out, HasSubstr(part));
    }
}

// Size limits from the companion file: the wedge halved by its trace on the
// face, the keys saying by how much and why, and a bench's back-break.
TEST_F(AnalyzeTest, SizeLimitsScaleTheRealWedgeAndSayWhy) {
    using namespace trelmox;
    const SavedBlock block = readSavedBlock(ExampleBlock);
    const FullAnalysis full = analyseSavedBlock(
        trelmox::BlockInput{block.Attitudes, {}, trelmox::parameterNumbers(block.Params)}, WedgeLoads{});
    WedgeLoads loads;
    loads.Size.FaceTrace[1] = edgeLength(full.Shape, WedgeSurface::SecondPlane, WedgeSurface::SlopeFace) / 2;
    loads.Size.Bench = BenchLimits{1000, 1000, 999.5};
    fs::create_directories(dir / "sized");
    fs::copy_file(ExampleBlock, dir / "sized" / "example.txt");
    write("sized/example.json", companionText(loads));
    const CliRun r = analyze({"--format", "json", (dir / "sized" / "example.txt").string()});
    ASSERT_EQ(r.status, ExitOk) << r.out;
    EXPECT_THAT(r.out,
                HasSubstr(",\"scale\":0.5,\"scale_limit\":\"face_trace2\",\"scaled_height\":20.0,\"wedge_volume\":" +
                          jsonNumber(full.Shape.Volume / 8) + ",\"too_small\":false,\"back_break\":"));
    EXPECT_THAT(r.out, HasSubstr(",\"bench_too_narrow\":true,"));
    EXPECT_THAT(r.out, HasSubstr("超出平面2在坡面上的迹长的限制"));
    const CliRun csv = analyze({"--format", "csv", (dir / "sized" / "example.txt").string()});
    EXPECT_THAT(csv.out, HasSubstr(",0.5,face_trace2,20,"));
}

namespace {

TEST(AnalyzeUsage, MistakesGiveUsageAndStatusTwo) {
    const std::vector<std::vector<std::string>> cases = {
        {"analyze"},
        {"analyze", "--format", "xml", "a.txt"},
        {"analyze", "--format"},
        {"analyze", "--plot", "a.txt"},
        {"analyze", "-x", "a.txt"},
        // An empty folder once meant the current folder, where the data files are.
        {"analyze", "--report-dir=", "a.txt"},
        {"analyze", "--dxf-dir", "", "a.txt"},
        {"analyze", "--plot-dir=", "a.txt"},
        {"frobnicate"},
        {},
    };
    for (const auto& args : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(run(args, out, err), ExitUsage) << ::testing::PrintToString(args);
        EXPECT_THAT(err.str(), HasSubstr("usage: trelmox-cli")) << ::testing::PrintToString(args);
    }
    std::ostringstream out, err;
    EXPECT_EQ(run({"analyze", "--help"}, out, err), ExitOk);
    EXPECT_THAT(out.str(), HasSubstr("--report-dir"));
}

TEST(OutputText, JsonAndCsvQuoting) {
    EXPECT_EQ(jsonString("a\"b\\c\n\t\x01"), "\"a\\\"b\\\\c\\n\\t\\u0001\"");
    EXPECT_EQ(jsonString("不能切除块体"), "\"不能切除块体\"");
    // JSON numbers as the shortest text of their double; CSV keeps 17 digits.
    EXPECT_EQ(jsonNumber(0.141494), "0.141494");
    EXPECT_EQ(csvNumber(0.141494), "0.14149400000000001");
    EXPECT_EQ(jsonNumber(std::numeric_limits<double>::quiet_NaN()), "null");
    std::ostringstream out;
    auto printer = makeOutcomePrinter("csv", out);
    printer->print({"a,b", std::nullopt, std::nullopt, std::nullopt, {"x \"y\"", "z"}, trelmox::Error("bad")});
    EXPECT_THAT(out.str(), HasSubstr("\"a,b\"" + std::string(28, ',') + "\"x \"\"y\"\"; z\",bad,,,,\r\n"));
}

} // namespace

// A block whose companion file gives a plane a strength of its own gets each
// plane's model, mean normal stress and shear force; the CSV gets their
// columns after the others only in a batch with such a block, and gives the
// other blocks theirs under Mohr-Coulomb.
TEST_F(AnalyzeTest, StrengthModelsInJsonAndCsv) {
    fs::create_directories(dir / "in");
    fs::copy_file(ExampleBlock, dir / "in" / "a.txt");
    fs::copy_file(ExampleBlock, dir / "in" / "b.txt");
    trelmox::WedgeLoads loads;
    loads.Strength[0].Model = trelmox::StrengthModel::BartonBandis;
    write("in/a.json", trelmox::companionText(loads));
    const std::string a = (dir / "in" / "a.txt").string(), b = (dir / "in" / "b.txt").string();
    const trelmox::BlockRun run = trelmox::runBlock(trelmox::readSavedBlock(ExampleBlock).Input, loads);
    const trelmox::FullAnalysis& full = run.Full->Analysis;
    const double stress1 = full.Safety.Normal1 / full.Shape.Faces[0].Area;

    const std::vector<std::string> json = lines(analyze({"--format", "json", a, b}).out);
    ASSERT_EQ(json.size(), 2u);
    EXPECT_THAT(json[0], HasSubstr(",\"strength\":{\"plane1\":{\"model\":\"barton_bandis\",\"normal_stress\":" +
                                   jsonNumber(stress1) + ",\"shear_force\":" + jsonNumber(full.Safety.Shear1) +
                                   "},\"plane2\":{\"model\":\"mohr_coulomb\","));
    EXPECT_THAT(json[1], Not(HasSubstr("strength")));

    const std::vector<std::string> csv = lines(analyze({"--format", "csv", a, b}).out);
    ASSERT_EQ(csv.size(), 3u);
    EXPECT_THAT(csv[0], HasSubstr(",error,strength.plane1,strength.plane2,normal_stress.plane1,normal_stress.plane2,"
                                  "shear_force.plane1,shear_force.plane2,kc_note,fs_note,fs_error,fs_error_kind\r"));
    EXPECT_THAT(csv[1], HasSubstr(",barton_bandis,mohr_coulomb," + csvNumber(stress1) + ","));
    EXPECT_THAT(csv[2], HasSubstr(",mohr_coulomb,mohr_coulomb,"));
    EXPECT_THAT(lines(analyze({"--format", "csv", b}).out)[0], Not(HasSubstr("strength")));
}
