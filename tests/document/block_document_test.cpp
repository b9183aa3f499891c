#include "document/block_document.h"

#include <gtest/gtest.h>

#include <tuple>

#include <functional>

#include "model/files.h"
#include "model/language.h"
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
        {"dip angle not a number", false, 3, &TPlaneQuadrant::DipAngle, 0, "6S",
         "'6S' is not a valid floating point value"},
        {"strike angle beyond 90", false, 1, &TPlaneQuadrant::StrikeAngle, 0, "91", "第二切割面走向角应在0到90之间"},
        {"dip angle below 0", false, 2, &TPlaneQuadrant::DipAngle, 0, "-0.5", "坡顶面倾角应在0到90之间"},
        {"letters forming no attitude", false, 0, &TPlaneQuadrant::DipNS, 0, "Q",
         "象限字母“N,E,Q,E”不能组成产状：走向 N…E 应倾向 S,E 或 N,W，走向 N…W 应倾向 S,W 或 N,E"},
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
        if (c.quadrantField)
            bench.document.setQuadrantText(c.plane, c.quadrantField, c.text);
        else if (c.dipMode)
            bench.document.setDipText(c.plane, c.dipField, c.text);
        bool confirmed = true;
        EXPECT_EQ(messageOf([&] {
                      confirmed = c.dipMode ? bench.document.confirmDips() : bench.document.confirmQuadrants();
                  }),
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

// In English an angle out of range is refused in English, and still names
// its box by the key the window finds it with, and its plane.
TEST(Confirm, RefusedAngleInEnglishNamesItsBox) {
    Workbench bench("a1");
    bench.document.setQuadrantText(1, &TPlaneQuadrant::StrikeAngle, "91");
    setMessageLanguage(Language::English);
    try {
        bench.document.confirmQuadrants();
        ADD_FAILURE() << "accepted";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "The strike angle of cutting plane 2 must be between 0 and 90");
        EXPECT_EQ(e.field(), "走向角");
        EXPECT_EQ(e.row(), 1);
    }
    setMessageLanguage(Language::Chinese);
}

// Letters that form no attitude name the box to mend and its plane, for
// the confirm as for the check a parameter save makes of unconfirmed
// planes; the check changes nothing.
TEST(Confirm, LettersNameTheirBox) {
    const struct {
        std::string TPlaneQuadrant::*field;
        const char* text;
        const char* box;
    } cases[] = {{&TPlaneQuadrant::StrikeNS, "S", "StrikeNS"},
                 {&TPlaneQuadrant::StrikeEW, "X", "StrikeEW"},
                 {&TPlaneQuadrant::DipNS, "Q", "DipNS"},
                 {&TPlaneQuadrant::DipEW, "E", "DipEW"}}; // N..W dipping S,E: the dip E/W letter
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        Workbench bench("a1");
        bench.document.setQuadrantText(2, c.field, c.text); // the slope top, N75W dipping S,W
        for (const auto& attempt : {std::function<void()>([&] { bench.document.checkPlaneEntries(false); }),
                                    std::function<void()>([&] { bench.document.confirmQuadrants(); })})
            try {
                attempt();
                ADD_FAILURE() << "accepted";
            } catch (const Error& e) {
                EXPECT_EQ(e.kind(), ErrorKind::RefusedInput);
                EXPECT_EQ(e.field(), c.box);
                EXPECT_EQ(e.row(), 2);
            }
        EXPECT_EQ(bench.document.currentBlock(), "");
        EXPECT_TRUE(bench.document.planesModified());
    }
}

// Azimuths outside 0..360 are taken in modulo 360 where they are confirmed
// or saved, and the entries then hold the value stored; 360 stays 360.
TEST(Confirm, AzimuthsAreTakenWithin360) {
    const struct {
        const char* typed;
        double stored;
        const char* shown;
    } cases[] = {{"400", 40, "40"}, {"-1", 359, "359"}, {"360", 360, "360"}, {"777.5", 57.5, "57.5"}, {"0", 0, "0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Workbench bench("a1");
        bench.document.setDipText(0, DipDirectionField, c.typed);
        ASSERT_TRUE(bench.document.confirmDips());
        EXPECT_EQ(bench.document.attitudes()[0].DipDirection, c.stored);
        EXPECT_EQ(bench.document.planeEntries().Dips[0][DipDirectionField], c.shown);

        LoadsEntries loads = bench.document.loadsEntries();
        loads.Bolts.push_back({"100", c.typed, "10"});
        loads.HasDesignBolt = true;
        loads.DesignTrend = c.typed;
        loads.DesignPlunge = "0";
        bench.document.setLoadsEntries(loads);
        bench.document.writeLoads();
        EXPECT_EQ(bench.document.loadsEntries().Bolts[0].Trend, c.shown);
        EXPECT_EQ(bench.document.loadsEntries().DesignTrend, c.shown);
        EXPECT_EQ(bench.document.loads().Bolts[0].Direction.Trend, c.stored);
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
             loads.setText(LoadsField::Seismic, "0.1");
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
        {"an edit undone",
         [](BlockDocument& d) {
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

// What counts as an edit that loading or quitting must ask about, and what
// settles it.
TEST(Edits, FlaggedUntilConfirmedOrSaved) {
    const struct {
        const char* what;
        std::function<void(BlockDocument&)> step;
        bool modified, planesModified;
    } steps[] = {
        {"a name typed", [](BlockDocument& d) { d.setEntryName("b2"); }, false, false},
        {"a face dip typed", [](BlockDocument& d) { d.setQuadrantText(3, &TPlaneQuadrant::DipAngle, "70"); }, true,
         true},
        {"confirmed", [](BlockDocument& d) { d.confirmQuadrants(); }, false, false},
        {"a parameter typed", [](BlockDocument& d) { d.setParameterText(&TWedgeParams::Cohesion1, "30"); }, true,
         false},
        {"saved", [](BlockDocument& d) { d.writeDataFile(); }, false, false},
        {"a load typed",
         [](BlockDocument& d) {
             LoadsEntries loads = d.loadsEntries();
             loads.setText(LoadsField::Seismic, "0.1");
             d.setLoadsEntries(loads);
         },
         true, false},
        {"the loads saved", [](BlockDocument& d) { d.writeLoads(); }, false, false},
        {"a dip typed", [](BlockDocument& d) { d.setDipText(0, DipAngleField, "50"); }, true, true},
        {"the block loaded over it", [](BlockDocument& d) { d.load(); }, false, false},
    };
    Workbench bench("a1");
    ASSERT_TRUE(bench.document.confirmQuadrants());
    bench.document.writeDataFile();
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        s.step(bench.document);
        EXPECT_EQ(bench.document.modified(), s.modified);
        EXPECT_EQ(bench.document.planesModified(), s.planesModified);
    }
    EXPECT_EQ(bench.document.loadsEntries().text(LoadsField::Seismic), "0.1"); // loaded from the saved companion file
    EXPECT_EQ(bench.document.planeEntries().Dips[0][DipAngleField], "45");
}

// Both entry notations show one block: a plane that converts shows in the
// other notation at once; half-typed or out-of-range texts leave it alone.
TEST(Entries, BothNotationsShowOnePlane) {
    Workbench bench;
    BlockDocument& d = bench.document;
    d.setDipText(1, DipDirectionField, "236");
    EXPECT_EQ(d.planeEntries().Quadrants[1].StrikeAngle, "34");
    EXPECT_EQ(d.planeEntries().Quadrants[1].StrikeEW, "W");
    d.setDipText(1, DipDirectionField, "400"); // beyond 360: the quadrant texts stay
    EXPECT_EQ(d.planeEntries().Quadrants[1].StrikeAngle, "34");
    d.setQuadrantText(3, &TPlaneQuadrant::DipAngle, "7"); // typing 70: each step is a plane
    EXPECT_EQ(d.planeEntries().Dips[3][DipAngleField], "7");
    d.setQuadrantText(3, &TPlaneQuadrant::DipAngle, "70");
    EXPECT_EQ(d.planeEntries().Dips[3][DipAngleField], "70");
    d.setQuadrantText(3, &TPlaneQuadrant::DipNS, "Q"); // no attitude: the dip texts stay
    EXPECT_EQ(d.planeEntries().Dips[3][DipDirectionField], "185");
    EXPECT_EQ(messageOf([&] { d.confirmQuadrants(); }),
              "象限字母“N,W,Q,W”不能组成产状：走向 N…E 应倾向 S,E 或 N,W，走向 N…W 应倾向 S,W 或 N,E");
    EXPECT_TRUE(d.currentBlock().empty());
}

// Nothing is written that reading the block back refuses, nor without a
// confirmed block; figures of other inputs are never shown.
TEST(Saving, RefusesWhatReadingRefuses) {
    Workbench bench;
    BlockDocument& d = bench.document;
    EXPECT_FALSE(d.named());
    EXPECT_EQ(messageOf([&] { d.writeDataFile(); }), NoConfirmedBlockMessage);
    ASSERT_TRUE(d.confirmQuadrants());
    EXPECT_TRUE(d.named());
    const struct {
        std::string TWedgeParams::*field;
        std::string text, message;
        bool mayBeEmpty;
    } cases[] = {
        {&TWedgeParams::SlopeHeight, "abc", "'abc' is not a valid floating point value", true},
        {&TWedgeParams::OverhangCoefficient, "1.5", "'1.5' is not a valid integer value", true},
        {&TWedgeParams::Friction2, "", "'' is not a valid floating point value", false},
        {&TWedgeParams::Friction2, "", "", true},
        // Computed mode: the entered pressures are not read.
        {&TWedgeParams::WaterPressure1, "x", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string before = d.params().*c.field;
        d.setParameterText(c.field, c.text);
        EXPECT_EQ(messageOf([&] { d.checkSavable(c.mayBeEmpty); }), c.message);
        d.setParameterText(c.field, before);
    }
    d.analyse();
    EXPECT_TRUE(d.figures().has_value());
    d.setParameterText(&TWedgeParams::Cohesion1, "30");
    EXPECT_FALSE(d.figures().has_value());
}

// The analyses' last runs count only for the block they were run on.
TEST(Studies, RunsBelongToTheirBasis) {
    StudyRecords records;
    RunBasis basis{"a1", {}, {}, {}, WedgeLoads{}};
    records.LastSensitivity = StudyRecords::SensitivityRecord{basis, {Parameter::Friction1, {SensitivityStep{}}}};
    records.LastProbabilistic = StudyRecords::ProbabilisticRecord{basis, {}};
    EXPECT_TRUE(records.sensitivityRunFor(basis));
    EXPECT_TRUE(records.probabilisticRunFor(basis));
    RunBasis other = basis;
    other.Params.Cohesion1 = "30";
    EXPECT_FALSE(records.sensitivityRunFor(other));
    EXPECT_FALSE(records.probabilisticRunFor(other));
    records.LastProbabilistic->Run.Result.Cancelled = true;
    EXPECT_FALSE(records.probabilisticRunFor(basis));

    ProbabilisticEntries entries;
    entries.Distributions[static_cast<int>(Parameter::Friction1)] = {
        Distribution::Kind::Uniform, "", "0.3", "0.4", "", ""};
    entries.Distributions[static_cast<int>(Parameter::Dip1)] = {Distribution::Kind::Normal, "x", "", "", "", ""};
    EXPECT_EQ(messageOf([&] { probabilisticSettings(entries); }), "'x' is not a valid floating point value");
    entries.Distributions[static_cast<int>(Parameter::Dip1)].Spread = "2";
    // A beta's deviation and bounds, a truncation on one side, a correlation.
    entries.Distributions[static_cast<int>(Parameter::Cohesion1)] = {
        Distribution::Kind::Beta, "3", "10", "40", "", "35"};
    entries.Correlation = {-0.5, 0};
    const ProbabilisticSettings settings = probabilisticSettings(entries);
    EXPECT_EQ(settings.Distributions[static_cast<int>(Parameter::Friction1)].High, 0.4);
    EXPECT_EQ(settings.Distributions[static_cast<int>(Parameter::Dip1)].Spread, 2.0);
    const Distribution& beta = settings.Distributions[static_cast<int>(Parameter::Cohesion1)];
    EXPECT_EQ(std::tuple(beta.Spread, beta.Low, beta.High, beta.TruncateLow, beta.TruncateHigh),
              std::tuple(3.0, 10.0, 40.0, std::optional<double>(), std::optional<double>(35)));
    EXPECT_EQ(settings.Correlation[0], -0.5);
}
