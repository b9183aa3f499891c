// trelmox-cli planar: the factor of a planar block per metre of slope, the
// textbook's two-dimensional limit equilibrium, from options alone.
#include <nlohmann/json.hpp>
#include <ostream>

#include "analysis/planar.h"
#include "cli/cli.h"
#include "cli/options.h"
#include "cli/output.h"
#include "model/error.h"
#include "model/language.h"
#include "model/numtext.h"

namespace trelmox::cli {

namespace {

const char* const PlanarUsage =
    "usage: trelmox-cli planar --height H --face-dip DEG --plane-dip DEG [--top-dip DEG]\n"
    "           [--crack-distance D] --unit-weight G [--water-unit-weight GW] [--water-fill FRACTION]\n"
    "           --cohesion C --friction F [--k K] [--bolt-force T --bolt-plunge DEG\n"
    "           [--bolt-mode active|passive]] [--format text|json]\n"
    "\n"
    "The safety factor of a block sliding on one plane that daylights in the slope\n"
    "face, per metre of slope (two-dimensional limit equilibrium):\n"
    "\n"
    "  --height H          slope height, > 0\n"
    "  --face-dip DEG      dip of the slope face, up to 90\n"
    "  --plane-dip DEG     dip of the sliding plane, > 0 and flatter than the face\n"
    "  --top-dip DEG       dip of the upper slope, away from the crest (default 0)\n"
    "  --crack-distance D  a vertical tension crack D behind the crest, measured\n"
    "                      horizontally (>= 0); without it the crack stands where a\n"
    "                      dry block has its least factor\n"
    "  --unit-weight G     unit weight of the rock\n"
    "  --water-unit-weight GW  unit weight of water (default 10)\n"
    "  --water-fill FRACTION   share of the crack's depth filled with water, 0 dry\n"
    "                      (default) to 1 full; the pressure on the plane falls\n"
    "                      linearly from the crack's foot to the toe\n"
    "  --cohesion C        cohesion of the plane\n"
    "  --friction F        friction coefficient of the plane (tan phi)\n"
    "  --k K               seismic coefficient: a horizontal force K W out of the slope\n"
    "  --bolt-force T      bolt force per metre of slope, plunging --bolt-plunge\n"
    "                      degrees below the horizontal into the slope; active (the\n"
    "                      default) lessens the driving force, passive adds its pull\n"
    "                      along the plane to the resistance; both press the block\n"
    "                      onto the plane\n"
    "  --format text|json  a readable list (default) or one JSON object with the\n"
    "                      keys fs, crack_depth, weight, plane_length,\n"
    "                      water_force_plane, water_force_crack, error, fs_note\n"
    "                      and error_kind (fs and the figures null when the\n"
    "                      analysis fails)\n"
    "\n"
    "Lengths, weights and forces in one consistent system of units; a block that\n"
    "lifts off the plane has the factor 0. A factor above 100 is shown as\n"
    "\"> 100\" (fs null, fs_note \"above 100\", or \"no driving force\" when the\n"
    "force down the plane is below 1e-9 of the weight). A crack that cuts off no\n"
    "block (at the foot of a vertical face) is refused, and an overflow names the\n"
    "input it comes from.\n"
    "\n"
    "Exit status: 0 done, 1 the block cannot be analysed, 2 usage error.\n";

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
        parsed = parseArgs(args, {"height", "face-dip", "plane-dip", "top-dip", "crack-distance", "unit-weight",
                                  "water-unit-weight", "water-fill", "cohesion", "friction", "k", "bolt-force",
                                  "bolt-plunge", "bolt-mode", "format"});
        if (parsed.help) {
            out << PlanarUsage;
            return ExitOk;
        }
        format = parsed.choice("format", {"text", "json"}, "text");
        slope = slopeOf(parsed);
    } catch (const UsageError& usage) {
        err << "trelmox-cli planar: " << usage.what() << "\n\n" << PlanarUsage;
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
