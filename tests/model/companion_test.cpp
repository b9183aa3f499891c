#include "model/companion.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>

#include "model/files.h"
#include "tests/model/test_support.h"

using namespace trelmox;
using trelmox::testing::messageOf;
using trelmox::testing::TempFolder;

namespace {

// Every part of the loads away from its default.
WedgeLoads fullLoads() {
    WedgeLoads l;
    l.Water = WaterMode::Saturated;
    l.Crack = TensionCrack{{75.5, 182}, 6.25, 3};
    l.SeismicCoefficient = 0.15;
    l.SeismicDirection = LineDirection{160, -5};
    l.Forces = {{500, {150, 20}}, {0.1, {0, -90}}};
    l.FacePressure = 12;
    l.TopPressure = 1.0 / 3;
    l.Bolts = {{800, {330, 15}, BoltMode::Active}, {600, {340, 10}, BoltMode::Passive}};
    l.RequiredFactor = 1.1;
    l.Preset = FactorPreset{SlopeService::Permanent, SafetyGrade::Second, DesignCondition::Seismic};
    l.Design = DesignBolt{{337.5, 12}, BoltMode::Passive};
    return l;
}

std::string readBytes(const std::filesystem::path& path) { return readFileBytes(path); }

// The text with the first `from` replaced: a good file made bad in one place.
std::string replacedIn(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

} // namespace

TEST(Companion, GoldenFileIsByteExactAndReadsBack) {
    const std::string golden = readBytes(std::filesystem::path(TRELMOX_TEST_DATA) / "example_loads.json");
    EXPECT_EQ(companionText(fullLoads()), golden);
    EXPECT_EQ(parseCompanion(golden, "example.json"), fullLoads());
    EXPECT_EQ(parseCompanion(companionText(WedgeLoads{}), "x.json"), WedgeLoads{});
}

// A file the windows wrote before they took azimuths modulo 360 still
// loads: every trend and the crack's dip direction come in within 0..360,
// as the windows now store them, and give the same directions.
TEST(Companion, AzimuthsComeInWithin360) {
    WedgeLoads written = fullLoads();
    written.Crack->Attitude.DipDirection = 542; // 182 + 360
    written.SeismicDirection->Trend = -200;     // 160
    written.Forces[0].Direction.Trend = 510;    // 150
    written.Bolts[0].Direction.Trend = 690;     // 330
    written.Design->Direction.Trend = -22.5;    // 337.5
    written.FacePressureDirection = LineDirection{720, 10};
    written.Pattern = BoltPattern{2, 2, {777, 10}, BoltMode::Passive, boltDefaults(BoltType::Simple)};
    WedgeLoads expected = fullLoads();
    expected.FacePressureDirection = LineDirection{0, 10};
    expected.Pattern = BoltPattern{2, 2, {57, 10}, BoltMode::Passive, boltDefaults(BoltType::Simple)};
    EXPECT_EQ(parseCompanion(companionText(written), "old.json"), expected);
}

TEST(Companion, FileRoundTripAndABlockWithoutOneKeepsItsFolder) {
    TempFolder folder;
    std::ofstream(folder.path() / "example.txt") << "the block's data file";
    // Default loads and no companion: nothing is written.
    saveCompanionFile(folder.path(), "example", WedgeLoads{});
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"example.txt"});
    EXPECT_FALSE(readCompanionFile(folder.path(), "example"));
    EXPECT_EQ(blockLoads(folder.path(), "example"), WedgeLoads{});

    saveCompanionFile(folder.path(), "example", fullLoads());
    EXPECT_EQ(folder.entries(), (std::vector<std::string>{"example.json", "example.txt"}));
    EXPECT_EQ(blockLoads(folder.path(), "example"), fullLoads());
    // Back to the defaults: the file now says so.
    saveCompanionFile(folder.path(), "example", WedgeLoads{});
    EXPECT_EQ(readCompanionFile(folder.path(), "example"), WedgeLoads{});
    EXPECT_EQ(messageOf([&] { saveCompanionFile(folder.path(), "../x", fullLoads()); }).empty(), false);
}

// Saving loads that the file already holds leaves it byte for byte, in
// whatever layout and digits it was written; other loads replace it.
TEST(Companion, SavingUnchangedLoadsKeepsTheFile) {
    TempFolder folder;
    std::string text = companionText(fullLoads());
    text.replace(text.find("\"k\": 0.15,"), 10, "\"k\":0.150,");
    std::ofstream(folder.path() / "w.json", std::ios::binary) << text;
    EXPECT_TRUE(saveCompanionFile(folder.path(), "w", fullLoads()));
    EXPECT_EQ(readBytes(folder.path() / "w.json"), text);
    WedgeLoads changed = fullLoads();
    changed.TopPressure = std::numeric_limits<double>::max();
    saveCompanionFile(folder.path(), "w", changed);
    EXPECT_EQ(readCompanionFile(folder.path(), "w"), changed);
    std::ofstream(folder.path() / "big.json", std::ios::binary) << std::string((1 << 20) + 1, ' ');
    EXPECT_EQ(messageOf([&] { readCompanionFile(folder.path(), "big"); }), "文件大于 1 MB，不能读取");
}

TEST(Companion, MalformedFilesSayWhatIsWrong) {
    const std::string good = companionText(fullLoads());
    const auto replaced = [&](const std::string& from, const std::string& to) { return replacedIn(good, from, to); };
    const struct {
        std::string text, message;
    } cases[] = {
        {"{\r\n  \"version\": 1,\r\n  \"water\" \"none\"", "荷载文件“b.json”在第3行第15列处不是有效的JSON"},
        {"", "荷载文件“b.json”在第1行第1列处不是有效的JSON"},
        {"[]", "荷载文件“b.json”的内容应为JSON对象"},
        {replaced("\"k\": 0.15", "\"k\": 1e999"), "荷载文件“b.json”中有超出范围的数"},
        {replaced("\"version\": 1", "\"version\": 2"), "荷载文件“b.json”的版本2不受支持"},
        {replaced("\"water\"", "\"waters\""), "荷载文件“b.json”中缺少water"},
        {replaced("\"k\": 0.15", "\"k\": 0.15, \"g\": 1"), "荷载文件“b.json”中有未知的项seismic.g"},
        {replaced("\"distance\": 6.25", "\"distance\": \"6.25\""), "荷载文件“b.json”中crack.distance应为数"},
        {replaced("\"mode\": \"active\"", "\"mode\": \"tight\""), "荷载文件“b.json”中bolts[0].mode的值“tight”不可用"},
        {replaced("\"forces\": [", "\"forces\": {"), "荷载文件“b.json”在第18行第4列处不是有效的JSON"},
        {replaced("\"grade\": 2", "\"grade\": 4"), "荷载文件“b.json”中design.preset.grade应为1、2或3"},
        {replaced("\"distance\": 6.25", "\"distance\": -1"),
         "荷载文件“b.json”中张裂缝距坡顶线的距离不能为负数，现为-1"},
        {replaced("\"magnitude\": 500.0", "\"magnitude\": -5"), "荷载文件“b.json”中第1个外力的大小不能为负数，现为-5"},
        {replaced("\"plunge\": 10.0", "\"plunge\": 95"), "荷载文件“b.json”中第2个锚杆的倾伏角应在-90与90之间，现为95"},
        {replaced("\"magnitude\": 500.0", "\"magnitude\": -5"), "荷载文件“b.json”中第1个外力的大小不能为负数，现为-5"},
        {replaced("\"plunge\": 10.0", "\"plunge\": 95"), "荷载文件“b.json”中第2个锚杆的倾伏角应在-90与90之间，现为95"},
        // Texts from the file are shown with their control characters made
        // visible; a NUL does not end the message.
        {replaced("\"mode\": \"active\"", "\"mode\": \"a\\u0000b\\u001b[2J\""),
         "荷载文件“b.json”中bolts[0].mode的值“a\\x00b\\x1B[2J”不可用"},
        {replaced("\"required_factor\": 1.1", "\"required_factor\": 1.2"),
         "荷载文件“b.json”中所需安全系数1.2与永久边坡 二级 地震工况的1.1不符"},
    };
    for (const auto& c : cases) EXPECT_EQ(messageOf([&] { parseCompanion(c.text, "b.json"); }), c.message) << c.text;
}

// Size limits ride in an optional "size" key: a file with them reads back,
// and each malformed part is named.
TEST(Companion, SizeLimitsRoundTripAndMalformedOnesAreNamed) {
    WedgeLoads loads = fullLoads();
    loads.Size.FaceTrace = {12.5, std::nullopt};
    loads.Size.TopTrace = {std::nullopt, 30};
    loads.Size.Persistence = {40, 41};
    loads.Size.Measure = PersistenceMeasure::LargestExtent;
    loads.Size.SlopeLength = 100;
    loads.Size.Bench = BenchLimits{15, 8, 4.5};
    loads.Size.MinVolume = 0.5;
    loads.Size.MinHeight = 1;
    const std::string good = companionText(loads);
    EXPECT_EQ(parseCompanion(good, "b.json"), loads);
    EXPECT_EQ(good.find("\"size\""), good.rfind("\"size\""));
    const auto replaced = [&](const std::string& from, const std::string& to) { return replacedIn(good, from, to); };
    const struct {
        std::string text, message;
    } cases[] = {
        {replaced("\"slope_length\": 100.0", "\"slope_length\": 0"), "荷载文件“b.json”中边坡走向长度应大于零，现为0"},
        {replaced("\"height\": 15.0", "\"height\": -15"), "荷载文件“b.json”中台阶高度应大于零，现为-15"},
        {replaced("\"catch_width\": 4.5", "\"catch_width\": -1"),
         "荷载文件“b.json”中最小安全平台宽度不能为负数，现为-1"},
        {replaced("\"volume\": 0.5", "\"volume\": -0.5"), "荷载文件“b.json”中最小体积不能为负数，现为-0.5"},
        {replaced("\"largest_extent\"", "\"longest\""),
         "荷载文件“b.json”中size.persistence_measure的值“longest”不可用"},
        {replaced("\"slope_length\"", "\"slope_len\""), "荷载文件“b.json”中缺少size.slope_length"},
    };
    for (const auto& c : cases) EXPECT_EQ(messageOf([&] { parseCompanion(c.text, "b.json"); }), c.message) << c.text;
    // A pair must name both planes.
    std::string text = good;
    const std::size_t at = text.find("\"face_trace\"");
    text.replace(text.find('[', at), text.find(']', at) - text.find('[', at) + 1, "[1]");
    EXPECT_EQ(messageOf([&] { parseCompanion(text, "b.json"); }),
              "荷载文件“b.json”中size.face_trace应有两项（平面1、平面2）");
}

TEST(Loads, PresetsFollowTheStandardsTable) {
    const struct {
        FactorPreset preset;
        std::optional<double> factor;
        const char* name;
    } cases[] = {
        {{SlopeService::Permanent, SafetyGrade::First, DesignCondition::Ordinary}, 1.35, "永久边坡 一级 一般工况"},
        {{SlopeService::Permanent, SafetyGrade::Third, DesignCondition::Ordinary}, 1.25, "永久边坡 三级 一般工况"},
        {{SlopeService::Permanent, SafetyGrade::Second, DesignCondition::Seismic}, 1.10, "永久边坡 二级 地震工况"},
        {{SlopeService::Temporary, SafetyGrade::First, DesignCondition::Ordinary}, 1.25, "临时边坡 一级 一般工况"},
        {{SlopeService::Temporary, SafetyGrade::Third, DesignCondition::Ordinary}, 1.15, "临时边坡 三级 一般工况"},
        {{SlopeService::Temporary, SafetyGrade::First, DesignCondition::Seismic},
         std::nullopt,
         "临时边坡 一级 地震工况"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(presetFactor(c.preset), c.factor) << c.name;
        EXPECT_EQ(presetName(c.preset), c.name);
    }
}

// Each plane's strength model: the key as fixed for the file, every model
// read back as written, planes left out keeping c and f, and what is wrong
// with one named.
TEST(Companion, StrengthPerPlane) {
    const std::string head = companionText(WedgeLoads{});
    const auto withStrength = [&](const std::string& strength) {
        return head.substr(0, head.rfind('}')) + ", \"strength\": " + strength + "}";
    };
    const WedgeLoads barton = parseCompanion(
        withStrength(R"({"plane1": {"model": "barton_bandis", "jrc": 8, "jcs": 50000, "phi_r": 28}})"), "b.json");
    EXPECT_EQ(barton.Strength[0].Model, StrengthModel::BartonBandis);
    EXPECT_EQ(barton.Strength[0].Jrc, 8);
    EXPECT_EQ(barton.Strength[0].Jcs, 50000);
    EXPECT_EQ(barton.Strength[0].ResidualFriction, 28);
    EXPECT_TRUE(barton.Strength[1].plain());

    WedgeLoads every = fullLoads();
    every.Strength[0].Model = StrengthModel::PowerCurve;
    every.Strength[0].PowerA = 1.5, every.Strength[0].PowerB = 0.75, every.Strength[0].PowerC = -10;
    every.Strength[0].PowerD = 2, every.Strength[0].Waviness = 5;
    every.Strength[1].Model = StrengthModel::HoekBrown;
    every.Strength[1].Sigci = 30000, every.Strength[1].Mb = 0.8, every.Strength[1].S = 0,
    every.Strength[1].HoekA = 0.55;
    EXPECT_EQ(parseCompanion(companionText(every), "e.json"), every);
    every.Strength[0] = JointStrength{};
    every.Strength[0].Waviness = 3; // Mohr-Coulomb with waviness is no default
    EXPECT_EQ(parseCompanion(companionText(every), "e.json"), every);
    // Without a strength of its own the file is as it always was.
    EXPECT_EQ(companionText(fullLoads()).find("strength"), std::string::npos);

    const struct {
        std::string strength, message;
    } cases[] = {
        {R"({"plane3": {"model": "mohr_coulomb"}})", "荷载文件“b.json”中有未知的项strength.plane3"},
        {R"({"plane1": {"jrc": 8}})", "荷载文件“b.json”中缺少strength.plane1.model"},
        {R"({"plane1": {"model": "patton"}})", "荷载文件“b.json”中strength.plane1.model的值“patton”不可用"},
        {R"({"plane2": {"model": "barton_bandis", "jrc": 8, "jcs": 50000}})",
         "荷载文件“b.json”中缺少strength.plane2.phi_r"},
        {R"({"plane1": {"model": "mohr_coulomb", "jrc": 8}})", "荷载文件“b.json”中有未知的项strength.plane1.jrc"},
        {R"({"plane1": {"model": "power_curve", "a": 1, "b": "x", "c": 0, "d": 0}})",
         "荷载文件“b.json”中strength.plane1.b应为数"},
        {R"({"plane1": {"model": "barton_bandis", "jrc": 25, "jcs": 50000, "phi_r": 28}})",
         "荷载文件“b.json”中第一切割面的JRC应在0与20之间，现为25"},
        {R"({"plane2": {"model": "barton_bandis", "jrc": 5, "jcs": 0, "phi_r": 28}})",
         "荷载文件“b.json”中第二切割面的JCS应大于0，现为0"},
        {R"({"plane1": {"model": "power_curve", "a": 1, "b": 0, "c": 0, "d": 0}})",
         "荷载文件“b.json”中第一切割面的幂函数指数b应大于0，现为0"},
        {R"({"plane1": {"model": "hoek_brown", "sigci": 1e4, "mb": 1, "s": 2, "a": 0.5}})",
         "荷载文件“b.json”中第一切割面的霍克-布朗参数s应在0与1之间，现为2"},
        {R"({"plane1": {"model": "mohr_coulomb", "waviness": 90}})",
         "荷载文件“b.json”中第一切割面的起伏角应在0与90之间（不含90），现为90"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(messageOf([&] { parseCompanion(withStrength(c.strength), "b.json"); }), c.message) << c.strength;
}

// The filled share, the level outside the slope and the pressures on the
// joints and the crack ride in keys written only when used.
TEST(Companion, WaterAndJointPressuresRoundTripAndAreChecked) {
    WedgeLoads every = fullLoads();
    every.Water = WaterMode::Filled;
    every.FilledPercent = 37.5;
    every.PondLevel = -2.25;
    every.Pressure1 = 1.0 / 3, every.Pressure2 = 4, every.CrackPressure = 2.5;
    every.FacePressureDirection = LineDirection{10, -20};
    every.Shotcrete = ShotcreteLining{0.12, 900, 22.5};
    EXPECT_EQ(parseCompanion(companionText(every), "e.json"), every);
    // A share kept in another mode still comes back.
    every.Water = WaterMode::None;
    EXPECT_EQ(parseCompanion(companionText(every), "e.json"), every);
    const std::string plain = companionText(fullLoads());
    for (const char* key :
         {"water_percent", "pond_level", "plane1", "crack\": 2", "direction\": {\n      \"trend\": 10", "shotcrete"})
        EXPECT_EQ(plain.find(key), std::string::npos) << key;

    const std::string head = companionText(WedgeLoads{});
    const auto with = [&](const std::string& extra) { return head.substr(0, head.rfind('}')) + ", " + extra + "}"; };
    const struct {
        std::string text, message;
    } cases[] = {
        {with(R"("water_percent": 150)"), "荷载文件“b.json”中充水百分比应在0与100之间，现为150"},
        {with(R"("water_percent": "half")"), "荷载文件“b.json”中water_percent应为数"},
        {with(R"("pond_level": null)"), "荷载文件“b.json”中pond_level应为数"},
        {replacedIn(head, "\"top\": 0.0", "\"top\": 0.0, \"plane2\": -1"),
         "荷载文件“b.json”中第二切割面压力不能为负数，现为-1"},
        {replacedIn(head, "\"top\": 0.0", "\"top\": 0.0, \"joint\": 1"), "荷载文件“b.json”中有未知的项pressures.joint"},
        {with(R"("shotcrete": {"thickness": 0.1, "shear_strength": -5, "unit_weight": 24})"),
         "荷载文件“b.json”中喷射混凝土抗剪强度不能为负数，现为-5"},
        {with(R"("shotcrete": {"thickness": 0.1})"), "荷载文件“b.json”中缺少shotcrete.shear_strength"},
    };
    for (const auto& c : cases) EXPECT_EQ(messageOf([&] { parseCompanion(c.text, "b.json"); }), c.message) << c.text;
}

TEST(Companion, BoltCapacitiesAndPatternRoundTripAndAreChecked) {
    WedgeLoads every = fullLoads();
    every.Bolts.push_back({0, {200, 10}, BoltMode::Active, BoltCapacity{BoltType::Cable, 12.5, 520, 400, 1.0 / 3}});
    every.Pattern = BoltPattern{1.5, 2.25, {5, 15}, BoltMode::Passive, boltDefaults(BoltType::GroutedDowel)};
    EXPECT_EQ(parseCompanion(companionText(every), "e.json"), every);
    const std::string plain = companionText(fullLoads());
    for (const char* key : {"capacity", "pattern"}) EXPECT_EQ(plain.find(key), std::string::npos) << key;

    const std::string head = companionText(WedgeLoads{});
    const auto with = [&](const std::string& extra) { return head.substr(0, head.rfind('}')) + ", " + extra + "}"; };
    const std::string pattern =
        R"("pattern": {"spacing_strike": 2, "spacing_dip": 2, "trend": 5, "plunge": 10, "mode": "active", )";
    // A type alone takes its defaults.
    WedgeLoads typed;
    typed.Pattern = BoltPattern{2, 2, {5, 10}, BoltMode::Active, boltDefaults(BoltType::Cable)};
    EXPECT_EQ(parseCompanion(with(pattern + R"("capacity": {"type": "cable"}})"), "b.json"), typed);
    const struct {
        std::string text, message;
    } cases[] = {
        {with(pattern + R"("capacity": {"type": "rope"}})"), "荷载文件“b.json”中pattern.capacity.type的值“rope”不可用"},
        {with(pattern + R"("capacity": {"type": "simple", "length": 0}})"),
         "荷载文件“b.json”中系统锚杆的长度应为大于0的有限数，现为0"},
        {with(pattern + R"("capacity": {"type": "simple", "bond": -1}})"),
         "荷载文件“b.json”中系统锚杆的粘结强度不能为负数，现为-1"},
        {replacedIn(with(pattern + R"("capacity": {"type": "simple"}})"), "\"spacing_dip\": 2", "\"spacing_dip\": 0"),
         "荷载文件“b.json”中系统锚杆沿倾向的间距应为大于0的有限数，现为0"},
    };
    for (const auto& c : cases) EXPECT_EQ(messageOf([&] { parseCompanion(c.text, "b.json"); }), c.message) << c.text;
}
