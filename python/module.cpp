// _trelmox: the engine for Python. Every figure comes from the same runs,
// commands and formatters the command-line tool uses (the block run, the
// tool's JSON of a block, the probabilistic and sensitivity studies of
// commands/), so a script gets the tool's results to the last bit; the
// measurements and the combinations are in joints.cpp, the point clouds in
// cloud.cpp. The pure-Python layer (trelmox/__init__.py) wraps the dicts
// in result objects.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <variant>
#include <string>
#include <system_error>
#include <vector>

#include "analysis/block_analysis.h"
#include "analysis/block_outcome.h"
#include "analysis/probabilistic/distribution.h"
#include "analysis/probabilistic/distribution_options.h"
#include "analysis/probabilistic/kernel.h"
#include "analysis/probabilistic/probabilistic.h"
#include "analysis/probabilistic/reliability.h"
#include "analysis/probabilistic/sensitivity.h"
#include "analysis/wedge.h"
#include "commands/block_exports.h"
#include "commands/study_commands.h"
#include "document/block_outcome.h"
#include "document/report_inputs.h"
#include "drawing/figure.h"
#include "model/attitude.h"
#include "model/block_loads.h"
#include "model/block_names.h"
#include "model/companion.h"
#include "model/datafile.h"
#include "model/error.h"
#include "model/files.h"
#include "model/loads.h"
#include "model/numtext.h"
#include "model/output_guard.h"
#include "model/shown_text.h"
#include "model/wording.h"
#include "python/py_block.h"
#include "python/py_objects.h"
#include "python/raise_error.h"
#include "python/reliability_result.h"
#include "report/calculation_report.h"
#include "report/json_format.h"
#include "report/outcome_formats.h"
#include "report/study_formats.h"
#include "trelmox/version.h"

namespace py = pybind11;
using namespace trelmox;
using namespace trelmox::python;

// The point clouds' functions (cloud.cpp).
void addCloudBindings(py::module_& m);

namespace {

// ---- blocks ------------------------------------------------------------

// A number as the shortest text that reads back to the same double: what a
// person would have had to type to give exactly this value.
std::string numberText(double value, const char* name) {
    if (!std::isfinite(value)) throw Error::refused(std::string(name) + " must be a finite number", name);
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return std::string(text, error == std::errc() ? end : text);
}

WedgeLoads loadsFromJson(const std::string& text) { return parseCompanion(text, "loads"); }

using Attitude = std::pair<double, double>; // dip, dip direction

// The Python arguments of the four planes.
constexpr const char* PlaneArguments[PlaneCount] = {"plane1", "plane2", "top", "face"};

// Runs the tool's own check of an argument, its refusal naming the
// argument as Python knows it.
template <typename Check> void checkArgument(const char* argument, Check check) {
    try {
        check();
    } catch (const Error& e) {
        throw e.withField(argument);
    }
}

// The Python argument of a data-file field ("SlopeHeight" -> "height"); empty
// for a field the constructor does not take.
std::string pythonArgument(const std::string& field) {
    static const std::map<std::string, std::string> arguments = {
        {"RockUnitWeight", "rock"}, {"WaterUnitWeight", "water"},
        {"SlopeHeight", "height"},  {"Cohesion1", "c1"},
        {"Friction1", "f1"},        {"Cohesion2", "c2"},
        {"Friction2", "f2"},        {"WaterPressure1", "u1"},
        {"WaterPressure2", "u2"},   {"OverhangCoefficient", "overhang"}};
    const auto found = arguments.find(field);
    return found == arguments.end() ? std::string() : found->second;
}

// The block of these numbers, as its data file holds it, so that the block
// analysed is exactly the one saved: the attitudes as the file keeps them
// (15 significant digits) and the quadrants as the file's texts give them;
// the parameters are taken as they are, which their texts give back
// exactly.
Block blockFromNumbers(const std::string& name, const std::array<Attitude, PlaneCount>& planes, double rock,
                       double water, double height, double c1, double f1, double c2, double f2,
                       std::optional<double> u1, std::optional<double> u2, int overhang, bool computedWater,
                       const std::optional<std::string>& loadsJson) {
    // The names and angles the windows refuse, refused here too.
    checkArgument("name", [&] { checkBlockName(name); });
    PlaneAttitudeArray attitudes{};
    for (int i = 0; i < PlaneCount; ++i) {
        if (!std::isfinite(planes[i].first) || !std::isfinite(planes[i].second))
            throw Error::refused(
                inLanguage(std::string(PlaneNames[i]) + "的产状必须是有限的数",
                           "the attitude of the " + std::string(planeName(i)) + " must be finite numbers"),
                PlaneArguments[i], i);
        checkArgument(PlaneArguments[i], [&] {
            requireAngle(i, "倾角", planes[i].first, 90);
            requireAngle(i, "倾向", planes[i].second, 360);
        });
        attitudes[i] = {planes[i].first, planes[i].second};
    }
    PlaneQuadrantArray quadrants{};
    data2to1(attitudes, quadrants);
    for (TPlaneAttitude& a : attitudes)
        a = {textToFloat(floatToText(a.DipAngle)), textToFloat(floatToText(a.DipDirection))};
    TWedgeParams params;
    params.RockUnitWeight = numberText(rock, "rock");
    params.WaterUnitWeight = numberText(water, "water");
    params.SlopeHeight = numberText(height, "height");
    params.OverhangCoefficient = std::to_string(overhang);
    params.Cohesion1 = numberText(c1, "c1");
    params.Friction1 = numberText(f1, "f1");
    params.Cohesion2 = numberText(c2, "c2");
    params.Friction2 = numberText(f2, "f2");
    if (computedWater) {
        if (u1 || u2) throw Error::refused("computed water pressures are not entered: leave out u1 and u2", "u1");
        params.WaterPressureMode = TWaterPressureMode::Computed;
        // Shown only (the analysis works them out again), and written as
        // the windows write them.
        params.ComputedWaterPressure1 = params.ComputedWaterPressure2 =
            floatToText(ComputeWaterPressure(water, height));
    } else {
        params.WaterPressure1 = numberText(u1.value_or(0), "u1");
        params.WaterPressure2 = numberText(u2.value_or(0), "u2");
    }
    // What an analysis would refuse (a height that is not above zero, a
    // negative weight, cohesion or friction) is refused now, naming the
    // argument as Python knows it rather than the data file's field.
    BlockParameters numbers;
    numbers.RockUnitWeight = rock;
    numbers.WaterUnitWeight = water;
    numbers.SlopeHeight = height;
    numbers.OverhangCoefficient = overhang;
    numbers.Cohesion1 = c1;
    numbers.Friction1 = f1;
    numbers.Cohesion2 = c2;
    numbers.Friction2 = f2;
    if (computedWater)
        numbers.WaterPressureMode = TWaterPressureMode::Computed;
    else
        numbers.WaterPressure1 = u1.value_or(0), numbers.WaterPressure2 = u2.value_or(0);
    try {
        wedgeNumbers(numbers);
    } catch (const Error& e) {
        const std::string argument = pythonArgument(e.field());
        throw argument.empty() ? e : e.prefixed(argument + ": ").withField(argument);
    }
    Block block;
    block.Name = name;
    block.Saved.Attitudes = attitudes;
    block.Saved.Quadrants = quadrants;
    block.Saved.Params = params;
    block.Saved.Input.Attitudes = attitudes;
    for (int i = 0; i < PlaneCount; ++i) block.Saved.Input.Quadrants[i] = quadrantAttitude(quadrants[i]);
    block.Saved.Input.Parameters = numbers;
    if (loadsJson) block.Loads = loadsFromJson(*loadsJson);
    return block;
}

Block readBlock(const std::filesystem::path& file) {
    return fromFile(file, [&] {
        Block block;
        block.Name = blockNameOf(file);
        block.Saved = readSavedBlock(file);
        block.Loads = dataFileCompanion(file);
        return block;
    });
}

// analyze's JSON object of the block, as a dict.
py::object analyse(const Block& block) {
    Json json;
    {
        const py::gil_scoped_release free;
        BlockOutcome outcome;
        outcome.block = block.Name;
        analyseBlock(block.Saved, block.loads(), outcome);
        json = outcomeJson(outcome);
    }
    return pythonOf(json);
}

// The state a pickle keeps: every text and number exactly as held.
py::tuple blockState(const Block& b) {
    py::list attitudes, quadrants;
    for (const TPlaneAttitude& a : b.Saved.Attitudes) attitudes.append(py::make_tuple(a.DipAngle, a.DipDirection));
    for (const TPlaneQuadrant& q : b.Saved.Quadrants)
        quadrants.append(py::make_tuple(q.StrikeNS, q.StrikeAngle, q.StrikeEW, q.DipNS, q.DipEW, q.DipAngle));
    const TWedgeParams& p = b.Saved.Params;
    const py::tuple params =
        py::make_tuple(p.RockUnitWeight, p.WaterUnitWeight, p.SlopeHeight, p.OverhangCoefficient, p.WaterPressure1,
                       p.ComputedWaterPressure1, p.WaterPressure2, p.ComputedWaterPressure2, p.Cohesion1, p.Friction1,
                       p.Cohesion2, p.Friction2, p.WaterPressureMode == TWaterPressureMode::Computed);
    const py::object loads = b.Loads ? py::object(py::str(companionText(*b.Loads))) : py::none();
    return py::make_tuple(1, b.Name, attitudes, quadrants, params, loads);
}

Block blockOfState(const py::tuple& state) {
    if (state.size() != 6 || state[0].cast<int>() != 1) throw std::runtime_error("not a pickled trelmox.Block");
    Block b;
    b.Name = state[1].cast<std::string>();
    const auto attitudes = state[2].cast<std::vector<Attitude>>();
    const auto quadrants = state[3].cast<std::vector<std::array<std::string, 6>>>();
    if (attitudes.size() != PlaneCount || quadrants.size() != PlaneCount)
        throw std::runtime_error("not a pickled trelmox.Block");
    for (int i = 0; i < PlaneCount; ++i) {
        b.Saved.Attitudes[i] = {attitudes[i].first, attitudes[i].second};
        const auto& q = quadrants[i];
        b.Saved.Quadrants[i] = {q[0], q[1], q[2], q[3], q[4], q[5]};
    }
    const py::tuple p = state[4].cast<py::tuple>();
    TWedgeParams& params = b.Saved.Params;
    std::string* texts[] = {&params.RockUnitWeight, &params.WaterUnitWeight,
                            &params.SlopeHeight,    &params.OverhangCoefficient,
                            &params.WaterPressure1, &params.ComputedWaterPressure1,
                            &params.WaterPressure2, &params.ComputedWaterPressure2,
                            &params.Cohesion1,      &params.Friction1,
                            &params.Cohesion2,      &params.Friction2};
    for (std::size_t i = 0; i < std::size(texts); ++i) *texts[i] = p[i].cast<std::string>();
    params.WaterPressureMode = p[12].cast<bool>() ? TWaterPressureMode::Computed : TWaterPressureMode::Entered;
    if (!state[5].is_none()) b.Loads = loadsFromJson(state[5].cast<std::string>());
    b.Saved.Input = blockInput(b.Saved);
    return b;
}

py::dict blockParameters(const Block& b) {
    const TWedgeParams& p = b.Saved.Params;
    const bool computed = p.WaterPressureMode == TWaterPressureMode::Computed;
    py::dict d;
    d["rock"] = p.RockUnitWeight;
    d["water"] = p.WaterUnitWeight;
    d["height"] = p.SlopeHeight;
    d["overhang"] = p.OverhangCoefficient;
    d["u1"] = computed ? p.ComputedWaterPressure1 : p.WaterPressure1;
    d["u2"] = computed ? p.ComputedWaterPressure2 : p.WaterPressure2;
    d["computed_water"] = computed;
    d["c1"] = p.Cohesion1;
    d["f1"] = p.Friction1;
    d["c2"] = p.Cohesion2;
    d["f2"] = p.Friction2;
    return d;
}

// ---- samples -----------------------------------------------------------

Parameter parameterNamed(const std::string& name) {
    const auto parameter = parameterFromName(name);
    if (!parameter) throw Error::refused("unknown input '" + name + "' (inputs: " + parameterNameList() + ")", name);
    return *parameter;
}

BlockInputs inputsOf(const Block& b) {
    return blockInputs(b.Saved.Input.Attitudes, b.Saved.Input.Parameters, b.loads());
}

using Column = py::array_t<double, py::array::c_style | py::array::forcecast>;

// Kc and Fs of every sample of the columns (all of one length), each with
// its outcome code (SampleOutcome).
py::tuple sampleFactors(const Block& block, const std::vector<std::string>& names, const std::vector<Column>& arrays,
                        unsigned threads) {
    if (names.size() != arrays.size()) throw Error::refused("one array is needed for every input");
    std::vector<Parameter> inputs;
    for (const std::string& name : names) inputs.push_back(parameterNamed(name));
    const std::size_t count = arrays.empty() ? 1 : static_cast<std::size_t>(arrays.front().size());
    std::vector<const double*> columns;
    for (std::size_t k = 0; k < arrays.size(); ++k) {
        if (arrays[k].ndim() != 1 || static_cast<std::size_t>(arrays[k].size()) != count)
            throw Error::refused("the arrays must be one-dimensional and of one length", names[k]);
        columns.push_back(arrays[k].data());
    }
    py::array_t<double> kc(count), fs(count);
    py::array_t<std::uint8_t> kcOutcome(count), fsOutcome(count);
    const SampleFactors out{kc.mutable_data(), reinterpret_cast<SampleOutcome*>(kcOutcome.mutable_data()),
                            fs.mutable_data(), reinterpret_cast<SampleOutcome*>(fsOutcome.mutable_data())};
    {
        const py::gil_scoped_release free;
        evaluateSamples(inputsOf(block), inputs, columns, count, threads, out);
    }
    return py::make_tuple(kc, kcOutcome, fs, fsOutcome);
}

// A number of a distribution as Python's float() reads it.
double shapeNumber(py::handle value) { return py::float_(py::reinterpret_borrow<py::object>(value)).cast<double>(); }

std::optional<double> optionalNumber(py::handle value) {
    if (value.is_none()) return std::nullopt;
    return shapeNumber(value);
}

// An input's distribution as a script gives it: the short shape, a tuple
// or list ("normal", sd), ("uniform", low, high), ..., or the dict {"type",
// "sd", "low", "high", "truncate": (low, high)}, where a missing key or
// None is a number not given. Read by the parser the tool's options share.
Distribution distributionOf(const std::string& input, py::handle shape) {
    // Any mapping is taken as the dict it would make.
    const bool mapping = !py::isinstance<py::str>(shape) && py::hasattr(shape, "keys");
    if (mapping) {
        const py::dict d(py::reinterpret_borrow<py::object>(shape));
        const auto get = [&](const char* key) { return d.contains(key) ? py::object(d[key]) : py::object(py::none()); };
        const py::object type = get("type");
        if (!py::isinstance<py::str>(type))
            throw Error::refused(inLanguage(input + " 的分布须有 \"type\"（分布的名称）",
                                            "the distribution of " + input + " needs its \"type\" (the name)"),
                                 input);
        std::optional<double> low, high;
        if (const py::object truncate = get("truncate"); py::bool_(truncate)) {
            if (!py::isinstance<py::sequence>(truncate) || py::len(truncate) != 2)
                throw Error::refused(
                    inLanguage(input + " 的截断应为 (low, high)", "the truncation of " + input + " is (low, high)"),
                    input);
            const auto bounds = py::reinterpret_borrow<py::sequence>(truncate);
            low = optionalNumber(bounds[0]);
            high = optionalNumber(bounds[1]);
        }
        return shapedDistribution(input, type.cast<std::string>(), optionalNumber(get("sd")),
                                  optionalNumber(get("low")), optionalNumber(get("high")), low, high);
    }
    if (py::isinstance<py::str>(shape) || !py::isinstance<py::sequence>(shape) || py::len(shape) == 0 ||
        !py::isinstance<py::str>(py::reinterpret_borrow<py::sequence>(shape)[0]))
        throw Error::refused(inLanguage(input + " 的分布应以分布的名称开头，如 (\"normal\", sd)",
                                        "the distribution of " + input + " begins with its name, as (\"normal\", sd)"),
                             input);
    const auto items = py::reinterpret_borrow<py::sequence>(shape);
    std::vector<double> numbers;
    for (std::size_t k = 1; k < items.size(); ++k) numbers.push_back(shapeNumber(items[k]));
    return listedDistribution(input, items[0].cast<std::string>(), numbers);
}

struct RunSettings {
    ProbabilisticSettings Settings;
    WedgeLoads Loads;
};

RunSettings runSettings(const Block& block, const py::dict& distributions, std::uint64_t samples, std::uint64_t seed,
                        const std::string& method, const std::map<std::string, double>& fisher,
                        const std::map<std::string, double>& correlation, std::optional<double> required, int bins,
                        unsigned threads) {
    RunSettings run;
    ProbabilisticSettings& s = run.Settings;
    for (const auto& [key, shape] : distributions) {
        const std::string name = py::str(key);
        s.Distributions[static_cast<int>(parameterNamed(name))] = distributionOf(name, shape);
    }
    s.Samples = samples;
    s.Seed = seed;
    if (method == "mc")
        s.Method = SamplingMethod::MonteCarlo;
    else if (method == "lhs")
        s.Method = SamplingMethod::LatinHypercube;
    else
        throw Error::refused("unknown method '" + method + "' (mc or lhs)", "method");
    for (const auto& [plane, kappa] : fisher) {
        const int k = plane == "1" || plane == "plane1"   ? 0
                      : plane == "2" || plane == "plane2" ? 1
                      : plane == "crack"                  ? 2
                                                          : -1;
        if (k < 0)
            throw Error::refused("a Fisher distribution is for plane1, plane2 or crack, not '" + plane + "'", "fisher");
        s.FisherKappa[k] = kappa;
    }
    for (const auto& [plane, rho] : correlation) {
        const int k = plane == "1" || plane == "plane1" ? 0 : plane == "2" || plane == "plane2" ? 1 : -1;
        if (k < 0) throw Error::refused("a correlation is for plane1 or plane2, not '" + plane + "'", "correlation");
        s.Correlation[k] = rho;
    }
    s.HistogramBins = bins;
    s.Threads = threads;
    run.Loads = block.loads();
    if (required) {
        if (!withinLoadRange(*required, LoadRange::RequiredFactor))
            throw Error::refused(loadRangeMessage(*required, LoadRange::RequiredFactor, "required"), "required");
        setRequiredFactor(run.Loads, required);
    }
    return run;
}

// The tool's JSON object of the run as a dict, and with keepFactors the Kc and Fs of its
// wedge samples in sample order (None without: keeping them costs the run
// twice its time and 16 bytes a sample).
py::tuple probabilistic(const Block& block, const RunSettings& run, bool keepFactors) {
    ProbabilisticResult result;
    Json json;
    ProbabilisticSettings settings = run.Settings;
    settings.KeepFactors = keepFactors;
    {
        const py::gil_scoped_release free;
        result = commands::probabilisticStudy({block.Saved.Input.Attitudes, block.Saved.Input.Parameters, run.Loads},
                                              settings, commands::silentFeedback());
        json = probabilisticJson(block.Name, settings, result);
    }
    if (!keepFactors) return py::make_tuple(pythonOf(json), py::none(), py::none());
    return py::make_tuple(pythonOf(json), arrayOf(std::move(result.SafetyFactors)),
                          arrayOf(std::move(result.Full.SafetyFactors)));
}

// The reliability analysis with the run's inputs (its samples, method and
// bins aside); design_bolt (trend, plunge) or least_bolt needs target_beta.
// design_bolt as a script gives it: None, (trend, plunge) of one more
// bolt, or "least" for the direction that needs the least force.
void readDesignBolt(py::handle bolt, ReliabilitySettings& s) {
    if (bolt.is_none()) return;
    const bool least = py::isinstance<py::str>(bolt) && bolt.cast<std::string>() == "least";
    if (least) {
        s.LeastForceBolt = true;
        return;
    }
    if (py::isinstance<py::str>(bolt) || !py::isinstance<py::sequence>(bolt) || py::len(bolt) < 2)
        throw Error::refused(
            inLanguage("design_bolt 应为 (trend, plunge) 或 \"least\"", "design_bolt is (trend, plunge) or \"least\""),
            "design_bolt");
    const auto items = py::reinterpret_borrow<py::sequence>(bolt);
    s.DesignBolt = LineDirection{shapeNumber(items[0]), shapeNumber(items[1])};
}

ReliabilityResult reliabilityOf(const Block& block, const RunSettings& run, const std::string& factor,
                                std::optional<double> targetBeta, const py::object& designBolt, double cov,
                                std::uint64_t maxSamples) {
    ReliabilitySettings s;
    s.Inputs = run.Settings;
    readDesignBolt(designBolt, s);
    if (factor != "fs" && factor != "kc")
        throw Error::refused("the factor is fs or kc, not '" + factor + "'", "factor");
    s.Factor = factor == "kc" ? ReliabilityFactor::Kc : ReliabilityFactor::Fs;
    s.TargetBeta = targetBeta;
    s.TargetCov = cov;
    s.MaxSamples = maxSamples;
    const py::gil_scoped_release free;
    return runReliability(block.Saved.Input.Attitudes, block.Saved.Input.Parameters, run.Loads, s);
}

py::dict sampleInputs(const Block& block, const RunSettings& run) {
    DrawnSamples drawn;
    {
        const py::gil_scoped_release free;
        drawn = drawSamples(block.Saved.Input.Attitudes, block.Saved.Input.Parameters, run.Loads, run.Settings);
    }
    py::dict columns;
    for (std::size_t k = 0; k < drawn.Inputs.size(); ++k)
        columns[py::str(parameterName(drawn.Inputs[k]))] = arrayOf(std::move(drawn.Columns[k]));
    return columns;
}

py::object sensitivity(const Block& block, const std::string& name, double from, double to, int steps,
                       std::optional<double> required) {
    WedgeLoads loads = block.loads();
    if (required) {
        if (!withinLoadRange(*required, LoadRange::RequiredFactor))
            throw Error::refused(loadRangeMessage(*required, LoadRange::RequiredFactor, "required"), "required");
        setRequiredFactor(loads, required);
    }
    const Parameter input = parameterNamed(name);
    Json json;
    {
        const py::gil_scoped_release free;
        const auto run = commands::sensitivityStudy({block.Saved.Input.Attitudes, block.Saved.Input.Parameters, loads},
                                                    input, from, to, steps, commands::silentFeedback());
        json = sensitivityJson(block.Name, input, loads.RequiredFactor, *run);
    }
    return pythonOf(json);
}

// ---- files ---------------------------------------------------------------

// The block analysed, then each of `chosen` that it gives written into
// `folder`: the files written, in that order. Throws what stops the block.
std::vector<std::filesystem::path> writeAnalysed(const Block& block, const std::filesystem::path& folder,
                                                 std::initializer_list<commands::BlockOutput> chosen) {
    BlockOutcome outcome;
    outcome.block = block.Name;
    analyseBlock(block.Saved, block.loads(), outcome);
    const commands::ExportedBlock exported =
        commands::analysedExport(block.Name, block.Saved, block.Loads, *outcome.run);
    std::vector<std::filesystem::path> written;
    for (const commands::BlockOutput output : chosen)
        for (auto& file : commands::writeBlockOutput(output, folder, exported)) written.push_back(std::move(file));
    return written;
}

// The data file <name>.txt and, for a block with loads, its companion file
// <name>.json, in `folder`, as the windows save them. Returns the paths written.
std::vector<std::filesystem::path> saveBlock(const Block& block, const std::filesystem::path& folder) {
    checkBlockName(block.Name);
    writeBlockFile(folder, block.Name, block.Saved.Attitudes, block.Saved.Quadrants, block.Saved.Params);
    std::vector<std::filesystem::path> written{blockFilePath(folder, block.Name)};
    if (block.Loads && saveCompanionFile(folder, block.Name, *block.Loads))
        written.push_back(companionPath(folder, block.Name));
    return written;
}

// A report and a data file are both <name>.txt: the tool never writes a
// report over a data file of its run, and the module, which has no run,
// never over a block's data file (one saved into the same folder), whose
// loss no report makes up for. An older report is replaced.
void refuseOverDataFile(const std::filesystem::path& report) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(report, error)) return;
    try {
        readSavedBlock(report);
    } catch (const Error&) {
        return;
    }
    OutputGuard({report.string()}).check(report, 1);
}

// What analyze --report-dir writes: the analysis report <name>.txt and, for
// a block with loads, the full analysis report.
std::vector<std::filesystem::path> writeReports(const Block& block, const std::filesystem::path& folder) {
    using commands::BlockOutput;
    checkBlockName(block.Name);
    refuseOverDataFile(commands::outputFiles(BlockOutput::Report, folder, block.Name).front());
    if (block.Loads) refuseOverDataFile(commands::outputFiles(BlockOutput::FullReport, folder, block.Name).front());
    return writeAnalysed(block, folder, {BlockOutput::Report, BlockOutput::FullReport});
}

std::filesystem::path writeBlockDxf(const Block& block, const std::filesystem::path& folder) {
    checkBlockName(block.Name);
    return writeAnalysed(block, folder, {commands::BlockOutput::Drawing}).front();
}

std::vector<std::filesystem::path> writePictures(const Block& block, const std::filesystem::path& folder) {
    checkBlockName(block.Name);
    return writeAnalysed(block, folder, {commands::BlockOutput::Pictures});
}

// The calculation report as sections of paragraphs, tables and pictures
// (SVG texts): what the PDF writer lays out on pages.
py::dict calculationReportOf(const Block& block, const std::optional<std::string>& date) {
    CalculationReport report;
    {
        const py::gil_scoped_release free;
        report =
            calculationReport(analysedReportInputs(block.Name, block.Saved, block.loads(), date.value_or(todayText())));
    }
    py::dict d;
    d["title"] = report.Title;
    d["header"] = report.Header;
    d["cover"] = report.Cover;
    py::list sections;
    for (const ReportSection& section : report.Sections) {
        py::list items;
        for (const ReportItem& item : section.Items) {
            py::dict i;
            if (const auto* p = std::get_if<ReportParagraph>(&item))
                i["paragraph"] = p->Text;
            else if (const auto* h = std::get_if<ReportHeading>(&item))
                i["heading"] = h->Text;
            else if (const auto* t = std::get_if<ReportTable>(&item))
                i["table"] =
                    py::dict(py::arg("caption") = t->Caption, py::arg("header") = t->Header, py::arg("rows") = t->Rows);
            else if (const auto* picture = std::get_if<ReportPicture>(&item)) {
                const int width = 800;
                const int height = static_cast<int>(std::lround(width * picture->Aspect));
                i["picture"] = py::dict(py::arg("caption") = picture->Caption,
                                        py::arg("svg") = svgText(picture->Picture, width, height));
            }
            items.append(i);
        }
        sections.append(py::dict(py::arg("title") = section.Title, py::arg("items") = items,
                                 py::arg("new_page") = section.NewPage));
    }
    d["sections"] = sections;
    return d;
}

} // namespace

PYBIND11_MODULE(_trelmox, m) {
    m.doc() = "TRELMOX engine: rock-wedge limit-equilibrium stability (compiled part of the trelmox package)";
    m.attr("__version__") = Version;
    // Messages in English, as the tool words them by default, so that the
    // module's results and the tool's JSON agree; set_language("zh") gives
    // the Chinese of the windows.
    setMessageLanguage(Language::English);
    m.def("set_language", [](const std::string& name) {
        const auto language = languageFromName(name);
        if (!language) throw py::value_error("language must be \"en\" or \"zh\", not \"" + name + "\"");
        setMessageLanguage(*language);
    });
    m.def("language", [] { return messageLanguage() == Language::English ? "en" : "zh"; });
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p) std::rethrow_exception(p);
        } catch (const Error& e) {
            raiseError(e);
        }
    });

    py::class_<Block>(m, "Block")
        .def(py::init(&blockFromNumbers), py::arg("name"), py::arg("planes"), py::arg("rock"), py::arg("water"),
             py::arg("height"), py::arg("c1"), py::arg("f1"), py::arg("c2"), py::arg("f2"), py::arg("u1"),
             py::arg("u2"), py::arg("overhang"), py::arg("computed_water"), py::arg("loads_json"))
        .def_readonly("name", &Block::Name)
        .def_property_readonly("attitudes",
                               [](const Block& b) {
                                   std::vector<Attitude> planes;
                                   for (const auto& a : b.Saved.Attitudes)
                                       planes.emplace_back(a.DipAngle, a.DipDirection);
                                   return planes;
                               })
        .def_property_readonly("parameter_texts", &blockParameters)
        .def_property_readonly(
            "loads_json",
            [](const Block& b) { return b.Loads ? std::optional<std::string>(companionText(*b.Loads)) : std::nullopt; })
        .def("data_text",
             [](const Block& b) { return blockDataText(b.Saved.Attitudes, b.Saved.Quadrants, b.Saved.Params); })
        .def("analyse", &analyse)
        .def("save", &saveBlock, py::call_guard<py::gil_scoped_release>())
        .def("write_reports", &writeReports, py::call_guard<py::gil_scoped_release>())
        .def("write_dxf", &writeBlockDxf, py::call_guard<py::gil_scoped_release>())
        .def("write_pictures", &writePictures, py::call_guard<py::gil_scoped_release>())
        .def("calculation_report", &calculationReportOf)
        .def(py::pickle(&blockState, &blockOfState));

    m.def("read_block", &readBlock, py::arg("path"), py::call_guard<py::gil_scoped_release>());

    py::class_<RunSettings>(m, "RunSettings")
        .def(py::init(&runSettings), py::arg("block"), py::arg("distributions"), py::arg("samples"), py::arg("seed"),
             py::arg("method"), py::arg("fisher"), py::arg("correlation"), py::arg("required"), py::arg("bins"),
             py::arg("threads"));
    m.def("factors", &sampleFactors, py::arg("block"), py::arg("names"), py::arg("arrays"), py::arg("threads"));
    m.def("probabilistic", &probabilistic, py::arg("block"), py::arg("settings"), py::arg("keep_factors"));
    m.def("sample_inputs", &sampleInputs, py::arg("block"), py::arg("settings"));
    m.def("sensitivity", &sensitivity, py::arg("block"), py::arg("name"), py::arg("start"), py::arg("stop"),
          py::arg("steps"), py::arg("required"));
    m.def("parameter_names", [] {
        std::vector<std::string> names;
        for (int i = 0; i < ParameterCount; ++i) names.push_back(parameterName(static_cast<Parameter>(i)));
        return names;
    });

    bindReliabilityResult(m);
    m.def("reliability", &reliabilityOf, py::arg("block"), py::arg("settings"), py::arg("factor"),
          py::arg("target_beta"), py::arg("design_bolt"), py::arg("is_cov"), py::arg("max_samples"));

    addJointBindings(m);
    addCloudBindings(m);
}
