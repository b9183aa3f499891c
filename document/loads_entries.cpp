#include "document/loads_entries.h"

#include <algorithm>
#include <iterator>
#include <tuple>

#include "model/attitude.h"
#include "model/exact_text.h"
#include "model/language.h"
#include "model/numtext.h"

namespace trelmox {

namespace {

struct FieldName {
    LoadsField field;
    const char* chinese;
    const char* english;
    LoadRange range;
    std::string name() const { return inLanguage(chinese, english); }
};
// The names match those of validateLoads, so the user reads one wording.
constexpr FieldName FieldNames[] = {
    {LoadsField::ForceMagnitude, "外力的大小", "external force magnitude", LoadRange::Magnitude},
    {LoadsField::ForceTrend, "外力的方位角", "external force trend", LoadRange::Azimuth},
    {LoadsField::ForcePlunge, "外力的倾伏角", "external force plunge", LoadRange::Plunge},
    {LoadsField::BoltForce, "锚杆的锚固力", "bolt force", LoadRange::Magnitude},
    {LoadsField::BoltTrend, "锚杆的方位角", "bolt trend", LoadRange::Azimuth},
    {LoadsField::BoltPlunge, "锚杆的倾伏角", "bolt plunge", LoadRange::Plunge},
    {LoadsField::RequiredFactor, "所需安全系数", "required safety factor", LoadRange::RequiredFactor},
    {LoadsField::DesignTrend, "设计锚杆的方位角", "design bolt trend", LoadRange::Azimuth},
    {LoadsField::DesignPlunge, "设计锚杆的倾伏角", "design bolt plunge", LoadRange::Plunge},
    // Ranges by model (validateStrength); the names are its names.
    {LoadsField::StrengthJrc, "JRC", "JRC", LoadRange::Magnitude},
    {LoadsField::StrengthJcs, "JCS", "JCS", LoadRange::Magnitude},
    {LoadsField::StrengthResidualFriction, "残余摩擦角", "residual friction angle", LoadRange::Magnitude},
    {LoadsField::StrengthPowerA, "幂函数系数a", "power curve coefficient a", LoadRange::Magnitude},
    {LoadsField::StrengthPowerB, "幂函数指数b", "power curve exponent b", LoadRange::Magnitude},
    {LoadsField::StrengthPowerC, "幂函数参数c", "power curve parameter c", LoadRange::Azimuth},
    {LoadsField::StrengthPowerD, "幂函数参数d", "power curve parameter d", LoadRange::Magnitude},
    {LoadsField::StrengthSigci, "单轴抗压强度σci", "uniaxial compressive strength σci", LoadRange::Magnitude},
    {LoadsField::StrengthMb, "霍克-布朗参数mb", "Hoek-Brown parameter mb", LoadRange::Magnitude},
    {LoadsField::StrengthS, "霍克-布朗参数s", "Hoek-Brown parameter s", LoadRange::Magnitude},
    {LoadsField::StrengthHoekA, "霍克-布朗参数a", "Hoek-Brown parameter a", LoadRange::Magnitude},
    {LoadsField::StrengthWaviness, "起伏角", "waviness angle", LoadRange::Magnitude},
    // The limits of size; those that bound the wedge must also be above zero.
    {LoadsField::SizeFaceTrace, "坡面迹长", "trace length on the slope face", LoadRange::Magnitude},
    {LoadsField::SizeTopTrace, "坡顶面迹长", "trace length on the slope top", LoadRange::Magnitude},
    {LoadsField::SizePersistence, "延伸长度", "persistence", LoadRange::Magnitude},
    {LoadsField::SizeSlopeLength, "边坡沿走向的长度", "slope length along strike", LoadRange::Magnitude},
    {LoadsField::SizeBenchHeight, "台阶高度", "bench height", LoadRange::Magnitude},
    {LoadsField::SizeBenchWidth, "台阶宽度", "bench width", LoadRange::Magnitude},
    {LoadsField::SizeCatchWidth, "最小安全平台宽度", "minimum catch bench width", LoadRange::Magnitude},
    {LoadsField::SizeMinVolume, "楔块最小体积", "minimum wedge volume", LoadRange::Magnitude},
    {LoadsField::SizeMinWeight, "楔块最小重量", "minimum wedge weight", LoadRange::Magnitude},
    {LoadsField::SizeMinHeight, "楔块最小高度", "minimum wedge height", LoadRange::Magnitude},
    {LoadsField::FilledPercent, "充水百分比", "percentage filled", LoadRange::Percent},
    {LoadsField::BoltLength, "锚杆的长度", "bolt length", LoadRange::Magnitude},
    {LoadsField::BoltTendon, "锚杆的杆体抗拉力", "bolt tendon capacity", LoadRange::Magnitude},
    {LoadsField::BoltPlate, "锚杆的垫板承载力", "bolt plate capacity", LoadRange::Magnitude},
    {LoadsField::BoltBond, "锚杆的粘结强度", "bolt bond strength", LoadRange::Magnitude},
    {LoadsField::PatternSpacingStrike, "系统锚杆沿走向的间距", "pattern bolt spacing along strike",
     LoadRange::Magnitude},
    {LoadsField::PatternSpacingDip, "系统锚杆沿倾向的间距", "pattern bolt spacing along dip", LoadRange::Magnitude},
    {LoadsField::PatternTrend, "系统锚杆的方位角", "pattern bolt trend", LoadRange::Azimuth},
    {LoadsField::PatternPlunge, "系统锚杆的倾伏角", "pattern bolt plunge", LoadRange::Plunge},
    {LoadsField::PatternLength, "系统锚杆的长度", "pattern bolt length", LoadRange::Magnitude},
    {LoadsField::PatternTendon, "系统锚杆的杆体抗拉力", "pattern bolt tendon capacity", LoadRange::Magnitude},
    {LoadsField::PatternPlate, "系统锚杆的垫板承载力", "pattern bolt plate capacity", LoadRange::Magnitude},
    {LoadsField::PatternBond, "系统锚杆的粘结强度", "pattern bolt bond strength", LoadRange::Magnitude},
};

// The boxes of the numbers of loadFields() are named by their rows.
const FieldName& fieldName(LoadsField field) {
    return *std::find_if(std::begin(FieldNames), std::end(FieldNames),
                         [field](const FieldName& name) { return name.field == field; });
}

// A table row's boxes are named with the row: "第2个外力的方位角".
std::string boxName(LoadsField field, int row) {
    if (row < 0) return fieldName(field).name();
    const std::string number = std::to_string(row + 1);
    return messageLanguage() == Language::English ? fieldName(field).name() + " in row " + number
                                                  : "第" + number + "个" + fieldName(field).name();
}

std::string pleaseEnter(const std::string& name) { return inLanguage("请输入", "Enter the ") + name; }

std::string notANumber(const std::string& name, const std::string& text) {
    return messageLanguage() == Language::English ? "The " + name + " \"" + text + "\" is not a valid number"
                                                  : name + "“" + text + "”不是有效的数";
}

// A number within its range, named `name` in the messages.
double numberIn(const std::string& text, LoadsField field, int row, LoadRange range, const std::string& name) {
    if (text.empty()) throw LoadsEntryError(field, row, pleaseEnter(name));
    double value = 0;
    try {
        value = textToFloat(text);
    } catch (const Error&) {
        throw LoadsEntryError(field, row, notANumber(name, text), ErrorKind::NumberText);
    }
    if (!withinLoadRange(value, range)) throw LoadsEntryError(field, row, loadRangeMessage(value, range, name));
    return value;
}

double number(const std::string& text, LoadsField field, int row = -1) {
    return numberIn(text, field, row, fieldName(field).range, boxName(field, row));
}

// A number of the table: an empty box is none or the default where its
// policy says so.
std::optional<double> fieldNumber(const LoadField& f, const std::string& text) {
    if (text.empty() && f.Policy == LoadPolicy::Optional) return std::nullopt;
    if (text.empty() && (f.Policy == LoadPolicy::WhenSet || f.EmptyIsDefault)) return f.Default;
    return numberIn(text, f.Field, -1, f.Range, f.name());
}

// The table's numbers in `part`, in the window's order.
void readPart(const LoadsEntries& e, LoadPart part, WedgeLoads& loads, std::span<const LoadField> fields) {
    for (const LoadField& f : fields)
        if (f.Part == part) f.Set(loads, fieldNumber(f, e.text(f.Field)));
}

// The part's directions that are switched on, after its numbers.
void readDirections(const LoadsEntries& e, LoadPart part, WedgeLoads& loads,
                    std::span<const LoadDirection> directions) {
    for (const LoadDirection& d : directions)
        if (d.Part == part && e.directed(d.Trend))
            d.Set(loads, LineDirection{numberIn(e.text(d.Trend), d.Trend, -1, LoadRange::Azimuth, d.trendName()),
                                       numberIn(e.text(d.Plunge), d.Plunge, -1, LoadRange::Plunge, d.plungeName())});
}

LineDirection direction(const std::string& trend, const std::string& plunge, LoadsField trendField, int row = -1) {
    const auto plungeField = static_cast<LoadsField>(static_cast<int>(trendField) + 1);
    return {number(trend, trendField, row), number(plunge, plungeField, row)};
}

// Every bit: loads read from a file and saved untouched must write the
// same numbers back, and the largest double must not round beyond itself.
std::string text(double value) { return floatToExactText(value); }

// The length, tendon, plate and bond fields follow `length` in LoadsField;
// a dowel (which has no plate) may leave its plate empty.
BoltCapacity capacityFromEntry(const CapacityEntry& c, LoadsField length, int row) {
    const auto at = [length](int k) { return static_cast<LoadsField>(static_cast<int>(length) + k); };
    const bool noPlate = c.Type == BoltType::GroutedDowel && c.Plate.empty();
    return {c.Type, number(c.Length, at(0), row), number(c.Tendon, at(1), row),
            noPlate ? 0 : number(c.Plate, at(2), row), number(c.Bond, at(3), row)};
}

double requiredFactor(const LoadsEntries& e) {
    if (!e.Preset) return number(e.RequiredFactor, LoadsField::RequiredFactor);
    const std::optional<double> factor = presetFactor(*e.Preset);
    if (!factor)
        throw LoadsEntryError(LoadsField::RequiredFactor, -1,
                              messageLanguage() == Language::English
                                  ? "The slope class " + presetName(*e.Preset) + " gives no required safety factor"
                                  : presetName(*e.Preset) + "没有规定安全系数");
    return *factor;
}

std::string planeBoxName(LoadsField field, int plane) {
    if (messageLanguage() == Language::English)
        return fieldName(field).name() + (plane == 0 ? " of plane 1" : " of plane 2");
    return std::string(plane == 0 ? "第一切割面的" : "第二切割面的") + fieldName(field).name();
}

// A plane's strength from its texts: only the chosen model's are read, an
// empty waviness is none, and the ranges are the file's (validateStrength),
// a value out of range pointing at its box.
JointStrength strengthFromEntry(const StrengthEntry& e, int plane) {
    const auto read = [plane](const std::string& text, LoadsField field) {
        if (text.empty() && field == LoadsField::StrengthWaviness) return 0.0;
        if (text.empty()) throw LoadsEntryError(field, plane, pleaseEnter(planeBoxName(field, plane)));
        try {
            return textToFloat(text);
        } catch (const Error&) {
            throw LoadsEntryError(field, plane, notANumber(planeBoxName(field, plane), text), ErrorKind::NumberText);
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
        keys = {{"jrc", LoadsField::StrengthJrc},
                {"jcs", LoadsField::StrengthJcs},
                {"phi_r", LoadsField::StrengthResidualFriction}};
        break;
    case StrengthModel::PowerCurve:
        s.PowerA = read(e.PowerA, LoadsField::StrengthPowerA);
        s.PowerB = read(e.PowerB, LoadsField::StrengthPowerB);
        s.PowerC = read(e.PowerC, LoadsField::StrengthPowerC);
        s.PowerD = read(e.PowerD, LoadsField::StrengthPowerD);
        keys = {{"a", LoadsField::StrengthPowerA},
                {"b", LoadsField::StrengthPowerB},
                {"c", LoadsField::StrengthPowerC},
                {"d", LoadsField::StrengthPowerD}};
        break;
    case StrengthModel::HoekBrown:
        s.Sigci = read(e.Sigci, LoadsField::StrengthSigci);
        s.Mb = read(e.Mb, LoadsField::StrengthMb);
        s.S = read(e.S, LoadsField::StrengthS);
        s.HoekA = read(e.HoekA, LoadsField::StrengthHoekA);
        keys = {{"sigci", LoadsField::StrengthSigci},
                {"mb", LoadsField::StrengthMb},
                {"s", LoadsField::StrengthS},
                {"a", LoadsField::StrengthHoekA}};
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
    return {s.Model,         text(s.Jrc),    text(s.Jcs),    text(s.ResidualFriction),
            text(s.PowerA),  text(s.PowerB), text(s.PowerC), text(s.PowerD),
            text(s.Sigci),   text(s.Mb),     text(s.S),      text(s.HoekA),
            text(s.Waviness)};
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
    const std::string name = plane < 0 ? fieldName(field).name() : planeBoxName(field, plane);
    double value = 0;
    try {
        value = textToFloat(typed);
    } catch (const Error&) {
        throw LoadsEntryError(field, plane, notANumber(name, typed), ErrorKind::NumberText);
    }
    if (!withinLoadRange(value, LoadRange::Magnitude))
        throw LoadsEntryError(field, plane, loadRangeMessage(value, LoadRange::Magnitude, name));
    if (bounds && value == 0)
        throw LoadsEntryError(field, plane,
                              messageLanguage() == Language::English ? "The " + name + " must be above 0, not 0"
                                                                     : name + "应大于0，现为0");
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
            if (typed.empty()) throw LoadsEntryError(field, -1, pleaseEnter(fieldName(field).name()));
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

const std::string& LoadsEntries::text(LoadsField field) const {
    static const std::string none;
    const auto found = Numbers.find(field);
    return found == Numbers.end() ? none : found->second;
}

void LoadsEntries::setText(LoadsField field, const std::string& typed) {
    if (typed.empty())
        Numbers.erase(field);
    else
        Numbers[field] = typed;
}

void LoadsEntries::setDirected(LoadsField trend, bool on) {
    if (on)
        Directed.insert(trend);
    else
        Directed.erase(trend);
}

LoadsEntries loadsEntries(const WedgeLoads& loads, std::span<const LoadField> fields,
                          std::span<const LoadDirection> directions) {
    LoadsEntries e;
    for (const LoadField& f : fields) {
        // The boxes of an absent shotcrete offer its usual figures; those of
        // an absent crack stay empty.
        if (!partPresent(f.Part, loads)) {
            if (f.Part == LoadPart::Shotcrete) e.setText(f.Field, text(f.Default));
        } else if (f.stored(loads) || f.Policy == LoadPolicy::Always) {
            e.setText(f.Field, text(*f.Get(loads)));
        }
    }
    e.HasCrack = loads.Crack.has_value();
    e.Water = loads.Water;
    e.FilledPercent = text(loads.FilledPercent);
    for (const LoadDirection& d : directions)
        if (const std::optional<LineDirection> direction = d.Get(loads)) {
            e.setDirected(d.Trend, true);
            e.setText(d.Trend, text(direction->Trend));
            e.setText(d.Plunge, text(direction->Plunge));
        }
    e.HasShotcrete = loads.Shotcrete.has_value();
    for (const ExternalForce& f : loads.Forces)
        e.Forces.push_back({text(f.Magnitude), text(f.Direction.Trend), text(f.Direction.Plunge)});
    for (const Bolt& b : loads.Bolts) {
        e.Bolts.push_back({text(b.Force), text(b.Direction.Trend), text(b.Direction.Plunge), b.Mode});
        if (b.Capacity) e.Bolts.back().Rated = true, e.Bolts.back().Capacity = capacityEntry(*b.Capacity);
    }
    if (loads.Pattern) {
        const BoltPattern& p = *loads.Pattern;
        e.HasPattern = true;
        e.Pattern = {
            text(p.SpacingStrike),    text(p.SpacingDip), text(p.Direction.Trend), text(p.Direction.Plunge), p.Mode,
            capacityEntry(p.Capacity)};
    }
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

CapacityEntry capacityEntry(const BoltCapacity& c) {
    return {c.Type, text(c.Length), text(c.Tendon), text(c.Plate), text(c.Bond)};
}

CapacityEntry withType(const CapacityEntry& from, BoltType to) {
    CapacityEntry defaults = capacityEntry(boltDefaults(to));
    CapacityEntry c = from, old = capacityEntry(boltDefaults(from.Type));
    c.Type = to;
    for (auto [text, was, now] :
         {std::tuple{&c.Length, &old.Length, &defaults.Length}, std::tuple{&c.Tendon, &old.Tendon, &defaults.Tendon},
          std::tuple{&c.Plate, &old.Plate, &defaults.Plate}, std::tuple{&c.Bond, &old.Bond, &defaults.Bond}})
        if (text->empty() || *text == *was) *text = *now;
    return c;
}

WedgeLoads loadsFromEntries(const LoadsEntries& e) {
    WedgeLoads loads;
    loadsFromEntries(e, loads, loadFields());
    return loads;
}

void loadsFromEntries(const LoadsEntries& e, WedgeLoads& loads, std::span<const LoadField> fields,
                      std::span<const LoadDirection> directions) {
    if (e.HasCrack) {
        readPart(e, LoadPart::Crack, loads, fields);
        readDirections(e, LoadPart::Crack, loads, directions);
    }
    loads.Water = e.Water;
    if (e.Water == WaterMode::Filled) {
        loads.FilledPercent = number(e.FilledPercent, LoadsField::FilledPercent);
    } else {
        // Not read in the other modes, but kept when it is a share, so that
        // a file read and saved untouched comes back as it was.
        try {
            if (const double share = textToFloat(e.FilledPercent); withinLoadRange(share, LoadRange::Percent))
                loads.FilledPercent = share;
        } catch (const Error&) {}
    }
    readPart(e, LoadPart::Water, loads, fields);
    readDirections(e, LoadPart::Water, loads, directions);
    readPart(e, LoadPart::Seismic, loads, fields);
    readDirections(e, LoadPart::Seismic, loads, directions);
    readPart(e, LoadPart::Pressures, loads, fields);
    readDirections(e, LoadPart::Pressures, loads, directions);
    if (e.HasShotcrete) {
        readPart(e, LoadPart::Shotcrete, loads, fields);
        readDirections(e, LoadPart::Shotcrete, loads, directions);
    }
    for (int row = 0; row < static_cast<int>(e.Forces.size()); ++row) {
        const ForceEntry& f = e.Forces[row];
        loads.Forces.push_back({number(f.Magnitude, LoadsField::ForceMagnitude, row),
                                direction(f.Trend, f.Plunge, LoadsField::ForceTrend, row)});
    }
    for (int row = 0; row < static_cast<int>(e.Bolts.size()); ++row) {
        const BoltEntry& b = e.Bolts[row];
        // A bolt of a capacity model has no force of its own to read.
        const double force = b.Rated ? 0 : number(b.Force, LoadsField::BoltForce, row);
        loads.Bolts.push_back({force, direction(b.Trend, b.Plunge, LoadsField::BoltTrend, row), b.Mode});
        if (b.Rated) loads.Bolts.back().Capacity = capacityFromEntry(b.Capacity, LoadsField::BoltLength, row);
    }
    if (e.HasPattern) {
        const PatternEntry& p = e.Pattern;
        loads.Pattern = BoltPattern{number(p.SpacingStrike, LoadsField::PatternSpacingStrike),
                                    number(p.SpacingDip, LoadsField::PatternSpacingDip),
                                    direction(p.Trend, p.Plunge, LoadsField::PatternTrend), p.Mode,
                                    capacityFromEntry(p.Capacity, LoadsField::PatternLength, -1)};
    }
    loads.Preset = e.Preset;
    loads.RequiredFactor = requiredFactor(e);
    if (e.HasDesignBolt)
        loads.Design = DesignBolt{direction(e.DesignTrend, e.DesignPlunge, LoadsField::DesignTrend), e.DesignMode};
    for (int plane = 0; plane < 2; ++plane) loads.Strength[plane] = strengthFromEntry(e.Strength[plane], plane);
    loads.Size = sizeFromEntry(e.Size);
}

bool takeAzimuthsWithin360(LoadsEntries& e, std::span<const LoadField> fields,
                           std::span<const LoadDirection> directions) {
    bool changed = false;
    const auto take = [&changed](std::string& typed) {
        double value = 0;
        try {
            value = textToFloat(typed);
        } catch (const Error&) {
            return; // refused where the loads are read, naming its box
        }
        const double stored = azimuthWithin360(value);
        if (stored == value) return;
        typed = floatToText(stored); // 777.1 shows as 57.1, not as the remainder's last bits
        changed = true;
    };
    const auto takeBox = [&](LoadsField field) {
        std::string typed = e.text(field);
        take(typed);
        e.setText(field, typed);
    };
    for (const LoadField& f : fields)
        if (f.Range == LoadRange::Azimuth) takeBox(f.Field);
    for (const LoadDirection& d : directions) takeBox(d.Trend);
    for (std::string* azimuth : {&e.Pattern.Trend, &e.DesignTrend}) take(*azimuth);
    for (ForceEntry& force : e.Forces) take(force.Trend);
    for (BoltEntry& bolt : e.Bolts) take(bolt.Trend);
    return changed;
}

} // namespace trelmox
