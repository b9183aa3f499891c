// trelmox-cli kinematics: the planar, wedge, flexural and direct toppling
// checks of a measurement file against every sector of a slope, with the
// critical set or pair and its factor where one applies.
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>

#include "analysis/joints/kinematics.h"
#include "analysis/joints/measurements.h"
#include "analysis/joints/sector_run.h"
#include "analysis/joints/sectors.h"
#include "analysis/joints/sets.h"
#include "cli/cli.h"
#include "cli/help_table.h"
#include "cli/options.h"
#include "cli/progress.h"
#include "model/error.h"
#include "model/language.h"
#include "model/numtext.h"
#include "report/failure_text.h"
#include "report/json_format.h"
#include "report/kinematics_formats.h"

namespace trelmox::cli {

namespace {

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

KinematicRun analyse(const std::string& sectorFile, const std::string& measurementFile, double friction, double lateral,
                     const ProgressCallback& progress) {
    const std::vector<SlopeSector> sectors = fromFile(sectorFile, [&] { return readSectorFile(sectorFile); });
    return kinematicRun(sectors, fromFile(measurementFile, [&] { return readMeasurementFile(measurementFile); }),
                        measurementFile, friction, lateral, progress);
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
    KinematicRun run;
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
    printKinematics(format, run, friction, lateral, out);
    return ExitOk;
}

} // namespace trelmox::cli
