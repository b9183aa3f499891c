#include "report/calculation_parts.h"

#include "model/numtext.h"
#include "model/wording.h"

namespace trelmox::report_parts {

namespace {

// A distribution's numbers as the tool takes them: "LO:HI", "SD:LO:HI", ...
std::string boundsText(double low, double high) { return significant(low) + say(" ～ ", " to ") + significant(high); }

std::string parametersText(const Distribution& d) {
    using Kind = Distribution::Kind;
    switch (d.Type) {
    case Kind::Normal:
    case Kind::Lognormal:
    case Kind::Gamma: return say("标准差 ", "standard deviation ") + significant(d.Spread);
    case Kind::Uniform:
    case Kind::Triangular: return boundsText(d.Low, d.High);
    case Kind::Beta:
        return say("标准差 ", "standard deviation ") + significant(d.Spread) + say("，", ", ") +
               boundsText(d.Low, d.High);
    case Kind::Fixed:
    case Kind::Exponential: break;
    }
    return "—";
}

std::string truncationText(const Distribution& d) {
    if (!d.TruncateLow && !d.TruncateHigh) return "—";
    return (d.TruncateLow ? significant(*d.TruncateLow) : std::string("-∞")) + say(" ～ ", " to ") +
           (d.TruncateHigh ? significant(*d.TruncateHigh) : std::string("∞"));
}

ReportTable variedInputsTable(const CalculationReportInputs& in, const ProbabilisticSettings& settings) {
    const std::optional<BlockInputs>& values = in.Facts.Values;
    ReportTable table{say("随机输入", "Random inputs"),
                      {say("随机输入", "Random inputs"), say("块体取值", "block value"), say("分布", "distribution"),
                       say("分布参数", "parameters"), say("截断范围", "truncation")},
                      {}};
    for (int i = 0; i < ParameterCount; ++i) {
        const Distribution& d = settings.Distributions[i];
        if (d.Type == Distribution::Kind::Fixed) continue;
        const auto p = static_cast<Parameter>(i);
        table.Rows.push_back({parameterCaption(p), values ? significant(parameterValue(*values, p)) : "—",
                              distributionCaption(d.Type), parametersText(d), truncationText(d)});
    }
    for (int k = 0; k < 2; ++k)
        if (settings.Correlation[k] != 0)
            table.Rows.push_back(
                {say("平面" + std::to_string(k + 1) + "粘聚力与摩擦系数的相关系数",
                     "correlation of cohesion and friction coefficient of plane " + std::to_string(k + 1)),
                 "—", say("高斯 copula", "Gaussian copula"), significant(settings.Correlation[k]), "—"});
    return table;
}

void addStatistics(Rows& rows, const std::string& factor, const std::optional<SafetyStatistics>& s) {
    if (!s) {
        rows.push_back({factor + say(" 的统计", " statistics"), say("没有切出楔块的样本", "no sample with a wedge")});
        return;
    }
    rows.push_back({factor + say(" 均值 / 标准差", " mean / standard deviation"),
                    significant(s->Mean) + " / " + significant(s->Sd)});
    rows.push_back(
        {factor + say(" 最小 / 最大", " minimum / maximum"), significant(s->Min) + " / " + significant(s->Max)});
    rows.push_back({"P(" + factor + " < 1)", percent(s->Pf)});
}

} // namespace

std::vector<ReportItem> probabilisticItems(const CalculationReportInputs& in, const ProbabilisticRun& run) {
    const ProbabilisticResult& r = run.Result;
    const auto count = [&r](TWedgeContact c) { return std::to_string(r.Contacts[static_cast<int>(c)]); };
    ReportTable settings{say("可靠度分析的设置", "Settings of the probabilistic analysis"),
                         {},
                         {{say("抽样方法", "sampling"), run.Settings.Method == SamplingMethod::MonteCarlo
                                                            ? say("蒙特卡洛法", "Monte Carlo")
                                                            : say("拉丁超立方抽样", "Latin hypercube")},
                          {say("样本数", "samples"), std::to_string(r.Samples)},
                          {say("随机种子", "random seed"), std::to_string(run.Settings.Seed)}}};
    ReportTable results{say("可靠度分析结果", "Results of the probabilistic analysis"),
                        {},
                        {{say("切出楔块的样本（Kc）", "samples with a wedge (Kc)"), std::to_string(r.Wedges)},
                         {say("双面 / 单面接触 / 浮起", "contact on both planes / one plane / lift-off"),
                          count(TWedgeContact::BothPlanes) + " / " +
                              std::to_string(r.Contacts[int(TWedgeContact::FirstPlaneOnly)] +
                                             r.Contacts[int(TWedgeContact::SecondPlaneOnly)]) +
                              " / " + count(TWedgeContact::LiftOff)},
                         {say("不能切出块体 / 未定 / 计算失败", "no block / unresolved / failed"),
                          count(TWedgeContact::NoBlock) + " / " + count(TWedgeContact::Unresolved) + " / " +
                              std::to_string(r.Failed)}}};
    addStatistics(results.Rows, "Kc", r.Statistics);
    results.Rows.push_back(
        {say("实际楔块存在的样本（Fs）", "samples with a real wedge (Fs)"), std::to_string(r.Full.Wedges)});
    addStatistics(results.Rows, "Fs", r.Full.Statistics);
    if (r.Full.Statistics)
        results.Rows.push_back(
            {"P(Fs < Fst = " + floatToText(r.Full.RequiredFactor) + ")", percent(r.Full.PBelowRequired)});
    return {settings, variedInputsTable(in, run.Settings), results};
}

std::string sensitivityText(const CalculationReportInputs& in, const SensitivityRun& run, const FullOutcome& full) {
    const std::string name = parameterCaption(run.Input);
    const bool english = inEnglish();
    std::string text = say("敏感性分析：", "Sensitivity analysis: ") + name;
    if (!run.Steps.empty())
        text += say(" 从 " + significant(run.Steps.front().Value) + " 到 " + significant(run.Steps.back().Value) +
                        "，共 " + std::to_string(run.Steps.size() - 1) + " 步",
                    " from " + significant(run.Steps.front().Value) + " to " + significant(run.Steps.back().Value) +
                        " in " + std::to_string(run.Steps.size() - 1) + " steps");
    if (const auto& own = run.Own)
        text += say("；块体取值 " + significant(own->Value) + " 时 Kc = " + significant(own->SafetyFactor),
                    "; at the block's value " + significant(own->Value) + " Kc = " + significant(own->SafetyFactor));
    // The block's own Fs beside its Kc, as the window gives it.
    if (hasFactor(full))
        text += say("，Fs = ", ", Fs = ") +
                boundedFactor(full.Report->Analysis, significant(full.Report->Analysis.Safety.Factor));
    // Kc against 1 and, as the window shows it, Fs against the required factor.
    const auto crossingWords = [&name, english](const std::vector<double>& values, const std::string& limit,
                                                const std::string& none) {
        std::string crossings;
        for (double v : values) crossings += (crossings.empty() ? "" : english ? ", " : "、") + significant(v);
        if (crossings.empty()) return none;
        return english ? limit + " at " + name + " ≈ " + crossings : limit + " 时 " + name + " ≈ " + crossings;
    };
    const std::string required = floatToText(in.Loads.RequiredFactor);
    text += say("；", "; ") + crossingWords(limitCrossings(run.Steps), "Kc = 1",
                                            say("所选范围内 Kc 不经过 1", "Kc does not pass 1 within the range"));
    text += say("；", "; ") +
            crossingWords(limitCrossings(run.Steps, true, in.Loads.RequiredFactor), "Fs = " + required,
                          say("所选范围内 Fs 不经过所需安全系数 " + required,
                              "Fs does not pass the required safety factor " + required + " within the range")) +
            say("。", ".");
    return text;
}

} // namespace trelmox::report_parts
