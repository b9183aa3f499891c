#include "report/combination_formats.h"

#include <cmath>
#include <cstdio>

#include "model/error.h"
#include "model/language.h"
#include "model/numtext.h"
#include "report/joint_tables.h"
#include "report/xlsx_table.h"

namespace trelmox {

namespace {

// The probabilistic figures of a pair as the JSON keys' values (null where
// none), in the order of ProbabilityKeys.
constexpr const char* ProbabilityKeys[] = {"pf", "p_sliding", "fs_mean", "failed_volume_mean", "too_small"};

Json probabilityJson(const PairProbability& p) {
    Json json;
    json["pf"] = jsonOf(p.Pf);
    json["p_sliding"] = jsonOf(p.PSliding);
    json["fs_mean"] = jsonOf(p.FsMean);
    json["failed_volume_mean"] = jsonOf(p.FailedVolumeMean);
    json["too_small"] = p.TooSmall;
    return json;
}

// The keys added to a row's JSON object.
void addProbabilityJson(const PairProbability* p, Json& json) {
    if (!p) return;
    const Json figures = probabilityJson(*p);
    for (const auto& [key, value] : figures.items()) json[key] = value;
}

std::string probabilityCsv(const PairProbability* p) {
    if (!p) return {};
    std::string row;
    for (const auto& value : probabilityJson(*p)) {
        row += ',';
        if (value.is_number_float())
            row += csvNumber(value.get<double>());
        else if (!value.is_null())
            row += value.dump();
    }
    return row;
}

// A measured plane is named by its line number, a set by its label.
Json planeJson(const CandidatePlane& plane) { return plane.Line ? Json(plane.Line) : Json(plane.Label); }

} // namespace

Json combinationJsonRow(const CombinationResult& c, std::size_t i) {
    const JointCombinations& run = c.Run;
    const PlanePair& p = c.pairs()[i];
    const CandidatePlane& a = run.Planes[p.First];
    const CandidatePlane& b = run.Planes[p.Second];
    const std::optional<Error> failure = pairFailure(p);
    Json json;
    json["plane1"] = planeJson(a);
    json["plane2"] = planeJson(b);
    json["dip1"] = jsonOf(a.Plane.DipAngle);
    json["dipdir1"] = jsonOf(a.Plane.DipDirection);
    json["dip2"] = jsonOf(b.Plane.DipAngle);
    json["dipdir2"] = jsonOf(b.Plane.DipDirection);
    json["kinematic"] = p.Kinematic;
    json["contact"] = p.Kc ? Json(contactName(p.Kc->Contact)) : Json(nullptr);
    json["kc"] = jsonOf(pairKc(p));
    json["fs"] = jsonOf(pairFs(p));
    json["fs_contact"] = p.Full ? Json(contactName(p.Full->Contact)) : Json(nullptr);
    json["error"] = failure ? Json(failure->what()) : Json(nullptr);
    json["error_kind"] = failure ? Json(errorKindKey(*failure)) : Json(nullptr);
    addProbabilityJson(c.probability(i), json);
    return json;
}

namespace {

void printJson(const CombinationResult& c, std::ostream& out) {
    for (std::size_t i = 0; i < c.pairs().size(); ++i) out << jsonLine(combinationJsonRow(c, i)) << '\n';
}

// The same sheet as the joints window exports, with the JSON's keys.
void printXlsx(const CombinationResult& c, std::ostream& out) {
    out << xlsxWorkbook({combinationsSheet(c.Run.Planes, c.pairs(), c.SortedPairs ? &c.Probabilities : nullptr)});
}

void printCsv(const CombinationResult& c, std::ostream& out) {
    const JointCombinations& run = c.Run;
    const auto factor = [](const std::optional<double>& f) { return f ? csvNumber(*f) : std::string(); };
    out << "plane1,plane2,dip1,dipdir1,dip2,dipdir2,kinematic,contact,kc,fs,fs_contact,error";
    if (c.SortedPairs)
        for (const char* key : ProbabilityKeys) out << ',' << key;
    out << "\r\n";
    for (std::size_t i = 0; i < c.pairs().size(); ++i) {
        const PlanePair& p = c.pairs()[i];
        const CandidatePlane& a = run.Planes[p.First];
        const CandidatePlane& b = run.Planes[p.Second];
        out << csvField(a.Label) << ',' << csvField(b.Label) << ',' << csvNumber(a.Plane.DipAngle) << ','
            << csvNumber(a.Plane.DipDirection) << ',' << csvNumber(b.Plane.DipAngle) << ','
            << csvNumber(b.Plane.DipDirection) << ',' << (p.Kinematic ? "true" : "false") << ','
            << (p.Kc ? contactName(p.Kc->Contact) : "") << ',' << factor(pairKc(p)) << ',' << factor(pairFs(p)) << ','
            << (p.Full ? contactName(p.Full->Contact) : "") << ',' << csvField(pairProblem(p).value_or(""))
            << probabilityCsv(c.probability(i)) << "\r\n";
    }
}

// Degrees to a tenth, as a compass gives them at best.
std::string degreesText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string attitudeText(const TPlaneAttitude& plane) {
    return degreesText(plane.DipAngle) + "/" + degreesText(plane.DipDirection);
}

void printSets(const CombinationResult& c, std::ostream& out) {
    const std::vector<std::size_t> widths = {12, 8, 14, 10, 10};
    out << (messageLanguage() == Language::English ? tableRow({"set", "count", "mean plane", "K", "95% cone"}, widths)
                                                   : tableRow({"组", "个数", "平均产状", "K", "95%置信锥"}, widths))
        << '\n';
    const auto optional = [](const std::optional<double>& v) { return v ? degreesText(*v) : std::string("-"); };
    // Coinciding poles have no finite K: the set has no scatter.
    const auto kappa = [&](const std::optional<double>& k) {
        return k && std::isinf(*k) ? std::string(inLanguage("无离散", "no scatter")) : optional(k);
    };
    for (const JointSet& set : c.Sets)
        out << tableRow({set.Label, std::to_string(set.Members.size()), attitudeText(set.Stats.MeanPlane),
                         kappa(set.Stats.Kappa), optional(set.Stats.Cone95)},
                        widths)
            << '\n';
    out << '\n';
}

void printText(const CombinationResult& c, std::ostream& out) {
    const JointCombinations& run = c.Run;
    const bool english = messageLanguage() == Language::English;
    if (english)
        out << "slope block " << run.BlockName << ": upper slope " << attitudeText(run.Slope.Top) << ", slope face "
            << attitudeText(run.Slope.Face) << ", slope height " << floatToText(run.Slope.Numbers.SlopeHeight)
            << (c.HasLoads ? ", with a loads file" : "") << '\n';
    else
        out << "斜坡块体 " << run.BlockName << "：坡顶面 " << attitudeText(run.Slope.Top) << "，坡面 "
            << attitudeText(run.Slope.Face) << "，坡高 " << floatToText(run.Slope.Numbers.SlopeHeight)
            << (c.HasLoads ? "，有荷载文件" : "") << '\n';
    out << measurementSummaryText(c.Summary) << "\n\n";
    if (!c.Sets.empty()) printSets(c, out);
    std::vector<std::size_t> widths = {8, 8, 12, 12, 12, 8, 10, 16, 10, 16};
    std::vector<std::string> header =
        english ? std::vector<std::string>{"plane 1",   "plane 2", "attitude 1", "attitude 2", "line plunge",
                                           "kinematic", "Kc",      "contact",    "Fs",         "contact (Fs)"}
                : std::vector<std::string>{"结构面1", "结构面2", "产状1",    "产状2", "交线倾伏",
                                           "运动学",  "Kc",      "接触情况", "Fs",    "接触情况(Fs)"};
    if (c.SortedPairs) {
        widths.insert(widths.end(), {10, 10, 10, 14});
        if (english)
            header.insert(header.end(), {"P(failure)", "P(sliding)", "mean Fs", "mean failed volume"});
        else
            header.insert(header.end(), {"P(破坏)", "P(滑动)", "平均Fs", "破坏楔块平均体积"});
    }
    out << tableRow(header, widths) << '\n';
    const auto fixed = [](const std::optional<double>& f) { return f ? floatToFixed4(*f) : std::string("-"); };
    for (std::size_t i = 0; i < c.pairs().size(); ++i) {
        const PlanePair& p = c.pairs()[i];
        const auto line = p.Intersection
                              ? degreesText(p.Intersection->Plunge) + "/" + degreesText(p.Intersection->Trend)
                              : std::string("-");
        std::vector<std::string> row = {run.Planes[p.First].Label,
                                        run.Planes[p.Second].Label,
                                        attitudeText(run.Planes[p.First].Plane),
                                        attitudeText(run.Planes[p.Second].Plane),
                                        line,
                                        p.Kinematic ? inLanguage("可滑动", "can slide") : inLanguage("否", "no"),
                                        fixed(pairKc(p)),
                                        p.Kc ? contactName(p.Kc->Contact) : "-",
                                        fixed(pairFs(p)),
                                        p.Full ? contactName(p.Full->Contact) : "-"};
        if (const PairProbability* probability = c.probability(i))
            row.insert(row.end(), {fixed(probability->Pf), fixed(probability->PSliding), fixed(probability->FsMean),
                                   fixed(probability->FailedVolumeMean)});
        out << tableRow(row, widths) << '\n';
        if (const auto problem = pairProblem(p)) out << inLanguage("    原因：", "    reason: ") << *problem << '\n';
    }
    out << '\n' << combinationsSummary(run.Planes, run.Pairs) << '\n';
    if (c.SortedPairs && !c.SortedPairs->empty()) {
        const PlanePair& likeliest = c.SortedPairs->front();
        if (english)
            out << "most likely to fail: " << run.Planes[likeliest.First].Label << " and "
                << run.Planes[likeliest.Second].Label << ", P(failure) = " << floatToFixed4(c.Probabilities.front().Pf)
                << '\n';
        else
            out << "破坏概率最大：" << run.Planes[likeliest.First].Label << " 与 " << run.Planes[likeliest.Second].Label
                << "，P(破坏) = " << floatToFixed4(c.Probabilities.front().Pf) << '\n';
    }
}

} // namespace

void printCombinations(const std::string& format, const CombinationResult& c, std::ostream& out) {
    if (format == "json")
        printJson(c, out);
    else if (format == "csv")
        printCsv(c, out);
    else if (format == "xlsx")
        printXlsx(c, out);
    else
        printText(c, out);
}

} // namespace trelmox
