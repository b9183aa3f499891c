#include "model/load_fields.h"

#include <algorithm>
#include <iterator>
#include <type_traits>

#include "model/error.h"
#include "model/language.h"

namespace trelmox {

namespace {

// A number of WedgeLoads itself (a double, or an optional double).
template <auto Member> LoadField top(LoadField row) {
    using Value = std::remove_cvref_t<decltype(std::declval<WedgeLoads&>().*Member)>;
    if constexpr (std::is_same_v<Value, double>) row.Default = WedgeLoads{}.*Member;
    row.Get = [](const WedgeLoads& l) -> std::optional<double> { return l.*Member; };
    row.Set = [](WedgeLoads& l, std::optional<double> value) {
        if constexpr (std::is_same_v<Value, double>)
            l.*Member = value.value_or(WedgeLoads{}.*Member);
        else
            l.*Member = value;
    };
    return row;
}

// A number of an optional part (the shotcrete), its default that of a new part.
template <auto Part, auto Member> LoadField inPart(LoadField row) {
    using Group = typename std::remove_cvref_t<decltype(std::declval<WedgeLoads&>().*Part)>::value_type;
    row.Default = Group{}.*Member;
    row.Get = [](const WedgeLoads& l) -> std::optional<double> {
        return l.*Part ? std::optional((*(l.*Part)).*Member) : std::nullopt;
    };
    row.Set = [](WedgeLoads& l, std::optional<double> value) {
        if (!(l.*Part)) (l.*Part).emplace();
        (*(l.*Part)).*Member = value.value_or(Group{}.*Member);
    };
    return row;
}

// The crack's attitude, a plane within it.
template <auto Member> LoadField crackAttitude(LoadField row) {
    row.Default = TensionCrack{}.Attitude.*Member;
    row.Get = [](const WedgeLoads& l) -> std::optional<double> {
        return l.Crack ? std::optional(l.Crack->Attitude.*Member) : std::nullopt;
    };
    row.Set = [](WedgeLoads& l, std::optional<double> value) {
        if (!l.Crack) l.Crack.emplace();
        l.Crack->Attitude.*Member = value.value_or(TensionCrack{}.Attitude.*Member);
    };
    return row;
}

using F = LoadsField;
using P = LoadPart;
using R = LoadRange;
constexpr LoadPolicy Always = LoadPolicy::Always, WhenSet = LoadPolicy::WhenSet, Optional = LoadPolicy::Optional;

// Within a part, the order of its boxes in the window, of its keys in the
// file and of its lines in the reports.
const LoadField Fields[] = {
    crackAttitude<&TPlaneAttitude::DipAngle>({F::CrackDip, P::Crack, "dip", "张裂缝倾角", "tension crack dip",
                                              "倾角（°）", "Dip (°)", "CrackDip", "°", R::Dip, Always, false}),
    crackAttitude<&TPlaneAttitude::DipDirection>({F::CrackDipDirection, P::Crack, "dip_direction", "张裂缝倾向",
                                                  "tension crack dip direction", "倾向（°）", "Dip direction (°)",
                                                  "CrackDipDirection", "°", R::Azimuth, Always, false}),
    inPart<&WedgeLoads::Crack, &TensionCrack::Distance>(
        {F::CrackDistance, P::Crack, "distance", "张裂缝距坡顶线的距离", "tension crack distance from the crest",
         "距坡顶线水平距离", "Horizontal distance from crest", "CrackDistance", "m", R::Magnitude, Always, false}),
    inPart<&WedgeLoads::Crack, &TensionCrack::WaterDepth>(
        {F::CrackWaterDepth, P::Crack, "water_depth", "张裂缝水深", "water depth in the tension crack",
         "充水深度（饱和时）", "Water depth (when saturated)", "CrackWaterDepth", "m", R::Magnitude, Always, true}),
    top<&WedgeLoads::PondLevel>({F::PondLevel, P::Water, "pond_level", "坡外水位", "pond level",
                                 "坡外水位（高于坡脚，m）", "Pond level (above the toe, m)", "PondLevel", "m", R::Level,
                                 Optional, false}),
    top<&WedgeLoads::SeismicCoefficient>({F::Seismic, P::Seismic, "k", "地震系数", "seismic coefficient", "地震系数k",
                                          "Seismic coefficient k", "Seismic", "", R::Magnitude, Always, true}),
    top<&WedgeLoads::FacePressure>({F::FacePressure, P::Pressures, "face", "坡面压力", "slope face pressure",
                                    "坡面压力", "Pressure on slope face", "FacePressure", "kPa", R::Magnitude, Always,
                                    true, "坡面压力", "slope face pressure"}),
    top<&WedgeLoads::TopPressure>({F::TopPressure, P::Pressures, "top", "坡顶面压力", "slope top pressure",
                                   "坡顶面压力", "Pressure on slope top", "TopPressure", "kPa", R::Magnitude, Always,
                                   true, "坡顶面压力", "upper slope pressure"}),
    top<&WedgeLoads::Pressure1>({F::Pressure1, P::Pressures, "plane1", "第一切割面压力", "plane 1 pressure",
                                 "第一切割面压力", "Pressure on plane 1", "Pressure1", "kPa", R::Magnitude, WhenSet,
                                 false, "第一切割面压力", "pressure on plane 1"}),
    top<&WedgeLoads::Pressure2>({F::Pressure2, P::Pressures, "plane2", "第二切割面压力", "plane 2 pressure",
                                 "第二切割面压力", "Pressure on plane 2", "Pressure2", "kPa", R::Magnitude, WhenSet,
                                 false, "第二切割面压力", "pressure on plane 2"}),
    top<&WedgeLoads::CrackPressure>({F::CrackPressure, P::Pressures, "crack", "张裂缝面压力", "tension crack pressure",
                                     "张裂缝面压力", "Pressure on tension crack", "CrackPressure", "kPa", R::Magnitude,
                                     WhenSet, false, "张裂缝面压力", "pressure on the tension crack"}),
    inPart<&WedgeLoads::Shotcrete, &ShotcreteLining::Thickness>(
        {F::ShotcreteThickness, P::Shotcrete, "thickness", "喷射混凝土厚度", "shotcrete thickness", "厚度（m）",
         "Thickness (m)", "ShotcreteThickness", "m", R::Magnitude, Always, false}),
    inPart<&WedgeLoads::Shotcrete, &ShotcreteLining::ShearStrength>(
        {F::ShotcreteShear, P::Shotcrete, "shear_strength", "喷射混凝土抗剪强度", "shotcrete shear strength",
         "抗剪强度（kPa）", "Shear strength (kPa)", "ShotcreteShear", "kPa", R::Magnitude, Always, false}),
    inPart<&WedgeLoads::Shotcrete, &ShotcreteLining::UnitWeight>(
        {F::ShotcreteUnitWeight, P::Shotcrete, "unit_weight", "喷射混凝土容重", "shotcrete unit weight",
         "容重（kN/m³）", "Unit weight (kN/m³)", "ShotcreteUnitWeight", "kN/m³", R::Magnitude, Always, false}),
};

// A direction of WedgeLoads itself.
template <auto Member> LoadDirection directionOf(LoadDirection row) {
    row.Get = [](const WedgeLoads& l) { return l.*Member; };
    row.Set = [](WedgeLoads& l, std::optional<LineDirection> direction) { l.*Member = direction; };
    return row;
}

// Within a part, after its numbers: the order of the switches in the
// window, of the keys in the file and of the lines in the reports.
const LoadDirection Directions[] = {
    directionOf<&WedgeLoads::SeismicDirection>(
        {F::SeismicTrend, F::SeismicPlunge, P::Seismic, "direction", true, "地震力", "the seismic force",
         "seismic force", "指定方向（否则沿交线倾伏向水平）",
         "Given direction (else horizontal along the trend of the line of intersection)", "SeismicDirected",
         "SeismicTrend", "SeismicPlunge"}),
    directionOf<&WedgeLoads::FacePressureDirection>(
        {F::FacePressureTrend, F::FacePressurePlunge, P::Pressures, "face_direction", false, "坡面压力",
         "the slope face pressure", "slope face pressure", "坡面压力指定方向（否则垂直于坡面）",
         "Slope face pressure in a given direction (else normal to the face)", "FacePressureDirected",
         "FacePressureTrend", "FacePressurePlunge", "坡面压力方向", "slope face pressure direction"}),
    directionOf<&WedgeLoads::TopPressureDirection>(
        {F::TopPressureTrend, F::TopPressurePlunge, P::Pressures, "top_direction", false, "坡顶面压力",
         "the upper slope pressure", "slope top pressure", "坡顶面压力指定方向（否则垂直于坡顶面）",
         "Slope top pressure in a given direction (else normal to the top)", "TopPressureDirected", "TopPressureTrend",
         "TopPressurePlunge", "坡顶面压力方向", "upper slope pressure direction"}),
};

const WaterChoice WaterChoices[] = {
    {WaterMode::None, "none", "无水", "Dry", "WaterNone"},
    {WaterMode::Block, "block", "按物理力学参数中的水压力", "Water pressures from the parameters", "WaterBlock"},
    {WaterMode::Saturated, "saturated", "饱和楔体（张裂缝充水）", "Saturated wedge (water-filled tension crack)",
     "WaterSaturated"},
    {WaterMode::Filled, "filled", "部分充水（节理及张裂缝按高度百分比）",
     "Partly filled (joints and crack to a percentage of their height)", "WaterFilled"},
};

} // namespace

const char* loadPartKey(LoadPart part) {
    switch (part) {
    case LoadPart::Crack: return "crack";
    case LoadPart::Water: return "";
    case LoadPart::Seismic: return "seismic";
    case LoadPart::Pressures: return "pressures";
    case LoadPart::Shotcrete: return "shotcrete";
    }
    return "";
}

bool optionalPart(LoadPart part) { return part == LoadPart::Crack || part == LoadPart::Shotcrete; }

bool partPresent(LoadPart part, const WedgeLoads& loads) {
    switch (part) {
    case LoadPart::Crack: return loads.Crack.has_value();
    case LoadPart::Shotcrete: return loads.Shotcrete.has_value();
    default: return true;
    }
}

void addPart(LoadPart part, WedgeLoads& loads) {
    if (part == LoadPart::Crack && !loads.Crack) loads.Crack.emplace();
    if (part == LoadPart::Shotcrete && !loads.Shotcrete) loads.Shotcrete.emplace();
}

std::string LoadField::path() const {
    const std::string part = loadPartKey(Part);
    return part.empty() ? Key : part + "." + Key;
}

std::string LoadField::name() const { return inLanguage(Chinese, English); }

bool LoadField::stored(const WedgeLoads& loads) const {
    const std::optional<double> value = Get(loads);
    if (!value || !partPresent(Part, loads)) return false;
    return Policy != LoadPolicy::WhenSet || *value != Default;
}

std::span<const LoadField> loadFields() { return Fields; }

const LoadField* findLoadField(LoadsField field, std::span<const LoadField> fields) {
    const auto found =
        std::find_if(fields.begin(), fields.end(), [field](const LoadField& f) { return f.Field == field; });
    return found == fields.end() ? nullptr : &*found;
}

void validateLoadFields(const WedgeLoads& loads, std::span<const LoadField> fields,
                        std::span<const LoadDirection> directions) {
    for (const LoadField& f : fields)
        if (const std::optional<double> value = f.Get(loads); value && partPresent(f.Part, loads))
            if (!withinLoadRange(*value, f.Range))
                throw Error::refused(loadRangeMessage(*value, f.Range, f.name()), f.path());
    validateLoadDirections(loads, directions);
}

std::string LoadDirection::path() const {
    const std::string part = loadPartKey(Part);
    return part.empty() ? Key : part + "." + Key;
}

std::string LoadDirection::trendName() const {
    return messageLanguage() == Language::English ? BoxEnglish + std::string(" trend")
                                                  : Chinese + std::string("的方位角");
}

std::string LoadDirection::plungeName() const {
    return messageLanguage() == Language::English ? BoxEnglish + std::string(" plunge")
                                                  : Chinese + std::string("的倾伏角");
}

std::span<const LoadDirection> loadDirections() { return Directions; }

std::span<const WaterChoice> waterChoices() { return WaterChoices; }

const WaterChoice& waterChoice(WaterMode mode) {
    return *std::find_if(std::begin(WaterChoices), std::end(WaterChoices),
                         [mode](const WaterChoice& c) { return c.Mode == mode; });
}

// The messages name the property of the load ("trend of the slope face
// pressure"), as those of the forces and bolts do.
void validateLoadDirection(const LineDirection& direction, const LoadDirection& d) {
    const auto check = [&d](double value, LoadRange range, const char* chinese, const char* english) {
        if (withinLoadRange(value, range)) return;
        const std::string name = messageLanguage() == Language::English ? english + (" of " + std::string(d.English))
                                                                        : d.Chinese + std::string(chinese);
        throw Error::refused(loadRangeMessage(value, range, name));
    };
    check(direction.Trend, LoadRange::Azimuth, "的方位角", "trend");
    check(direction.Plunge, LoadRange::Plunge, "的倾伏角", "plunge");
}

} // namespace trelmox
