#include "report/calculation_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "analysis/block_analysis.h"
#include "analysis/computation_counts.h"
#include "document/report_inputs.h"
#include "report/full_report.h"
#include "tests/model/test_blocks.h"

using namespace trelmox;

namespace {

// Every text a reader of the report sees, with where it stands.
struct ReportTexts {
    std::vector<std::string> all;
    std::vector<std::string> captions; // tables' and pictures' in order
    int pictures = 0;

    bool has(const std::string& part) const {
        for (const std::string& t : all)
            if (t.find(part) != std::string::npos) return true;
        return false;
    }
};

ReportTexts textsOf(const CalculationReport& report) {
    ReportTexts texts;
    for (const auto& [label, value] : report.Cover) texts.all.insert(texts.all.end(), {label, value});
    for (const ReportSection& section : report.Sections) {
        texts.all.push_back(section.Title);
        for (const ReportItem& item : section.Items) {
            if (const auto* p = std::get_if<ReportParagraph>(&item)) texts.all.push_back(p->Text);
            if (const auto* h = std::get_if<ReportHeading>(&item)) texts.all.push_back(h->Text);
            if (const auto* t = std::get_if<ReportTable>(&item)) {
                texts.captions.push_back(t->Caption);
                for (const auto& row : t->Rows) texts.all.insert(texts.all.end(), row.begin(), row.end());
            }
            if (const auto* f = std::get_if<ReportPicture>(&item)) {
                texts.captions.push_back(f->Caption);
                ++texts.pictures;
            }
        }
    }
    texts.all.insert(texts.all.end(), texts.captions.begin(), texts.captions.end());
    return texts;
}

CalculationReportInputs analysed(const SavedBlock& block, WedgeLoads loads = {}) {
    return analysedReportInputs("W1", block, loads, "2026-12-08");
}

SavedBlock withParams(SavedBlock block, const std::function<void(TWedgeParams&)>& change) {
    change(block.Params);
    return block;
}

// Kc accepts this wedge, but its line of intersection never meets the real top.
SavedBlock wedgeWithoutRealTop() {
    SavedBlock block = trelmox::testing::exampleBlock();
    block.Attitudes = {{{30, 105}, {30, 195}, {24, 150}, {70, 180}}};
    data2to1(block.Attitudes, block.Quadrants);
    block.Params.SlopeHeight = "30";
    return block;
}

ProbabilisticRun smallRun(const SavedBlock& block) {
    ProbabilisticSettings settings;
    settings.Distributions[static_cast<int>(Parameter::Friction1)] = normalDistribution(0.05);
    settings.Samples = 200;
    return {settings, runProbabilistic(block.Attitudes, parameterNumbers(block.Params), settings)};
}

ReliabilityRun reliabilityRun(const SavedBlock& block, bool random) {
    ReliabilitySettings settings;
    if (random) settings.Inputs.Distributions[static_cast<int>(Parameter::Friction1)] = normalDistribution(0.05);
    settings.Inputs.Distributions[static_cast<int>(Parameter::Cohesion1)] = lognormalDistribution(random ? 5 : 0);
    settings.TargetBeta = 3.7;
    settings.MaxSamples = 2000;
    return {settings, runReliability(block.Attitudes, parameterNumbers(block.Params), {}, settings)};
}

} // namespace

// What the report must say, and must not, for the kinds of block an
// engineer meets: results on paper only when they belong to the inputs.
TEST(CalculationReport, SaysWhatTheAnalysesFound) {
    const SavedBlock example = trelmox::testing::exampleBlock();
    CalculationReportInputs neverAnalysed = reportInputs("W1", example, {}, std::nullopt, {}, "2026-12-08");
    CalculationReportInputs stale = neverAnalysed;
    stale.NoResults = StaleResultsText;
    CalculationReportInputs withRuns = analysed(example);
    withRuns.Probabilistic = smallRun(example);
    CalculationReportInputs withReliability = analysed(example);
    withReliability.Reliability = reliabilityRun(example, true);
    CalculationReportInputs withoutDesignPoint = analysed(example);
    withoutDesignPoint.Reliability = reliabilityRun(example, false);
    withRuns.Sensitivity = sensitivityRun(
        Parameter::Friction1,
        runSensitivity(example.Attitudes, parameterNumbers(example.Params), Parameter::Friction1, 0, 1, 10),
        withRuns.Facts.Values);
    const struct {
        const char* name;
        CalculationReportInputs inputs;
        std::vector<std::string> present, absent;
        int pictures;
    } cases[] = {
        {"analysed",
         analysed(example),
         {"1.18912355743381", "17896.9513", "39.1259", "31.1965", "双面接触", "1.1838", "基本稳定", "不满足",
          "所需锚固力最小的锚杆方向为", "-34.7340", "TRELMOX 0.1", "2026-12-08", "使用计算值：u1 = u2 = γw·H/6 = 65.4",
          "该块体没有荷载文件"},
         {NeverAnalysedText, "可靠度分析"},
         2},
        {"never analysed",
         neverAnalysed,
         {NeverAnalysedText, "不能作出结论", "N15E", "SE∠45"},
         {"1.18912355743381", "Fs ="},
         2},
        {"results no longer of these inputs", stale, {StaleResultsText}, {"1.18912355743381"}, 2},
        {"corners cannot be computed",
         analysed(trelmox::testing::blockWithoutCorners()),
         {"不能求出块体的全部角点，未作分析：1、2、3三平面不能切出块体；1、3、4三平面不能切出块体。", "没有三维视图"},
         {NeverAnalysedText, "Kc ="},
         1},
        {"a text that is not a number",
         analysed(withParams(example, [](TWedgeParams& p) { p.Friction1 = "x"; })),
         {"分析失败：'x' is not a valid floating point value"},
         {"Kc ="},
         2},
        {"no real wedge under the inclined top",
         analysed(wedgeWithoutRealTop()),
         {"1.48038230476789", "实际楔块：两切割面的交线不在坡顶线后方与坡顶面相交", "以下结论只依据 Kc"},
         {"稳定状态为"},
         2},
        {"probabilistic and sensitivity runs",
         withRuns,
         {"蒙特卡洛法", "第一切割面摩擦系数 f1", "P(Fs < Fst = 1.35)", "可靠度分析（200 个样本）", "Kc = 1 时",
          "块体取值 0.364 时 Kc = 1.189，Fs = 1.184；", "安全系数 Kc 直方图", "实际楔块安全系数 Fs 直方图",
          "安全系数 Kc 与第一切割面摩擦系数 f1的关系"},
         {},
         5},
        {"reliability run",
         withReliability,
         {"可靠指标分析", "可靠指标 β（一次二阶矩法 FORM）", "设计验算点与重要性系数", "第一切割面摩擦系数 f1",
          "第一切割面粘聚力 c1", "对数正态分布，标准差 5", "重要性系数 α", "目标可靠指标",
          "可靠指标分析：β = ", "Nataf 变换"},
         {"未求得设计验算点"},
         3},
        {"reliability run without a design point",
         withoutDesignPoint,
         {"未求得设计验算点：没有随机输入", "可靠指标分析未求得设计验算点"},
         {"设计验算点与重要性系数"},
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ReportTexts texts = textsOf(calculationReport(c.inputs));
        for (const std::string& part : c.present) EXPECT_TRUE(texts.has(part)) << part;
        for (const std::string& part : c.absent) EXPECT_FALSE(texts.has(part)) << part;
        EXPECT_EQ(texts.pictures, c.pictures);
        // Tables and pictures are numbered without gaps whatever was left out.
        int table = 0, picture = 0;
        for (const std::string& caption : texts.captions) {
            const bool isTable = caption.starts_with("表");
            const std::string expected =
                (isTable ? "表" + std::to_string(++table) : "图" + std::to_string(++picture)) + " ";
            EXPECT_TRUE(caption.starts_with(expected)) << caption;
        }
    }
}

TEST(CalculationReport, TheCompanionLoadsReachTheFullAnalysis) {
    WedgeLoads loads;
    loads.Water = WaterMode::Saturated;
    loads.Crack = TensionCrack{{80, 10}, 5, 4};
    loads.SeismicCoefficient = 0.1;
    loads.Design = DesignBolt{{340, 15}, BoltMode::Active};
    const ReportTexts texts = textsOf(calculationReport(analysed(trelmox::testing::exampleBlock(), loads)));
    for (const char* part : {"饱和楔体", "倾角 80°，倾向 10°，距坡顶线 5 m，充水深度 4 m", "张裂缝水压力", "张裂缝面积",
                             "沿设计锚杆方向方位角 340°，倾伏角 15°（主动），所需锚固力"})
        EXPECT_TRUE(texts.has(part)) << part;
    EXPECT_FALSE(texts.has("该块体没有荷载文件"));
}

// A block made from a measurement file carries the kinematic checks of
// its planes: the per-mode table with the counts and a net per mode.
TEST(CalculationReport, ShowsTheMeasurementsKinematicsPerMode) {
    const SavedBlock example = trelmox::testing::exampleBlock();
    CalculationReportInputs inputs = analysed(example);
    const int plainPictures = textsOf(calculationReport(inputs)).pictures;
    const std::vector<Measurement> planes = {{{45, 185}, "A", 1, 1}, {{46, 186}, "A", 1, 2}, {{80, 5}, "B", 1, 3}};
    const std::vector<JointSet> sets = labelledSets(planes);
    const TPlaneAttitude& face = example.Attitudes[int(TPlaneRole::SlopeFace)];
    const KinematicResult result =
        kinematicAnalysis(planes, sets, {{face.DipAngle, face.DipDirection, 30, 20}}).front();
    inputs.Joints = JointKinematicsInputs{"joints.csv", planes, sets, result};
    const CalculationReport report = calculationReport(inputs);
    const ReportTexts texts = textsOf(report);
    EXPECT_EQ(texts.pictures, plainPictures + 4);
    for (KinematicMode mode : KinematicModes)
        EXPECT_TRUE(texts.has(std::string("结构面运动学分析：") + kinematicModeName(mode))) << kinematicModeName(mode);
    EXPECT_TRUE(texts.has("joints.csv"));
    // The two of 45/185 slide out of 65/185: all planes, then set by set.
    std::vector<std::vector<std::string>> rows;
    for (const ReportSection& section : report.Sections)
        for (const ReportItem& item : section.Items)
            if (const auto* t = std::get_if<ReportTable>(&item); t && t->Caption.ends_with("各破坏模式的临界结构面"))
                rows = t->Rows;
    for (const std::vector<std::string>& row :
         std::vector<std::vector<std::string>>{{"平面滑动", "全部", "极点", "2", "3", "66.7%", "-"},
                                               {"平面滑动", "A", "极点", "2", "2", "100.0%", "-"},
                                               {"平面滑动", "B", "极点", "0", "1", "0.0%", "-"}})
        EXPECT_NE(std::find(rows.begin(), rows.end(), row), rows.end()) << row[1];
}

// The size limits are stated with the loads, and what they did - the
// scale, the deciding limit, the bench's back-break - beside the geometry
// and in the conclusion; the text report lists the same.
TEST(CalculationReport, StatesTheSizeLimitsAndWhatDecidedTheScale) {
    WedgeLoads loads;
    loads.Size.FaceTrace[0] = 30;
    loads.Size.Bench = BenchLimits{100, 200, 199};
    const CalculationReportInputs inputs = analysed(trelmox::testing::exampleBlock(), loads);
    const ReportTexts texts = textsOf(calculationReport(inputs));
    for (const char* part :
         {"平面1在坡面上的迹长", "台阶宽度", "最小安全平台宽度", "楔块尺寸", "由平面1在坡面上的迹长控制",
          "全高楔块超出平面1在坡面上的迹长的限制", "窄于最小安全平台宽度"})
        EXPECT_TRUE(texts.has(part)) << part;
    const std::string full = fullReportText("W1", trelmox::testing::exampleBlock(),
                                            runBlock(blockInput(trelmox::testing::exampleBlock()), loads));
    EXPECT_NE(full.find("尺寸缩放系数:\t"), std::string::npos);
    EXPECT_NE(full.find("台阶后缘破坏:\t距坡顶线"), std::string::npos);
}

// Each plane's strength model stands in the inputs, how it enters Fs in the
// methods, and each plane's mean normal stress and shear in the results;
// a block on the data file's c and f gets none of it.
TEST(CalculationReport, StatesEachPlanesStrengthModel) {
    WedgeLoads loads;
    loads.Strength[0].Model = StrengthModel::BartonBandis;
    loads.Strength[1].Waviness = 4;
    const ReportTexts texts = textsOf(calculationReport(analysed(trelmox::testing::exampleBlock(), loads)));
    for (const char* part :
         {"第一切割面抗剪强度", "巴顿-班迪斯 τ = σn·tan(φr + JRC·lg(JCS/σn))，JRC = 8，JCS = 50000 kPa，φr = 28°",
          "莫尔-库仑 τ = c + σn·f，c2 = 48 kPa，f2 = 0.577，起伏角 i = 4°", "节理面抗剪强度",
          "第一切割面平均法向应力 σn1", "第二切割面抗剪力 T2"})
        EXPECT_TRUE(texts.has(part)) << part;
    const ReportTexts plain = textsOf(calculationReport(analysed(trelmox::testing::exampleBlock(), WedgeLoads{})));
    EXPECT_FALSE(plain.has("抗剪强度") || plain.has("平均法向应力"));
}

// The report formats the block's run: the corners, Kc and the full analysis
// are worked out once, and every figure of its result tables carries its
// unit as a report an engineer signs must.
TEST(CalculationReport, FormatsOneRunWithUnits) {
    const ComputationCounts before = computationCounts();
    const CalculationReport report = calculationReport(
        analysedReportInputs("example", trelmox::testing::exampleBlock(), WedgeLoads{}, "2026-12-08"));
    const ComputationCounts& after = computationCounts();
    EXPECT_EQ(after.Corners - before.Corners, 1);
    EXPECT_EQ(after.Kc - before.Kc, 1);
    EXPECT_EQ(after.Full - before.Full, 1);
    const ReportTexts texts = textsOf(report);
    for (const char* figure :
         {"17896.9513 m³", "39.1259 m", "65.4 kPa", "25 kN/m³", "24 kPa", "40 m", "-34.7340 m", "0 kN"})
        EXPECT_TRUE(texts.has(figure)) << figure;
}
