#include "report/outcome_formats.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

#include "analysis/vec3.h"
#include "model/language.h"
#include "model/numtext.h"
#include "model/shown_text.h"
#include "report/failure_text.h"
#include "report/figures.h"
#include "report/json_sheet.h"

namespace trelmox {

namespace {

// The figures of the full analysis that the tool prints, each as a number
// or absent: absent all but the contact case when the real wedge was
// refused, and all when the analysis failed.
struct FullFigures {
    std::optional<std::string> Contact, State, StateCode;
    std::optional<double> Factor, Weight, BoltForce, BoltTrend, BoltPlunge;
    // Why Fs is no figure although the wedge was analysed (factorNote); and
    // the failure that left it uncomputed, with its kind.
    std::optional<std::string> Note, Error, ErrorKind;
    std::array<std::optional<double>, WedgeSurfaceCount> Areas;
    // The wedge's size: the factor the limits scaled it by, the limit that
    // decided it (absent: none did), its slope height and volume; a bench's
    // back-break; whether it is too small to matter.
    std::optional<double> Scale, ScaledHeight, WedgeVolume;
    std::optional<std::string> ScaleLimit;
    std::optional<double> BackBreak, BackBreakLength, RemainingBench;
    std::optional<bool> BenchTooNarrow, TooSmall;
};

// The bolt force the required factor needs: along the design bolt when the
// loads give one, else along the direction that needs the least.
void boltFigures(const SupportDesign& design, FullFigures& f) {
    if (design.Bolt) {
        f.BoltForce = design.BoltForce;
        if (design.BoltForce) {
            f.BoltTrend = design.Bolt->Direction.Trend;
            f.BoltPlunge = design.Bolt->Direction.Plunge;
        }
    } else if (design.Least) {
        f.BoltForce = design.Least->Force;
        f.BoltTrend = design.Least->Direction.Trend;
        f.BoltPlunge = design.Least->Direction.Plunge;
    }
}

FullFigures fullFigures(const std::optional<BlockRun>& run) {
    FullFigures f;
    if (run && !run->Full && run->FullError) {
        // Nothing drives the wedge: its factor is none to compute, not a failure.
        if (run->FullError->fault() == ArithmeticFault::NoDrivingForce) {
            f.Note = factorNoteKey(FactorNote::NoDrivingForce);
        } else {
            f.Error = shownMessage(toolMessage(*run->FullError));
            f.ErrorKind = errorKindKey(*run->FullError);
        }
    }
    if (!run || !run->Full) return f;
    const RealWedge* full = &*run->Full;
    const FullAnalysis& a = full->Analysis;
    f.Contact = contactName(a.Safety.Contact);
    // No wedge, or no contact case: no factor, which a 0 would count as failing.
    if (a.Safety.Contact != TWedgeContact::NoBlock && a.Safety.Contact != TWedgeContact::Unresolved) {
        if (a.Note)
            f.Note = factorNoteKey(*a.Note);
        else
            f.Factor = a.Safety.Factor;
    }
    if (a.Refusal) return f;
    if (a.State) {
        f.State = stateInData(*a.State);
        f.StateCode = stateCode(*a.State);
    }
    f.Weight = norm(a.Forces.Weight);
    for (int i = 0; i < WedgeSurfaceCount; ++i) f.Areas[i] = a.Shape.Faces[i].Area;
    boltFigures(full->Design, f);
    const WedgeSizing& size = a.Size;
    f.Scale = size.Scale.Factor;
    if (size.Scale.Decider) f.ScaleLimit = sizeLimitKey(*size.Scale.Decider);
    f.ScaledHeight = size.Limited ? size.Lengths.SlopeHeight : run->Numbers->SlopeHeight;
    f.WedgeVolume = a.Shape.Volume;
    f.TooSmall = size.TooSmall;
    if (size.RemainingBench) {
        f.BackBreak = size.Lengths.BackBreak;
        f.BackBreakLength = size.Lengths.CrestLength;
        f.RemainingBench = size.RemainingBench;
        f.BenchTooNarrow = size.BenchTooNarrow;
    }
    return f;
}

// The keys of the face areas, by WedgeSurface.
const char* const AreaKeys[WedgeSurfaceCount] = {"plane1", "plane2", "face", "top", "crack"};

// Each plane's strength model, mean normal stress (kPa) and the shear force
// it resists (kN), for a block whose companion file gives a plane a strength
// of its own (or any block that got as far as Kc, `always`); the stress and
// force absent without a factor.
struct PlaneStrengthFigures {
    std::string Model;
    std::optional<double> NormalStress, ShearForce;
};
std::optional<std::array<PlaneStrengthFigures, 2>> strengthFigures(const std::optional<BlockRun>& run, bool always) {
    if (!run || (!always && plainStrengths(run->Loads.Strength))) return std::nullopt;
    std::array<PlaneStrengthFigures, 2> planes;
    for (int i = 0; i < 2; ++i) planes[i].Model = strengthModelKey(run->Loads.Strength[i].Model);
    if (!run->Full || run->Full->Analysis.Refusal) return planes;
    const FullAnalysis& a = run->Full->Analysis;
    const bool slides = a.Safety.Contact == TWedgeContact::BothPlanes ||
                        a.Safety.Contact == TWedgeContact::FirstPlaneOnly ||
                        a.Safety.Contact == TWedgeContact::SecondPlaneOnly;
    if (!slides) return planes;
    for (int i = 0; i < 2; ++i) {
        const double area = a.Shape.Faces[i].Area;
        planes[i].NormalStress = area > 0 ? (i == 0 ? a.Safety.Normal1 : a.Safety.Normal2) / area : 0.0;
        planes[i].ShearForce = i == 0 ? a.Safety.Shear1 : a.Safety.Shear2;
    }
    return planes;
}

const char* const PlaneKeys[2] = {"plane1", "plane2"};
// The size figures' keys, in the order of both formats.
constexpr const char* SizeKeys[] = {"scale",           "scale_limit", "scaled_height",     "wedge_volume",
                                    "too_small",       "back_break",  "back_break_length", "remaining_bench",
                                    "bench_too_narrow"};

Json flagJson(const std::optional<bool>& flag) { return flag ? Json(*flag) : Json(nullptr); }

// Each size figure as JSON, in the order of SizeKeys.
std::array<Json, std::size(SizeKeys)> sizeFields(const FullFigures& f) {
    return {jsonOf(f.Scale),           jsonOf(f.ScaleLimit),     jsonOf(f.ScaledHeight),
            jsonOf(f.WedgeVolume),     flagJson(f.TooSmall),     jsonOf(f.BackBreak),
            jsonOf(f.BackBreakLength), jsonOf(f.RemainingBench), flagJson(f.BenchTooNarrow)};
}

// A CSV field holds the same figure: empty for null, numbers as the other
// CSV numbers, texts quoted where they must be.
std::string sizeCsv(const FullFigures& f) {
    std::string row;
    for (const Json& field : sizeFields(f)) {
        row += ',';
        if (field.is_null()) continue;
        if (field.is_string())
            row += csvField(field.get<std::string>());
        else if (field.is_boolean())
            row += field.get<bool>() ? "true" : "false";
        else
            row += csvNumber(field.get<double>());
    }
    return row;
}

void addFullJson(const FullFigures& f, Json& json) {
    json["fs_contact"] = jsonOf(f.Contact);
    json["fs"] = jsonOf(f.Factor);
    json["fs_note"] = jsonOf(f.Note);
    json["fs_error"] = jsonOf(f.Error);
    json["fs_error_kind"] = jsonOf(f.ErrorKind);
    json["state"] = jsonOf(f.State);
    json["state_code"] = jsonOf(f.StateCode);
    json["weight"] = jsonOf(f.Weight);
    Json areas = nullptr;
    if (f.Areas[0])
        for (int i = 0; i < WedgeSurfaceCount; ++i) areas[AreaKeys[i]] = jsonOf(f.Areas[i]);
    json["areas"] = areas;
    json["required_bolt_force"] = jsonOf(f.BoltForce);
    json["required_bolt_trend"] = jsonOf(f.BoltTrend);
    json["required_bolt_plunge"] = jsonOf(f.BoltPlunge);
    const auto fields = sizeFields(f);
    for (std::size_t i = 0; i < fields.size(); ++i) json[SizeKeys[i]] = fields[i];
}

std::string csvOrEmpty(const std::optional<double>& value) { return value ? csvNumber(*value) : ""; }

std::string fullCsvHeader() {
    std::string header = ",fs_contact,fs,state,state_code,weight";
    for (const char* key : AreaKeys) header += std::string(",areas.") + key;
    header += ",required_bolt_force,required_bolt_trend,required_bolt_plunge";
    for (const char* key : SizeKeys) header += std::string(",") + key;
    return header;
}

std::string fullCsv(const FullFigures& f) {
    std::string row = ',' + f.Contact.value_or("") + ',' + csvOrEmpty(f.Factor) + ',' + f.State.value_or("") + ',' +
                      f.StateCode.value_or("") + ',' + csvOrEmpty(f.Weight);
    for (const auto& area : f.Areas) row += ',' + csvOrEmpty(area);
    return row + ',' + csvOrEmpty(f.BoltForce) + ',' + csvOrEmpty(f.BoltTrend) + ',' + csvOrEmpty(f.BoltPlunge) +
           sizeCsv(f);
}

template <typename T, typename F> Json orNull(const std::optional<T>& value, F field) {
    return value ? jsonOf(field(*value)) : Json(nullptr);
}

const char* limitKey(BoltLimit limit) {
    switch (limit) {
    case BoltLimit::Tendon: return "tendon";
    case BoltLimit::Plate: return "plate";
    case BoltLimit::BondInside: return "bond_inside";
    case BoltLimit::Anchorage: return "anchorage";
    case BoltLimit::NotAnchored: return "not_anchored";
    }
    return "tendon";
}

Json holdJson(const BoltHold& h) {
    return {{"force", h.Force}, {"limit", limitKey(h.Limit)}, {"inside", h.Inside}, {"beyond", h.Beyond}};
}

// Only for a block whose bolts' forces come from a capacity model or a
// pattern: each bolt's force and what limits it ("given" for a bolt whose
// force is entered), and the pattern's bolts on the wedge; the lines of
// other blocks stay as they were.
void addBoltJson(const std::optional<BlockRun>& run, Json& json) {
    if (!run) return;
    const WedgeLoads& l = run->Loads;
    const bool capacities =
        std::any_of(l.Bolts.begin(), l.Bolts.end(), [](const Bolt& b) { return b.Capacity.has_value(); });
    if (!capacities && !l.Pattern) return;
    const WedgeForces* f = run->Full && !run->Full->Analysis.Refusal ? &run->Full->Analysis.Forces : nullptr;
    if (capacities) {
        Json bolts = Json::array();
        for (std::size_t i = 0; i < l.Bolts.size(); ++i) {
            if (!l.Bolts[i].Capacity)
                bolts.push_back({{"force", l.Bolts[i].Force}, {"limit", "given"}});
            else
                bolts.push_back(f && i < f->BoltHolds.size() ? holdJson(f->BoltHolds[i]) : Json(nullptr));
        }
        json["bolt_holds"] = bolts;
    }
    if (l.Pattern) {
        Json pattern = {{"bolts", nullptr}, {"force", nullptr}, {"anchored", nullptr}};
        if (f) {
            const auto anchored = std::count_if(f->PatternHolds.begin(), f->PatternHolds.end(),
                                                [](const BoltHold& h) { return h.Limit != BoltLimit::NotAnchored; });
            pattern = {{"bolts", f->PatternHolds.size()}, {"force", f->PatternForce}, {"anchored", anchored}};
        }
        json["pattern"] = pattern;
    }
}
} // namespace

namespace {

// Kc and the normalised wedge's figures, each absent where it does not
// exist: all but the contact case when the planes cut out no block, Kc
// for an unresolved contact and above the bound (its note then says so).
struct KcFigures {
    std::optional<double> Factor, Volume, Height, Plunge;
    std::optional<std::string> Note;
};

KcFigures kcFigures(const BlockOutcome& o) {
    KcFigures k;
    if (!o.safety) return k;
    const TWedgeContact contact = o.safety->Contact;
    if (contact == TWedgeContact::NoBlock) return k;
    if (o.geometry)
        k.Volume = o.geometry->Volume, k.Height = o.geometry->Height, k.Plunge = o.geometry->IntersectionPlunge;
    if (contact == TWedgeContact::Unresolved) return k;
    if (const auto note = factorNote(contact, o.safety->SafetyFactor))
        k.Note = factorNoteKey(*note);
    else
        k.Factor = o.safety->SafetyFactor;
    return k;
}

// A figure the table shows: "-" for none, "> 100" above the bound.
std::string shownFigure(const std::optional<double>& value, const std::optional<std::string>& note,
                        const std::string& text) {
    if (note) return "> " + floatToText(FactorBound);
    return value ? text : "-";
}

} // namespace

bool fsFailed(const BlockOutcome& o) { return fullFigures(o.run).Error.has_value(); }

Json outcomeJson(const BlockOutcome& o) {
    Json json;
    const KcFigures k = kcFigures(o);
    const FullFigures f = fullFigures(o.run);
    json["block"] = shownText(o.block);
    json["contact"] = o.safety ? Json(contactName(o.safety->Contact)) : Json(nullptr);
    json["kc"] = jsonOf(k.Factor);
    json["kc_note"] = jsonOf(k.Note);
    json["volume"] = jsonOf(k.Volume);
    json["height"] = jsonOf(k.Height);
    json["plunge"] = jsonOf(k.Plunge);
    addFullJson(f, json);
    // Only for a block with a strength of its own: the lines of the
    // others stay as they were.
    if (const auto planes = strengthFigures(o.run, false)) {
        Json strength;
        for (int i = 0; i < 2; ++i)
            strength[PlaneKeys[i]] = {{"model", (*planes)[i].Model},
                                      {"normal_stress", jsonOf((*planes)[i].NormalStress)},
                                      {"shear_force", jsonOf((*planes)[i].ShearForce)}};
        json["strength"] = strength;
    }
    addBoltJson(o.run, json);
    json["messages"] = o.messages;
    json["error"] = o.error ? Json(shownMessage(o.error->what())) : Json(nullptr);
    json["error_kind"] = o.error ? Json(errorKindKey(*o.error)) : Json(nullptr);
    return json;
}

namespace {

class JsonPrinter : public OutcomePrinter {
public:
    explicit JsonPrinter(std::ostream& out) : out_(out) {}
    void print(const BlockOutcome& o) override { out_ << jsonLine(outcomeJson(o)) << '\n'; }

private:
    std::ostream& out_;
};

// The workbook is assembled when every row is in: its columns are those of
// all the rows (a block with a strength of its own adds some).
class XlsxPrinter : public OutcomePrinter {
public:
    explicit XlsxPrinter(std::ostream& out) : out_(out) {}
    void print(const BlockOutcome& o) override { rows_.push_back(outcomeJson(o)); }
    void finish() override { out_ << xlsxWorkbook({xlsxSheetOf(rows_, "analyze")}); }

private:
    std::ostream& out_;
    std::vector<Json> rows_;
};

template <typename T, typename F> std::string orEmpty(const std::optional<T>& value, F field) {
    return value ? csvNumber(field(*value)) : "";
}

// The strength columns follow the others, in a batch where some block has a
// strength of its own; a batch without keeps the columns it always had.
class CsvPrinter : public OutcomePrinter {
public:
    CsvPrinter(std::ostream& out, bool strengthColumns) : out_(out), strengthColumns_(strengthColumns) {
        out_ << "block,contact,kc,volume,height,plunge" << fullCsvHeader() << ",messages,error";
        if (strengthColumns_)
            for (const char* column : {"strength", "normal_stress", "shear_force"})
                for (const char* plane : PlaneKeys) out_ << ',' << column << '.' << plane;
        // Added last, so that the columns before keep their places.
        out_ << ",kc_note,fs_note,fs_error,fs_error_kind\r\n";
    }
    void print(const BlockOutcome& o) override {
        std::string messages;
        for (std::size_t i = 0; i < o.messages.size(); ++i) messages += (i ? "; " : "") + o.messages[i];
        const KcFigures k = kcFigures(o);
        const FullFigures f = fullFigures(o.run);
        out_ << csvField(shownText(o.block)) << ',' << (o.safety ? contactName(o.safety->Contact) : "") << ','
             << csvOrEmpty(k.Factor) << ',' << csvOrEmpty(k.Volume) << ',' << csvOrEmpty(k.Height) << ','
             << csvOrEmpty(k.Plunge) << fullCsv(f) << ',' << csvField(messages) << ','
             << csvField(shownMessage(o.error ? o.error->what() : ""));
        if (strengthColumns_) {
            const auto planes = strengthFigures(o.run, true);
            for (int i = 0; i < 2; ++i) out_ << ',' << (planes ? (*planes)[i].Model : "");
            for (int i = 0; i < 2; ++i) out_ << ',' << (planes ? csvOrEmpty((*planes)[i].NormalStress) : "");
            for (int i = 0; i < 2; ++i) out_ << ',' << (planes ? csvOrEmpty((*planes)[i].ShearForce) : "");
        }
        out_ << ',' << k.Note.value_or("") << ',' << f.Note.value_or("") << ',' << csvField(f.Error.value_or("")) << ','
             << f.ErrorKind.value_or("") << "\r\n";
    }

private:
    std::ostream& out_;
    bool strengthColumns_;
};

// The further lines of a message under its first, in the table.
std::string indented(const std::string& message) {
    std::string text;
    for (const char c : message) text += c == '\n' ? std::string("\n    ") : std::string(1, c);
    return text;
}

// The table shows the figures as the analysis window and the report do.
class TextPrinter : public OutcomePrinter {
public:
    explicit TextPrinter(std::ostream& out) : out_(out) {
        if (messageLanguage() == Language::English)
            out_ << row({"block", "contact", "safety factor Kc", "volume", "height", "plunge", "safety factor Fs",
                         "state"})
                 << '\n';
        else
            out_ << row({"块体", "接触情况", "安全系数Kc", "体积", "高度", "交线倾角", "安全系数Fs", "稳定状态"})
                 << '\n';
    }
    void print(const BlockOutcome& o) override {
        ++blocks_;
        const KcFigures k = kcFigures(o);
        const FullFigures f = fullFigures(o.run);
        if (o.error || f.Error) ++failed_;
        FigureTexts figures{"-", "-", "-", "-"};
        if (o.geometry && o.safety) figures = figureTexts(*o.geometry, *o.safety);
        const FullFigureTexts full = o.run && o.run->Full ? fullFigureTexts(*o.run) : FullFigureTexts{};
        out_ << row({shownText(o.block), o.safety ? contactName(o.safety->Contact) : "-",
                     shownFigure(k.Factor, k.Note, figures.SafetyFactor), shownFigure(k.Volume, {}, figures.Volume),
                     shownFigure(k.Height, {}, figures.Height), shownFigure(k.Plunge, {}, figures.Plunge),
                     shownFigure(f.Factor, f.Note, full.Factor), full.State.empty() ? "-" : full.State})
             << '\n';
        for (const std::string& message : o.messages) out_ << "    " << message << '\n';
        if (o.error) out_ << inLanguage("    错误: ", "    error: ") << indented(shownMessage(o.error->what())) << '\n';
    }
    void finish() override {
        if (messageLanguage() == Language::English)
            out_ << "\nblocks: " << blocks_ << ", analysed: " << blocks_ - failed_ << ", failed: " << failed_ << '\n';
        else
            out_ << "\n共 " << blocks_ << " 个块体，分析完成 " << blocks_ - failed_ << " 个，失败 " << failed_
                 << " 个\n";
    }

private:
    static std::string row(const std::vector<std::string>& cells) {
        return tableRow(cells, {16, 18, 18, 14, 10, 10, 18, 10});
    }
    std::ostream& out_;
    int blocks_ = 0, failed_ = 0;
};

} // namespace

std::unique_ptr<OutcomePrinter> makeOutcomePrinter(const std::string& format, std::ostream& out, bool strengthColumns) {
    if (format == "json") return std::make_unique<JsonPrinter>(out);
    if (format == "csv") return std::make_unique<CsvPrinter>(out, strengthColumns);
    if (format == "xlsx") return std::make_unique<XlsxPrinter>(out);
    return std::make_unique<TextPrinter>(out);
}

} // namespace trelmox
