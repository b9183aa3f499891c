#include "analysis/planar.h"

#include <cmath>
#include <initializer_list>
#include <string>

#include "analysis/overflow_source.h"
#include "analysis/vec3.h"
#include "model/checked.h"
#include "model/error.h"
#include "model/language.h"
#include "model/numtext.h"

namespace trelmox {

namespace {

// `field` names the value as the tool's option does.
// `name` and `range` in Chinese, then in English.
void require(bool ok, const char* name, const char* englishName, const char* field, double value, const char* range,
             const char* englishRange) {
    if (ok) return;
    if (messageLanguage() == Language::English)
        throw Error::refused(
            englishName + (" should be " + std::string(englishRange)) + ", given " + floatToText(value), field);
    throw Error::refused(name + ("应" + std::string(range)) + "，现为 " + floatToText(value), field);
}

void validate(const PlanarSlope& s) {
    const auto finite = [](double v) { return std::isfinite(v); };
    require(finite(s.Height) && s.Height > 0, "坡高", "slope height", "height", s.Height, "大于零",
            "greater than zero");
    require(finite(s.FaceDip) && s.FaceDip > 0 && s.FaceDip <= 90, "坡面倾角", "slope face dip", "face-dip", s.FaceDip,
            "在 0 与 90 之间", "between 0 and 90");
    require(finite(s.PlaneDip) && s.PlaneDip > 0 && s.PlaneDip < s.FaceDip, "滑面倾角", "sliding plane dip",
            "plane-dip", s.PlaneDip, "大于零且小于坡面倾角（滑面须在坡面出露）",
            "greater than zero and less than the slope face dip (the sliding plane must daylight in the face)");
    require(finite(s.TopDip) && s.TopDip > -90 && s.TopDip < s.FaceDip, "坡顶面倾角", "upper slope dip", "top-dip",
            s.TopDip, "大于 -90 且小于坡面倾角", "greater than -90 and less than the slope face dip");
    if (s.CrackDistance)
        require(finite(*s.CrackDistance), "张裂缝距离", "tension crack distance", "crack-distance", *s.CrackDistance,
                "为有限的数", "a finite number");
    require(finite(s.UnitWeight) && s.UnitWeight > 0, "岩体重度", "rock unit weight", "unit-weight", s.UnitWeight,
            "大于零", "greater than zero");
    require(finite(s.WaterUnitWeight) && s.WaterUnitWeight >= 0, "水的重度", "water unit weight", "water-unit-weight",
            s.WaterUnitWeight, "不小于零", "at least zero");
    require(finite(s.WaterFill) && s.WaterFill >= 0 && s.WaterFill <= 1, "裂缝充水比例", "crack water fill",
            "water-fill", s.WaterFill, "在 0 与 1 之间", "between 0 and 1");
    require(finite(s.Cohesion) && s.Cohesion >= 0, "黏聚力 c", "cohesion c", "cohesion", s.Cohesion, "不小于零",
            "at least zero");
    require(finite(s.Friction) && s.Friction >= 0, "摩擦系数 f", "friction coefficient f", "friction", s.Friction,
            "不小于零", "at least zero");
    require(finite(s.Seismic) && s.Seismic >= 0, "地震系数 k", "seismic coefficient k", "k", s.Seismic, "不小于零",
            "at least zero");
    require(finite(s.BoltForce) && s.BoltForce >= 0, "锚固力", "bolt force", "bolt-force", s.BoltForce, "不小于零",
            "at least zero");
    require(finite(s.BoltPlunge) && s.BoltPlunge >= -90 && s.BoltPlunge <= 90, "锚杆倾角", "bolt plunge", "bolt-plunge",
            s.BoltPlunge, "在 -90 与 90 之间", "between -90 and 90");
}

// The block's section for a crack `distance` behind the crest.
struct Section {
    double Area = 0, PlaneLength = 0, CrackDepth = 0;
};

struct Frame {
    double H, tanFace, tanPlane, tanTop, cosPlane, crestX;
    // A vertical face has its crest exactly above the toe: cos 90° in
    // doubles (6e-17) would put it in front and make a sliver of a block.
    explicit Frame(const PlanarSlope& s)
        : H(s.Height), tanFace(std::tan(radians(s.FaceDip))), tanPlane(std::tan(radians(s.PlaneDip))),
          tanTop(std::tan(radians(s.TopDip))), cosPlane(std::cos(radians(s.PlaneDip))),
          crestX(s.FaceDip == 90 ? 0.0 : s.Height * std::cos(radians(s.FaceDip)) / std::sin(radians(s.FaceDip))) {}
    // Where the plane reaches the upper slope behind the crest; none when
    // the upper slope is not flatter than the plane.
    std::optional<double> outcrop() const {
        if (!(tanTop < tanPlane)) return std::nullopt;
        return (H - crestX * tanTop) / (tanPlane - tanTop) - crestX;
    }
};

struct Point {
    double x, y;
};

double polygonArea(std::initializer_list<Point> points) {
    double twice = 0;
    const Point* previous = points.end() - 1;
    for (const Point& p : points) {
        twice += previous->x * p.y - p.x * previous->y;
        previous = &p;
    }
    return std::abs(twice) / 2;
}

Section sectionAt(const Frame& f, double distance) {
    const Point toe{0, 0}, crest{f.crestX, f.H};
    const std::optional<double> reach = f.outcrop();
    if (reach && distance >= *reach) {
        // The plane reaches the upper slope before the crack: no crack.
        const double x = f.crestX + *reach;
        const Point out{x, x * f.tanPlane};
        return {polygonArea({toe, crest, out}), x / f.cosPlane, 0};
    }
    const double x = f.crestX + distance;
    const Point foot{x, x * f.tanPlane};
    if (distance >= 0) {
        const Point top{x, f.H + distance * f.tanTop};
        return {polygonArea({toe, crest, top, foot}), x / f.cosPlane, top.y - foot.y};
    }
    const Point top{x, x * f.tanFace};
    return {polygonArea({toe, top, foot}), x / f.cosPlane, top.y - foot.y};
}

// The crack distance with the least plane length per weight (the dry
// block's least factor), by golden-section search: the ratio has one
// minimum between the crest and the plane's outcrop.
double criticalDistance(const Frame& f, double reach) {
    const auto ratio = [&](double d) {
        const Section s = sectionAt(f, d);
        return s.PlaneLength / s.Area;
    };
    const double g = (std::sqrt(5.0) - 1) / 2;
    double a = 0, b = reach;
    double x1 = b - g * (b - a), x2 = a + g * (b - a);
    double f1 = ratio(x1), f2 = ratio(x2);
    for (int i = 0; i < 200 && b - a > 1e-13 * reach; ++i) {
        if (f1 <= f2) {
            b = x2;
            x2 = x1;
            f2 = f1;
            x1 = b - g * (b - a);
            f1 = ratio(x1);
        } else {
            a = x1;
            x1 = x2;
            f1 = f2;
            x2 = a + g * (b - a);
            f2 = ratio(x2);
        }
    }
    return (a + b) / 2;
}

} // namespace

namespace {

// A block whose section is below this share of H² is none: the crack stands
// where the plane meets the face (a vertical face's crest) and cuts off
// nothing, and its "factor" would be a ratio of roundings.
constexpr double LeastSectionShare = 1e-9;

PlanarResult analyse(const PlanarSlope& s) {
    const Frame frame(s);
    PlanarResult r;
    if (s.CrackDistance) {
        r.CrackDistance = *s.CrackDistance;
        if (!(frame.crestX + r.CrackDistance >= 0))
            throw Error::refused(messageLanguage() == Language::English
                                     ? "tension crack distance " + floatToText(r.CrackDistance) +
                                           " puts the crack beyond the toe of the slope"
                                     : "张裂缝距离 " + floatToText(r.CrackDistance) + " 使裂缝落在坡脚之外",
                                 "crack-distance");
    } else {
        const std::optional<double> reach = frame.outcrop();
        if (!reach)
            throw Error::refused(inLanguage("坡顶面不比滑面缓，滑面不在坡顶出露：须给出张裂缝距离",
                                            "the upper slope is not flatter than the sliding plane, which does not "
                                            "daylight on it: a tension crack distance is needed"),
                                 "crack-distance");
        r.CrackDistance = criticalDistance(frame, *reach);
    }
    const Section section = sectionAt(frame, r.CrackDistance);
    if (!std::isfinite(section.Area)) throw Error::arithmetic(OverflowMessage, ArithmeticFault::Overflow);
    // Divided twice: H² may leave the range where the section does not.
    if (!(section.Area / s.Height / s.Height > LeastSectionShare)) {
        if (s.CrackDistance)
            throw Error::refused(
                messageLanguage() == Language::English
                    ? "tension crack distance " + floatToText(r.CrackDistance) +
                          " puts the crack where the sliding plane meets the face: it cuts off no block"
                    : "张裂缝距离 " + floatToText(r.CrackDistance) + " 使裂缝落在滑面与坡面的交线上，切不出块体",
                "crack-distance");
        if (s.FaceDip == 90)
            throw Error::refused(inLanguage("坡面直立时，最危险的张裂缝位于坡顶边缘，切不出块体：须给出张裂缝距离",
                                            "with a vertical face the least factor lies where the crack reaches the "
                                            "crest, which cuts off no block: a tension crack distance is needed"),
                                 "crack-distance");
        throw Error::refused(messageLanguage() == Language::English
                                 ? "the block's section, " + floatToText(section.Area) + ", is too small to analyse"
                                 : "块体截面积 " + floatToText(section.Area) + " 过小，无法分析",
                             "height");
    }
    r.CrackDepth = section.CrackDepth;
    r.PlaneLength = section.PlaneLength;
    r.Weight = s.UnitWeight * section.Area;
    const double waterDepth = s.WaterFill * r.CrackDepth;
    r.WaterForceCrack = s.WaterUnitWeight * waterDepth * waterDepth / 2;
    r.WaterForcePlane = s.WaterUnitWeight * waterDepth * r.PlaneLength / 2;

    const double p = radians(s.PlaneDip), bolt = radians(s.PlaneDip + s.BoltPlunge);
    const double sinP = std::sin(p), cosP = std::cos(p);
    const double boltNormal = s.BoltForce * std::sin(bolt), boltAlong = s.BoltForce * std::cos(bolt);
    r.NormalForce = r.Weight * (cosP - s.Seismic * sinP) - r.WaterForcePlane - r.WaterForceCrack * sinP + boltNormal;
    r.DrivingForce = r.Weight * (sinP + s.Seismic * cosP) + r.WaterForceCrack * cosP;
    if (s.Bolt == BoltMode::Active) r.DrivingForce -= boltAlong;
    // Loads beyond the range of a double leave no force to decide by (the
    // inputs are finite, so a figure that is not comes from an overflow).
    for (const double figure :
         {r.CrackDepth, r.PlaneLength, r.Weight, r.WaterForceCrack, r.WaterForcePlane, r.NormalForce, r.DrivingForce})
        if (!std::isfinite(figure)) throw Error::arithmetic(OverflowMessage, ArithmeticFault::Overflow);
    if (!(r.DrivingForce > 0))
        throw Error::arithmetic(
            inLanguage("下滑力不大于零，块体不会沿滑面滑动",
                       "the driving force is not above zero: the block does not slide on the plane"),
            ArithmeticFault::NoDrivingForce);
    if (!(r.NormalForce > 0)) {
        r.LiftOff = true;
        return r;
    }
    r.ResistingForce = s.Cohesion * r.PlaneLength + r.NormalForce * s.Friction;
    if (s.Bolt == BoltMode::Passive) r.ResistingForce += boltAlong;
    r.Factor = r.ResistingForce / r.DrivingForce;
    if (!std::isfinite(r.Factor) || !std::isfinite(r.ResistingForce))
        throw Error::arithmetic(OverflowMessage, ArithmeticFault::Overflow);
    if (r.DrivingForce < NoDrivingShare * r.Weight)
        r.Note = FactorNote::NoDrivingForce;
    else if (r.Factor > FactorBound)
        r.Note = FactorNote::AboveBound;
    return r;
}

// The slope's numbers, named as the messages name them.
std::vector<InputNumber> planarNumbers(PlanarSlope& s) {
    std::vector<InputNumber> list;
    const auto add = [&](const char* field, const char* chinese, const char* english, double& value) {
        list.push_back({field, inLanguage(chinese, english), value, [&value](double v) { value = v; }});
    };
    add("height", "坡高", "slope height", s.Height);
    add("unit-weight", "岩体重度", "rock unit weight", s.UnitWeight);
    add("water-unit-weight", "水的重度", "water unit weight", s.WaterUnitWeight);
    add("cohesion", "黏聚力 c", "cohesion c", s.Cohesion);
    add("friction", "摩擦系数 f", "friction coefficient f", s.Friction);
    add("k", "地震系数 k", "seismic coefficient k", s.Seismic);
    add("bolt-force", "锚固力", "bolt force", s.BoltForce);
    if (s.CrackDistance) add("crack-distance", "张裂缝距离", "tension crack distance", *s.CrackDistance);
    return list;
}

} // namespace

PlanarResult planarAnalysis(const PlanarSlope& s) {
    validate(s);
    try {
        return analyse(s);
    } catch (const Error& failure) {
        if (failure.fault() != ArithmeticFault::Overflow) throw;
        const auto source = overflowSource(s, planarNumbers, [](const PlanarSlope& trial) {
            try {
                analyse(trial);
                return false;
            } catch (const Error& again) {
                return again.fault() == ArithmeticFault::Overflow;
            }
        });
        if (source) throw namedOverflow(failure, *source);
        throw;
    }
}

} // namespace trelmox
