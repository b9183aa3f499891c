// trelmox-cli planar: the factor of a planar block per metre of slope, the
// textbook's two-dimensional limit equilibrium, from options alone.
#include <nlohmann/json.hpp>
#include <ostream>

#include "analysis/planar.h"
#include "cli/cli.h"
#include "cli/help_table.h"
#include "cli/options.h"
#include "model/error.h"
#include "model/language.h"
#include "model/numtext.h"
#include "report/json_format.h"

namespace trelmox::cli {

namespace {

double number(const ParsedArgs& parsed, const std::string& name) {
    const std::string text = *parsed.last(name);
    try {
        return textToFloat(text);
    } catch (const Error&) {
        throw UsageError("invalid number '" + text + "' for --" + name);
    }
}

double required(const ParsedArgs& parsed, const std::string& name) {
    if (!parsed.last(name)) throw UsageError("--" + name + " is required");
    return number(parsed, name);
}

double optional(const ParsedArgs& parsed, const std::string& name, double fallback) {
    return parsed.last(name) ? number(parsed, name) : fallback;
}

PlanarSlope slopeOf(const ParsedArgs& parsed) {
    if (!parsed.positional.empty()) throw UsageError("unexpected argument '" + parsed.positional.front() + "'");
    PlanarSlope s;
    s.Height = required(parsed, "height");
    s.FaceDip = required(parsed, "face-dip");
    s.PlaneDip = required(parsed, "plane-dip");
    s.TopDip = optional(parsed, "top-dip", 0);
    if (parsed.last("crack-distance")) {
        s.CrackDistance = number(parsed, "crack-distance");
        // The option places the crack in the upper slope only.
        if (!(*s.CrackDistance >= 0)) throw UsageError("--crack-distance must not be negative");
    }
    s.UnitWeight = required(parsed, "unit-weight");
    s.WaterUnitWeight = optional(parsed, "water-unit-weight", 10);
    s.WaterFill = optional(parsed, "water-fill", 0);
    s.Cohesion = required(parsed, "cohesion");
    s.Friction = required(parsed, "friction");
    s.Seismic = optional(parsed, "k", 0);
    if (parsed.last("bolt-force")) {
        if (!parsed.last("bolt-plunge")) throw UsageError("--bolt-force needs --bolt-plunge");
        s.BoltForce = number(parsed, "bolt-force");
        s.BoltPlunge = number(parsed, "bolt-plunge");
    } else if (parsed.last("bolt-plunge") || parsed.last("bolt-mode")) {
        throw UsageError("--bolt-plunge and --bolt-mode need --bolt-force");
    }
    s.Bolt =
        parsed.choice("bolt-mode", {"active", "passive"}, "active") == "passive" ? BoltMode::Passive : BoltMode::Active;
    return s;
}

// "Fs = 1.2345", or above the bound "Fs > 100" with why.
std::string factorLine(const PlanarResult& r) {
    if (!r.Note) return "Fs = " + floatToFixed4(r.Factor);
    const std::string bound = "Fs > " + floatToText(FactorBound);
    if (*r.Note == FactorNote::AboveBound) return bound;
    return bound + inLanguage("（沿滑面几乎不受下滑力）", " (next to no force drives the block down the plane)");
}

void printText(const PlanarResult& r, std::ostream& out) {
    if (messageLanguage() == Language::English) {
        out << "planar sliding block (per metre of slope)\n"
            << "tension crack: " << floatToFixed4(r.CrackDistance) << " from the crest, depth "
            << floatToFixed4(r.CrackDepth) << '\n'
            << "sliding plane length A = " << floatToFixed4(r.PlaneLength) << '\n'
            << "block weight W = " << floatToFixed4(r.Weight) << '\n'
            << "water force on the sliding plane U = " << floatToFixed4(r.WaterForcePlane)
            << ", water force in the crack V = " << floatToFixed4(r.WaterForceCrack) << '\n'
            << "normal force N = " << floatToFixed4(r.NormalForce)
            << ", driving force = " << floatToFixed4(r.DrivingForce)
            << ", resisting force = " << floatToFixed4(r.ResistingForce) << '\n'
            << factorLine(r) << (r.LiftOff ? " (block lifts off the sliding plane)" : "") << '\n';
        return;
    }
    out << "平面滑动块体（每延米）\n"
        << "张裂缝：距坡顶边缘 " << floatToFixed4(r.CrackDistance) << "，深 " << floatToFixed4(r.CrackDepth) << '\n'
        << "滑面长度 A = " << floatToFixed4(r.PlaneLength) << '\n'
        << "块体重量 W = " << floatToFixed4(r.Weight) << '\n'
        << "滑面水压力 U = " << floatToFixed4(r.WaterForcePlane)
        << "，裂缝水压力 V = " << floatToFixed4(r.WaterForceCrack) << '\n'
        << "法向力 N = " << floatToFixed4(r.NormalForce) << "，下滑力 = " << floatToFixed4(r.DrivingForce)
        << "，抗滑力 = " << floatToFixed4(r.ResistingForce) << '\n'
        << factorLine(r) << (r.LiftOff ? "（块体脱离滑面）" : "") << '\n';
}

} // namespace

int runPlanarCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ParsedArgs parsed;
    PlanarSlope slope;
    std::string format;
    try {
        parsed = parseCommand("planar", args);
        if (parsed.help) {
            out << commandUsage("planar");
            return ExitOk;
        }
        format = parsed.choice("format", {"text", "json"}, "text");
        slope = slopeOf(parsed);
    } catch (const UsageError& usage) {
        err << "trelmox-cli planar: " << usage.what() << "\n\n" << commandUsage("planar");
        return ExitUsage;
    }
    nlohmann::ordered_json json = {
        {"fs", nullptr},           {"crack_depth", nullptr},       {"weight", nullptr},
        {"plane_length", nullptr}, {"water_force_plane", nullptr}, {"water_force_crack", nullptr},
        {"error", nullptr},        {"fs_note", nullptr},           {"error_kind", nullptr}};
    try {
        const PlanarResult r = planarAnalysis(slope);
        if (format == "text") {
            printText(r, out);
            return ExitOk;
        }
        if (r.Note)
            json["fs_note"] = factorNoteKey(*r.Note);
        else
            json["fs"] = r.Factor;
        json["crack_depth"] = r.CrackDepth;
        json["weight"] = r.Weight;
        json["plane_length"] = r.PlaneLength;
        json["water_force_plane"] = r.WaterForcePlane;
        json["water_force_crack"] = r.WaterForceCrack;
        out << json.dump() << '\n';
        return ExitOk;
    } catch (const Error& failure) {
        err << "trelmox-cli planar: " << failure.what() << '\n';
        if (format == "json") {
            json["error"] = failure.what();
            json["error_kind"] = errorKindKey(failure);
            out << json.dump() << '\n';
        }
        return ExitBlockFailed;
    }
}

} // namespace trelmox::cli
