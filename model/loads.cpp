#include "model/loads.h"

#include <cmath>

#include "model/error.h"
#include "model/numtext.h"

namespace trelmox {

namespace {

// Names are built only for the message, so that checking valid loads - as
// every analysis does - allocates nothing.
template <typename Name> void requireWithin(double value, double low, double high, const Name& name) {
    if (!(std::isfinite(value) && value >= low && value <= high))
        throw Error(name() + "应在" + floatToText(low) + "与" + floatToText(high) + "之间，现为" + floatToText(value));
}

template <typename Name> void requireNonNegative(double value, const Name& name) {
    if (!(std::isfinite(value) && value >= 0)) throw Error(name() + "不能为负数，现为" + floatToText(value));
}

template <typename Name> void requireFinite(double value, const Name& name) {
    if (!std::isfinite(value)) throw Error(name() + "不是有限的数");
}

auto named(const char* text) {
    return [text] { return std::string(text); };
}

auto nthNamed(std::size_t index, const char* what) {
    return [=] { return "第" + std::to_string(index + 1) + "个" + what; };
}

template <typename Name> void validateDirection(const LineDirection& d, const Name& name) {
    requireFinite(d.Trend, [&] { return name() + "的方位角"; });
    requireWithin(d.Plunge, -90, 90, [&] { return name() + "的倾伏角"; });
}

} // namespace

std::optional<double> presetFactor(const FactorPreset& preset) {
    // By grade 一级, 二级, 三级.
    static constexpr double PermanentOrdinary[] = {1.35, 1.30, 1.25};
    static constexpr double PermanentSeismic[] = {1.15, 1.10, 1.05};
    static constexpr double TemporaryOrdinary[] = {1.25, 1.20, 1.15};
    const int grade = static_cast<int>(preset.Grade);
    const bool ordinary = preset.Condition == DesignCondition::Ordinary;
    if (preset.Service == SlopeService::Temporary)
        return ordinary ? std::optional(TemporaryOrdinary[grade]) : std::nullopt;
    return ordinary ? PermanentOrdinary[grade] : PermanentSeismic[grade];
}

std::string presetName(const FactorPreset& preset) {
    static const char* const Grades[] = {"一级", "二级", "三级"};
    return std::string(preset.Service == SlopeService::Permanent ? "永久边坡 " : "临时边坡 ") +
           Grades[static_cast<int>(preset.Grade)] +
           (preset.Condition == DesignCondition::Ordinary ? " 一般工况" : " 地震工况");
}

void validateLoads(const WedgeLoads& loads) {
    if (loads.Crack) {
        requireWithin(loads.Crack->Attitude.DipAngle, 0, 90, named("张裂缝倾角"));
        requireFinite(loads.Crack->Attitude.DipDirection, named("张裂缝倾向"));
        requireNonNegative(loads.Crack->Distance, named("张裂缝距坡顶线的距离"));
        requireNonNegative(loads.Crack->WaterDepth, named("张裂缝水深"));
    }
    requireNonNegative(loads.SeismicCoefficient, named("地震系数"));
    if (loads.SeismicDirection) validateDirection(*loads.SeismicDirection, named("地震力"));
    for (std::size_t i = 0; i < loads.Forces.size(); ++i) {
        requireNonNegative(loads.Forces[i].Magnitude, nthNamed(i, "外力的大小"));
        validateDirection(loads.Forces[i].Direction, nthNamed(i, "外力"));
    }
    requireNonNegative(loads.FacePressure, named("坡面压力"));
    requireNonNegative(loads.TopPressure, named("坡顶面压力"));
    for (std::size_t i = 0; i < loads.Bolts.size(); ++i) {
        requireNonNegative(loads.Bolts[i].Force, nthNamed(i, "锚杆的锚固力"));
        validateDirection(loads.Bolts[i].Direction, nthNamed(i, "锚杆"));
    }
    if (!(std::isfinite(loads.RequiredFactor) && loads.RequiredFactor >= 1))
        throw Error("所需安全系数不能小于1，现为" + floatToText(loads.RequiredFactor));
    if (loads.Preset) {
        const std::optional<double> factor = presetFactor(*loads.Preset);
        if (!factor) throw Error(presetName(*loads.Preset) + "没有规定安全系数");
        if (*factor != loads.RequiredFactor)
            throw Error("所需安全系数" + floatToText(loads.RequiredFactor) + "与" + presetName(*loads.Preset) + "的" +
                        floatToText(*factor) + "不符");
    }
    if (loads.Design) validateDirection(loads.Design->Direction, named("设计锚杆"));
}

} // namespace trelmox
