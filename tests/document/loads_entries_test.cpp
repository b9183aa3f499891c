#include "document/loads_entries.h"
#include "model/language.h"

#include <gtest/gtest.h>

#include <limits>

using namespace trelmox;

namespace {

WedgeLoads everyLoad() {
    WedgeLoads l;
    l.Water = WaterMode::Saturated;
    l.Crack = TensionCrack{{80, 10}, 5.5, 4};
    l.SeismicCoefficient = 0.15;
    l.SeismicDirection = LineDirection{190, -5};
    l.Forces = {{500, {150, 20}}, {1e-5, {0, -90}}};
    l.FacePressure = 12;
    l.TopPressure = 0.25;
    l.Bolts = {{800, {330, 15}, BoltMode::Active},
               {600, {340, 10}, BoltMode::Passive},
               {0, {335, 12}, BoltMode::Passive, BoltCapacity{BoltType::GroutedDowel, 4.5, 250, 0, 1.0 / 3}}};
    l.Pattern = BoltPattern{2.5, 3, {330, 10}, BoltMode::Active, boltDefaults(BoltType::Cable)};
    l.RequiredFactor = 1.4;
    l.Preset.reset();
    l.Design = DesignBolt{{340, 15}, BoltMode::Passive};
    l.Strength[0].Model = StrengthModel::BartonBandis;
    l.Strength[0].Jrc = 7.5, l.Strength[0].Waviness = 3;
    l.Strength[1].Model = StrengthModel::HoekBrown;
    l.Strength[1].S = 0;
    l.Size.TopTrace[1] = 25;
    l.Size.Bench = BenchLimits{15, 8, 3};
    l.Size.MinWeight = 100;
    l.Size.FaceTrace[0] = 30;
    l.Size.Persistence[1] = 12.5;
    l.Size.Measure = PersistenceMeasure::LargestExtent;
    l.FilledPercent = 60; // kept though the mode does not read it
    l.PondLevel = 3.5;
    l.Pressure2 = 7, l.CrackPressure = 1.5;
    l.TopPressureDirection = LineDirection{200, 35};
    l.Shotcrete = ShotcreteLining{0.2, 1200, 24};
    l.Size.SlopeLength = 100;
    l.Size.MinHeight = 0;
    return l;
}

} // namespace

// Shown as texts and read back, loads come back unchanged - the window
// holds nothing but these texts.
TEST(LoadsEntries, TextsGiveBackTheLoads) {
    WedgeLoads preset;
    preset.Preset = FactorPreset{SlopeService::Temporary, SafetyGrade::Third, DesignCondition::Ordinary};
    preset.RequiredFactor = 1.15;
    // Values of 16 and 17 digits, and the largest double, keep every bit.
    WedgeLoads exact = everyLoad();
    exact.TopPressure = 1.0 / 3;
    exact.Forces[0].Magnitude = std::numeric_limits<double>::max();
    exact.Crack->Distance = 0.1 + 0.2;
    for (const WedgeLoads& loads : {WedgeLoads{}, everyLoad(), preset, exact})
        EXPECT_EQ(loadsFromEntries(loadsEntries(loads)), loads);
}

// Each bad text is reported in the box that holds it (the window focuses
// that box), in the window's words.
// A new pattern or a switch to the filled mode shows what a new block's
// loads hold, so that confirming untouched boxes changes nothing.
TEST(LoadsEntries, NewBoxesShowTheModelsDefaults) {
    WedgeLoads fresh;
    fresh.Pattern.emplace();
    const LoadsEntries shown = loadsEntries(fresh), blank;
    EXPECT_EQ(blank.FilledPercent, shown.FilledPercent);
    EXPECT_EQ(blank.Pattern.SpacingStrike, shown.Pattern.SpacingStrike);
    EXPECT_EQ(blank.Pattern.SpacingDip, shown.Pattern.SpacingDip);
    EXPECT_EQ(blank.FilledPercent, "100");
    EXPECT_EQ(blank.Pattern.SpacingStrike + "," + blank.Pattern.SpacingDip, "2,2");
}

TEST(LoadsEntries, BadTextsNameTheirBox) {
    const struct {
        const char* what;
        void (*edit)(LoadsEntries&);
        LoadsField field;
        int row;
        const char* message;
    } cases[] = {
        {"empty", [](LoadsEntries& e) { e.setText(LoadsField::CrackDip, ""); }, LoadsField::CrackDip, -1,
         "请输入张裂缝倾角"},
        {"out of range", [](LoadsEntries& e) { e.setText(LoadsField::CrackDip, "95"); }, LoadsField::CrackDip, -1,
         "张裂缝倾角应在0与90之间，现为95"},
        {"not a number, second row", [](LoadsEntries& e) { e.Bolts[1].Trend = "x"; }, LoadsField::BoltTrend, 1,
         "第2个锚杆的方位角“x”不是有效的数"},
        {"plunge", [](LoadsEntries& e) { e.Forces[0].Plunge = "-91"; }, LoadsField::ForcePlunge, 0,
         "第1个外力的倾伏角应在-90与90之间，现为-91"},
        {"required factor", [](LoadsEntries& e) { e.RequiredFactor = "0.9"; }, LoadsField::RequiredFactor, -1,
         "所需安全系数不能小于1，现为0.9"},
        {"preset without a factor",
         [](LoadsEntries& e) {
             e.Preset = FactorPreset{SlopeService::Temporary, SafetyGrade::First, DesignCondition::Seismic};
         },
         LoadsField::RequiredFactor, -1, "临时边坡 一级 地震工况没有规定安全系数"},
        {"design direction", [](LoadsEntries& e) { e.DesignPlunge = ""; }, LoadsField::DesignPlunge, -1,
         "请输入设计锚杆的倾伏角"},
        // A plane's strength parameter: the plane is the row.
        {"JRC out of range", [](LoadsEntries& e) { e.Strength[0].Jrc = "21"; }, LoadsField::StrengthJrc, 0,
         "第一切割面的JRC应在0与20之间，现为21"},
        {"Hoek-Brown a", [](LoadsEntries& e) { e.Strength[1].HoekA = "0.4"; }, LoadsField::StrengthHoekA, 1,
         "第二切割面的霍克-布朗参数a应在0.5与1之间，现为0.4"},
        {"power curve's a, not its Hoek-Brown namesake",
         [](LoadsEntries& e) { e.Strength[1].Model = StrengthModel::PowerCurve, e.Strength[1].PowerA = "-1"; },
         LoadsField::StrengthPowerA, 1, "第二切割面的幂函数系数a不能小于0，现为-1"},
        {"empty sigci", [](LoadsEntries& e) { e.Strength[1].Sigci.clear(); }, LoadsField::StrengthSigci, 1,
         "请输入第二切割面的单轴抗压强度σci"},
        {"waviness not a number", [](LoadsEntries& e) { e.Strength[0].Waviness = "5°"; }, LoadsField::StrengthWaviness,
         0, "第一切割面的起伏角“5°”不是有效的数"},
        // A size limit: a bounding length must be above zero, a minimum not
        // below it; a bench needs its height and width.
        {"persistence zero", [](LoadsEntries& e) { e.Size.Persistence[1] = "0"; }, LoadsField::SizePersistence, 1,
         "第二切割面的延伸长度应大于0，现为0"},
        {"negative minimum", [](LoadsEntries& e) { e.Size.MinVolume = "-1"; }, LoadsField::SizeMinVolume, -1,
         "楔块最小体积不能为负数，现为-1"},
        {"bench without width", [](LoadsEntries& e) { e.Size.BenchWidth.clear(); }, LoadsField::SizeBenchWidth, -1,
         "请输入台阶宽度"},
        {"slope length not a number", [](LoadsEntries& e) { e.Size.SlopeLength = "1O0"; }, LoadsField::SizeSlopeLength,
         -1, "边坡沿走向的长度“1O0”不是有效的数"},
        {"filled share", [](LoadsEntries& e) { e.Water = WaterMode::Filled, e.FilledPercent = "120"; },
         LoadsField::FilledPercent, -1, "充水百分比应在0与100之间，现为120"},
        {"pond level", [](LoadsEntries& e) { e.setText(LoadsField::PondLevel, "abc"); }, LoadsField::PondLevel, -1,
         "坡外水位“abc”不是有效的数"},
        {"crack pressure", [](LoadsEntries& e) { e.setText(LoadsField::CrackPressure, "-3"); },
         LoadsField::CrackPressure, -1, "张裂缝面压力不能为负数，现为-3"},
        {"top pressure plunge", [](LoadsEntries& e) { e.setText(LoadsField::TopPressurePlunge, "100"); },
         LoadsField::TopPressurePlunge, -1, "坡顶面压力的倾伏角应在-90与90之间，现为100"},
        {"shotcrete thickness", [](LoadsEntries& e) { e.setText(LoadsField::ShotcreteThickness, ""); },
         LoadsField::ShotcreteThickness, -1, "请输入喷射混凝土厚度"},
    };
    for (const auto& c : cases) {
        LoadsEntries entries = loadsEntries(everyLoad());
        c.edit(entries);
        try {
            loadsFromEntries(entries);
            ADD_FAILURE() << c.what << ": accepted";
        } catch (const LoadsEntryError& e) {
            EXPECT_EQ(e.Field, c.field) << c.what;
            EXPECT_EQ(e.Row, c.row) << c.what;
            EXPECT_STREQ(e.what(), c.message) << c.what;
        }
    }
}

// In English the same failures point at the same boxes, worded in English.
TEST(LoadsEntries, BadTextsInEnglish) {
    const struct {
        void (*edit)(LoadsEntries&);
        LoadsField field;
        int row;
        const char* message;
    } cases[] = {
        {[](LoadsEntries& e) { e.setText(LoadsField::CrackDip, ""); }, LoadsField::CrackDip, -1,
         "Enter the tension crack dip"},
        {[](LoadsEntries& e) { e.Bolts[1].Trend = "x"; }, LoadsField::BoltTrend, 1,
         "The bolt trend in row 2 \"x\" is not a valid number"},
        {[](LoadsEntries& e) { e.Strength[1].Sigci.clear(); }, LoadsField::StrengthSigci, 1,
         "Enter the uniaxial compressive strength σci of plane 2"},
        {[](LoadsEntries& e) { e.Size.Persistence[1] = "0"; }, LoadsField::SizePersistence, 1,
         "The persistence of plane 2 must be above 0, not 0"},
        {[](LoadsEntries& e) { e.Size.BenchWidth.clear(); }, LoadsField::SizeBenchWidth, -1, "Enter the bench width"},
    };
    setMessageLanguage(Language::English);
    for (const auto& c : cases) {
        LoadsEntries entries = loadsEntries(everyLoad());
        c.edit(entries);
        try {
            loadsFromEntries(entries);
            ADD_FAILURE() << c.message << ": accepted";
        } catch (const LoadsEntryError& e) {
            EXPECT_EQ(e.Field, c.field) << c.message;
            EXPECT_EQ(e.Row, c.row) << c.message;
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    setMessageLanguage(Language::Chinese);
}

// A part switched off is not read, so its leftover texts cannot stop an
// analysis; an empty magnitude box means no such load.
TEST(LoadsEntries, SwitchedOffPartsAndEmptyMagnitudes) {
    LoadsEntries entries = loadsEntries(everyLoad());
    entries.HasCrack = false;
    entries.setText(LoadsField::CrackDip, "x");
    entries.setDirected(LoadsField::SeismicTrend, false);
    entries.setText(LoadsField::SeismicTrend, "");
    entries.HasDesignBolt = false;
    entries.DesignTrend = "?";
    for (LoadsField f : {LoadsField::Seismic, LoadsField::FacePressure, LoadsField::TopPressure})
        entries.setText(f, "");
    // Another model's texts are not read; an empty waviness is none.
    entries.Strength[0].Sigci = "x";
    entries.Strength[0].Waviness.clear();
    // An empty size box is no limit; a bench switched off is none.
    entries.Size.FaceTrace[0].clear();
    entries.Size.HasBench = false;
    entries.Size.BenchHeight = "x";
    const WedgeLoads loads = loadsFromEntries(entries);
    EXPECT_FALSE(loads.Size.FaceTrace[0] || loads.Size.Bench);
    EXPECT_EQ(loads.Size.TopTrace[1], 25);
    EXPECT_FALSE(loads.Crack || loads.SeismicDirection || loads.Design);
    EXPECT_EQ(loads.Strength[0].Waviness, 0);
    EXPECT_EQ(loads.SeismicCoefficient + loads.FacePressure + loads.TopPressure, 0);
}

// A type picked takes its defaults for the figures not typed, whether the
// bolt had no model, had the other type's defaults, or had its own figures.
TEST(LoadsEntries, APickedTypeKeepsWhatWasTyped) {
    const CapacityEntry cable = capacityEntry(boltDefaults(BoltType::Cable));
    EXPECT_EQ(withType(CapacityEntry{}, BoltType::Cable), cable);
    EXPECT_EQ(withType(capacityEntry(boltDefaults(BoltType::Simple)), BoltType::Cable), cable);
    CapacityEntry typed = capacityEntry(boltDefaults(BoltType::Simple));
    typed.Length = "6";
    CapacityEntry expected = cable;
    expected.Length = "6";
    EXPECT_EQ(withType(typed, BoltType::Cable), expected);
}
