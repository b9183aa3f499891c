#include "document/block_document.h"

#include <gtest/gtest.h>

#include <functional>

#include "analysis/computation_counts.h"
#include "model/files.h"
#include "report/calculation_report.h"
#include "tests/model/test_blocks.h"
#include "tests/model/test_support.h"

using namespace trelmox;
using trelmox::testing::messageOf;
using trelmox::testing::TempFolder;

namespace {

std::filesystem::path made(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    return folder;
}

// A document on fresh data and report folders, with the example block
// entered (not confirmed) under `name`.
struct Workbench {
    TempFolder folder;
    BlockDocument document{made(folder.path() / "data"), made(folder.path() / "report")};

    explicit Workbench(const std::string& name = "a1") {
        const SavedBlock example = trelmox::testing::exampleBlock();
        document.setEntryName(name);
        for (int plane = 0; plane < PlaneCount; ++plane) {
            for (auto field : {&TPlaneQuadrant::StrikeNS, &TPlaneQuadrant::StrikeAngle, &TPlaneQuadrant::StrikeEW,
                               &TPlaneQuadrant::DipNS, &TPlaneQuadrant::DipEW, &TPlaneQuadrant::DipAngle})
                document.setQuadrantText(plane, field, example.Quadrants[plane].*field);
            const TPlaneAttitude& a = example.Attitudes[plane];
            document.setDipText(plane, DipAngleField, std::to_string(static_cast<int>(a.DipAngle)));
            document.setDipText(plane, DipDirectionField, std::to_string(static_cast<int>(a.DipDirection)));
        }
        for (auto field : {&TWedgeParams::RockUnitWeight, &TWedgeParams::WaterUnitWeight, &TWedgeParams::SlopeHeight,
                           &TWedgeParams::OverhangCoefficient, &TWedgeParams::Cohesion1, &TWedgeParams::Friction1,
                           &TWedgeParams::Cohesion2, &TWedgeParams::Friction2})
            document.setParameterText(field, example.Params.*field);
        document.setWaterMode(TWaterPressureMode::Computed);
    }
    std::string file(const char* subfolder, const std::string& name) const {
        return readFileBytes(folder.path() / subfolder / name);
    }
};

} // namespace

// A confirm takes everything or nothing: a refused one leaves the confirmed
// block, its results and the files exactly as they were.
TEST(Confirm, RefusedConfirmChangesNothing) {
    const struct {
        const char* what;
        bool dipMode;
        int plane;
        std::string TPlaneQuadrant::*quadrantField; // else the dip text `dipField`
        int dipField;
        std::string text, message;
    } cases[] = {
        {"dip angle not a number", false, 3, &TPlaneQuadrant::DipAngle, 0, "6S", "'6S' is not a valid floating point value"},
        {"strike angle beyond 90", false, 1, &TPlaneQuadrant::StrikeAngle, 0, "91", "第二切割面走向角应在0到90之间"},
        {"dip angle below 0", false, 2, &TPlaneQuadrant::DipAngle, 0, "-0.5", "坡顶面倾角应在0到90之间"},
        {"dip direction beyond 360", true, 0, nullptr, DipDirectionField, "360.5", "第一切割面倾向应在0到360之间"},
        {"dip mode, dip beyond 90", true, 3, nullptr, DipAngleField, "90.01", "坡面倾角应在0到90之间"},
        {"empty name", false, 0, nullptr, 0, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Workbench bench("a1");
        ASSERT_TRUE(bench.document.confirmQuadrants());
        bench.document.writeDataFile();
        ASSERT_TRUE(bench.document.analyse().FailedTriples.empty());
        const SavedBlock before = bench.document.block();
        const std::string dataBefore = bench.file("data", "a1.txt");
        bench.document.setEntryName(c.message.empty() ? "" : "a2");
        if (c.quadrantField) bench.document.setQuadrantText(c.plane, c.quadrantField, c.text);
        else if (c.dipMode) bench.document.setDipText(c.plane, c.dipField, c.text);
        bool confirmed = true;
        EXPECT_EQ(messageOf([&] { confirmed = c.dipMode ? bench.document.confirmDips() : bench.document.confirmQuadrants(); }),
                  c.message);
        EXPECT_FALSE(confirmed && c.message.empty());
        EXPECT_EQ(bench.document.currentBlock(), "a1");
        EXPECT_EQ(bench.document.attitudes(), before.Attitudes);
        EXPECT_EQ(bench.document.quadrants(), before.Quadrants);
        EXPECT_TRUE(bench.document.results().has_value());
        EXPECT_EQ(bench.file("data", "a1.txt"), dataBefore);
        EXPECT_FALSE(std::filesystem::exists(bench.folder.path() / "data" / "a2.txt"));
    }
}

// Results stay on screen after an edit, but a calculation report must not
// print them beside inputs they were not worked out from.
TEST(Results, CurrentOnlyForTheBlockTheyWereWorkedOutFrom) {
    const struct {
        const char* what;
        std::function<void(BlockDocument&)> edit;
        bool current;
    } cases[] = {
        {"nothing changed", [](BlockDocument&) {}, true},
        {"a parameter edited", [](BlockDocument& d) { d.setParameterText(&TWedgeParams::Cohesion1, "30"); }, false},
        {"the water mode switched", [](BlockDocument& d) { d.setWaterMode(TWaterPressureMode::Entered); }, false},
        {"a load edited",
         [](BlockDocument& d) {
             LoadsEntries loads = d.loadsEntries();
             loads.Seismic = "0.1";
             d.setLoadsEntries(loads);
         },
         false},
        {"a plane typed but not confirmed", [](BlockDocument& d) { d.setDipText(0, DipAngleField, "50"); }, true},
        {"a plane confirmed under the same name",
         [](BlockDocument& d) {
             d.setQuadrantText(0, &TPlaneQuadrant::DipAngle, "50");
             d.confirmQuadrants();
         },
         false},
        {"an edit undone", [](BlockDocument& d) {
             d.setParameterText(&TWedgeParams::Cohesion1, "30");
             d.setParameterText(&TWedgeParams::Cohesion1, "24");
         },
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Workbench bench;
        ASSERT_TRUE(bench.document.confirmQuadrants());
        EXPECT_FALSE(bench.document.resultsCurrent());
        bench.document.analyse();
        c.edit(bench.document);
        EXPECT_EQ(bench.document.resultsCurrent(), c.current);
        EXPECT_TRUE(bench.document.results().has_value()); // the window keeps showing them
    }
}

// The windows' analysis with everything it writes, and the calculation
// report made from its results, work out the corners, Kc and the full
// analysis once: the outputs format the document's run.
TEST(Analyse, ComputesEachFigureOnceForEveryOutput) {
    Workbench bench;
    ASSERT_TRUE(bench.document.confirmQuadrants());
    const ComputationCounts before = computationCounts();
    const BlockRun run = bench.document.analyse();
    ASSERT_TRUE(run.complete() && run.Full);
    bench.document.writeDataFile();
    bench.document.writeReport();
    ASSERT_TRUE(bench.document.writeFullReport());
    CalculationReportInputs inputs{bench.document.currentBlock(), bench.document.block(), bench.document.loads(),
                                   bench.document.results(), {}, std::nullopt, std::nullopt, "2026-12-08"};
    const CalculationReport report = calculationReport(inputs);
    EXPECT_FALSE(report.Sections.empty());
    const ComputationCounts& after = computationCounts();
    EXPECT_EQ(after.Corners - before.Corners, 1);
    EXPECT_EQ(after.Kc - before.Kc, 1);
    EXPECT_EQ(after.Full - before.Full, 1);
}
