#include "report/kinematics_formats.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "model/language.h"
#include "model/numtext.h"
#include "model/wording.h"

namespace trelmox {

namespace {

const std::optional<CriticalChoice>& choiceOf(const SectorRun& s, KinematicMode mode) {
    static const std::optional<CriticalChoice> none;
    if (mode == KinematicMode::Planar) return s.Factors.Planar;
    if (mode == KinematicMode::Wedge) return s.Factors.Wedge;
    return none;
}

// Why the mode's factor was not worked out, where the wedges' was not: the
// note, or the failure of the first wedge that can slide.
std::string factorNoteOf(const SectorRun& s, KinematicMode mode) {
    if (mode != KinematicMode::Wedge) return {};
    if (const auto& failure = s.Factors.WedgeFailure)
        return say("楔块安全系数未能计算：", "no wedge safety factor: ") + failure->what();
    return s.Factors.WedgeNote;
}

Json candidateJson(const CandidatePlane& c) {
    if (c.Line) return c.Line;
    return c.Label;
}

std::string choiceText(const KinematicRun& run, const CriticalChoice& c) {
    const auto name = [](const CandidatePlane& p) { return p.Line ? std::to_string(p.Line) : p.Label; };
    std::string text = name(run.Candidates[c.First]);
    if (c.Pair) text += "×" + name(run.Candidates[c.Second]);
    return text;
}

// The second zone of a mode: the wedges' secondary zone, oblique toppling.
const char* secondKey(KinematicMode mode) {
    if (mode == KinematicMode::Wedge) return "secondary";
    if (mode == KinematicMode::DirectToppling) return "oblique";
    return nullptr;
}

} // namespace

std::vector<Json> kinematicsJsonRows(const KinematicRun& run) {
    std::vector<Json> rows;
    for (const SectorRun& s : run.Sectors)
        for (KinematicMode mode : KinematicModes) {
            const ModeResult& result = s.Result.mode(mode);
            const KinematicCount& count = result.All;
            Json line = {{"sector", s.Sector.Name},
                         {"mode", kinematicModeKey(mode)},
                         {"critical", count.Critical},
                         {"total", count.Total},
                         {"percent", count.percent()},
                         {"critical_set", nullptr},
                         {"fs", nullptr},
                         {"fs_note", nullptr},
                         {"secondary_critical", nullptr},
                         {"secondary_percent", nullptr},
                         {"oblique_critical", nullptr},
                         {"oblique_percent", nullptr}};
            if (const char* second = secondKey(mode)) {
                line[std::string(second) + "_critical"] = result.Secondary.Critical;
                line[std::string(second) + "_percent"] = result.Secondary.percent();
            }
            if (const auto& c = choiceOf(s, mode)) {
                if (c->Pair)
                    line["critical_set"] = {candidateJson(run.Candidates[c->First]),
                                            candidateJson(run.Candidates[c->Second])};
                else
                    line["critical_set"] = candidateJson(run.Candidates[c->First]);
                line["fs"] = c->Factor;
            }
            if (const std::string note = factorNoteOf(s, mode); !note.empty()) line["fs_note"] = note;
            rows.push_back(std::move(line));
        }
    return rows;
}

namespace {

void printJson(const KinematicRun& run, std::ostream& out) {
    for (const Json& line : kinematicsJsonRows(run)) out << line.dump() << '\n';
}

void printCsv(const KinematicRun& run, std::ostream& out) {
    out << "sector,mode,critical,total,percent,critical_set,fs,fs_note,secondary_critical,secondary_percent,"
           "oblique_critical,oblique_percent\r\n";
    for (const SectorRun& s : run.Sectors)
        for (KinematicMode mode : KinematicModes) {
            const ModeResult& result = s.Result.mode(mode);
            const KinematicCount& count = result.All;
            const auto& c = choiceOf(s, mode);
            out << csvField(s.Sector.Name) << ',' << kinematicModeKey(mode) << ',' << count.Critical << ','
                << count.Total << ',' << nlohmann::json(count.percent()).dump() << ','
                << (c ? csvField(choiceText(run, *c)) : "") << ',' << (c ? nlohmann::json(c->Factor).dump() : "") << ','
                << csvField(factorNoteOf(s, mode));
            const std::string second =
                std::to_string(result.Secondary.Critical) + ',' + nlohmann::json(result.Secondary.percent()).dump();
            out << (mode == KinematicMode::Wedge            ? "," + second + ",,"
                    : mode == KinematicMode::DirectToppling ? ",,," + second
                                                            : ",,,,")
                << "\r\n";
        }
}

std::string percentText(const KinematicCount& c) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f%%", c.percent());
    return text;
}

std::string countText(const KinematicCount& c) {
    if (messageLanguage() == Language::English)
        return std::to_string(c.Critical) + "/" + std::to_string(c.Total) + " (" + percentText(c) + ")";
    return std::to_string(c.Critical) + "/" + std::to_string(c.Total) + "（" + percentText(c) + "）";
}

void printText(const KinematicRun& run, double friction, double lateral, std::ostream& out) {
    const bool english = messageLanguage() == Language::English;
    out << measurementSummaryText(run.Measurements.Summary) << '\n';
    if (english)
        out << "friction angle " << floatToText(friction) << "°, lateral limits ±" << floatToText(lateral) << "°\n";
    else
        out << "摩擦角 " << floatToText(friction) << "°，侧向界限 ±" << floatToText(lateral) << "°\n";
    const std::vector<std::size_t> widths = {10, 22, 14, 10};
    for (const SectorRun& s : run.Sectors) {
        if (english)
            out << "\nsector " << s.Sector.Name << ": slope face " << floatToText(s.Sector.Dip) << "/"
                << floatToText(s.Sector.DipDirection) << (s.Sector.Dip > 90 ? " (overhanging)" : "") << '\n'
                << tableRow({"failure mode", "critical/total", "critical set", "Fs"}, widths) << '\n';
        else
            out << "\n分区 " << s.Sector.Name << "：坡面 " << floatToText(s.Sector.Dip) << "/"
                << floatToText(s.Sector.DipDirection) << (s.Sector.Dip > 90 ? "（倒坡）" : "") << '\n'
                << tableRow({"破坏模式", "临界数/总数", "临界组", "Fs"}, widths) << '\n';
        for (KinematicMode mode : KinematicModes) {
            const ModeResult& m = s.Result.mode(mode);
            const auto& c = choiceOf(s, mode);
            out << tableRow({kinematicModeName(mode), countText(m.All), c ? choiceText(run, *c) : "-",
                             c ? floatToFixed4(c->Factor) : "-"},
                            widths)
                << '\n';
        }
        const ModeResult& wedge = s.Result.mode(KinematicMode::Wedge);
        const ModeResult& direct = s.Result.mode(KinematicMode::DirectToppling);
        if (english)
            out << "  wedges in the secondary critical zone (sliding on one plane) " << countText(wedge.Secondary)
                << "; oblique toppling " << countText(direct.Secondary) << "; planes within the base envelope "
                << countText(direct.BasePlanes) << '\n';
        else
            out << "  次要临界区（沿单一结构面滑动）的楔块 " << countText(wedge.Secondary) << "；斜向倾倒 "
                << countText(direct.Secondary) << "；底面包络内的结构面 " << countText(direct.BasePlanes) << '\n';
        if (const std::string note = factorNoteOf(s, KinematicMode::Wedge); !note.empty()) out << "  " << note << '\n';
        // The sets (or pairs of sets) that hold critical planes or lines.
        for (KinematicMode mode : KinematicModes)
            for (const GroupCount& g : s.Result.mode(mode).Groups)
                if (g.Count.Critical)
                    out << "  " << kinematicModeName(mode) << " " << g.Label << inLanguage("：", ": ")
                        << countText(g.Count) << '\n';
    }
}

} // namespace

void printKinematics(const std::string& format, const KinematicRun& run, double friction, double lateral,
                     std::ostream& out) {
    if (format == "json")
        printJson(run, out);
    else if (format == "csv")
        printCsv(run, out);
    else
        printText(run, friction, lateral, out);
}

} // namespace trelmox
