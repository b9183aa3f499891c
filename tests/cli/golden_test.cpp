// Every output of a batch of 300 random blocks (a third with loads and
// support in companion files) against the outputs recorded in
// tests/data/golden: the tool's text, CSV and JSON, the 30-line reports, the
// full analysis reports, the DXF drawings, the SVG pictures and the content
// of the calculation reports. A change of any byte fails, with two
// allowances: JSON numbers are compared as the doubles they read back to,
// and the two reports an engineer signs are compared with the units after
// their figures taken out.
//
// To record the outputs afresh (only when a change of output is meant):
//   TRELMOX_GOLDEN_WRITE=1 build/bin/test_cli --gtest_filter='Golden*'
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <unistd.h>
#include <variant>

#include "tests/cli/cjk.h"
#include "tests/cli/cli_run.h"
#include "model/companion.h"
#include "model/datafile.h"
#include "model/language.h"
#include "model/textcodec.h"
#include "document/report_inputs.h"
#include "report/calculation_report.h"

namespace fs = std::filesystem;
using namespace trelmox;
namespace tool = trelmox::cli::testing;

namespace {

const fs::path Golden = fs::path(TRELMOX_TEST_DATA) / "golden";
constexpr int BlockCount = 300;

bool recording() { return std::getenv("TRELMOX_GOLDEN_WRITE") != nullptr; }

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// FNV-1a, 64 bits: a change of any byte changes it.
std::string digest(const std::string& bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

// A report's text without the units written after its figures, so that a
// report with units compares equal to one without.
std::string withoutUnits(const std::string& text) {
    static const std::regex unit("([0-9]) ?(kN/m³|m³|m²|kN|kPa|m|°)");
    return std::regex_replace(text, unit, "$1");
}

// Every number as the double it reads back to ("0" and "0.0" alike).
void numbersAsDoubles(nlohmann::ordered_json& value) {
    if (value.is_number()) value = value.get<double>();
    if (value.is_structured())
        for (auto& item : value) numbersAsDoubles(item);
}

// Each JSON line parsed and written again, numbers as doubles, so two
// outputs that read back alike compare equal.
std::string canonicalJsonLines(const std::string& text) {
    std::string canonical;
    for (const std::string& line : tool::linesOf(text)) {
        auto value = nlohmann::ordered_json::parse(line);
        numbersAsDoubles(value);
        canonical += value.dump() + "\n";
    }
    return canonical;
}

std::vector<fs::path> blockFiles() {
    std::vector<fs::path> files;
    for (int i = 1; i <= BlockCount; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "R%03d.txt", i);
        files.push_back(Golden / "blocks" / name);
    }
    return files;
}

// The tool's output with the folder of the blocks left out of its paths.
std::string relative(std::string text) {
    const std::string prefix = (Golden / "blocks").string() + "/";
    for (std::size_t at; (at = text.find(prefix)) != std::string::npos;) text.replace(at, prefix.size(), "blocks/");
    return text;
}

std::string reportContent(const CalculationReport& report) {
    std::string text = report.Title + "\n" + report.Header + "\n";
    for (const auto& [label, value] : report.Cover) text += label + "\t" + value + "\n";
    for (const ReportSection& section : report.Sections) {
        text += "## " + section.Title + (section.NewPage ? " (new page)" : "") + "\n";
        for (const ReportItem& item : section.Items) {
            if (const auto* p = std::get_if<ReportParagraph>(&item)) text += p->Text + "\n";
            if (const auto* h = std::get_if<ReportHeading>(&item)) text += "# " + h->Text + "\n";
            if (const auto* t = std::get_if<ReportTable>(&item)) {
                text += "table " + t->Caption + "\n";
                for (const std::string& cell : t->Header) text += cell + "|";
                text += "\n";
                for (const auto& row : t->Rows) {
                    for (const std::string& cell : row) text += cell + "|";
                    text += "\n";
                }
            }
            if (const auto* f = std::get_if<ReportPicture>(&item))
                text += "picture " + f->Caption + " " + std::to_string(f->Aspect) + " " +
                        digest(svgText(f->Picture, 800, 500)) + "\n";
        }
    }
    return text;
}

// The expected text of `name` in the golden folder, or records it; JSON
// lines are compared as canonicalJsonLines gives them.
void compare(const std::string& name, const std::string& actual) {
    const fs::path expected = Golden / name;
    if (recording()) {
        writeFile(expected, actual);
        return;
    }
    ASSERT_TRUE(fs::exists(expected)) << expected;
    const bool json = name.ends_with(".json");
    const auto want = tool::linesOf(json ? canonicalJsonLines(readFile(expected)) : readFile(expected));
    const auto got = tool::linesOf(json ? canonicalJsonLines(actual) : actual);
    ASSERT_EQ(want.size(), got.size()) << name;
    for (std::size_t i = 0; i < want.size(); ++i) EXPECT_EQ(want[i], got[i]) << name << " line " << i + 1;
}

class GoldenTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("trelmox-golden-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        for (const fs::path& file : blockFiles()) args.push_back(file.string());
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
    std::vector<std::string> args;
};

TEST_F(GoldenTest, ToolTablesAreAsRecorded) {
    for (const std::string format : {"text", "csv", "json"}) {
        std::vector<std::string> command{"analyze", "--format", format};
        command.insert(command.end(), args.begin(), args.end());
        const auto run = tool::cli(command);
        EXPECT_EQ(run.status, 1) << "one block of the batch fails its arithmetic";
        const std::string out = relative(run.out);
        compare("analyze." + format, out);
    }
}

TEST_F(GoldenTest, FilesAreAsRecorded) {
    std::vector<std::string> command{
        "analyze",   "--format",           "csv",        "--report-dir",      (dir / "r").string(),
        "--dxf-dir", (dir / "d").string(), "--plot-dir", (dir / "p").string()};
    for (const char* sub : {"r", "d", "p"}) fs::create_directories(dir / sub);
    command.insert(command.end(), args.begin(), args.end());
    tool::cli(command);
    std::map<std::string, std::string> digests; // sorted by file name
    for (const char* sub : {"r", "d", "p"})
        for (const auto& entry : fs::directory_iterator(dir / sub)) {
            const std::string name = entry.path().filename().string();
            const std::string text = readFile(entry.path());
            // The full analysis report carries units after its figures.
            const bool full = name.find("三维分析") != std::string::npos;
            digests[std::string(sub) + "/" + name] =
                digest(full ? utf8ToGb18030(withoutUnits(gb18030ToUtf8(text))) : text);
        }
    std::string manifest;
    for (const auto& [name, hash] : digests) manifest += name + " " + hash + "\n";
    compare("files.digests", manifest);
}

// The files other programs read (the 30-line reports, the DXF drawings,
// the SVG pictures, the data files and the companion files) are the
// recorded bytes whatever the language; the full analysis report follows
// the language.
TEST_F(GoldenTest, InEnglishTheFilesOtherProgramsReadAreTheRecordedBytes) {
    std::vector<std::string> command{"--lang",
                                     "en",
                                     "analyze",
                                     "--format",
                                     "csv",
                                     "--report-dir",
                                     (dir / "r").string(),
                                     "--dxf-dir",
                                     (dir / "d").string(),
                                     "--plot-dir",
                                     (dir / "p").string()};
    for (const char* sub : {"r", "d", "p"}) fs::create_directories(dir / sub);
    command.insert(command.end(), args.begin(), args.end());
    tool::cli(command);
    std::map<std::string, std::string> recorded;
    std::istringstream manifest(readFile(Golden / "files.digests"));
    for (std::string name, hash; manifest >> name >> hash;) recorded[name] = hash;
    std::size_t compared = 0;
    for (const char* sub : {"r", "d", "p"})
        for (const auto& entry : fs::directory_iterator(dir / sub)) {
            const std::string name = std::string(sub) + "/" + entry.path().filename().string();
            if (name.find("三维分析") != std::string::npos) continue;
            EXPECT_EQ(digest(readFile(entry.path())), recorded[name]) << name;
            ++compared;
        }
    EXPECT_GT(compared, std::size_t(2 * BlockCount));
    // The data files and the companion files written again in English.
    setMessageLanguage(Language::English);
    fs::create_directories(dir / "data");
    for (const fs::path& file : blockFiles()) {
        const std::string name = file.stem().string();
        const SavedBlock block = readSavedBlock(file);
        writeBlockFile(dir / "data", name, block.Attitudes, block.Quadrants, block.Params);
        EXPECT_EQ(readFile(dir / "data" / (name + ".txt")), readFile(file)) << name;
        if (const auto loads = readCompanionFile(file.parent_path(), name)) {
            EXPECT_EQ(companionText(*loads), readFile(file.parent_path() / (name + ".json"))) << name;
        }
    }
    setMessageLanguage(Language::Chinese); // as the other tests of this process expect
}

// The decimal figures of a text, in order of size: a report in another
// language words them differently, in another order, but carries them all.
std::vector<std::string> decimals(const std::string& text) {
    static const std::regex number("-?[0-9]+\\.[0-9]+");
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), number), end; it != end; ++it) found.push_back(it->str());
    std::sort(found.begin(), found.end());
    return found;
}

// The two reports an engineer reads follow the language: in English they
// hold no Chinese but the block's own name, and the figures of the Chinese.
TEST_F(GoldenTest, InEnglishTheReportsCarryTheFiguresOfTheChineseWithoutChinese) {
    std::map<std::string, std::string> fullReports[2]; // Chinese, English
    for (int english = 0; english < 2; ++english) {
        const fs::path out = dir / (english ? "en" : "zh");
        fs::create_directories(out);
        std::vector<std::string> command{"--lang", english ? "en" : "zh", "analyze",   "--format",
                                         "csv",    "--report-dir",        out.string()};
        command.insert(command.end(), args.begin(), args.end());
        tool::cli(command);
        for (const auto& entry : fs::directory_iterator(out))
            if (entry.path().filename().string().find("三维分析") != std::string::npos)
                fullReports[english][entry.path().filename().string()] = gb18030ToUtf8(readFile(entry.path()));
    }
    ASSERT_EQ(fullReports[0].size(), fullReports[1].size());
    EXPECT_GT(fullReports[1].size(), std::size_t(BlockCount / 4));
    for (const auto& [name, chinese] : fullReports[0]) {
        const std::string& english = fullReports[1][name];
        EXPECT_FALSE(tool::hasCjk(english)) << name << "\n" << english;
        EXPECT_EQ(decimals(english), decimals(chinese)) << name;
    }
    std::size_t compared = 0;
    for (const fs::path& file : blockFiles()) {
        const std::string name = file.stem().string();
        const SavedBlock block = readSavedBlock(file);
        const WedgeLoads loads = readCompanionFile(file.parent_path(), name).value_or(WedgeLoads{});
        std::string content[2];
        for (int english = 0; english < 2; ++english) {
            setMessageLanguage(english ? Language::English : Language::Chinese);
            content[english] = reportContent(calculationReport(analysedReportInputs(name, block, loads, "2026-12-08")));
        }
        setMessageLanguage(Language::Chinese);
        EXPECT_FALSE(tool::hasCjk(content[1])) << name << "\n" << content[1];
        EXPECT_EQ(decimals(content[1]), decimals(content[0])) << name;
        compared += !content[1].empty();
    }
    EXPECT_EQ(compared, std::size_t(BlockCount));
}

TEST_F(GoldenTest, CalculationReportsAreAsRecorded) {
    std::string manifest;
    for (const fs::path& file : blockFiles()) {
        const std::string name = file.stem().string();
        std::string content;
        try {
            const SavedBlock block = readSavedBlock(file);
            const WedgeLoads loads = readCompanionFile(file.parent_path(), name).value_or(WedgeLoads{});
            content = reportContent(calculationReport(analysedReportInputs(name, block, loads, "2026-12-08")));
        } catch (const Error& error) {
            content = std::string("error ") + error.what();
        }
        manifest += name + " " + digest(withoutUnits(content)) + "\n";
    }
    compare("calculation_reports.digests", manifest);
}

} // namespace
