#include "document/loads_entries.h"

#include <iterator>

#include "model/exact_text.h"
#include "model/numtext.h"

namespace trelmox {

namespace {

struct FieldName {
    LoadsField field;
    const char* name;
    LoadRange range;
};
// The names match those of validateLoads, so the user reads one wording.
constexpr FieldName FieldNames[] = {
    {LoadsField::CrackDip, "张裂缝倾角", LoadRange::Dip},
    {LoadsField::CrackDipDirection, "张裂缝倾向", LoadRange::Azimuth},
    {LoadsField::CrackDistance, "张裂缝距坡顶线的距离", LoadRange::Magnitude},
    {LoadsField::CrackWaterDepth, "张裂缝水深", LoadRange::Magnitude},
    {LoadsField::Seismic, "地震系数", LoadRange::Magnitude},
    {LoadsField::SeismicTrend, "地震力的方位角", LoadRange::Azimuth},
    {LoadsField::SeismicPlunge, "地震力的倾伏角", LoadRange::Plunge},
    {LoadsField::FacePressure, "坡面压力", LoadRange::Magnitude},
    {LoadsField::TopPressure, "坡顶面压力", LoadRange::Magnitude},
    {LoadsField::ForceMagnitude, "外力的大小", LoadRange::Magnitude},
    {LoadsField::ForceTrend, "外力的方位角", LoadRange::Azimuth},
    {LoadsField::ForcePlunge, "外力的倾伏角", LoadRange::Plunge},
    {LoadsField::BoltForce, "锚杆的锚固力", LoadRange::Magnitude},
    {LoadsField::BoltTrend, "锚杆的方位角", LoadRange::Azimuth},
    {LoadsField::BoltPlunge, "锚杆的倾伏角", LoadRange::Plunge},
    {LoadsField::RequiredFactor, "所需安全系数", LoadRange::RequiredFactor},
    {LoadsField::DesignTrend, "设计锚杆的方位角", LoadRange::Azimuth},
    {LoadsField::DesignPlunge, "设计锚杆的倾伏角", LoadRange::Plunge},
    // Ranges by model (validateStrength); the names are its names.
    {LoadsField::StrengthJrc, "JRC", LoadRange::Magnitude},
    {LoadsField::StrengthJcs, "JCS", LoadRange::Magnitude},
    {LoadsField::StrengthResidualFriction, "残余摩擦角", LoadRange::Magnitude},
    {LoadsField::StrengthPowerA, "幂函数系数a", LoadRange::Magnitude},
    {LoadsField::StrengthPowerB, "幂函数指数b", LoadRange::Magnitude},
    {LoadsField::StrengthPowerC, "幂函数参数c", LoadRange::Azimuth},
    {LoadsField::StrengthPowerD, "幂函数参数d", LoadRange::Magnitude},
    {LoadsField::StrengthSigci, "单轴抗压强度σci", LoadRange::Magnitude},
    {LoadsField::StrengthMb, "霍克-布朗参数mb", LoadRange::Magnitude},
    {LoadsField::StrengthS, "霍克-布朗参数s", LoadRange::Magnitude},
    {LoadsField::StrengthHoekA, "霍克-布朗参数a", LoadRange::Magnitude},
    {LoadsField::StrengthWaviness, "起伏角", LoadRange::Magnitude},
    // The limits of size; those that bound the wedge must also be above zero.
    {LoadsField::SizeFaceTrace, "坡面迹长", LoadRange::Magnitude},
    {LoadsField::SizeTopTrace, "坡顶面迹长", LoadRange::Magnitude},
    {LoadsField::SizePersistence, "延伸长度", LoadRange::Magnitude},
    {LoadsField::SizeSlopeLength, "边坡沿走向的长度", LoadRange::Magnitude},
    {LoadsField::SizeBenchHeight, "台阶高度", LoadRange::Magnitude},
    {LoadsField::SizeBenchWidth, "台阶宽度", LoadRange::Magnitude},
    {LoadsField::SizeCatchWidth, "最小安全平台宽度", LoadRange::Magnitude},
    {LoadsField::SizeMinVolume, "楔块最小体积", LoadRange::Magnitude},
    {LoadsField::SizeMinWeight, "楔块最小重量", LoadRange::Magnitude},
    {LoadsField::SizeMinHeight, "楔块最小高度", LoadRange::Magnitude},
    {LoadsField::FilledPercent, "充水百分比", LoadRange::Percent},
    {LoadsField::PondLevel, "坡外水位", LoadRange::Level},
    {LoadsField::Pressure1, "第一切割面压力", LoadRange::Magnitude},
    {LoadsField::Pressure2, "第二切割面压力", LoadRange::Magnitude},
    {LoadsField::CrackPressure, "张裂缝面压力", LoadRange::Magnitude},
    {LoadsField::FacePressureTrend, "坡面压力的方位角", LoadRange::Azimuth},
    {LoadsField::FacePressurePlunge, "坡面压力的倾伏角", LoadRange::Plunge},
    {LoadsField::TopPressureTrend, "坡顶面压力的方位角", LoadRange::Azimuth},
    {LoadsField::TopPressurePlunge, "坡顶面压力的倾伏角", LoadRange::Plunge},
    {LoadsField::ShotcreteThickness, "喷射混凝土厚度", LoadRange::Magnitude},
    {LoadsField::ShotcreteShear, "喷射混凝土抗剪强度", LoadRange::Magnitude},
    {LoadsField::ShotcreteUnitWeight, "喷射混凝土容重", LoadRange::Magnitude},
};
static_assert(std::size(FieldNames) == static_cast<std::size_t>(LoadsField::ShotcreteUnitWeight) + 1);

const FieldName& fieldName(LoadsField field) { return FieldNames[static_cast<int>(field)]; }

// Boxes whose empty text means nothing of that load.
bool emptyMeansZero(LoadsField field) {
    return field == LoadsField::Seismic || field == LoadsField::FacePressure || field == LoadsField::TopPressure ||
           field == LoadsField::CrackWaterDepth || field == LoadsField::Pressure1 || field == LoadsField::Pressure2 ||
           field == LoadsField::CrackPressure;
}

// A table row's boxes are named with the row: "第2个外力的方位角".
std::string boxName(LoadsField field, int row) {
    return (row < 0 ? std::string() : "第" + std::to_string(row + 1) + "个") + fieldName(field).name;
}

double number(const std::string& text, LoadsField field, int row = -1) {
    if (text.empty() && emptyMeansZero(field)) return 0;
    if (text.empty()) throw LoadsEntryError(field, row, "请输入" + boxName(field, row));
    double value = 0;
    try {
        value = textToFloat(text);
    } catch (const Error&) {
        throw LoadsEntryError(field, row, boxName(field, row) + "“" + text + "”不是有效的数",
                              ErrorKind::NumberText);
    }
    if (!withinLoadRange(value, fieldName(field).range))
        throw LoadsEntryError(field, row, loadRangeMessage(value, fieldName(field).range, boxName(field, row)));
    return value;
}

LineDirection direction(const std::string& trend, const std::string& plunge, LoadsField trendField, int row = -1) {
    const auto plungeField = static_cast<LoadsField>(static_cast<int>(trendField) + 1);
    return {number(trend, trendField, row), number(plunge, plungeField, row)};
}

// Every bit: loads read from a file and saved untouched must write the
// same numbers back, and the largest double must not round beyond itself.
std::string text(double value) { return floatToExactText(value); }

double requiredFactor(const LoadsEntries& e) {
    if (!e.Preset) return number(e.RequiredFactor, LoadsField::RequiredFactor);
    const std::optional<double> factor = presetFactor(*e.Preset);
    if (!factor) throw LoadsEntryError(LoadsField::RequiredFactor, -1, presetName(*e.Preset) + "没有规定安全系数");
    return *factor;
}

std::string planeBoxName(LoadsField field, int plane) {
    return std::string(plane == 0 ? "第一切割面的" : "第二切割面的") + fieldName(field).name;
}

// A plane's strength from its texts: only the chosen model's are read, an
// empty waviness is none, and the ranges are the file's (validateStrength),
// a value out of range pointing at its box.
JointStrength strengthFromEntry(const StrengthEntry& e, int plane) {
    const auto read = [plane](const std::string& text, LoadsField field) {
        if (text.empty() && field == LoadsField::StrengthWaviness) return 0.0;
        if (text.empty()) throw LoadsEntryError(field, plane, "请输入" + planeBoxName(field, plane));
        try {
            return textToFloat(text);
        } catch (const Error&) {
            throw LoadsEntryError(field, plane, planeBoxName(field, plane) + "“" + text + "”不是有效的数",
                                  ErrorKind::NumberText);
        }
    };
    JointStrength s;
    s.Model = e.Model;
    std::vector<std::pair<const char*, LoadsField>> keys; // the validation's keys to the boxes
    switch (e.Model) {
    case StrengthModel::MohrCoulomb: break;
    case StrengthModel::BartonBandis:
        s.Jrc = read(e.Jrc, LoadsField::StrengthJrc);
        s.Jcs = read(e.Jcs, LoadsField::StrengthJcs);
        s.ResidualFriction = read(e.ResidualFriction, LoadsField::StrengthResidualFriction);
        keys = {{"jrc", LoadsField::StrengthJrc}, {"jcs", LoadsField::StrengthJcs},
                {"phi_r", LoadsField::StrengthResidualFriction}};
        break;
    case StrengthModel::PowerCurve:
        s.PowerA = read(e.PowerA, LoadsField::StrengthPowerA);
        s.PowerB = read(e.PowerB, LoadsField::StrengthPowerB);
        s.PowerC = read(e.PowerC, LoadsField::StrengthPowerC);
        s.PowerD = read(e.PowerD, LoadsField::StrengthPowerD);
        keys = {{"a", LoadsField::StrengthPowerA}, {"b", LoadsField::StrengthPowerB},
                {"c", LoadsField::StrengthPowerC}, {"d", LoadsField::StrengthPowerD}};
        break;
    case StrengthModel::HoekBrown:
        s.Sigci = read(e.Sigci, LoadsField::StrengthSigci);
        s.Mb = read(e.Mb, LoadsField::StrengthMb);
        s.S = read(e.S, LoadsField::StrengthS);
        s.HoekA = read(e.HoekA, LoadsField::StrengthHoekA);
        keys = {{"sigci", LoadsField::StrengthSigci}, {"mb", LoadsField::StrengthMb},
                {"s", LoadsField::StrengthS}, {"a", LoadsField::StrengthHoekA}};
        break;
    }
    s.Waviness = read(e.Waviness, LoadsField::StrengthWaviness);
    keys.push_back({"waviness", LoadsField::StrengthWaviness});
    try {
        validateStrength(s, plane);
    } catch (const Error& failure) {
        const std::string& field = failure.field();
        const std::string key = field.substr(field.rfind('.') + 1);
        for (const auto& [name, box] : keys)
            if (key == name) throw LoadsEntryError(box, plane, failure.what());
        throw;
    }
    return s;
}

StrengthEntry strengthEntry(const JointStrength& s) {
    return {s.Model,         text(s.Jrc),    text(s.Jcs),   text(s.ResidualFriction), text(s.PowerA),
            text(s.PowerB),  text(s.PowerC), text(s.PowerD), text(s.Sigci),            text(s.Mb),
            text(s.S),       text(s.HoekA),  text(s.Waviness)};
}

std::string optionalText(const std::optional<double>& value) { return value ? text(*value) : std::string(); }

SizeEntry sizeEntry(const WedgeSizeLimits& l) {
    SizeEntry e;
    for (int plane = 0; plane < 2; ++plane) {
        e.FaceTrace[plane] = optionalText(l.FaceTrace[plane]);
        e.TopTrace[plane] = optionalText(l.TopTrace[plane]);
        e.Persistence[plane] = optionalText(l.Persistence[plane]);
    }
    e.Measure = l.Measure;
    e.SlopeLength = optionalText(l.SlopeLength);
    if (l.Bench) {
        e.HasBench = true;
        e.BenchHeight = text(l.Bench->Height);
        e.BenchWidth = text(l.Bench->Width);
        e.CatchWidth = optionalText(l.Bench->CatchWidth);
    }
    e.MinVolume = optionalText(l.MinVolume);
    e.MinWeight = optionalText(l.MinWeight);
    e.MinHeight = optionalText(l.MinHeight);
    return e;
}

// A limit's box: empty is no limit. A limit that bounds the wedge must be
// above zero, the others (catch width, minimums) not below it.
std::optional<double> sizeLimitText(const std::string& typed, LoadsField field, int plane = -1, bool bounds = true) {
    if (typed.empty()) return std::nullopt;
    const std::string name = plane < 0 ? fieldName(field).name : planeBoxName(field, plane);
    double value = 0;
    try {
        value = textToFloat(typed);
    } catch (const Error&) {
        throw LoadsEntryError(field, plane, name + "“" + typed + "”不是有效的数", ErrorKind::NumberText);
    }
    if (!withinLoadRange(value, LoadRange::Magnitude)) throw LoadsEntryError(field, plane, loadRangeMessage(value, LoadRange::Magnitude, name));
    if (bounds && value == 0) throw LoadsEntryError(field, plane, name + "应大于0，现为0");
    return value;
}

// In the window's order; a bench's height and width are required with it.
WedgeSizeLimits sizeFromEntry(const SizeEntry& e) {
    WedgeSizeLimits l;
    for (int plane = 0; plane < 2; ++plane) {
        l.FaceTrace[plane] = sizeLimitText(e.FaceTrace[plane], LoadsField::SizeFaceTrace, plane);
        l.TopTrace[plane] = sizeLimitText(e.TopTrace[plane], LoadsField::SizeTopTrace, plane);
        l.Persistence[plane] = sizeLimitText(e.Persistence[plane], LoadsField::SizePersistence, plane);
    }
    l.Measure = e.Measure;
    l.SlopeLength = sizeLimitText(e.SlopeLength, LoadsField::SizeSlopeLength);
    if (e.HasBench) {
        const auto required = [](const std::string& typed, LoadsField field) {
            if (typed.empty()) throw LoadsEntryError(field, -1, "请输入" + std::string(fieldName(field).name));
            return *sizeLimitText(typed, field);
        };
        BenchLimits bench;
        bench.Height = required(e.BenchHeight, LoadsField::SizeBenchHeight);
        bench.Width = required(e.BenchWidth, LoadsField::SizeBenchWidth);
        bench.CatchWidth = sizeLimitText(e.CatchWidth, LoadsField::SizeCatchWidth, -1, false);
        l.Bench = bench;
    }
    l.MinVolume = sizeLimitText(e.MinVolume, LoadsField::SizeMinVolume, -1, false);
    l.MinWeight = sizeLimitText(e.MinWeight, LoadsField::SizeMinWeight, -1, false);
    l.MinHeight = sizeLimitText(e.MinHeight, LoadsField::SizeMinHeight, -1, false);
    return l;
}

} // namespace

LoadsEntries loadsEntries(const WedgeLoads& loads) {
    LoadsEntries e;
    if (loads.Crack) {
        e.HasCrack = true;
        e.CrackDip = text(loads.Crack->Attitude.DipAngle);
        e.CrackDipDirection = text(loads.Crack->Attitude.DipDirection);
        e.CrackDistance = text(loads.Crack->Distance);
        e.CrackWaterDepth = text(loads.Crack->WaterDepth);
    }
    e.Water = loads.Water;
    e.FilledPercent = text(loads.FilledPercent);
    if (loads.PondLevel) e.PondLevel = text(*loads.PondLevel);
    if (loads.Pressure1 != 0) e.Pressure1 = text(loads.Pressure1);
    if (loads.Pressure2 != 0) e.Pressure2 = text(loads.Pressure2);
    if (loads.CrackPressure != 0) e.CrackPressure = text(loads.CrackPressure);
    if (loads.FacePressureDirection) {
        e.FacePressureDirected = true;
        e.FacePressureTrend = text(loads.FacePressureDirection->Trend);
        e.FacePressurePlunge = text(loads.FacePressureDirection->Plunge);
    }
    if (loads.TopPressureDirection) {
        e.TopPressureDirected = true;
        e.TopPressureTrend = text(loads.TopPressureDirection->Trend);
        e.TopPressurePlunge = text(loads.TopPressureDirection->Plunge);
    }
    if (loads.Shotcrete) {
        e.HasShotcrete = true;
        e.ShotcreteThickness = text(loads.Shotcrete->Thickness);
        e.ShotcreteShear = text(loads.Shotcrete->ShearStrength);
        e.ShotcreteUnitWeight = text(loads.Shotcrete->UnitWeight);
    }
    e.Seismic = text(loads.SeismicCoefficient);
    if (loads.SeismicDirection) {
        e.SeismicDirected = true;
        e.SeismicTrend = text(loads.SeismicDirection->Trend);
        e.SeismicPlunge = text(loads.SeismicDirection->Plunge);
    }
    e.FacePressure = text(loads.FacePressure);
    e.TopPressure = text(loads.TopPressure);
    for (const ExternalForce& f : loads.Forces)
        e.Forces.push_back({text(f.Magnitude), text(f.Direction.Trend), text(f.Direction.Plunge)});
    for (const Bolt& b : loads.Bolts)
        e.Bolts.push_back({text(b.Force), text(b.Direction.Trend), text(b.Direction.Plunge), b.Mode});
    e.Preset = loads.Preset;
    e.RequiredFactor = text(loads.RequiredFactor);
    if (loads.Design) {
        e.HasDesignBolt = true;
        e.DesignTrend = text(loads.Design->Direction.Trend);
        e.DesignPlunge = text(loads.Design->Direction.Plunge);
        e.DesignMode = loads.Design->Mode;
    }
    for (int plane = 0; plane < 2; ++plane) e.Strength[plane] = strengthEntry(loads.Strength[plane]);
    e.Size = sizeEntry(loads.Size);
    return e;
}

WedgeLoads loadsFromEntries(const LoadsEntries& e) {
    WedgeLoads loads;
    if (e.HasCrack)
        loads.Crack = TensionCrack{{number(e.CrackDip, LoadsField::CrackDip),
                                    number(e.CrackDipDirection, LoadsField::CrackDipDirection)},
                                   number(e.CrackDistance, LoadsField::CrackDistance),
                                   number(e.CrackWaterDepth, LoadsField::CrackWaterDepth)};
    loads.Water = e.Water;
    if (e.Water == WaterMode::Filled) {
        loads.FilledPercent = number(e.FilledPercent, LoadsField::FilledPercent);
    } else {
        // Not read in the other modes, but kept when it is a share, so that
        // a file read and saved untouched comes back as it was.
        try {
            if (const double share = textToFloat(e.FilledPercent); withinLoadRange(share, LoadRange::Percent))
                loads.FilledPercent = share;
        } catch (const Error&) {
        }
    }
    if (!e.PondLevel.empty()) loads.PondLevel = number(e.PondLevel, LoadsField::PondLevel);
    loads.SeismicCoefficient = number(e.Seismic, LoadsField::Seismic);
    if (e.SeismicDirected) loads.SeismicDirection = direction(e.SeismicTrend, e.SeismicPlunge, LoadsField::SeismicTrend);
    loads.FacePressure = number(e.FacePressure, LoadsField::FacePressure);
    loads.TopPressure = number(e.TopPressure, LoadsField::TopPressure);
    loads.Pressure1 = number(e.Pressure1, LoadsField::Pressure1);
    loads.Pressure2 = number(e.Pressure2, LoadsField::Pressure2);
    loads.CrackPressure = number(e.CrackPressure, LoadsField::CrackPressure);
    if (e.FacePressureDirected)
        loads.FacePressureDirection = direction(e.FacePressureTrend, e.FacePressurePlunge, LoadsField::FacePressureTrend);
    if (e.TopPressureDirected)
        loads.TopPressureDirection = direction(e.TopPressureTrend, e.TopPressurePlunge, LoadsField::TopPressureTrend);
    if (e.HasShotcrete)
        loads.Shotcrete = ShotcreteLining{number(e.ShotcreteThickness, LoadsField::ShotcreteThickness),
                                          number(e.ShotcreteShear, LoadsField::ShotcreteShear),
                                          number(e.ShotcreteUnitWeight, LoadsField::ShotcreteUnitWeight)};
    for (int row = 0; row < static_cast<int>(e.Forces.size()); ++row) {
        const ForceEntry& f = e.Forces[row];
        loads.Forces.push_back({number(f.Magnitude, LoadsField::ForceMagnitude, row),
                                direction(f.Trend, f.Plunge, LoadsField::ForceTrend, row)});
    }
    for (int row = 0; row < static_cast<int>(e.Bolts.size()); ++row) {
        const BoltEntry& b = e.Bolts[row];
        loads.Bolts.push_back(
            {number(b.Force, LoadsField::BoltForce, row), direction(b.Trend, b.Plunge, LoadsField::BoltTrend, row), b.Mode});
    }
    loads.Preset = e.Preset;
    loads.RequiredFactor = requiredFactor(e);
    if (e.HasDesignBolt) loads.Design = DesignBolt{direction(e.DesignTrend, e.DesignPlunge, LoadsField::DesignTrend), e.DesignMode};
    for (int plane = 0; plane < 2; ++plane) loads.Strength[plane] = strengthFromEntry(e.Strength[plane], plane);
    loads.Size = sizeFromEntry(e.Size);
    return loads;
}

} // namespace trelmox
