#include "report/reliability_section.h"

#include <charconv>

#include "analysis/probabilistic/reliability_bolt.h"
#include "analysis/support.h"
#include "drawing/reliability_plots.h"
#include "model/wording.h"

namespace trelmox {

namespace {

// Four significant digits, as the report's other statistics.
std::string significant(double v) {
    char buffer[48];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 4).ptr;
    return std::string(buffer, end);
}

std::string orDash(const std::optional<double>& v) { return v ? significant(*v) : "—"; }

std::string sampledText(const std::optional<SampledProbability>& p) {
    if (!p) return "—";
    return significant(p->Pf) + say("（变异系数 ", " (CoV ") + orDash(p->Cov) + say("，", ", ") +
           std::to_string(p->Samples) + say(" 个样本）", " samples)");
}

std::string distributionText(const Distribution& d) {
    std::string text = distributionCaption(d.Type);
    using Kind = Distribution::Kind;
    if (d.Type == Kind::Normal || d.Type == Kind::Lognormal || d.Type == Kind::Gamma || d.Type == Kind::Beta)
        text += say("，标准差 ", ", sd ") + significant(d.Spread);
    if (d.Type == Kind::Uniform || d.Type == Kind::Triangular || d.Type == Kind::Beta)
        text += say("，", ", ") + significant(d.Low) + say(" ～ ", " to ") + significant(d.High);
    return text;
}

// What a coordinate of the standard space is drawn from.
std::string coordinateDistribution(const ReliabilitySettings& s, Parameter p) {
    const Distribution& d = s.Inputs.Distributions[static_cast<int>(p)];
    if (d.Type != Distribution::Kind::Fixed) return distributionText(d);
    return say("Fisher 分布", "Fisher distribution"); // a Fisher plane's dip or dip direction
}

// The design bolt's force with its direction, the margin it keeps and, for
// the least-force direction, how far the search could confirm it.
template <typename Row> void boltRows(const ReliabilityResult& r, const Row& row) {
    const std::string label = r.LeastForceBolt ? say("达到目标所需的锚杆力（所需锚杆力最小的方向）",
                                                     "bolt force reaching the target (direction needing the least)")
                                               : say("达到目标所需的锚杆力", "bolt force reaching the target");
    if (!r.RequiredBoltForce) {
        row(label, reliabilityFailureText(*r.BoltFailure));
        return;
    }
    if (!r.DesignBolt) {
        row(label, say("0（不加锚杆已达到目标）", "0 (the target is met without a bolt)"));
        return;
    }
    const std::string margin = significant(100 * BoltForceMargin) + "%";
    row(label, significant(*r.RequiredBoltForce) + say(" kN（方位角 ", " kN (trend ") +
                   significant(r.DesignBolt->Trend) + say("°，倾伏角 ", "°, plunge ") +
                   significant(r.DesignBolt->Plunge) + say("°；该力至其以上 ", "°; the target holds up to ") + margin +
                   say("之间均满足目标）", " above the force)"));
    if (r.LeastForceBolt && r.BoltLowerBound) {
        const std::string bound = significant(*r.BoltLowerBound) + " kN";
        const std::string share = significant(100 * LeastBoltTolerance) + "%";
        row(say("最省方向的确认", "the least direction"),
            r.BoltLeastConfirmed && *r.BoltLeastConfirmed
                ? say("已确认：与下界 " + bound + " 相差不超过" + share,
                      "confirmed: within " + share + " of the lower bound " + bound)
                : say("未能确认为最小：任何方向所需的力不小于 " + bound,
                      "not confirmed as the least: no direction needs less than " + bound));
    }
}

ReportTable resultTable(const ReliabilityRun& run) {
    const ReliabilityResult& r = run.Result;
    const ReliabilityMode& d = *r.Design;
    ReportTable table{say("可靠指标与失效概率", "Reliability index and probabilities of failure"), {}, {}};
    auto row = [&](std::string label, std::string value) {
        table.Rows.push_back({std::move(label), std::move(value)});
    };
    row(say("功能函数", "limit state"), r.Factor == ReliabilityFactor::Kc ? "g = Kc - 1" : "g = Fs - 1");
    row(say("可靠指标 β（一次二阶矩法 FORM）", "reliability index beta (FORM)"), significant(d.Beta));
    row("P_f FORM = Φ(-β)", significant(d.PfForm));
    row(say("P_f 二次二阶矩法（Breitung）", "P_f SORM (Breitung)"), orDash(r.PfBreitung));
    row(say("P_f 二次二阶矩法（Tvedt）", "P_f SORM (Tvedt)"), orDash(r.PfTvedt));
    row(say("P_f 重要抽样（设计验算点）", "P_f importance sampling (design point)"), sampledText(r.Importance));
    row(say("验算点处的安全系数", "factor at the design point"), orDash(r.FactorAtDesignPoint));
    row(say("迭代次数 / 安全系数计算次数", "iterations / evaluations of the factor"),
        std::to_string(r.Iterations) + " / " + std::to_string(r.Evaluations));
    row(say("体系失效概率（各失效模式的混合重要抽样）", "system P_f (importance sampling over the modes)"),
        sampledText(r.System));
    row(say("Ditlevsen 界限", "Ditlevsen's bounds"), orDash(r.DitlevsenLow) + " ～ " + orDash(r.DitlevsenHigh));
    row(say("体系可靠指标（一阶上界）", "system index (from the first-order upper bound)"), orDash(r.SystemBeta));
    if (r.TargetBeta)
        row(say("目标可靠指标", "target reliability index"),
            significant(*r.TargetBeta) + (r.MeetsTarget
                                              ? (*r.MeetsTarget ? say("，满足", ", met") : say("，不满足", ", not met"))
                                              : std::string()));
    if (r.DesignBolt || r.LeastForceBolt) boltRows(r, row);
    return table;
}

ReportTable designPointTable(const CalculationReportInputs& in, const ReliabilityRun& run) {
    const ReliabilityResult& r = run.Result;
    const std::optional<BlockInputs>& values = in.Facts.Values;
    ReportTable table{say("设计验算点与重要性系数", "Design point and importance factors"),
                      {say("随机输入", "random input"), say("分布", "distribution"), say("块体取值", "block value"),
                       say("验算点取值", "design point"), "α", "α²"},
                      {}};
    for (std::size_t k = 0; k < r.Inputs.size(); ++k) {
        const Parameter p = r.Inputs[k];
        const double alpha = r.Design->Alpha[k];
        table.Rows.push_back({parameterCaption(p), coordinateDistribution(run.Settings, p),
                              values ? significant(parameterValue(*values, p)) : "—",
                              significant(r.Design->DesignPoint[k]), significant(alpha), significant(alpha * alpha)});
    }
    for (int k = 0; k < 2; ++k)
        if (run.Settings.Inputs.Correlation[k] != 0)
            table.Rows.push_back({say("平面" + std::to_string(k + 1) + "粘聚力与摩擦系数的相关系数",
                                      "correlation of c and f of plane " + std::to_string(k + 1)),
                                  say("高斯 copula", "Gaussian copula"),
                                  significant(run.Settings.Inputs.Correlation[k]), "—", "—", "—"});
    return table;
}

ReportTable modeTable(const ReliabilityResult& r) {
    ReportTable table{say("失效模式", "Failure modes"),
                      {say("模式", "mode"), say("验算点的接触状态", "contact at the design point"), "β", "P_f FORM"},
                      {}};
    for (std::size_t m = 0; m < r.Modes.size(); ++m)
        table.Rows.push_back({std::to_string(m + 1), contactDescription(r.Modes[m].Contact),
                              significant(r.Modes[m].Beta), significant(r.Modes[m].PfForm)});
    return table;
}

} // namespace

std::string reliabilityMethodText() {
    return say(
        "各随机输入按其分布变换到标准正态空间（Nataf 变换，c 与 f 按概率分析的高斯 copula 相关）。"
        "一次二阶矩法（FORM）以带步长控制的改进 HL-RF 迭代求功能函数 g = 0 上距原点最近的点，即设计验算点，"
        "其距离为可靠指标 β，P_f ≈ Φ(-β)，重要性系数 α 为该点的单位方向，α² 为各输入所占份额；梯度由安全系数的"
        "中心差分求得。二次二阶矩法（SORM）由验算点处的主曲率按 Breitung 公式和 Tvedt 公式修正失效概率。"
        "重要抽样以验算点为中心抽样，按标准正态密度与抽样密度之比加权，直到变异系数达到要求。安全系数随接触状态"
        "（双面接触、单面接触、浮起）分段光滑，故从多个起点搜索验算点，各失效模式的体系失效概率由以各验算点为中心的"
        "混合重要抽样求得，并给出 Ditlevsen 界限。",
        "Each random input is transformed into standard normal space by its own distribution (Nataf, c and f "
        "correlated through the probabilistic analysis's Gaussian copula). FORM finds the point of the limit "
        "state g = 0 nearest the origin, the design point, by the improved HL-RF iteration with step control; "
        "its distance is the reliability index beta, P_f ≈ Φ(-beta), the importance factors alpha are its unit "
        "direction and alpha² each input's share; gradients are central differences of the factor. SORM "
        "corrects the probability by the main curvatures at the design point (Breitung's and Tvedt's "
        "formulas). Importance sampling draws about the design point and weights each failure by the ratio of "
        "the standard density to the sampling density, until the coefficient of variation is reached. The "
        "factor is smooth only piecewise (contact on both planes, on one, lift-off), so the design point is "
        "searched from several starts; the system's probability over the failure modes comes from importance "
        "sampling over a mixture of their design points, beside Ditlevsen's bounds.");
}

std::vector<ReportItem> reliabilityItems(const CalculationReportInputs& in, const ReliabilityRun& run) {
    const ReliabilityResult& r = run.Result;
    if (!r.Design)
        return {ReportParagraph{say("未求得设计验算点：", "No design point was found: ") +
                                (r.Failure ? reliabilityFailureText(*r.Failure) : std::string()) + say("。", ".")}};
    std::vector<ReportItem> items = {resultTable(run), designPointTable(in, run)};
    if (r.Modes.size() > 1) items.push_back(modeTable(r));
    items.push_back(ReportPicture{alphaFigure(&r), say("重要性系数 α", "Importance factors alpha")});
    // Where the first order cannot be trusted alone.
    const bool disagree = r.Importance && r.Importance->Cov &&
                          std::abs(r.Importance->Pf - r.Design->PfForm) > 3 * *r.Importance->Cov * r.Importance->Pf;
    if (r.Modes.size() > 1 || disagree)
        items.push_back(ReportParagraph{
            say("注意：", "Note: ") +
            (r.Modes.size() > 1 ? say("存在多个失效模式，单个验算点的 FORM 结果低估失效概率，应以体系失效概率为准。",
                                      "there are several failure modes; FORM at one design point underestimates the "
                                      "probability of failure, and the system's probability governs. ")
                                : std::string()) +
            (disagree
                 ? say("重要抽样结果与 FORM 相差超出其抽样误差，极限状态在验算点附近弯曲或不光滑，应以抽样结果为准。",
                       "importance sampling differs from FORM by more than its sampling error: the limit state "
                       "bends or has a kink near the design point, and the sampled probability governs.")
                 : std::string())});
    return items;
}

std::string reliabilityConclusion(const ReliabilityRun& run) {
    const ReliabilityResult& r = run.Result;
    if (!r.Design) return say("可靠指标分析未求得设计验算点。", "The reliability analysis found no design point.");
    std::string text = say("可靠指标分析：β = ", "Reliability analysis: beta = ") + significant(r.Design->Beta) +
                       say("，P_f = ", ", P_f = ") + significant(r.System ? r.System->Pf : r.Design->PfForm);
    if (r.TargetBeta && r.MeetsTarget)
        text += say("，体系可靠指标 ", "; the system index ") + orDash(r.SystemBeta) +
                (*r.MeetsTarget ? say("满足", " meets") : say("不满足", " falls short of")) +
                say("目标可靠指标 ", " the target ") + significant(*r.TargetBeta);
    if (r.RequiredBoltForce && r.LeastForceBolt && r.DesignBolt)
        text += say("，达到目标所需锚杆力最小的方向为方位角 ",
                    "; the bolt direction needing the least force to reach it is trend ") +
                significant(r.DesignBolt->Trend) + say("°、倾伏角 ", "°, plunge ") + significant(r.DesignBolt->Plunge) +
                say("°，所需锚杆力 ", "°, with a force of ") + significant(*r.RequiredBoltForce) + " kN";
    else if (r.RequiredBoltForce)
        text +=
            say("，达到目标所需锚杆力 ", "; the bolt force reaching it ") + significant(*r.RequiredBoltForce) + " kN";
    return text + say("。", ".");
}

} // namespace trelmox
