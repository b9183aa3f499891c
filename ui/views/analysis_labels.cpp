#include "ui/views/analysis_labels.h"

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

QString shortNumber(double value, int digits) { return QString::number(value, 'g', digits); }

} // namespace trelmox::views
