#include "ui/views/analysis_labels.h"

#include <QCoreApplication>

#include <cmath>

#include "analysis/probabilistic/distribution.h"
#include "model/error.h"

namespace trelmox::views {

QString parameterLabel(Parameter parameter) { return QString::fromUtf8(parameterCaption(parameter)); }

namespace {

QString boundText(double bound) {
    if (std::isinf(bound)) return bound > 0 ? QStringLiteral("∞") : QStringLiteral("-∞");
    return shortNumber(bound, 15);
}

QString rangeWords(Parameter input) {
    const ParameterRange range = parameterRange(input);
    return QCoreApplication::translate("AnalysisLabels", "%1到%2").arg(boundText(range.Low), boundText(range.High));
}

} // namespace

QString refusalText(const ParameterRefusal& refusal) {
    using Reason = ParameterRefusal::Reason;
    const QString input = parameterLabel(refusal.Input);
    const QString first = shortNumber(refusal.First, 15), second = shortNumber(refusal.Second, 15);
    const QString kind = QString::fromUtf8(distributionCaption(static_cast<Distribution::Kind>(refusal.Distribution)));
    switch (refusal.Why) {
    case Reason::NegativeSpread:
        return QCoreApplication::translate("AnalysisLabels", "%1的标准差应为不小于0的有限数，而不是%2")
            .arg(input, first);
    case Reason::BlockValueOutside:
        return QCoreApplication::translate("AnalysisLabels", "%1的块体取值%2不在%3之间")
            .arg(input, first, rangeWords(refusal.Input));
    case Reason::InvalidRange:
        return QCoreApplication::translate("AnalysisLabels",
                                           "%1的范围应由有限的下限和上限组成，下限不大于上限，且两者相差小于1e150")
            .arg(input);
    case Reason::RangeOutside:
        return QCoreApplication::translate("AnalysisLabels", "%1的范围%2～%3超出了%4")
            .arg(input, first, second, rangeWords(refusal.Input));
    case Reason::LognormalUnbounded:
        return QCoreApplication::translate("AnalysisLabels", "%1有上限或可取负值，不能用%2").arg(input, kind);
    case Reason::LognormalNonPositive:
        return QCoreApplication::translate("AnalysisLabels", "%1的块体取值为%2，%3要求大于0").arg(input, first, kind);
    case Reason::OutsideBounds:
        return QCoreApplication::translate("AnalysisLabels", "%1的块体取值%2不在%3的下限%4和上限%5之间")
            .arg(input, first, kind, shortNumber(refusal.Low, 15), shortNumber(refusal.High, 15));
    case Reason::BetaSpread:
        return QCoreApplication::translate("AnalysisLabels",
                                           "%1的贝塔分布在%2～%3之间、均值为块体取值时，标准差应小于%4，而不是%5")
            .arg(input, shortNumber(refusal.Low, 15), shortNumber(refusal.High, 15), second, first);
    case Reason::BetaNarrow:
        return QCoreApplication::translate(
                   "AnalysisLabels",
                   "%1的贝塔分布在%2～%3之间、标准差为%4时过窄（形状参数超过1e8），请缩小范围或改用正态分布")
            .arg(input, shortNumber(refusal.Low, 15), shortNumber(refusal.High, 15), first);
    case Reason::TruncationEmpty:
        return QCoreApplication::translate("AnalysisLabels", "%1的截断范围%2～%3内没有可抽取的值")
            .arg(input, boundText(refusal.First), boundText(refusal.Second));
    case Reason::ComputedWater:
        return QCoreApplication::translate("AnalysisLabels", "本块体的水压力由水的容重和坡高计算，%1不能单独变化")
            .arg(input);
    case Reason::ValueOutside:
        return QCoreApplication::translate("AnalysisLabels", "%1的取值%2不在%3之间")
            .arg(input, first, rangeWords(refusal.Input));
    case Reason::NoCrack:
        return QCoreApplication::translate("AnalysisLabels", "本块体没有张裂缝，%1不能变化").arg(input);
    case Reason::NoForce: return QCoreApplication::translate("AnalysisLabels", "本块体没有外力，%1不能变化").arg(input);
    case Reason::NoBolt: return QCoreApplication::translate("AnalysisLabels", "本块体没有锚杆，%1不能变化").arg(input);
    case Reason::NoSizeLimit:
        return QCoreApplication::translate("AnalysisLabels", "荷载中没有给出%1，它不能变化").arg(input);
    case Reason::SpreadTooLarge:
        return QCoreApplication::translate("AnalysisLabels", "%1的标准差%2过大，抽样值会溢出").arg(input, first);
    }
    return QString::fromUtf8(refusal.what());
}

void inWindowWords(const std::function<void()>& command) {
    try {
        command();
    } catch (const ParameterRefusal& refusal) {
        throw Error(refusalText(refusal).toStdString());
    }
}

InputUse inputUse(const BlockInputs* inputs, Parameter parameter) {
    const bool load = parameter == Parameter::CrackDistance || parameter == Parameter::CrackWater ||
                      parameter == Parameter::ForceMagnitude || parameter == Parameter::BoltForce ||
                      parameter == Parameter::CrackDip || parameter == Parameter::CrackDipDir ||
                      sizeLimitOf(parameter).has_value();
    if (!inputs) return load ? InputUse::Absent : InputUse::Variable;
    // The crack holds water only in a saturated wedge.
    if (parameter == Parameter::CrackWater && inputs->Loads.Water != WaterMode::Saturated) return InputUse::Absent;
    try {
        requireVariable(*inputs, parameter);
    } catch (const ParameterRefusal& refusal) {
        return refusal.Why == ParameterRefusal::Reason::ComputedWater ? InputUse::Fixed : InputUse::Absent;
    }
    return InputUse::Variable;
}

QString shortNumber(double value, int digits) { return QString::number(value, 'g', digits); }

} // namespace trelmox::views
