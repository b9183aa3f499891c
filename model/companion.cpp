#include "model/companion.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <initializer_list>
#include <span>
#include <vector>

#include "model/attitude.h"
#include "model/error.h"
#include "model/files.h"
#include "model/language.h"
#include "model/load_fields.h"
#include "model/textcodec.h"

namespace trelmox {

using Json = nlohmann::ordered_json;

namespace {

constexpr int Version = 1;
// Loads and support fit in a few kilobytes; a larger file is refused
// unread, as a data file over its limit is.
constexpr std::size_t MaxCompanionFileBytes = 1 << 20;

Json directionJson(const LineDirection& d) { return {{"trend", d.Trend}, {"plunge", d.Plunge}}; }

const char* modeName(BoltMode mode) { return mode == BoltMode::Active ? "active" : "passive"; }

Json presetJson(const FactorPreset& p) {
    return {{"slope", p.Service == SlopeService::Permanent ? "permanent" : "temporary"},
            {"grade", static_cast<int>(p.Grade) + 1},
            {"condition", p.Condition == DesignCondition::Ordinary ? "ordinary" : "seismic"}};
}

Json strengthJson(const JointStrength& s) {
    Json j = {{"model", strengthModelKey(s.Model)}};
    switch (s.Model) {
    case StrengthModel::MohrCoulomb: break;
    case StrengthModel::BartonBandis: j["jrc"] = s.Jrc, j["jcs"] = s.Jcs, j["phi_r"] = s.ResidualFriction; break;
    case StrengthModel::PowerCurve: j["a"] = s.PowerA, j["b"] = s.PowerB, j["c"] = s.PowerC, j["d"] = s.PowerD; break;
    case StrengthModel::HoekBrown: j["sigci"] = s.Sigci, j["mb"] = s.Mb, j["s"] = s.S, j["a"] = s.HoekA; break;
    }
    if (s.Waviness != 0) j["waviness"] = s.Waviness;
    return j;
}

Json optionalJson(const std::optional<double>& value) { return value ? Json(*value) : Json(nullptr); }

Json pairJson(const std::array<std::optional<double>, 2>& values) {
    return Json::array({optionalJson(values[0]), optionalJson(values[1])});
}

Json sizeJson(const WedgeSizeLimits& s) {
    Json bench = nullptr;
    if (s.Bench)
        bench = {
            {"height", s.Bench->Height}, {"width", s.Bench->Width}, {"catch_width", optionalJson(s.Bench->CatchWidth)}};
    return {{"face_trace", pairJson(s.FaceTrace)},
            {"top_trace", pairJson(s.TopTrace)},
            {"persistence", pairJson(s.Persistence)},
            {"persistence_measure",
             s.Measure == PersistenceMeasure::AlongIntersection ? "along_intersection" : "largest_extent"},
            {"slope_length", optionalJson(s.SlopeLength)},
            {"bench", bench},
            {"minimum",
             {{"volume", optionalJson(s.MinVolume)},
              {"weight", optionalJson(s.MinWeight)},
              {"height", optionalJson(s.MinHeight)}}}};
}

Json capacityJson(const BoltCapacity& c) {
    return {{"type", boltTypeKey(c.Type)},
            {"length", c.Length},
            {"tendon", c.Tendon},
            {"plate", c.Plate},
            {"bond", c.Bond}};
}

// The tables' numbers and then directions of `part`, into its object, in
// the tables' order.
struct Tables {
    std::span<const LoadField> Fields;
    std::span<const LoadDirection> Directions;
};

void writePart(Json& j, LoadPart part, const WedgeLoads& l, const Tables& t) {
    for (const LoadField& f : t.Fields)
        if (f.Part == part && f.stored(l)) j[f.Key] = *f.Get(l);
    for (const LoadDirection& d : t.Directions) {
        if (d.Part != part) continue;
        if (const std::optional<LineDirection> direction = d.Get(l))
            j[d.Key] = directionJson(*direction);
        else if (d.NullWhenOff)
            j[d.Key] = nullptr;
    }
}

Json partJson(LoadPart part, const WedgeLoads& l, const Tables& t) {
    Json j = Json::object();
    writePart(j, part, l, t);
    return j;
}

Json loadsJson(const WedgeLoads& l, const Tables& fields) {
    const Json crack = l.Crack ? partJson(LoadPart::Crack, l, fields) : Json(nullptr);
    Json forces = Json::array();
    for (const ExternalForce& f : l.Forces)
        forces.push_back({{"magnitude", f.Magnitude}, {"trend", f.Direction.Trend}, {"plunge", f.Direction.Plunge}});
    Json bolts = Json::array();
    for (const Bolt& b : l.Bolts) {
        bolts.push_back({{"force", b.Force},
                         {"trend", b.Direction.Trend},
                         {"plunge", b.Direction.Plunge},
                         {"mode", modeName(b.Mode)}});
        if (b.Capacity) bolts.back()["capacity"] = capacityJson(*b.Capacity);
    }
    Json design = {{"required_factor", l.RequiredFactor},
                   {"preset", l.Preset ? presetJson(*l.Preset) : Json(nullptr)},
                   {"bolt", nullptr}};
    if (l.Design) {
        design["bolt"] = directionJson(l.Design->Direction);
        design["bolt"]["mode"] = modeName(l.Design->Mode);
    }
    Json j = {{"version", Version}, {"water", waterChoice(l.Water).Key},
              {"crack", crack},     {"seismic", partJson(LoadPart::Seismic, l, fields)},
              {"forces", forces},   {"pressures", partJson(LoadPart::Pressures, l, fields)},
              {"bolts", bolts},     {"design", design}};
    // The water and pressures added later are written only when set, so
    // that the files of blocks without them stay byte for byte as they were.
    if (l.Water == WaterMode::Filled || l.FilledPercent != 100) j["water_percent"] = l.FilledPercent;
    writePart(j, LoadPart::Water, l, fields);
    if (l.Shotcrete) j["shotcrete"] = partJson(LoadPart::Shotcrete, l, fields);
    if (l.Pattern)
        j["pattern"] = {{"spacing_strike", l.Pattern->SpacingStrike}, {"spacing_dip", l.Pattern->SpacingDip},
                        {"trend", l.Pattern->Direction.Trend},        {"plunge", l.Pattern->Direction.Plunge},
                        {"mode", modeName(l.Pattern->Mode)},          {"capacity", capacityJson(l.Pattern->Capacity)}};
    // Written only when set, so that the files of blocks without size
    // limits stay byte for byte as they were.
    if (l.Size != WedgeSizeLimits{}) j["size"] = sizeJson(l.Size);
    // Written only when a plane has a strength of its own, so that a block
    // on the data file's c and f keeps the file it always had.
    if (!plainStrengths(l.Strength))
        j["strength"] = {{"plane1", strengthJson(l.Strength[0])}, {"plane2", strengthJson(l.Strength[1])}};
    return j;
}

// Reading with the path of every value, so that a message can say which.
class Reader {
public:
    explicit Reader(std::string file) : file_(std::move(file)) {}

    // Keys and texts come from the file: a control character (a NUL, an
    // escape sequence) is shown, never passed to the terminal or cutting
    // the message short.
    // `what` follows the file's name in Chinese, `english` the name and a colon.
    [[noreturn]] void fail(const std::string& what, const std::string& english) const {
        throw Error::refused(messageLanguage() == Language::English
                                 ? "loads file \"" + visibleText(file_) + "\": " + visibleText(english)
                                 : "荷载文件“" + visibleText(file_) + "”" + visibleText(what));
    }

    // An object with exactly these keys, and perhaps the optional ones.
    const Json& object(const Json& j, const std::string& path, const std::vector<const char*>& keys,
                       const std::vector<const char*>& optional = {}) const {
        if (!j.is_object())
            fail(path.empty() ? "的内容应为JSON对象" : "中" + path + "应为对象",
                 path.empty() ? "the content should be a JSON object" : path + " should be an object");
        for (const char* key : keys)
            if (!j.contains(key)) fail("中缺少" + join(path, key), join(path, key) + " is missing");
        // The key is named, not bound: clang before 16 cannot capture a structured binding.
        for (const auto& item : j.items()) {
            const std::string& key = item.key();
            const auto named = [&](const char* k) { return key == k; };
            if (std::none_of(keys.begin(), keys.end(), named) && std::none_of(optional.begin(), optional.end(), named))
                fail("中有未知的项" + join(path, key), "unknown item " + join(path, key));
        }
        return j;
    }
    std::optional<double> optionalNumber(const Json& j, const std::string& path, const char* key) const {
        return j.at(key).is_null() ? std::nullopt : std::optional(number(j, path, key));
    }
    double number(const Json& j, const std::string& path, const char* key) const {
        const Json& v = j.at(key);
        if (!v.is_number()) fail("中" + join(path, key) + "应为数", join(path, key) + " should be a number");
        return v.get<double>();
    }
    // A trend or dip direction, taken into 0..360 as the windows store it
    // (a file written before they did may hold 777 for 57).
    double azimuth(const Json& j, const std::string& path, const char* key) const {
        return azimuthWithin360(number(j, path, key));
    }
    std::string text(const Json& j, const std::string& path, const char* key,
                     std::initializer_list<const char*> allowed) const {
        return text(j, path, key, std::span(allowed.begin(), allowed.size()));
    }
    std::string text(const Json& j, const std::string& path, const char* key,
                     std::span<const char* const> allowed) const {
        const Json& v = j.at(key);
        const std::string name = join(path, key);
        if (!v.is_string()) fail("中" + name + "应为文字", name + " should be a text");
        const std::string s = v.get<std::string>();
        if (std::none_of(allowed.begin(), allowed.end(), [&](const char* a) { return s == a; }))
            fail("中" + name + "的值“" + s + "”不可用", "the value \"" + s + "\" of " + name + " cannot be used");
        return s;
    }
    const Json& array(const Json& j, const std::string& path, const char* key) const {
        const Json& v = j.at(key);
        if (!v.is_array()) fail("中" + join(path, key) + "应为数组", join(path, key) + " should be an array");
        return v;
    }
    static std::string join(const std::string& path, const std::string& key) {
        return path.empty() ? key : path + "." + key;
    }
    static std::string item(const std::string& path, std::size_t i) { return path + "[" + std::to_string(i) + "]"; }

    LineDirection direction(const Json& j, const std::string& path, const std::vector<const char*>& keys) const {
        object(j, path, keys);
        return {azimuth(j, path, "trend"), number(j, path, "plunge")};
    }
    BoltMode mode(const Json& j, const std::string& path) const {
        return text(j, path, "mode", {"active", "passive"}) == "active" ? BoltMode::Active : BoltMode::Passive;
    }

private:
    std::string file_;
};

// The keys of the tables' numbers and directions in `part`: those always
// there, or the others.
std::vector<const char*> partKeys(LoadPart part, const Tables& t, bool always, std::vector<const char*> keys = {}) {
    for (const LoadField& f : t.Fields)
        if (f.Part == part && (f.Policy == LoadPolicy::Always) == always) keys.push_back(f.Key);
    for (const LoadDirection& d : t.Directions)
        if (d.Part == part && d.NullWhenOff == always) keys.push_back(d.Key);
    return keys;
}

// The tables' numbers and then directions in `part` from its object `j`,
// in the tables' order. A direction written only when given is refused as
// null; one always written is switched off by null.
void readPart(const Reader& r, const Json& j, LoadPart part, WedgeLoads& l, const Tables& t) {
    const std::string path = loadPartKey(part);
    for (const LoadField& f : t.Fields) {
        if (f.Part != part || (f.Policy != LoadPolicy::Always && !j.contains(f.Key))) continue;
        f.Set(l, f.Range == LoadRange::Azimuth ? r.azimuth(j, path, f.Key) : r.number(j, path, f.Key));
    }
    for (const LoadDirection& d : t.Directions) {
        if (d.Part != part || !j.contains(d.Key) || (d.NullWhenOff && j.at(d.Key).is_null())) continue;
        d.Set(l, r.direction(j.at(d.Key), d.path(), {"trend", "plunge"}));
    }
}

// An optional part's object: its numbers, each required.
void readOptionalPart(const Reader& r, const Json& j, LoadPart part, WedgeLoads& l, const Tables& fields) {
    r.object(j, loadPartKey(part), partKeys(part, fields, true), partKeys(part, fields, false));
    addPart(part, l);
    readPart(r, j, part, l, fields);
}

FactorPreset presetFrom(const Reader& r, const Json& j) {
    const std::string path = "design.preset";
    r.object(j, path, {"slope", "grade", "condition"});
    FactorPreset p;
    p.Service = r.text(j, path, "slope", {"permanent", "temporary"}) == "permanent" ? SlopeService::Permanent
                                                                                    : SlopeService::Temporary;
    const Json& grade = j.at("grade");
    if (!grade.is_number_integer() || grade.get<long long>() < 1 || grade.get<long long>() > 3)
        r.fail("中design.preset.grade应为1、2或3", "design.preset.grade should be 1, 2 or 3");
    p.Grade = static_cast<SafetyGrade>(grade.get<int>() - 1);
    p.Condition = r.text(j, path, "condition", {"ordinary", "seismic"}) == "ordinary" ? DesignCondition::Ordinary
                                                                                      : DesignCondition::Seismic;
    return p;
}

// A plane's strength: its model's parameters, each required, and an
// optional waviness.
JointStrength strengthFrom(const Reader& r, const Json& j, const std::string& path) {
    if (!j.is_object()) r.fail("中" + path + "应为对象", path + " should be an object");
    if (!j.contains("model"))
        r.fail("中缺少" + Reader::join(path, "model"), Reader::join(path, "model") + " is missing");
    JointStrength s;
    const std::string model = r.text(j, path, "model", {"mohr_coulomb", "barton_bandis", "power_curve", "hoek_brown"});
    if (model == "mohr_coulomb") {
        r.object(j, path, {"model"}, {"waviness"});
    } else if (model == "barton_bandis") {
        s.Model = StrengthModel::BartonBandis;
        r.object(j, path, {"model", "jrc", "jcs", "phi_r"}, {"waviness"});
        s.Jrc = r.number(j, path, "jrc"), s.Jcs = r.number(j, path, "jcs");
        s.ResidualFriction = r.number(j, path, "phi_r");
    } else if (model == "power_curve") {
        s.Model = StrengthModel::PowerCurve;
        r.object(j, path, {"model", "a", "b", "c", "d"}, {"waviness"});
        s.PowerA = r.number(j, path, "a"), s.PowerB = r.number(j, path, "b");
        s.PowerC = r.number(j, path, "c"), s.PowerD = r.number(j, path, "d");
    } else {
        s.Model = StrengthModel::HoekBrown;
        r.object(j, path, {"model", "sigci", "mb", "s", "a"}, {"waviness"});
        s.Sigci = r.number(j, path, "sigci"), s.Mb = r.number(j, path, "mb");
        s.S = r.number(j, path, "s"), s.HoekA = r.number(j, path, "a");
    }
    if (j.contains("waviness")) s.Waviness = r.number(j, path, "waviness");
    return s;
}

void readDesign(const Reader& r, const Json& j, WedgeLoads& l) {
    r.object(j, "design", {"required_factor", "preset", "bolt"});
    l.RequiredFactor = r.number(j, "design", "required_factor");
    l.Preset = j.at("preset").is_null() ? std::nullopt : std::optional(presetFrom(r, j.at("preset")));
    if (const Json& bolt = j.at("bolt"); !bolt.is_null())
        l.Design =
            DesignBolt{r.direction(bolt, "design.bolt", {"trend", "plunge", "mode"}), r.mode(bolt, "design.bolt")};
}

std::array<std::optional<double>, 2> pairFrom(const Reader& r, const Json& j, const char* key) {
    const Json& pair = r.array(j, "size", key);
    if (pair.size() != 2)
        r.fail("中size." + std::string(key) + "应有两项（平面1、平面2）",
               "size." + std::string(key) + " should have two items (plane 1, plane 2)");
    std::array<std::optional<double>, 2> values;
    for (std::size_t i = 0; i < 2; ++i) {
        if (pair[i].is_null()) continue;
        if (!pair[i].is_number())
            r.fail("中" + Reader::item("size." + std::string(key), i) + "应为数",
                   Reader::item("size." + std::string(key), i) + " should be a number");
        values[i] = pair[i].get<double>();
    }
    return values;
}

// A bolt's type, and whichever of its figures differ from the type's defaults.
BoltCapacity capacityFrom(const Reader& r, const Json& j, const std::string& path) {
    r.object(j, path, {"type"}, {"length", "tendon", "plate", "bond"});
    const std::string type = r.text(j, path, "type", {"simple", "grouted_dowel", "cable"});
    BoltCapacity c = boltDefaults(type == "simple"          ? BoltType::Simple
                                  : type == "grouted_dowel" ? BoltType::GroutedDowel
                                                            : BoltType::Cable);
    if (j.contains("length")) c.Length = r.number(j, path, "length");
    if (j.contains("tendon")) c.Tendon = r.number(j, path, "tendon");
    if (j.contains("plate")) c.Plate = r.number(j, path, "plate");
    if (j.contains("bond")) c.Bond = r.number(j, path, "bond");
    return c;
}

WedgeSizeLimits sizeFrom(const Reader& r, const Json& j) {
    r.object(j, "size",
             {"face_trace", "top_trace", "persistence", "persistence_measure", "slope_length", "bench", "minimum"});
    WedgeSizeLimits s;
    s.FaceTrace = pairFrom(r, j, "face_trace");
    s.TopTrace = pairFrom(r, j, "top_trace");
    s.Persistence = pairFrom(r, j, "persistence");
    s.Measure =
        r.text(j, "size", "persistence_measure", {"along_intersection", "largest_extent"}) == "along_intersection"
            ? PersistenceMeasure::AlongIntersection
            : PersistenceMeasure::LargestExtent;
    s.SlopeLength = r.optionalNumber(j, "size", "slope_length");
    if (const Json& bench = j.at("bench"); !bench.is_null()) {
        r.object(bench, "size.bench", {"height", "width", "catch_width"});
        s.Bench = BenchLimits{r.number(bench, "size.bench", "height"), r.number(bench, "size.bench", "width"),
                              r.optionalNumber(bench, "size.bench", "catch_width")};
    }
    const Json& minimum = r.object(j.at("minimum"), "size.minimum", {"volume", "weight", "height"});
    s.MinVolume = r.optionalNumber(minimum, "size.minimum", "volume");
    s.MinWeight = r.optionalNumber(minimum, "size.minimum", "weight");
    s.MinHeight = r.optionalNumber(minimum, "size.minimum", "height");
    return s;
}

void loadsFrom(const Reader& r, const Json& j, WedgeLoads& l, const Tables& fields) {
    r.object(j, "",
             partKeys(LoadPart::Water, fields, true,
                      {"version", "water", "crack", "seismic", "forces", "pressures", "bolts", "design"}),
             partKeys(LoadPart::Water, fields, false, {"size", "strength", "water_percent", "shotcrete", "pattern"}));
    if (!j.at("version").is_number_integer() || j.at("version").get<long long>() != Version)
        r.fail("的版本" + j.at("version").dump() + "不受支持",
               "version " + j.at("version").dump() + " is not supported");
    std::vector<const char*> waterKeys;
    for (const WaterChoice& c : waterChoices()) waterKeys.push_back(c.Key);
    const std::string water = r.text(j, "", "water", waterKeys);
    for (const WaterChoice& c : waterChoices())
        if (water == c.Key) l.Water = c.Mode;
    if (j.contains("water_percent")) l.FilledPercent = r.number(j, "", "water_percent");
    readPart(r, j, LoadPart::Water, l, fields);
    if (!j.at("crack").is_null()) readOptionalPart(r, j.at("crack"), LoadPart::Crack, l, fields);
    const Json& seismic = r.object(j.at("seismic"), "seismic", partKeys(LoadPart::Seismic, fields, true),
                                   partKeys(LoadPart::Seismic, fields, false));
    readPart(r, seismic, LoadPart::Seismic, l, fields);
    const Json& forces = r.array(j, "", "forces");
    for (std::size_t i = 0; i < forces.size(); ++i) {
        const std::string path = Reader::item("forces", i);
        r.object(forces[i], path, {"magnitude", "trend", "plunge"});
        l.Forces.push_back({r.number(forces[i], path, "magnitude"),
                            {r.azimuth(forces[i], path, "trend"), r.number(forces[i], path, "plunge")}});
    }
    const Json& pressures = r.object(j.at("pressures"), "pressures", partKeys(LoadPart::Pressures, fields, true),
                                     partKeys(LoadPart::Pressures, fields, false));
    readPart(r, pressures, LoadPart::Pressures, l, fields);
    if (j.contains("shotcrete")) readOptionalPart(r, j.at("shotcrete"), LoadPart::Shotcrete, l, fields);
    const Json& bolts = r.array(j, "", "bolts");
    for (std::size_t i = 0; i < bolts.size(); ++i) {
        const std::string path = Reader::item("bolts", i);
        r.object(bolts[i], path, {"force", "trend", "plunge", "mode"}, {"capacity"});
        l.Bolts.push_back({r.number(bolts[i], path, "force"),
                           {r.azimuth(bolts[i], path, "trend"), r.number(bolts[i], path, "plunge")},
                           r.mode(bolts[i], path)});
        if (bolts[i].contains("capacity"))
            l.Bolts.back().Capacity = capacityFrom(r, bolts[i].at("capacity"), Reader::join(path, "capacity"));
    }
    if (j.contains("pattern")) {
        const Json& p = r.object(j.at("pattern"), "pattern",
                                 {"spacing_strike", "spacing_dip", "trend", "plunge", "mode", "capacity"});
        l.Pattern = BoltPattern{r.number(p, "pattern", "spacing_strike"),
                                r.number(p, "pattern", "spacing_dip"),
                                {r.azimuth(p, "pattern", "trend"), r.number(p, "pattern", "plunge")},
                                r.mode(p, "pattern"),
                                capacityFrom(r, p.at("capacity"), "pattern.capacity")};
    }
    readDesign(r, j.at("design"), l);
    if (j.contains("size")) l.Size = sizeFrom(r, j.at("size"));
    // Either plane may be left out: it keeps the data file's c and f.
    if (j.contains("strength")) {
        const Json& strength = r.object(j.at("strength"), "strength", {}, {"plane1", "plane2"});
        if (strength.contains("plane1")) l.Strength[0] = strengthFrom(r, strength.at("plane1"), "strength.plane1");
        if (strength.contains("plane2")) l.Strength[1] = strengthFrom(r, strength.at("plane2"), "strength.plane2");
    }
}

// Line and column (from 1) of a byte offset.
std::string position(const std::string& text, std::size_t offset) {
    offset = std::min(offset, text.size());
    const auto line = std::count(text.begin(), text.begin() + offset, '\n') + 1;
    const std::size_t start = text.rfind('\n', offset == 0 ? 0 : offset - 1);
    const std::size_t column = offset - (start == std::string::npos || offset == 0 ? 0 : start + 1);
    const std::string columnText = std::to_string(std::max<std::size_t>(column, 1));
    if (messageLanguage() == Language::English) return "line " + std::to_string(line) + ", column " + columnText;
    return "第" + std::to_string(line) + "行第" + columnText + "列";
}

} // namespace

std::string companionText(const WedgeLoads& loads) { return companionText(loads, loadFields()); }

std::string companionText(const WedgeLoads& loads, std::span<const LoadField> fields,
                          std::span<const LoadDirection> directions) {
    std::string text;
    for (char c : loadsJson(loads, {fields, directions}).dump(2)) {
        if (c == '\n') text += '\r';
        text += c;
    }
    return text + "\r\n";
}

WedgeLoads parseCompanion(const std::string& text, const std::string& fileName) {
    WedgeLoads loads;
    parseCompanion(text, fileName, loads, loadFields());
    return loads;
}

void parseCompanion(const std::string& text, const std::string& fileName, WedgeLoads& loads,
                    std::span<const LoadField> fields, std::span<const LoadDirection> directions) {
    const Reader reader(fileName);
    Json j;
    try {
        j = Json::parse(text);
    } catch (const Json::parse_error& e) {
        const std::string at = position(text, e.byte == 0 ? 0 : e.byte - 1);
        reader.fail("在" + at + "处不是有效的JSON", "not valid JSON at " + at);
    } catch (const Json::exception&) { // a number beyond the range of a double
        reader.fail("中有超出范围的数", "a number is out of range");
    }
    loadsFrom(reader, j, loads, {fields, directions});
    try {
        validateLoads(loads);
        validateLoadFields(loads, fields, directions);
    } catch (const Error& e) {
        reader.fail("中" + std::string(e.what()), e.what());
    }
}

std::filesystem::path companionPath(const std::filesystem::path& dataFolder, const std::string& blockName) {
    checkBlockName(blockName);
    return dataFolder / (blockName + ".json");
}

std::optional<WedgeLoads> readCompanionFile(const std::filesystem::path& dataFolder, const std::string& blockName) {
    const std::filesystem::path path = companionPath(dataFolder, blockName);
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        // A data file's name may be as long as the file system allows, and
        // then the companion's longer name can name no file.
        if (error && error != std::errc::filename_too_long)
            throw Error(fileErrorMessage(error.value()), ErrorKind::File).withPath(path);
        return std::nullopt;
    }
    return parseCompanion(readFileBytes(path, MaxCompanionFileBytes), path.filename().string());
}

WedgeLoads blockLoads(const std::filesystem::path& dataFolder, const std::string& blockName) {
    return readCompanionFile(dataFolder, blockName).value_or(WedgeLoads{});
}

// A file that already holds exactly these loads is kept byte for byte (and
// counts as written): the user's own layout and digits are not rewritten
// by saving.
bool saveCompanionFile(const std::filesystem::path& dataFolder, const std::string& blockName, const WedgeLoads& loads) {
    validateLoads(loads);
    const std::filesystem::path path = companionPath(dataFolder, blockName);
    if (loads == WedgeLoads{} && !std::filesystem::exists(path)) return false;
    try {
        if (readCompanionFile(dataFolder, blockName) == loads) return true;
    } catch (const Error&) {
        // unreadable or malformed: replaced by the loads being saved
    }
    writeFileAtomically(path, companionText(loads));
    return true;
}

} // namespace trelmox
