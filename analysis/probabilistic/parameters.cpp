#include "analysis/probabilistic/parameters.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "analysis/probabilistic/distribution.h"
#include "analysis/probabilistic/sample_trig.h"
#include "model/error.h"
#include "model/language.h"
#include "model/numtext.h"

namespace trelmox {

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

constexpr std::array<const char*, ParameterCount> Names = {
    "dip1",         "dipdir1",      "dip2",        "dipdir2",    "diptop",      "dipdirtop",    "dipface",
    "dipdirface",   "c1",           "f1",          "c2",         "f2",          "rock",         "water",
    "height",       "u1",           "u2",          "k",          "crackdist",   "crackwater",   "force",
    "bolt",         "face_trace1",  "face_trace2", "top_trace1", "top_trace2",  "persistence1", "persistence2",
    "slope_length", "bench_height", "bench_width", "crackdip",   "crackdipdir",
};

constexpr std::array<const char*, ParameterCount> Captions = {
    "第一切割面倾角",
    "第一切割面倾向",
    "第二切割面倾角",
    "第二切割面倾向",
    "坡顶面倾角",
    "坡顶面倾向",
    "坡面倾角",
    "坡面倾向",
    "第一切割面粘聚力 c1",
    "第一切割面摩擦系数 f1",
    "第二切割面粘聚力 c2",
    "第二切割面摩擦系数 f2",
    "岩体容重",
    "水的容重",
    "坡高 H",
    "第一切割面水压力 u1",
    "第二切割面水压力 u2",
    "地震系数 k",
    "张裂缝距坡顶距离",
    "张裂缝充水深度",
    "外力合计",
    "锚杆力合计",
    "平面1在坡面上的迹长",
    "平面2在坡面上的迹长",
    "平面1在坡顶面上的迹长",
    "平面2在坡顶面上的迹长",
    "平面1的延伸长度",
    "平面2的延伸长度",
    "边坡走向长度",
    "台阶高度",
    "台阶宽度",
    "张裂缝倾角",
    "张裂缝倾向",
};

constexpr std::array<const char*, ParameterCount> EnglishCaptions = {
    "dip of plane 1",
    "dip direction of plane 1",
    "dip of plane 2",
    "dip direction of plane 2",
    "dip of the upper slope",
    "dip direction of the upper slope",
    "dip of the slope face",
    "dip direction of the slope face",
    "cohesion c1 of plane 1",
    "friction coefficient f1 of plane 1",
    "cohesion c2 of plane 2",
    "friction coefficient f2 of plane 2",
    "rock unit weight",
    "water unit weight",
    "slope height H",
    "water pressure u1 on plane 1",
    "water pressure u2 on plane 2",
    "seismic coefficient k",
    "tension crack distance from the crest",
    "water depth in the tension crack",
    "total external force",
    "total bolt force",
    "trace length of plane 1 on the slope face",
    "trace length of plane 2 on the slope face",
    "trace length of plane 1 on the upper slope",
    "trace length of plane 2 on the upper slope",
    "persistence of plane 1",
    "persistence of plane 2",
    "slope length along strike",
    "bench height",
    "bench width",
    "dip of the tension crack",
    "dip direction of the tension crack",
};

// The one place that maps an input to its storage.
template <typename Inputs> auto& field(Inputs& inputs, Parameter p) {
    auto& a = inputs.Attitudes;
    auto& n = inputs.Numbers;
    switch (p) {
    case Parameter::Dip1: return a[0].DipAngle;
    case Parameter::DipDir1: return a[0].DipDirection;
    case Parameter::Dip2: return a[1].DipAngle;
    case Parameter::DipDir2: return a[1].DipDirection;
    case Parameter::DipTop: return a[2].DipAngle;
    case Parameter::DipDirTop: return a[2].DipDirection;
    case Parameter::DipFace: return a[3].DipAngle;
    case Parameter::DipDirFace: return a[3].DipDirection;
    case Parameter::Cohesion1: return n.Cohesion1;
    case Parameter::Friction1: return n.Friction1;
    case Parameter::Cohesion2: return n.Cohesion2;
    case Parameter::Friction2: return n.Friction2;
    case Parameter::RockUnitWeight: return n.RockUnitWeight;
    case Parameter::WaterUnitWeight: return n.WaterUnitWeight;
    case Parameter::SlopeHeight: return n.SlopeHeight;
    case Parameter::WaterPressure1: return n.WaterPressure1;
    case Parameter::WaterPressure2: return n.WaterPressure2;
    case Parameter::Seismic: return inputs.Loads.SeismicCoefficient;
    case Parameter::CrackDistance: return inputs.CrackDistance;
    case Parameter::CrackWater: return inputs.CrackWater;
    case Parameter::ForceMagnitude: return inputs.ForceTotal;
    case Parameter::BoltForce: return inputs.BoltTotal;
    case Parameter::CrackDip: return inputs.CrackAttitude.DipAngle;
    case Parameter::CrackDipDir: return inputs.CrackAttitude.DipDirection;
    default: return inputs.SizeLimits[static_cast<int>(p) - FirstSizeParameter];
    }
    throw Error("unknown parameter");
}

std::string boundText(double bound) { return boundToText(bound); }

bool cannotVary(ParameterRefusal::Reason why) {
    using Reason = ParameterRefusal::Reason;
    return why == Reason::ComputedWater || why == Reason::NoCrack || why == Reason::NoForce || why == Reason::NoBolt ||
           why == Reason::NoSizeLimit;
}

constexpr const char* DistributionNames[] = {"fixed",       "normal",     "uniform", "lognormal",
                                             "exponential", "triangular", "beta",    "gamma"};

std::string refusalMessage(Parameter p, ParameterRefusal::Reason why, double first, double second, int distribution,
                           double low, double high) {
    const std::string name = DistributionNames[distribution];
    const std::string kind = (name[0] == 'e' ? "n " : " ") + name; // after "a"
    using Reason = ParameterRefusal::Reason;
    const std::string range = rangeText(parameterRange(p));
    const std::string detail = [&]() -> std::string {
        switch (why) {
        case Reason::NegativeSpread:
            return "the standard deviation must be a finite number >= 0, not " + floatToText(first);
        case Reason::BlockValueOutside: return "the block's value " + floatToText(first) + " lies outside " + range;
        case Reason::InvalidRange: return "the range must be LO:HI with finite LO <= HI less than 1e150 apart";
        case Reason::RangeOutside:
            return "the range " + floatToText(first) + ":" + floatToText(second) + " leaves " + range;
        case Reason::LognormalUnbounded:
            return "a" + kind + " distribution fits only positive quantities without an upper bound";
        case Reason::LognormalNonPositive:
            return "a" + kind + " distribution needs a block value > 0, not " + floatToText(first);
        case Reason::ComputedWater:
            return "cannot vary: this block's water pressures are computed from water and height";
        case Reason::NoCrack: return "cannot vary: this block has no tension crack";
        case Reason::NoForce: return "cannot vary: this block has no external force";
        case Reason::NoBolt: return "cannot vary: this block has no bolt";
        case Reason::NoSizeLimit: return "cannot vary: this block's loads give no such size limit";
        case Reason::ValueOutside: return floatToText(first) + " lies outside " + range;
        case Reason::SpreadTooLarge:
            return "the standard deviation " + floatToText(first) + " is too large: its draws would overflow";
        case Reason::OutsideBounds:
            return "a" + kind + " distribution needs the block's value " + floatToText(first) + " within its bounds " +
                   floatToText(low) + ":" + floatToText(high);
        case Reason::BetaSpread:
            return "a beta distribution between " + floatToText(low) + " and " + floatToText(high) +
                   " about the block's value has a standard deviation below " + floatToText(second) + ", not " +
                   floatToText(first);
        case Reason::BetaNarrow:
            return "a beta distribution between " + floatToText(low) + " and " + floatToText(high) +
                   " is too narrow with a standard deviation of " + floatToText(first) +
                   " (its shapes pass 1e8): narrow the bounds or use a normal distribution";
        case Reason::TruncationEmpty:
            return "the truncation " + boundText(first) + ":" + boundText(second) + " leaves no value to draw";
        }
        return {};
    }();
    return std::string(Names[static_cast<int>(p)]) + (cannotVary(why) ? " " : ": ") + detail;
}

} // namespace

bool isDip(Parameter p) {
    return p == Parameter::Dip1 || p == Parameter::Dip2 || p == Parameter::DipTop || p == Parameter::DipFace ||
           p == Parameter::CrackDip;
}

bool isDipDirection(Parameter p) {
    return p == Parameter::DipDir1 || p == Parameter::DipDir2 || p == Parameter::DipDirTop ||
           p == Parameter::DipDirFace || p == Parameter::CrackDipDir;
}

ParameterRefusal::ParameterRefusal(Parameter input, Reason why, double first, double second, int distribution,
                                   double low, double high)
    : Error(refusalMessage(input, why, first, second, distribution, low, high)), Input(input), Why(why), First(first),
      Second(second), Distribution(distribution), Low(low), High(high) {}

namespace {

// A number as the windows show it, to 15 significant digits.
std::string shortText(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

std::string chineseBound(double bound) {
    if (std::isinf(bound)) return bound > 0 ? "∞" : "-∞";
    return shortText(bound);
}

std::string chineseRange(Parameter input) {
    const ParameterRange range = parameterRange(input);
    return chineseBound(range.Low) + "到" + chineseBound(range.High);
}

std::string chineseRefusal(const ParameterRefusal& r) {
    using Reason = ParameterRefusal::Reason;
    const std::string input = Captions[static_cast<int>(r.Input)];
    const std::string first = shortText(r.First), second = shortText(r.Second);
    const std::string low = shortText(r.Low), high = shortText(r.High);
    const std::string kind = distributionCaption(static_cast<Distribution::Kind>(r.Distribution));
    switch (r.Why) {
    case Reason::NegativeSpread: return input + "的标准差应为不小于0的有限数，而不是" + first;
    case Reason::BlockValueOutside: return input + "的块体取值" + first + "不在" + chineseRange(r.Input) + "之间";
    case Reason::InvalidRange: return input + "的范围应由有限的下限和上限组成，下限不大于上限，且两者相差小于1e150";
    case Reason::RangeOutside: return input + "的范围" + first + "～" + second + "超出了" + chineseRange(r.Input);
    case Reason::LognormalUnbounded: return input + "有上限或可取负值，不能用" + kind;
    case Reason::LognormalNonPositive: return input + "的块体取值为" + first + "，" + kind + "要求大于0";
    case Reason::OutsideBounds:
        return input + "的块体取值" + first + "不在" + kind + "的下限" + low + "和上限" + high + "之间";
    case Reason::BetaSpread:
        return input + "的贝塔分布在" + low + "～" + high + "之间、均值为块体取值时，标准差应小于" + second +
               "，而不是" + first;
    case Reason::BetaNarrow:
        return input + "的贝塔分布在" + low + "～" + high + "之间、标准差为" + first +
               "时过窄（形状参数超过1e8），请缩小范围或改用正态分布";
    case Reason::TruncationEmpty:
        return input + "的截断范围" + chineseBound(r.First) + "～" + chineseBound(r.Second) + "内没有可抽取的值";
    case Reason::ComputedWater: return "本块体的水压力由水的容重和坡高计算，" + input + "不能单独变化";
    case Reason::ValueOutside: return input + "的取值" + first + "不在" + chineseRange(r.Input) + "之间";
    case Reason::NoCrack: return "本块体没有张裂缝，" + input + "不能变化";
    case Reason::NoForce: return "本块体没有外力，" + input + "不能变化";
    case Reason::NoBolt: return "本块体没有锚杆，" + input + "不能变化";
    case Reason::NoSizeLimit: return "荷载中没有给出" + input + "，它不能变化";
    case Reason::SpreadTooLarge: return input + "的标准差" + first + "过大，抽样值会溢出";
    }
    return r.what();
}

} // namespace

std::string refusalWords(const ParameterRefusal& refusal) {
    return messageLanguage() == Language::English ? std::string(refusal.what()) : chineseRefusal(refusal);
}

const char* parameterName(Parameter parameter) { return Names[static_cast<int>(parameter)]; }

std::optional<SizeLimitKind> sizeLimitOf(Parameter parameter) {
    const int at = static_cast<int>(parameter) - FirstSizeParameter;
    if (at < 0 || at >= SizeLimitKindCount) return std::nullopt;
    return static_cast<SizeLimitKind>(at);
}

const char* parameterCaption(Parameter parameter) {
    return inLanguage(Captions[static_cast<int>(parameter)], EnglishCaptions[static_cast<int>(parameter)]);
}

std::optional<Parameter> parameterFromName(std::string_view name) {
    for (int i = 0; i < ParameterCount; ++i)
        if (name == Names[i]) return static_cast<Parameter>(i);
    return std::nullopt;
}

std::string parameterNameList() {
    std::string list;
    for (const char* name : Names) {
        if (!list.empty()) list += ' ';
        list += name;
    }
    return list;
}

ParameterRange parameterRange(Parameter parameter) {
    if (isDip(parameter)) return {0, 90};
    if (isDipDirection(parameter)) return {-Infinity, Infinity};
    return {0, Infinity};
}

std::string rangeText(ParameterRange range) { return boundText(range.Low) + ".." + boundText(range.High); }

BlockInputs blockInputs(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters) {
    return blockInputs(attitudes, parameters, WedgeLoads{});
}

BlockInputs blockInputs(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters,
                        const WedgeLoads& loads) {
    BlockInputs inputs;
    inputs.Attitudes = attitudes;
    inputs.Numbers = wedgeNumbers(parameters);
    inputs.ComputedWater = parameters.WaterPressureMode == TWaterPressureMode::Computed;
    inputs.Loads = loads;
    validateLoads(loads);
    if (loads.Crack) {
        inputs.CrackDistance = loads.Crack->Distance, inputs.CrackWater = loads.Crack->WaterDepth;
        inputs.CrackAttitude = loads.Crack->Attitude;
    }
    for (const ExternalForce& f : loads.Forces) {
        inputs.ForceShares.push_back(f.Magnitude);
        inputs.ForceTotal += f.Magnitude;
    }
    for (const Bolt& b : loads.Bolts) {
        inputs.BoltShares.push_back(b.Force);
        inputs.BoltTotal += b.Force;
    }
    for (int k = 0; k < SizeLimitKindCount; ++k)
        inputs.SizeLimits[k] = sizeLimit(loads.Size, static_cast<SizeLimitKind>(k)).value_or(0);
    return inputs;
}

double parameterValue(const BlockInputs& inputs, Parameter parameter) { return field(inputs, parameter); }

double& parameterField(BlockInputs& inputs, Parameter parameter) { return field(inputs, parameter); }

namespace {

void updateWaterPressures(BlockInputs& inputs) {
    if (!inputs.ComputedWater) return;
    const double u = ComputeWaterPressure(inputs.Numbers.WaterUnitWeight, inputs.Numbers.SlopeHeight);
    inputs.Numbers.WaterPressure1 = inputs.Numbers.WaterPressure2 = u;
}

// The varied totals shared out in the loads' own proportions.
template <typename Item, typename Field>
void shareOut(std::vector<Item>& items, const std::vector<double>& shares, double total, Field field) {
    double sum = 0;
    for (double share : shares) sum += share;
    for (std::size_t i = 0; i < items.size(); ++i) items[i].*field = sum > 0 ? shares[i] * (total / sum) : 0;
}

// The limits the loads give, from the (possibly varied) values.
void updateSizeLimits(BlockInputs& inputs) {
    for (int k = 0; k < SizeLimitKindCount; ++k)
        setSizeLimit(inputs.Loads.Size, static_cast<SizeLimitKind>(k), inputs.SizeLimits[k]);
}

void updateLoads(BlockInputs& inputs) {
    WedgeLoads& loads = inputs.Loads;
    updateSizeLimits(inputs);
    if (loads.Crack) {
        loads.Crack->Distance = inputs.CrackDistance, loads.Crack->WaterDepth = inputs.CrackWater;
        loads.Crack->Attitude = inputs.CrackAttitude;
    }
    shareOut(loads.Forces, inputs.ForceShares, inputs.ForceTotal, &ExternalForce::Magnitude);
    shareOut(loads.Bolts, inputs.BoltShares, inputs.BoltTotal, &Bolt::Force);
}

} // namespace

SafetyResult evaluate(BlockInputs& inputs) {
    updateWaterPressures(inputs);
    return computeSafetyFactor(sampleWedgeNormals(inputs.Attitudes), inputs.Numbers);
}

void evaluateFull(BlockInputs& inputs, const WedgePlanes& planes, FullAnalysis& analysis) {
    updateWaterPressures(inputs);
    updateLoads(inputs);
    analyseWedge(planes, inputs.Numbers, inputs.Loads, analysis);
}

FullAnalysis evaluateFull(BlockInputs& inputs) {
    FullAnalysis analysis;
    evaluateFull(inputs, sampleWedgePlanes(inputs.Attitudes, inputs.Loads.Crack), analysis);
    return analysis;
}

std::optional<TPlaneRole> planeOf(Parameter parameter) {
    if (parameter == Parameter::CrackDip || parameter == Parameter::CrackDipDir) return std::nullopt;
    if (!isDip(parameter) && !isDipDirection(parameter)) return std::nullopt;
    return static_cast<TPlaneRole>(static_cast<int>(parameter) / 2);
}

void refreshPlane(WedgePlanes& planes, const PlaneAttitudeArray& attitudes, TPlaneRole plane) {
    const TPoint3D normal = sampleUpwardNormal(attitudes[int(plane)]);
    switch (plane) {
    case TPlaneRole::FirstCuttingPlane: planes.FirstPlane = normal; break;
    case TPlaneRole::SecondCuttingPlane: planes.SecondPlane = normal; break;
    case TPlaneRole::SlopeTopSurface: planes.UpperSlope = normal; break;
    case TPlaneRole::SlopeFace: planes.SlopeFace = normal; break;
    }
}

void requireVariable(const BlockInputs& inputs, Parameter parameter) {
    const bool waterPressure = parameter == Parameter::WaterPressure1 || parameter == Parameter::WaterPressure2;
    using Reason = ParameterRefusal::Reason;
    if (waterPressure && inputs.ComputedWater) throw ParameterRefusal(parameter, Reason::ComputedWater);
    const bool crack = parameter == Parameter::CrackDistance || parameter == Parameter::CrackWater ||
                       parameter == Parameter::CrackDip || parameter == Parameter::CrackDipDir;
    if (crack && !inputs.Loads.Crack) throw ParameterRefusal(parameter, Reason::NoCrack);
    if (parameter == Parameter::ForceMagnitude && !(inputs.ForceTotal > 0))
        throw ParameterRefusal(parameter, Reason::NoForce);
    if (parameter == Parameter::BoltForce && !(inputs.BoltTotal > 0)) throw ParameterRefusal(parameter, Reason::NoBolt);
    if (const auto kind = sizeLimitOf(parameter); kind && !sizeLimit(inputs.Loads.Size, *kind))
        throw ParameterRefusal(parameter, Reason::NoSizeLimit);
}

} // namespace trelmox
