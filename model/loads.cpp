#include "model/loads.h"

#include <cmath>

#include "model/error.h"
#include "model/language.h"
#include "model/load_fields.h"
#include "model/numtext.h"

namespace trelmox {

namespace {

// Names are built only for the message, so that checking valid loads - as
// every analysis does - allocates nothing.
template <typename Name> void require(double value, LoadRange range, const Name& name) {
    if (!withinLoadRange(value, range)) throw Error::refused(loadRangeMessage(value, range, name()));
}

bool english() { return messageLanguage() == Language::English; }

auto named(const char* chinese, const char* englishName) {
    return [=] { return std::string(inLanguage(chinese, englishName)); };
}

// The index-th load of its kind: "第2个外力" or "external force 2"; `what`
// may name a property of it ("外力的大小", "magnitude of external force").
auto nthNamed(std::size_t index, const char* what, const char* englishWhat) {
    return [=] {
        return english() ? englishWhat + (" " + std::to_string(index + 1))
                         : "第" + std::to_string(index + 1) + "个" + what;
    };
}

// "of X" in English follows the property; "X的" precedes it in Chinese.
std::string propertyOf(const std::string& owner, const char* chinese, const char* englishName) {
    return english() ? englishName + (" of " + owner) : owner + chinese;
}

template <typename Name> void validateDirection(const LineDirection& d, const Name& name) {
    require(d.Trend, LoadRange::Azimuth, [&] { return propertyOf(name(), "的方位角", "trend"); });
    require(d.Plunge, LoadRange::Plunge, [&] { return propertyOf(name(), "的倾伏角", "plunge"); });
}

// A strength parameter within [low, high] (each end open or closed). The
// names are built only for the message: valid loads allocate nothing.
void requireBetween(double value, double low, bool lowOpen, double high, bool highOpen, int plane, const char* chinese,
                    const char* name, const char* key) {
    const bool above = lowOpen ? value > low : value >= low;
    const bool below = highOpen ? value < high : value <= high;
    if (std::isfinite(value) && above && below) return;
    const std::string field = std::string("strength.plane") + (plane == 0 ? "1." : "2.") + key;
    if (english()) {
        const std::string who = std::string(name) + (plane == 0 ? " of plane 1" : " of plane 2");
        if (!std::isfinite(value)) throw Error::refused(who + " is not a finite number", field);
        std::string range;
        if (high == HUGE_VAL)
            range =
                lowOpen ? " should be greater than " + floatToText(low) : " may not be less than " + floatToText(low);
        else
            range = " should be between " + floatToText(low) + " and " + floatToText(high) +
                    (highOpen ? " (" + floatToText(high) + " excluded)" : "");
        throw Error::refused(who + range + ", given " + floatToText(value), field);
    }
    const std::string who = std::string(plane == 0 ? "第一切割面的" : "第二切割面的") + chinese;
    if (!std::isfinite(value)) throw Error::refused(who + "不是有限的数", field);
    std::string range;
    if (high == HUGE_VAL)
        range = lowOpen ? "应大于" + floatToText(low) : "不能小于" + floatToText(low);
    else
        range = "应在" + floatToText(low) + "与" + floatToText(high) + "之间" +
                (highOpen ? "（不含" + floatToText(high) + "）" : "");
    throw Error::refused(who + range + "，现为" + floatToText(value), field);
}

void requirePositive(double value, const char* chinese, const char* englishName) {
    if (!(std::isfinite(value) && value > 0))
        throw Error::refused(english() ? englishName +
                                             (" should be a finite number greater than 0, given " + floatToText(value))
                                       : chinese + ("应为大于0的有限数，现为" + floatToText(value)));
}

// A bolt's length, capacities and bond: finite, the length above zero.
// `whose` names the bolt ("第1个锚杆" or "bolt 1").
template <typename Whose> void validateCapacity(const BoltCapacity& c, const Whose& whose) {
    if (!(std::isfinite(c.Length) && c.Length > 0))
        throw Error::refused(english() ? "length of " + whose() + " should be a finite number greater than 0, given " +
                                             floatToText(c.Length)
                                       : whose() + "的长度应为大于0的有限数，现为" + floatToText(c.Length));
    require(c.Tendon, LoadRange::Magnitude, [&] { return propertyOf(whose(), "的杆体抗拉力", "tendon capacity"); });
    require(c.Plate, LoadRange::Magnitude, [&] { return propertyOf(whose(), "的垫板承载力", "plate capacity"); });
    require(c.Bond, LoadRange::Magnitude, [&] { return propertyOf(whose(), "的粘结强度", "bond strength"); });
}

void checkStrength(const JointStrength& s, int plane) {
    const auto check = [plane](double value, double low, bool lowOpen, double high, bool highOpen, const char* chinese,
                               const char* name, const char* key) {
        requireBetween(value, low, lowOpen, high, highOpen, plane, chinese, name, key);
    };
    switch (s.Model) {
    case StrengthModel::MohrCoulomb: break;
    case StrengthModel::BartonBandis:
        check(s.Jrc, 0, false, 20, false, "JRC", "JRC", "jrc");
        check(s.Jcs, 0, true, HUGE_VAL, false, "JCS", "JCS", "jcs");
        check(s.ResidualFriction, 0, false, 90, true, "残余摩擦角", "residual friction angle", "phi_r");
        break;
    case StrengthModel::PowerCurve:
        check(s.PowerA, 0, false, HUGE_VAL, false, "幂函数系数a", "power curve coefficient a", "a");
        check(s.PowerB, 0, true, HUGE_VAL, false, "幂函数指数b", "power curve exponent b", "b");
        check(s.PowerC, -HUGE_VAL, false, HUGE_VAL, false, "幂函数参数c", "power curve parameter c", "c");
        check(s.PowerD, 0, false, HUGE_VAL, false, "幂函数参数d", "power curve parameter d", "d");
        break;
    case StrengthModel::HoekBrown:
        check(s.Sigci, 0, true, HUGE_VAL, false, "单轴抗压强度σci", "uniaxial compressive strength σci", "sigci");
        check(s.Mb, 0, true, HUGE_VAL, false, "霍克-布朗参数mb", "Hoek-Brown parameter mb", "mb");
        check(s.S, 0, false, 1, false, "霍克-布朗参数s", "Hoek-Brown parameter s", "s");
        check(s.HoekA, 0.5, false, 1, false, "霍克-布朗参数a", "Hoek-Brown parameter a", "a");
        break;
    }
    check(s.Waviness, 0, false, 90, true, "起伏角", "waviness angle", "waviness");
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

BoltCapacity boltDefaults(BoltType type) {
    switch (type) {
    case BoltType::Simple: break;
    // HRB400 28 mm: 616 mm² x 400 MPa; grout to rock about 1 MPa over a
    // 50 mm hole, taken at a third for the bar's own bond.
    case BoltType::GroutedDowel: return {type, 4, 250, 0, 150};
    // Two 15.2 mm strands of 260 kN.
    case BoltType::Cable: return {type, 10, 520, 400, 200};
    }
    // A 25 mm bar: 491 mm² x 400 MPa.
    return {BoltType::Simple, 3, 200, 150, 100};
}

const char* boltTypeKey(BoltType type) {
    switch (type) {
    case BoltType::Simple: return "simple";
    case BoltType::GroutedDowel: return "grouted_dowel";
    case BoltType::Cable: return "cable";
    }
    return "simple";
}

const char* boltTypeName(BoltType type) {
    switch (type) {
    case BoltType::Simple: return inLanguage("端锚锚杆", "end-anchored bolt");
    case BoltType::GroutedDowel: return inLanguage("全长粘结锚杆", "fully grouted dowel");
    case BoltType::Cable: return inLanguage("锚索", "cable bolt");
    }
    return inLanguage("端锚锚杆", "end-anchored bolt");
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
    case StrengthModel::MohrCoulomb: return inLanguage("莫尔-库仑", "Mohr-Coulomb");
    case StrengthModel::BartonBandis: return inLanguage("巴顿-班迪斯", "Barton-Bandis");
    case StrengthModel::PowerCurve: return inLanguage("幂函数曲线", "power curve");
    case StrengthModel::HoekBrown: return inLanguage("霍克-布朗", "Hoek-Brown");
    }
    return inLanguage("莫尔-库仑", "Mohr-Coulomb");
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
    if (english()) {
        switch (range) {
        case LoadRange::Dip: return name + " should be between 0 and 90, given " + floatToText(value);
        case LoadRange::Azimuth: return name + " is not a finite number";
        case LoadRange::Plunge: return name + " should be between -90 and 90, given " + floatToText(value);
        case LoadRange::Magnitude: return name + " may not be negative, given " + floatToText(value);
        case LoadRange::RequiredFactor: return name + " may not be less than 1, given " + floatToText(value);
        case LoadRange::Percent: return name + " should be between 0 and 100, given " + floatToText(value);
        case LoadRange::Level: return name + " is not a finite number";
        }
        return name;
    }
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
    if (english()) {
        static const char* const EnglishGrades[] = {"grade 1", "grade 2", "grade 3"};
        return std::string(preset.Service == SlopeService::Permanent ? "permanent slope, " : "temporary slope, ") +
               EnglishGrades[static_cast<int>(preset.Grade)] +
               (preset.Condition == DesignCondition::Ordinary ? ", ordinary condition" : ", seismic condition");
    }
    static const char* const Grades[] = {"一级", "二级", "三级"};
    return std::string(preset.Service == SlopeService::Permanent ? "永久边坡 " : "临时边坡 ") +
           Grades[static_cast<int>(preset.Grade)] +
           (preset.Condition == DesignCondition::Ordinary ? " 一般工况" : " 地震工况");
}

void validateLoads(const WedgeLoads& loads) {
    if (loads.Crack) {
        require(loads.Crack->Attitude.DipAngle, LoadRange::Dip, named("张裂缝倾角", "dip of the tension crack"));
        require(loads.Crack->Attitude.DipDirection, LoadRange::Azimuth,
                named("张裂缝倾向", "dip direction of the tension crack"));
        require(loads.Crack->Distance, LoadRange::Magnitude,
                named("张裂缝距坡顶线的距离", "distance of the tension crack from the slope crest"));
        require(loads.Crack->WaterDepth, LoadRange::Magnitude, named("张裂缝水深", "water depth in the tension crack"));
    }
    require(loads.FilledPercent, LoadRange::Percent, named("充水百分比", "percentage filled with water"));
    if (loads.PondLevel) require(*loads.PondLevel, LoadRange::Level, named("坡外水位", "external water level"));
    require(loads.SeismicCoefficient, LoadRange::Magnitude, named("地震系数", "seismic coefficient"));
    validateLoadDirections(loads, loadDirections(), LoadPart::Seismic);
    for (std::size_t i = 0; i < loads.Forces.size(); ++i) {
        require(loads.Forces[i].Magnitude, LoadRange::Magnitude,
                nthNamed(i, "外力的大小", "magnitude of external force"));
        validateDirection(loads.Forces[i].Direction, nthNamed(i, "外力", "external force"));
    }
    require(loads.FacePressure, LoadRange::Magnitude, named("坡面压力", "slope face pressure"));
    require(loads.TopPressure, LoadRange::Magnitude, named("坡顶面压力", "upper slope pressure"));
    require(loads.Pressure1, LoadRange::Magnitude, named("第一切割面压力", "pressure on plane 1"));
    require(loads.Pressure2, LoadRange::Magnitude, named("第二切割面压力", "pressure on plane 2"));
    require(loads.CrackPressure, LoadRange::Magnitude, named("张裂缝面压力", "pressure on the tension crack"));
    validateLoadDirections(loads, loadDirections(), LoadPart::Pressures);
    if (loads.Shotcrete) {
        require(loads.Shotcrete->Thickness, LoadRange::Magnitude, named("喷射混凝土厚度", "shotcrete thickness"));
        require(loads.Shotcrete->ShearStrength, LoadRange::Magnitude,
                named("喷射混凝土抗剪强度", "shotcrete shear strength"));
        require(loads.Shotcrete->UnitWeight, LoadRange::Magnitude, named("喷射混凝土容重", "shotcrete unit weight"));
    }
    for (std::size_t i = 0; i < loads.Bolts.size(); ++i) {
        require(loads.Bolts[i].Force, LoadRange::Magnitude, nthNamed(i, "锚杆的锚固力", "force of bolt"));
        validateDirection(loads.Bolts[i].Direction, nthNamed(i, "锚杆", "bolt"));
        if (loads.Bolts[i].Capacity) validateCapacity(*loads.Bolts[i].Capacity, nthNamed(i, "锚杆", "bolt"));
    }
    if (loads.Pattern) {
        const BoltPattern& p = *loads.Pattern;
        requirePositive(p.SpacingStrike, "系统锚杆沿走向的间距", "spacing of the bolt pattern along strike");
        requirePositive(p.SpacingDip, "系统锚杆沿倾向的间距", "spacing of the bolt pattern along dip");
        validateDirection(p.Direction, named("系统锚杆", "the bolt pattern"));
        validateCapacity(p.Capacity, named("系统锚杆", "the pattern's bolts"));
    }
    require(loads.RequiredFactor, LoadRange::RequiredFactor, named("所需安全系数", "required safety factor"));
    if (loads.Preset) {
        const std::optional<double> factor = presetFactor(*loads.Preset);
        if (!factor)
            throw Error::refused(english() ? "the " + presetName(*loads.Preset) + " sets no safety factor"
                                           : presetName(*loads.Preset) + "没有规定安全系数");
        if (*factor != loads.RequiredFactor)
            throw Error::refused(english() ? "required safety factor " + floatToText(loads.RequiredFactor) +
                                                 " disagrees with " + floatToText(*factor) + " of the " +
                                                 presetName(*loads.Preset)
                                           : "所需安全系数" + floatToText(loads.RequiredFactor) + "与" +
                                                 presetName(*loads.Preset) + "的" + floatToText(*factor) + "不符");
    }
    if (loads.Design) validateDirection(loads.Design->Direction, named("设计锚杆", "the design bolt"));
    for (int plane = 0; plane < 2; ++plane)
        if (!loads.Strength[plane].plain()) checkStrength(loads.Strength[plane], plane);
    validateSizeLimits(loads.Size);
    validateLoadFields(loads, loadFields(), {}); // the directions were checked in their places above
}

void validateStrength(const JointStrength& strength, int plane) { checkStrength(strength, plane); }

} // namespace trelmox
