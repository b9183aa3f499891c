#include "model/loads.h"

#include <cmath>

#include "model/error.h"
#include "model/numtext.h"

namespace trelmox {

namespace {

// Names are built only for the message, so that checking valid loads - as
// every analysis does - allocates nothing.
template <typename Name> void require(double value, LoadRange range, const Name& name) {
    if (!withinLoadRange(value, range)) throw Error::refused(loadRangeMessage(value, range, name()));
}

auto named(const char* text) {
    return [text] { return std::string(text); };
}

auto nthNamed(std::size_t index, const char* what) {
    return [=] { return "第" + std::to_string(index + 1) + "个" + what; };
}

template <typename Name> void validateDirection(const LineDirection& d, const Name& name) {
    require(d.Trend, LoadRange::Azimuth, [&] { return name() + "的方位角"; });
    require(d.Plunge, LoadRange::Plunge, [&] { return name() + "的倾伏角"; });
}

// A strength parameter within [low, high] (each end open or closed). The
// names are built only for the message: valid loads allocate nothing.
void requireBetween(double value, double low, bool lowOpen, double high, bool highOpen, int plane, const char* name,
                    const char* key) {
    const bool above = lowOpen ? value > low : value >= low;
    const bool below = highOpen ? value < high : value <= high;
    if (std::isfinite(value) && above && below) return;
    const std::string who = std::string(plane == 0 ? "第一切割面的" : "第二切割面的") + name;
    const std::string field = std::string("strength.plane") + (plane == 0 ? "1." : "2.") + key;
    if (!std::isfinite(value)) throw Error::refused(who + "不是有限的数", field);
    std::string range;
    if (high == HUGE_VAL)
        range = lowOpen ? "应大于" + floatToText(low) : "不能小于" + floatToText(low);
    else
        range = "应在" + floatToText(low) + "与" + floatToText(high) + "之间" + (highOpen ? "（不含" + floatToText(high) + "）" : "");
    throw Error::refused(who + range + "，现为" + floatToText(value), field);
}

void checkStrength(const JointStrength& s, int plane) {
    const auto check = [plane](double value, double low, bool lowOpen, double high, bool highOpen, const char* name,
                               const char* key) { requireBetween(value, low, lowOpen, high, highOpen, plane, name, key); };
    switch (s.Model) {
    case StrengthModel::MohrCoulomb: break;
    case StrengthModel::BartonBandis:
        check(s.Jrc, 0, false, 20, false, "JRC", "jrc");
        check(s.Jcs, 0, true, HUGE_VAL, false, "JCS", "jcs");
        check(s.ResidualFriction, 0, false, 90, true, "残余摩擦角", "phi_r");
        break;
    case StrengthModel::PowerCurve:
        check(s.PowerA, 0, false, HUGE_VAL, false, "幂函数系数a", "a");
        check(s.PowerB, 0, true, HUGE_VAL, false, "幂函数指数b", "b");
        check(s.PowerC, -HUGE_VAL, false, HUGE_VAL, false, "幂函数参数c", "c");
        check(s.PowerD, 0, false, HUGE_VAL, false, "幂函数参数d", "d");
        break;
    case StrengthModel::HoekBrown:
        check(s.Sigci, 0, true, HUGE_VAL, false, "单轴抗压强度σci", "sigci");
        check(s.Mb, 0, true, HUGE_VAL, false, "霍克-布朗参数mb", "mb");
        check(s.S, 0, false, 1, false, "霍克-布朗参数s", "s");
        check(s.HoekA, 0.5, false, 1, false, "霍克-布朗参数a", "a");
        break;
    }
    check(s.Waviness, 0, false, 90, true, "起伏角", "waviness");
}

} // namespace

bool JointStrength::operator==(const JointStrength& o) const {
    if (Model != o.Model || Waviness != o.Waviness) return false;
    switch (Model) {
    case StrengthModel::MohrCoulomb: return true;
    case StrengthModel::BartonBandis: return Jrc == o.Jrc && Jcs == o.Jcs && ResidualFriction == o.ResidualFriction;
    case StrengthModel::PowerCurve:
        return PowerA == o.PowerA && PowerB == o.PowerB && PowerC == o.PowerC && PowerD == o.PowerD;
    case StrengthModel::HoekBrown: return Sigci == o.Sigci && Mb == o.Mb && S == o.S && HoekA == o.HoekA;
    }
    return false;
}

const char* strengthModelKey(StrengthModel model) {
    switch (model) {
    case StrengthModel::MohrCoulomb: return "mohr_coulomb";
    case StrengthModel::BartonBandis: return "barton_bandis";
    case StrengthModel::PowerCurve: return "power_curve";
    case StrengthModel::HoekBrown: return "hoek_brown";
    }
    return "mohr_coulomb";
}

const char* strengthModelName(StrengthModel model) {
    switch (model) {
    case StrengthModel::MohrCoulomb: return "莫尔-库仑";
    case StrengthModel::BartonBandis: return "巴顿-班迪斯";
    case StrengthModel::PowerCurve: return "幂函数曲线";
    case StrengthModel::HoekBrown: return "霍克-布朗";
    }
    return "莫尔-库仑";
}

bool withinLoadRange(double value, LoadRange range) {
    switch (range) {
    case LoadRange::Dip: return value >= 0 && value <= 90;
    case LoadRange::Azimuth: return std::isfinite(value);
    case LoadRange::Plunge: return value >= -90 && value <= 90;
    case LoadRange::Magnitude: return std::isfinite(value) && value >= 0;
    case LoadRange::RequiredFactor: return std::isfinite(value) && value >= 1;
    case LoadRange::Percent: return value >= 0 && value <= 100;
    case LoadRange::Level: return std::isfinite(value);
    }
    return false;
}

std::string loadRangeMessage(double value, LoadRange range, const std::string& name) {
    switch (range) {
    case LoadRange::Dip: return name + "应在0与90之间，现为" + floatToText(value);
    case LoadRange::Azimuth: return name + "不是有限的数";
    case LoadRange::Plunge: return name + "应在-90与90之间，现为" + floatToText(value);
    case LoadRange::Magnitude: return name + "不能为负数，现为" + floatToText(value);
    case LoadRange::RequiredFactor: return name + "不能小于1，现为" + floatToText(value);
    case LoadRange::Percent: return name + "应在0与100之间，现为" + floatToText(value);
    case LoadRange::Level: return name + "不是有限的数";
    }
    return name;
}

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
        require(loads.Crack->Attitude.DipAngle, LoadRange::Dip, named("张裂缝倾角"));
        require(loads.Crack->Attitude.DipDirection, LoadRange::Azimuth, named("张裂缝倾向"));
        require(loads.Crack->Distance, LoadRange::Magnitude, named("张裂缝距坡顶线的距离"));
        require(loads.Crack->WaterDepth, LoadRange::Magnitude, named("张裂缝水深"));
    }
    require(loads.FilledPercent, LoadRange::Percent, named("充水百分比"));
    if (loads.PondLevel) require(*loads.PondLevel, LoadRange::Level, named("坡外水位"));
    require(loads.SeismicCoefficient, LoadRange::Magnitude, named("地震系数"));
    if (loads.SeismicDirection) validateDirection(*loads.SeismicDirection, named("地震力"));
    for (std::size_t i = 0; i < loads.Forces.size(); ++i) {
        require(loads.Forces[i].Magnitude, LoadRange::Magnitude, nthNamed(i, "外力的大小"));
        validateDirection(loads.Forces[i].Direction, nthNamed(i, "外力"));
    }
    require(loads.FacePressure, LoadRange::Magnitude, named("坡面压力"));
    require(loads.TopPressure, LoadRange::Magnitude, named("坡顶面压力"));
    require(loads.Pressure1, LoadRange::Magnitude, named("第一切割面压力"));
    require(loads.Pressure2, LoadRange::Magnitude, named("第二切割面压力"));
    require(loads.CrackPressure, LoadRange::Magnitude, named("张裂缝面压力"));
    if (loads.FacePressureDirection) validateDirection(*loads.FacePressureDirection, named("坡面压力"));
    if (loads.TopPressureDirection) validateDirection(*loads.TopPressureDirection, named("坡顶面压力"));
    if (loads.Shotcrete) {
        require(loads.Shotcrete->Thickness, LoadRange::Magnitude, named("喷射混凝土厚度"));
        require(loads.Shotcrete->ShearStrength, LoadRange::Magnitude, named("喷射混凝土抗剪强度"));
        require(loads.Shotcrete->UnitWeight, LoadRange::Magnitude, named("喷射混凝土容重"));
    }
    for (std::size_t i = 0; i < loads.Bolts.size(); ++i) {
        require(loads.Bolts[i].Force, LoadRange::Magnitude, nthNamed(i, "锚杆的锚固力"));
        validateDirection(loads.Bolts[i].Direction, nthNamed(i, "锚杆"));
    }
    require(loads.RequiredFactor, LoadRange::RequiredFactor, named("所需安全系数"));
    if (loads.Preset) {
        const std::optional<double> factor = presetFactor(*loads.Preset);
        if (!factor) throw Error::refused(presetName(*loads.Preset) + "没有规定安全系数");
        if (*factor != loads.RequiredFactor)
            throw Error::refused("所需安全系数" + floatToText(loads.RequiredFactor) + "与" + presetName(*loads.Preset) + "的" +
                        floatToText(*factor) + "不符");
    }
    if (loads.Design) validateDirection(loads.Design->Direction, named("设计锚杆"));
    for (int plane = 0; plane < 2; ++plane)
        if (!loads.Strength[plane].plain()) checkStrength(loads.Strength[plane], plane);
    validateSizeLimits(loads.Size);
}

void validateStrength(const JointStrength& strength, int plane) { checkStrength(strength, plane); }

} // namespace trelmox
