#include "commands/block_commands.h"

#include <gtest/gtest.h>

#include "analysis/computation_counts.h"
#include "commands/report_commands.h"
#include "document/report_inputs.h"
#include "drawing/dxf.h"
#include "model/error.h"
#include "model/files.h"
#include "report/calculation_report.h"
#include "report/full_report.h"
#include "tests/model/test_blocks.h"
#include "tests/model/test_support.h"

using namespace trelmox;
using trelmox::testing::messageOf;
using trelmox::testing::TempFolder;

namespace {

// What a command told: its notes and the files as it wrote them.
struct Recorder : commands::Feedback {
    std::vector<std::string> notes;
    WrittenFiles written;
    void inform(const std::string& message) override { notes.push_back(message); }
    void fileWritten(const std::filesystem::path& file) override { written.push_back(file); }
};

std::filesystem::path made(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    return folder;
}

// A document with the example block confirmed as "b1", and a loads
// entry that makes the data file take its companion file with it.
struct Bench {
    TempFolder folder;
    BlockDocument document{made(folder.path() / "data"), made(folder.path() / "report")};

    explicit Bench(const SavedBlock& block = trelmox::testing::exampleBlock()) {
        document.setEntryName("b1");
        document.enter(block);
        document.confirmQuadrants();
    }
    std::filesystem::path data(const std::string& name) const { return folder.path() / "data" / name; }
    std::filesystem::path report(const std::string& name) const { return folder.path() / "report" / name; }
};

} // namespace

// The files said written are the files on disk, in the order written, and
// the report text the command returns is the report file, decoded: the
// window shows it without reading it back.
TEST(AnalyseAndSave, WritesTheBlocksFilesAndReturnsTheReportAsWritten) {
    Bench bench;
    LoadsEntries loads = bench.document.loadsEntries();
    loads.setText(LoadsField::Seismic, "0.1");
    bench.document.setLoadsEntries(loads);
    Recorder feedback;
    const commands::AnalysedBlock analysed = commands::analyseAndSave(bench.document, feedback);
    ASSERT_EQ(analysed.Outcome, commands::AnalysisOutcome::Saved);
    ASSERT_EQ(analysed.Written.size(), 4u);
    EXPECT_EQ(analysed.Written[0], bench.data("b1.txt"));
    EXPECT_EQ(analysed.Written[1].parent_path(), bench.folder.path() / "data"); // the companion file
    EXPECT_EQ(analysed.Written[2], bench.report("b1.txt"));
    EXPECT_EQ(analysed.Written[3], fullReportPath(bench.folder.path() / "report", "b1"));
    EXPECT_EQ(feedback.written, analysed.Written);
    for (const auto& file : analysed.Written) EXPECT_TRUE(std::filesystem::exists(file)) << file;
    EXPECT_EQ(analysed.ReportText, readTextFile(bench.report("b1.txt")));
    EXPECT_TRUE(bench.document.resultsCurrent());
}

// The windows' analysis with everything it writes, and the calculation
// report made from its results, work out the corners, Kc and the full
// analysis once: the outputs format the document's run.
TEST(AnalyseAndSave, ComputesEachFigureOnceForEveryOutput) {
    Bench bench;
    const ComputationCounts before = computationCounts();
    const commands::AnalysedBlock analysed = commands::analyseAndSave(bench.document, commands::silentFeedback());
    ASSERT_TRUE(analysed.Run.complete() && analysed.Run.Full);
    ASSERT_TRUE(std::filesystem::exists(fullReportPath(bench.folder.path() / "report", "b1")));
    const CalculationReport report =
        calculationReport(reportInputs(bench.document.currentBlock(), bench.document.block(), bench.document.loads(),
                                       bench.document.results(), {}, "2026-12-08"));
    EXPECT_FALSE(report.Sections.empty());
    const ComputationCounts& after = computationCounts();
    EXPECT_EQ(after.Corners - before.Corners, 1);
    EXPECT_EQ(after.Kc - before.Kc, 1);
    EXPECT_EQ(after.Full - before.Full, 1);
}

// The report is refused without a confirmed block, and carries the
// figures only while they belong to the block as it stands.
TEST(SaveReport, WritesOnlyCurrentFigures) {
    TempFolder folder;
    BlockDocument unconfirmed{made(folder.path() / "data"), made(folder.path() / "report")};
    EXPECT_EQ(messageOf([&] { commands::saveReport(unconfirmed, commands::silentFeedback()); }),
              NoConfirmedBlockMessage);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path() / "report"));

    Bench bench;
    bench.document.analyse();
    const std::string kc = bench.document.figures()->SafetyFactor;
    Recorder feedback;
    commands::SavedReport report = commands::saveReport(bench.document, feedback);
    EXPECT_EQ(report.Path, bench.report("b1.txt"));
    EXPECT_EQ(feedback.written, WrittenFiles{bench.report("b1.txt")});
    EXPECT_EQ(report.Text, readTextFile(report.Path));
    EXPECT_NE(report.Text.find(kc), std::string::npos);
    bench.document.setParameterText(&TWedgeParams::Cohesion1, "30");
    report = commands::saveReport(bench.document, feedback);
    EXPECT_EQ(report.Text, readTextFile(report.Path));
    EXPECT_EQ(report.Text.find(kc), std::string::npos);
}

namespace {

// A horizontal first cutting plane under a horizontal top meets it in no
// corner.
SavedBlock blockWithoutCorner() {
    TWedgeParams params = trelmox::testing::exampleBlock().Params;
    params.SlopeHeight = "10";
    return trelmox::testing::blockFromQuadrants({TPlaneQuadrant{"N", "60", "E", "S", "E", "0"},
                                                 {"N", "60", "W", "N", "E", "45"},
                                                 {"N", "0", "E", "S", "E", "0"},
                                                 {"N", "0", "E", "S", "E", "60"}},
                                                params);
}

} // namespace

// The drawing is made from the planes as confirmed, without an analysis;
// planes that cut out no corner give their triples and no file.
TEST(SaveDrawing, WritesTheCornersOrTellsTheTriples) {
    const SavedBlock flat = blockWithoutCorner();
    const struct {
        const char* name;
        SavedBlock block;
        bool drawn;
    } cases[] = {{"example", trelmox::testing::exampleBlock(), true}, {"no corner", flat, false}};
    for (const auto& c : cases) {
        Bench bench(c.block);
        Recorder feedback;
        const commands::SavedDrawing drawing = commands::saveDrawing(bench.document, feedback);
        const std::filesystem::path dxf = bench.report(dxfFileName("b1"));
        EXPECT_EQ(drawing.FailedTriples.empty(), c.drawn) << c.name;
        EXPECT_EQ(drawing.Written, c.drawn ? std::optional(dxf) : std::nullopt) << c.name;
        EXPECT_EQ(feedback.written, c.drawn ? WrittenFiles{dxf} : WrittenFiles{}) << c.name;
        EXPECT_EQ(std::filesystem::exists(dxf), c.drawn) << c.name;
    }
}

// Nothing is written where the block cannot be saved or analysed; what the
// user must read comes through the feedback, never as a file.
TEST(AnalyseAndSave, WritesNothingWithoutAWedgeOrAName) {
    const SavedBlock flat = blockWithoutCorner();
    struct Case {
        const char* name;
        SavedBlock block;
        bool clearName;
        commands::AnalysisOutcome outcome;
    };
    const Case cases[] = {
        {"no corner", flat, false, commands::AnalysisOutcome::NoWedge},
        {"entry name cleared", trelmox::testing::exampleBlock(), true, commands::AnalysisOutcome::Unnamed},
    };
    for (const Case& c : cases) {
        Bench bench(c.block);
        if (c.clearName) bench.document.setEntryName("");
        Recorder feedback;
        const commands::AnalysedBlock analysed = commands::analyseAndSave(bench.document, feedback);
        EXPECT_EQ(analysed.Outcome, c.outcome) << c.name;
        EXPECT_TRUE(analysed.Written.empty()) << c.name;
        EXPECT_TRUE(feedback.written.empty()) << c.name;
        EXPECT_FALSE(std::filesystem::exists(bench.data("b1.txt"))) << c.name;
        if (c.outcome == commands::AnalysisOutcome::NoWedge) {
            EXPECT_FALSE(feedback.notes.empty()) << c.name;
        }
    }
}

// A text that is not a number stops the command before any file, and the
// failure names the field, which is how the windows find the box to focus.
TEST(AnalyseAndSave, ABadTextNamesItsField) {
    const std::pair<std::string TWedgeParams::*, const char*> fields[] = {
        {&TWedgeParams::SlopeHeight, "SlopeHeight"},
        {&TWedgeParams::RockUnitWeight, "RockUnitWeight"},
        {&TWedgeParams::Friction2, "Friction2"},
        {&TWedgeParams::OverhangCoefficient, "OverhangCoefficient"},
    };
    for (const auto& [member, field] : fields) {
        Bench bench;
        bench.document.setParameterText(member, "x");
        Recorder feedback;
        try {
            commands::analyseAndSave(bench.document, feedback);
            ADD_FAILURE() << field << ": no failure";
        } catch (const Error& failure) {
            EXPECT_EQ(failure.kind(), ErrorKind::NumberText) << field;
            EXPECT_EQ(failure.field(), field);
        }
        EXPECT_TRUE(feedback.written.empty()) << field;
    }
}

// A write that fails part way has still written the files before it, and
// the feedback has heard of each: the window says what was saved.
TEST(AnalyseAndSave, AFailedWriteKeepsTheFilesWrittenBefore) {
    Bench bench;
    std::filesystem::remove_all(bench.folder.path() / "report");
    Recorder feedback;
    EXPECT_THROW(commands::analyseAndSave(bench.document, feedback), Error);
    ASSERT_EQ(feedback.written.size(), 1u);
    EXPECT_EQ(feedback.written.front(), bench.data("b1.txt"));
    EXPECT_TRUE(std::filesystem::exists(bench.data("b1.txt")));
}

// The calculation report goes to the writer under the block's name in the
// folder; a writer that fails lists no file.
TEST(CalculationReportCommand, WritesUnderTheBlocksNameThroughTheWriter) {
    Bench bench;
    const CalculationReportInputs inputs =
        reportInputs("b1", bench.document.block(), WedgeLoads{}, std::nullopt, NeverAnalysedText, "2026-12-10");
    std::vector<std::filesystem::path> asked;
    Recorder feedback;
    const commands::WrittenReport written = commands::writeCalculationReport(
        inputs, bench.folder.path(),
        [&](const std::filesystem::path& path, const CalculationReport& report) {
            asked.push_back(path);
            EXPECT_FALSE(report.Header.empty());
        },
        feedback);
    const std::filesystem::path expected = bench.folder.path() / calculationReportFileName("b1");
    EXPECT_EQ(asked, std::vector{expected});
    EXPECT_EQ(written.Written, std::vector{expected});
    EXPECT_EQ(feedback.written, std::vector{expected});

    Recorder failing;
    EXPECT_THROW(commands::writeCalculationReport(
                     inputs, bench.folder.path(),
                     [](const std::filesystem::path&, const CalculationReport&) { throw Error("disk full"); }, failing),
                 Error);
    EXPECT_TRUE(failing.written.empty());
}
