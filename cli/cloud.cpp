// trelmox-cli cloud: from a point cloud of a rock face to its facets and
// joint sets, with a measurement file for combinations and kinematics.
#include <charconv>
#include <cmath>
#include <ostream>

#include "analysis/cloud/cloud_analysis.h"
#include "cli/cli.h"
#include "cli/cloud.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/progress.h"
#include "model/error.h"
#include "model/files.h"
#include "model/numtext.h"
#include "report/cloud_tables.h"

namespace trelmox::cli {

namespace {

const char* const CloudUsage =
    "usage: trelmox-cli cloud POINTS [--voxel M] [--neighbours K] [--min-facet-area A] [--sets N|auto:N]\n"
    "           [--weight area|count] [--frame XYZ] [--format text|json|csv|xlsx] [--output FILE]\n"
    "           [--measurements-out FILE.csv] [--facets-out FILE.ply]\n"
    "\n"
    "Finds the planar facets of a point cloud of a rock face (PLY ASCII or binary,\n"
    "LAS 1.0-1.4 uncompressed, or XYZ text), groups them into joint sets with\n"
    "their Fisher statistics, and tells the slope face apart.\n"
    "\n"
    "  --voxel M          thin the cloud to one point (the centroid) per cube of\n"
    "                     edge M first (default 0: no thinning)\n"
    "  --neighbours K     neighbours of a point's normal and of the facets'\n"
    "                     growing, 3..200 (default 20)\n"
    "  --min-facet-area A drop facets of a smaller area (default 0)\n"
    "  --sets N           N joint sets (the face apart)\n"
    "  --sets auto:N      the number of joint sets chosen up to N by the Bayesian\n"
    "                     information criterion (default auto:6)\n"
    "  --weight area|count  a facet counts by its area (default) or as one plane\n"
    "  --frame XYZ        the directions of the file's x, y and z axes, three of\n"
    "                     E W N S U D (default ENU: x east, y north, z up)\n"
    "  --format text|json|csv|xlsx  a summary (default); one JSON object per facet\n"
    "                     per line (facet, dip, dipdir, area, extent, x, y, z, rms,\n"
    "                     points, set), then one per set (set, dip, dipdir, k,\n"
    "                     cone95, count, area, extent_mean; the face last as set\n"
    "                     \"坡面\"); CSV of the two tables; or a workbook\n"
    "  --output FILE      write the output to FILE instead of standard output\n"
    "  --measurements-out FILE  a measurement file (dip, dipdir, set, weight) of\n"
    "                     the joint facets, for combinations, kinematics and the\n"
    "                     joints window\n"
    "  --facets-out FILE  the thinned points as a PLY coloured by set\n"
    "\n"
    "Exit status: 0 done, 1 the cloud could not be read or has no facet,\n"
    "2 usage error, 130 interrupted.\n";

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

CloudSettings cloudSettings(double voxel, std::size_t neighbours, double minFacetArea, const std::string& sets,
                            const std::string& weight) {
    const auto refused = [](const std::string& message, const char* option) { return Error::refused(message, option); };
    CloudSettings settings;
    if (!(voxel >= 0 && std::isfinite(voxel))) throw refused("--voxel should be a number of at least 0", "voxel");
    if (!(minFacetArea >= 0 && std::isfinite(minFacetArea)))
        throw refused("--min-facet-area should be a number of at least 0", "min-facet-area");
    if (neighbours < 3 || neighbours > 200) throw refused("--neighbours should be 3 to 200", "neighbours");
    settings.Voxel = voxel;
    settings.Facets.MinArea = minFacetArea;
    settings.Facets.Neighbours = neighbours;
    const bool automatic = sets.starts_with("auto:");
    const std::string count = automatic ? sets.substr(5) : sets;
    int n = 0;
    const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), n);
    if (count.empty() || error != std::errc() || end != count.data() + count.size() || n < 1 || n > 50)
        throw refused("invalid value '" + sets + "' for --sets (N or auto:N with 1 <= N <= 50)", "sets");
    settings.Sets.Sets = automatic ? 0 : n;
    settings.Sets.MaxSets = n;
    if (weight != "area" && weight != "count")
        throw refused("invalid value '" + weight + "' for --weight (area or count)", "weight");
    settings.Sets.ByArea = weight == "area";
    return settings;
}

int runCloudCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ParsedArgs parsed;
    CloudRun run;
    std::optional<ResultDestination> destination;
    try {
        parsed = parseArgs(args, {"voxel", "neighbours", "min-facet-area", "sets", "weight", "frame", "format",
                                  "output", "measurements-out", "facets-out"});
        if (parsed.help) {
            out << CloudUsage;
            return ExitOk;
        }
        run = cloudRun(parsed);
        destination.emplace(parsed, run.Format, parsed.positional, out);
    } catch (const UsageError& usage) {
        err << "trelmox-cli cloud: " << usage.what() << "\n\n" << CloudUsage;
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
