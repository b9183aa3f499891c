#include "ui/views/analysis_labels.h"

#include <cmath>

#include "model/error.h"

namespace trelmox::views {

QString parameterLabel(Parameter parameter) {
    switch (parameter) {
    case Parameter::Dip1: return QStringLiteral("第一切割面倾角");
    case Parameter::DipDir1: return QStringLiteral("第一切割面倾向");
    case Parameter::Dip2: return QStringLiteral("第二切割面倾角");
    case Parameter::DipDir2: return QStringLiteral("第二切割面倾向");
    case Parameter::DipTop: return QStringLiteral("坡顶面倾角");
    case Parameter::DipDirTop: return QStringLiteral("坡顶面倾向");
    case Parameter::DipFace: return QStringLiteral("坡面倾角");
    case Parameter::DipDirFace: return QStringLiteral("坡面倾向");
    case Parameter::Cohesion1: return QStringLiteral("第一切割面粘聚力 c1");
    case Parameter::Friction1: return QStringLiteral("第一切割面摩擦系数 f1");
    case Parameter::Cohesion2: return QStringLiteral("第二切割面粘聚力 c2");
    case Parameter::Friction2: return QStringLiteral("第二切割面摩擦系数 f2");
    case Parameter::RockUnitWeight: return QStringLiteral("岩体容重");
    case Parameter::WaterUnitWeight: return QStringLiteral("水的容重");
    case Parameter::SlopeHeight: return QStringLiteral("坡高 H");
    case Parameter::WaterPressure1: return QStringLiteral("第一切割面水压力 u1");
    case Parameter::WaterPressure2: return QStringLiteral("第二切割面水压力 u2");
    case Parameter::Seismic: return QStringLiteral("地震系数 k");
    case Parameter::CrackDistance: return QStringLiteral("张裂缝距坡顶距离");
    case Parameter::CrackWater: return QStringLiteral("张裂缝充水深度");
    case Parameter::ForceMagnitude: return QStringLiteral("外力合计");
    case Parameter::BoltForce: return QStringLiteral("锚杆力合计");
    }
    return {};
}

QString contactLabel(TWedgeContact contact) {
    switch (contact) {
    case TWedgeContact::NoBlock: return QStringLiteral("不能切出块体");
    case TWedgeContact::BothPlanes: return QStringLiteral("双面接触");
    case TWedgeContact::FirstPlaneOnly: return QStringLiteral("仅第一切割面接触");
    case TWedgeContact::SecondPlaneOnly: return QStringLiteral("仅第二切割面接触");
    case TWedgeContact::LiftOff: return QStringLiteral("浮起");
    case TWedgeContact::Unresolved: return QStringLiteral("未定");
    }
    return {};
}

namespace {

QString boundText(double bound) {
    if (std::isinf(bound)) return bound > 0 ? QStringLiteral("∞") : QStringLiteral("-∞");
    return shortNumber(bound, 15);
}

QString rangeWords(Parameter input) {
    const ParameterRange range = parameterRange(input);
    return QStringLiteral("%1到%2").arg(boundText(range.Low), boundText(range.High));
}

} // namespace

QString refusalText(const ParameterRefusal& refusal) {
    using Reason = ParameterRefusal::Reason;
    const QString input = parameterLabel(refusal.Input);
    const QString first = shortNumber(refusal.First, 15), second = shortNumber(refusal.Second, 15);
    switch (refusal.Why) {
    case Reason::NegativeSpread: return QStringLiteral("%1的标准差应为不小于0的有限数，而不是%2").arg(input, first);
    case Reason::BlockValueOutside:
        return QStringLiteral("%1的块体取值%2不在%3之间").arg(input, first, rangeWords(refusal.Input));
    case Reason::InvalidRange: return QStringLiteral("%1的范围应由有限的下限和上限组成，且下限不大于上限").arg(input);
    case Reason::RangeOutside:
        return QStringLiteral("%1的范围%2～%3超出了%4").arg(input, first, second, rangeWords(refusal.Input));
    case Reason::LognormalUnbounded: return QStringLiteral("%1有上限或可取负值，不能用对数正态分布").arg(input);
    case Reason::LognormalNonPositive:
        return QStringLiteral("%1的块体取值为%2，对数正态分布要求大于0").arg(input, first);
    case Reason::ComputedWater: return QStringLiteral("本块体的水压力由水的容重和坡高计算，%1不能单独变化").arg(input);
    case Reason::ValueOutside: return QStringLiteral("%1的取值%2不在%3之间").arg(input, first, rangeWords(refusal.Input));
    case Reason::NoCrack: return QStringLiteral("本块体没有张裂缝，%1不能变化").arg(input);
    case Reason::NoForce: return QStringLiteral("本块体没有外力，%1不能变化").arg(input);
    case Reason::NoBolt: return QStringLiteral("本块体没有锚杆，%1不能变化").arg(input);
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

QString shortNumber(double value, int digits) { return QString::number(value, 'g', digits); }

} // namespace trelmox::views
