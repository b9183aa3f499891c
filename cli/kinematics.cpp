// trelmox-cli kinematics: the planar, wedge, flexural and direct toppling
// checks of a measurement file against every sector of a slope, with the
// critical set or pair and its factor where one applies.
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>

#include "analysis/joints/kinematics.h"
#include "analysis/joints/measurements.h"
#include "analysis/joints/sectors.h"
#include "analysis/joints/sets.h"
#include "cli/cli.h"
#include "cli/help_table.h"
#include "cli/options.h"
#include "report/json_format.h"
#include "report/failure_text.h"
#include "cli/progress.h"
#include "cli/results_json.h"
#include "model/error.h"
#include "model/language.h"
#include "model/numtext.h"

namespace trelmox::cli {

namespace {

struct SectorRun {
    SlopeSector Sector;
    KinematicResult Result;
    SectorFactors Factors;
};

struct Run {
    std::vector<CandidatePlane> Candidates;
    std::vector<SectorRun> Sectors;
    MeasurementFile Measurements;
};

double angleOption(const ParsedArgs& parsed, const std::string& name, double fallback, double low, double high,
                   bool highIncluded) {
    const auto text = parsed.last(name);
    if (!text) return fallback;
    double value = 0;
    try {
        value = textToFloat(*text);
    } catch (const Error&) {
        throw UsageError("invalid number '" + *text + "' for --" + name);
    }
    if (!(value >= low && (highIncluded ? value <= high : value < high)))
        throw UsageError("--" + name + " must lie between " + floatToText(low) + " and " + floatToText(high) +
                         (highIncluded ? "" : " (not included)"));
    return value;
}

// Runs `step`, naming the file in its failure.
template <typename Step> auto fromFile(const std::string& file, Step step) {
    try {
        return step();
    } catch (const Error& e) {
        throw e.prefixed(file + ": ").withPath(file);
    }
}

Run analyse(const std::vector<SlopeSector>& sectors, MeasurementFile measurements, const std::string& measurementFile,
            double friction, double lateral, const ProgressCallback& progress = {}) {
    Run run;
    run.Measurements = std::move(measurements);
    const std::vector<Measurement>& planes = run.Measurements.Planes;
    const std::vector<JointSet> sets =
        run.Measurements.Summary.Sets.empty() ? std::vector<JointSet>{} : labelledSets(planes);
    run.Candidates = sets.empty() ? measuredCandidates(planes)
                                  : fromFile(measurementFile, [&] { return setCandidates(planes, sets); });
    std::vector<KinematicSlope> slopes;
    for (const SlopeSector& s : sectors) slopes.push_back(kinematicSlope(s, friction, lateral));
    auto results = kinematicAnalysis(planes, sets, slopes, 0, true, progress);
    if (!results) return run; // cancelled: no sectors
    for (std::size_t k = 0; k < sectors.size(); ++k)
        run.Sectors.push_back(
            {sectors[k], (*results)[k], sectorFactors(sectors[k], run.Candidates, friction, lateral)});
    return run;
}

Run analyse(const std::string& sectorFile, const std::string& measurementFile, double friction, double lateral,
            const ProgressCallback& progress) {
    const std::vector<SlopeSector> sectors = fromFile(sectorFile, [&] { return readSectorFile(sectorFile); });
    return analyse(sectors, fromFile(measurementFile, [&] { return readMeasurementFile(measurementFile); }),
                   measurementFile, friction, lateral, progress);
}

const std::optional<CriticalChoice>& choiceOf(const SectorRun& s, KinematicMode mode) {
    static const std::optional<CriticalChoice> none;
    if (mode == KinematicMode::Planar) return s.Factors.Planar;
    if (mode == KinematicMode::Wedge) return s.Factors.Wedge;
    return none;
}

// Why the mode's factor was not worked out, where the wedges' was not.
const std::string& factorNoteOf(const SectorRun& s, KinematicMode mode) {
    static const std::string none;
    return mode == KinematicMode::Wedge ? s.Factors.WedgeNote : none;
}

Json candidateJson(const CandidatePlane& c) {
    if (c.Line) return c.Line;
    return c.Label;
}

std::string choiceText(const Run& run, const CriticalChoice& c) {
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

std::vector<Json> jsonRows(const Run& run) {
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
            if (const std::string& note = factorNoteOf(s, mode); !note.empty()) line["fs_note"] = note;
            rows.push_back(std::move(line));
        }
    return rows;
}

void printJson(const Run& run, std::ostream& out) {
    for (const Json& line : jsonRows(run)) out << line.dump() << '\n';
}

void printCsv(const Run& run, std::ostream& out) {
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

void printText(const Run& run, double friction, double lateral, std::ostream& out) {
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
        if (!s.Factors.WedgeNote.empty()) out << "  " << s.Factors.WedgeNote << '\n';
        // The sets (or pairs of sets) that hold critical planes or lines.
        for (KinematicMode mode : KinematicModes)
            for (const GroupCount& g : s.Result.mode(mode).Groups)
                if (g.Count.Critical)
                    out << "  " << kinematicModeName(mode) << " " << g.Label << inLanguage("：", ": ")
                        << countText(g.Count) << '\n';
    }
}

} // namespace

int runKinematicsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ParsedArgs parsed;
    std::string format;
    double friction = 30, lateral = 20;
    try {
        parsed = parseCommand("kinematics", args);
        if (parsed.help) {
            out << commandUsage("kinematics");
            return ExitOk;
        }
        format = parsed.choice("format", {"text", "json", "csv"}, "text");
        friction = angleOption(parsed, "friction", 30, 0, 90, false);
        lateral = angleOption(parsed, "lateral", 20, 0, 180, true);
        if (parsed.positional.size() != 2) throw UsageError("give a sectors file and a measurement file");
    } catch (const UsageError& usage) {
        err << "trelmox-cli kinematics: " << usage.what() << "\n\n" << commandUsage("kinematics");
        return ExitUsage;
    }
    Run run;
    // Some ten million pairs a second: a survey of many thousand planes
    // takes long enough to be watched.
    ProgressLine progress(err, !parsed.flags.contains("quiet") && isTerminal(err), "pairs");
    const InterruptGuard interrupt;
    try {
        run = analyse(parsed.positional[0], parsed.positional[1], friction, lateral,
                      [&](std::uint64_t done, std::uint64_t total) {
                          progress.update(done, total);
                          return !interrupt.interrupted();
                      });
    } catch (const Error& failure) {
        progress.clear();
        err << "trelmox-cli kinematics: " << toolMessage(failure) << '\n';
        return ExitBlockFailed;
    }
    progress.clear();
    if (interrupt.interrupted()) {
        err << "trelmox-cli kinematics: interrupted\n";
        return ExitInterrupted;
    }
    if (format == "json")
        printJson(run, out);
    else if (format == "csv")
        printCsv(run, out);
    else
        printText(run, friction, lateral, out);
    return ExitOk;
}

std::vector<Json> kinematicsRows(const std::filesystem::path& sectorFile, MeasurementFile measurements,
                                 const std::filesystem::path& measurementName, double friction, double lateral) {
    if (!(friction >= 0 && friction < 90))
        throw Error::refused("the friction angle must lie between 0 and 90 (not included)", "friction");
    if (!(lateral >= 0 && lateral <= 180))
        throw Error::refused("the lateral limits must lie between 0 and 180", "lateral");
    const std::string file = sectorFile.string();
    const std::vector<SlopeSector> sectors = fromFile(file, [&] { return readSectorFile(sectorFile); });
    return jsonRows(analyse(sectors, std::move(measurements), measurementName.string(), friction, lateral));
}

} // namespace trelmox::cli
