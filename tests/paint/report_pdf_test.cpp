// The calculation report as an engineer receives it: the PDF read back by
// the poppler tools (text, pages, fonts, images), and `trelmox-cli report`
// run as a process on a machine without a display.
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>

#include "model/datafile.h"
#include "document/report_inputs.h"
#include "model/files.h"
#include "paint/report_pages.h"
#include "tests/model/test_blocks.h"
#include "tests/model/test_support.h"
#include "trelmox/version.h"

using namespace trelmox;
using trelmox::testing::TempFolder;

namespace {

// The standard output of a shell command.
std::string commandOutput(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    std::array<char, 4096> buffer;
    while (const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) output.append(buffer.data(), n);
    pclose(pipe);
    return output;
}

std::string quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

int pageCount(const std::filesystem::path& pdf) {
    std::istringstream info(commandOutput("pdfinfo " + quoted(pdf)));
    for (std::string line; std::getline(info, line);)
        if (line.starts_with("Pages:")) return std::stoi(line.substr(6));
    return 0;
}

// pdftotext drops the blanks between Chinese and Latin text, so texts are
// compared without blanks.
std::string withoutBlanks(std::string text) {
    std::erase(text, ' ');
    return text;
}

std::string pageText(const std::filesystem::path& pdf, int page) {
    const std::string p = std::to_string(page);
    return withoutBlanks(commandOutput("pdftotext -f " + p + " -l " + p + " " + quoted(pdf) + " -"));
}

std::string allText(const std::filesystem::path& pdf) {
    return withoutBlanks(commandOutput("pdftotext " + quoted(pdf) + " -"));
}

// The top and bottom (points from the page's top) of the first word on a
// page that begins with `word`; none when there is none.
std::optional<std::pair<double, double>> wordHeight(const std::filesystem::path& pdf, int page,
                                                    const std::string& word) {
    const std::string p = std::to_string(page);
    std::istringstream boxes(commandOutput("pdftotext -bbox -f " + p + " -l " + p + " " + quoted(pdf) + " -"));
    for (std::string line; std::getline(boxes, line);) {
        const std::size_t text = line.find("\">");
        if (line.find("<word ") == std::string::npos || text == std::string::npos ||
            line.compare(text + 2, word.size(), word))
            continue;
        const auto attribute = [&line](const std::string& name) {
            return std::stod(line.substr(line.find(name + "=\"") + name.size() + 2));
        };
        return std::pair{attribute("yMin"), attribute("yMax")};
    }
    return std::nullopt;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(withoutBlanks(part)) != std::string::npos;
}

SavedBlock exampleBlock() { return savedBlockFromTexts(parseBlockData(readTextFile(TRELMOX_EXAMPLE))); }

CalculationReportInputs exampleWithAllPictures() {
    const SavedBlock block = exampleBlock();
    CalculationReportInputs in = analysedReportInputs("example", block, {}, "2026-12-08");
    ProbabilisticSettings settings;
    settings.Distributions[static_cast<int>(Parameter::Friction1)] = normalDistribution(0.05);
    settings.Distributions[static_cast<int>(Parameter::Dip1)] = normalDistribution(2);
    settings.Samples = 2000;
    in.Probabilistic =
        ProbabilisticRun{settings, runProbabilistic(block.Attitudes, parameterNumbers(block.Params), settings)};
    in.Sensitivity =
        sensitivityRun(Parameter::Friction1,
                       runSensitivity(block.Attitudes, parameterNumbers(block.Params), Parameter::Friction1, 0, 1, 20),
                       in.Facts.Values);
    return in;
}

std::filesystem::path writtenPdf(const TempFolder& folder, const CalculationReportInputs& in) {
    const std::filesystem::path pdf = folder.path() / calculationReportFileName(in.BlockName);
    paint::writeReportPdf(pdf, calculationReport(in));
    return pdf;
}

// The titles, headings and captions of a report, which must never end a page.
std::vector<std::string> headingsOf(const CalculationReport& report) {
    std::vector<std::string> headings;
    for (const ReportSection& section : report.Sections) {
        headings.push_back(withoutBlanks(section.Title));
        for (const ReportItem& item : section.Items) {
            if (const auto* heading = std::get_if<ReportHeading>(&item))
                headings.push_back(withoutBlanks(heading->Text));
            if (const auto* table = std::get_if<ReportTable>(&item); table && !table->Caption.empty())
                headings.push_back(withoutBlanks(table->Caption));
        }
    }
    return headings;
}

// Every page carries the header with the block name and its number, and
// something besides them; with the report, no page ends in a heading.
void checkPages(const std::filesystem::path& pdf, const std::string& blockName, int expectedPages,
                const CalculationReport* report = nullptr) {
    const int pages = pageCount(pdf);
    EXPECT_EQ(pages, expectedPages);
    for (int page = 1; page <= pages; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        std::string text = pageText(pdf, page);
        const std::string header = withoutBlanks("楔块 " + blockName + " 稳定性分析计算书");
        const std::string footer =
            withoutBlanks("第 " + std::to_string(page) + " 页 共 " + std::to_string(pages) + " 页");
        for (const std::string& frame : {header, footer, withoutBlanks(std::string("TRELMOX ") + Version)}) {
            const std::size_t at = text.find(frame);
            ASSERT_NE(at, std::string::npos) << frame;
            text.erase(at, frame.size());
        }
        EXPECT_NE(text.find_first_not_of("\n\f"), std::string::npos) << "an empty page";
        if (!report || page == pages) continue;
        std::istringstream lines(text);
        std::string last;
        for (std::string line; std::getline(lines, line);)
            if (line.find_first_not_of("\f") != std::string::npos) last = line;
        for (const std::string& heading : headingsOf(*report)) EXPECT_NE(last, heading) << "a heading ends the page";
    }
}

} // namespace

TEST(ReportPdf, TheExampleBlockWithAllItsPictures) {
    TempFolder folder;
    const CalculationReportInputs inputs = exampleWithAllPictures();
    const std::filesystem::path pdf = writtenPdf(folder, inputs);
    // The cover, five pages of inputs, methods, results and conclusion, and
    // three of pictures: the stereonet with the 3D view, the histograms of
    // Kc and Fs, the sensitivity plot.
    const CalculationReport report = calculationReport(inputs);
    checkPages(pdf, "example", 9, &report);

    const std::string cover = pageText(pdf, 1);
    for (const std::string& part : std::vector<std::string>{"岩质边坡楔形体稳定性分析计算书", "块体名称", "example",
                                                            "2026-12-08", "校核", std::string("TRELMOX ") + Version})
        EXPECT_TRUE(contains(cover, part)) << part;
    // The title stands well below the header line and above the table.
    const auto header = wordHeight(pdf, 1, "楔块");
    const auto title = wordHeight(pdf, 1, "岩质边坡");
    const auto table = wordHeight(pdf, 1, "块体名称");
    ASSERT_TRUE(header && title && table);
    EXPECT_GT(title->first - header->second, 100);
    EXPECT_GT(table->first - title->second, 40);

    const std::string all = allText(pdf);
    for (const char* part : {"1.18912355743381",
                             "17896.9513",
                             "31.1965",
                             "39.1259",
                             "双面接触",
                             "基本稳定",
                             "表1 平面产状",
                             "一、基本资料",
                             "二、计算方法",
                             "四、结论",
                             "五、附图",
                             "图1 赤平投影（下半球等角投影）",
                             "图2 楔块三维视图",
                             "图3 安全系数 Kc 直方图",
                             "图4 实际楔块安全系数 Fs 直方图",
                             "图5 安全系数 Kc 与第一切割面摩擦系数 f1的关系",
                             "下半球等角投影",
                             "157.7°∠31.2°",
                             "P(Kc<1) =",
                             "块体取值"})
        EXPECT_TRUE(contains(all, part)) << part;
    // A paragraph over a page break is on the pages once, not once more hidden.
    for (const char* once :
         {"按刚体极限平衡", "由坡顶面、坡面和两切割面三三相交", "楔块取为两切割面、坡面、实际坡顶面"}) {
        const std::size_t first = all.find(once);
        EXPECT_TRUE(first != std::string::npos && all.find(once, first + 1) == std::string::npos) << once;
    }

    // The fonts travel with the file, and the pictures are vectors.
    std::istringstream fonts(commandOutput("pdffonts " + quoted(pdf)));
    std::string line;
    std::getline(fonts, line);
    std::getline(fonts, line);
    int embedded = 0;
    while (std::getline(fonts, line)) {
        EXPECT_NE(line.find(" yes "), std::string::npos) << line;
        embedded += line.find("WenQuanYi") != std::string::npos;
    }
    EXPECT_EQ(embedded, 1);
    std::istringstream images(commandOutput("pdfimages -list " + quoted(pdf)));
    int lines = 0;
    while (std::getline(images, line)) ++lines;
    EXPECT_EQ(lines, 2) << "only the list's heading, no raster image";
}

TEST(ReportPdf, BlocksWithoutResultsSaySo) {
    const CalculationReportInputs neverAnalysed =
        reportInputs("w2", exampleBlock(), {}, std::nullopt, NeverAnalysedText, "2026-12-08");
    const SavedBlock flat = trelmox::testing::blockWithoutCorners();
    const struct {
        const char* name;
        CalculationReportInputs inputs;
        std::string says;
        int pages;
    } cases[] = {
        {"never analysed", neverAnalysed, "该块体尚未分析", 4},
        {"corners", analysedReportInputs("w3", flat, {}, "2026-12-08"),
         "不能求出块体的全部角点，未作分析：1、2、3三平面不能切出块体", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::filesystem::path pdf = writtenPdf(folder, c.inputs);
        checkPages(pdf, c.inputs.BlockName, c.pages);
        const std::string all = allText(pdf);
        EXPECT_TRUE(contains(all, c.says));
        EXPECT_TRUE(contains(all, "不能作出结论"));
        EXPECT_TRUE(contains(all, "平面产状")); // the inputs are there all the same
    }
}

// As a user runs it: no display, a block with its loads, a block that cuts
// out no corner, and a file that does not exist in one batch.
TEST(ReportCommand, WritesEveryBlockItCanWithoutADisplay) {
    TempFolder folder;
    const std::filesystem::path data = folder.path() / "data", out = folder.path() / "pdf";
    std::filesystem::create_directories(data);
    std::filesystem::copy_file(TRELMOX_EXAMPLE, data / "b1.txt");
    std::filesystem::copy_file(std::string(TRELMOX_TEST_DATA) + "/example_loads.json", data / "b1.json");
    const SavedBlock flat = trelmox::testing::blockWithoutCorners();
    writeBlockFile(data, "b2", flat.Attitudes, flat.Quadrants, flat.Params);

    const std::string run = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + quoted(TRELMOX_CLI) +
                            " --lang zh report --pdf-dir " + quoted(out) + " " + quoted(data / "b1.txt") + " " +
                            quoted(data / "b2.txt") + " " + quoted(data / "none.txt") + " 2>" +
                            quoted(folder.path() / "err") + "; echo status $?";
    const std::string output = commandOutput(run);
    EXPECT_NE(output.find("b1\t" + (out / "b1计算书.pdf").string()), std::string::npos) << output;
    EXPECT_NE(output.find("b2\t" + (out / "b2计算书.pdf").string()), std::string::npos) << output;
    EXPECT_NE(output.find("status 1"), std::string::npos) << output;
    const std::string errors = readFileBytes(folder.path() / "err");
    EXPECT_NE(errors.find("none.txt"), std::string::npos) << errors;
    EXPECT_NE(errors.find("b2.txt: 计算书中没有计算结果"), std::string::npos) << errors;

    const std::string b1 = allText(out / "b1计算书.pdf");
    for (const char* part : {"1.18912355743381", "饱和楔体", "张裂缝水压力"}) EXPECT_TRUE(contains(b1, part)) << part;
    EXPECT_TRUE(contains(allText(out / "b2计算书.pdf"), "不能求出块体的全部角点"));

    EXPECT_NE(commandOutput(quoted(TRELMOX_CLI) + " report " + quoted(data / "b1.txt") + " 2>&1; echo status $?")
                  .find("--pdf-dir is required"),
              std::string::npos);
}

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen"); // also while the tests are listed at build time
    QGuiApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
