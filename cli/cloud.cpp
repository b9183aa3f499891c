// trelmox-cli cloud: from a point cloud of a rock face to its facets and
// joint sets, with a measurement file for combinations and kinematics.
#include <charconv>
#include <cmath>
#include <ostream>

#include "analysis/cloud/cloud_analysis.h"
#include "analysis/cloud/cloud_settings.h"
#include "cli/cli.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/progress.h"
#include "model/error.h"
#include "model/files.h"
#include "cli/help_table.h"
#include "model/numtext.h"
#include "report/cloud_tables.h"

namespace trelmox::cli {

namespace {

double lengthOption(const ParsedArgs& parsed, const std::string& name, double fallback) {
    const auto text = parsed.last(name);
    if (!text) return fallback;
    double value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (text->empty() || error != std::errc() || end != text->data() + text->size() || !(value >= 0) ||
        !std::isfinite(value))
        throw UsageError("invalid value '" + *text + "' for --" + name + " (a number of at least 0)");
    return value;
}

struct CloudRun {
    std::string Points;
    CloudFrame Frame;
    CloudSettings Settings;
    std::string Format;
    std::optional<std::string> MeasurementsOut, FacetsOut;
};

CloudRun cloudRun(const ParsedArgs& parsed) {
    CloudRun run;
    if (parsed.positional.size() != 1) throw UsageError("give one point cloud file");
    run.Points = parsed.positional[0];
    run.Format = parsed.choice("format", {"text", "json", "csv", "xlsx"}, "text");
    const double voxel = lengthOption(parsed, "voxel", 0), minArea = lengthOption(parsed, "min-facet-area", 0);
    const std::size_t k =
        parsed.last("neighbours") ? integerArgument<std::size_t>(*parsed.last("neighbours"), "--neighbours") : 20;
    try {
        run.Settings = cloudSettings(voxel, k, minArea, parsed.last("sets").value_or("auto:6"),
                                     parsed.last("weight").value_or("area"));
    } catch (const Error& e) {
        throw UsageError(e.what());
    }
    if (auto frame = parsed.last("frame")) {
        try {
            run.Frame = parseCloudFrame(*frame);
        } catch (const Error& e) {
            throw UsageError(e.what());
        }
    }
    run.MeasurementsOut = parsed.last("measurements-out");
    run.FacetsOut = parsed.last("facets-out");
    for (const auto& out : {run.MeasurementsOut, run.FacetsOut})
        if (out && (out->empty() || std::filesystem::path(*out) == std::filesystem::path(run.Points)))
            throw UsageError("an output file must be named and must not be the point cloud");
    return run;
}

void printResult(const CloudResult& result, const CloudRun& run, std::ostream& to) {
    if (run.Format == "json") {
        for (const CloudJson& row : cloudFacetRows(result)) to << jsonLine(row) << '\n';
        for (const CloudJson& row : cloudSetRows(result)) to << jsonLine(row) << '\n';
    } else if (run.Format == "csv") {
        to << cloudCsv(result);
    } else if (run.Format == "xlsx") {
        to << xlsxWorkbook(cloudSheets(result));
    } else {
        to << cloudSummaryText(result, shownPath(run.Points));
    }
}

// Writes an output file, naming it in a failure.
void writeOutput(const std::string& file, const std::string& bytes) {
    try {
        writeFileAtomically(file, bytes);
    } catch (const Error& e) {
        throw e.prefixed(shownPath(file) + ": ").withPath(file);
    }
}

} // namespace

int runCloudCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ParsedArgs parsed;
    CloudRun run;
    std::optional<ResultDestination> destination;
    try {
        parsed = parseCommand("cloud", args);
        if (parsed.help) {
            out << commandUsage("cloud");
            return ExitOk;
        }
        run = cloudRun(parsed);
        destination.emplace(parsed, run.Format, parsed.positional, out);
    } catch (const UsageError& usage) {
        err << "trelmox-cli cloud: " << usage.what() << "\n\n" << commandUsage("cloud");
        return ExitUsage;
    }
    const InterruptGuard interrupt;
    try {
        destination->check();
        const PointCloud cloud = readCloudFile(run.Points, run.Frame);
        std::optional<CloudResult> result =
            analyseCloud(cloud, run.Settings, [&](std::uint64_t, std::uint64_t) { return !interrupt.interrupted(); });
        if (!result) {
            err << "trelmox-cli cloud: interrupted\n";
            return ExitInterrupted;
        }
        if (run.MeasurementsOut) writeOutput(*run.MeasurementsOut, cloudMeasurementsText(*result));
        if (run.FacetsOut) writeOutput(*run.FacetsOut, cloudFacetsPly(*result));
        printResult(*result, run, destination->stream());
        destination->finish();
    } catch (const Error& failure) {
        err << "trelmox-cli cloud: " << shownText(toolMessage(failure)) << '\n';
        return ExitBlockFailed;
    }
    return ExitOk;
}

} // namespace trelmox::cli
