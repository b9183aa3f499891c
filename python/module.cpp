// _trelmox: the engine for Python. Every figure comes from the same runs and
// formatters the command-line tool uses (the block run, the tool's JSON of
// a block, the probabilistic run with its vector lanes, the combinations),
// so a script gets the tool's results to the last bit. The pure-Python
// layer (trelmox/__init__.py) turns the JSON texts into result objects.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <map>
#include <optional>
#include <tuple>
#include <variant>
#include <string>
#include <system_error>
#include <vector>

#include "analysis/block_analysis.h"
#include "analysis/block_outcome.h"
#include "analysis/joints/sectors.h"
#include "analysis/joints/set_grouping.h"
#include "analysis/probabilistic/distribution.h"
#include "analysis/probabilistic/distribution_options.h"
#include "analysis/probabilistic/kernel.h"
#include "analysis/probabilistic/probabilistic.h"
#include "analysis/probabilistic/reliability.h"
#include "analysis/probabilistic/sensitivity.h"
#include "analysis/wedge.h"
#include "document/block_outcome.h"
#include "document/combination_run.h"
#include "document/report_inputs.h"
#include "drawing/block_pictures.h"
#include "drawing/dxf.h"
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
#include "python/py_objects.h"
#include "python/raise_error.h"
#include "python/reliability_result.h"
#include "report/calculation_report.h"
#include "report/combination_formats.h"
#include "report/figures.h"
#include "report/full_report.h"
#include "report/json_format.h"
#include "report/kinematics_formats.h"
#include "report/outcome_formats.h"
#include "report/report.h"
#include "report/study_formats.h"
#include "trelmox/version.h"

namespace py = pybind11;
using namespace trelmox;

// The point clouds' functions (cloud.cpp).
void addCloudBindings(py::module_& m);

namespace {

// Runs `step`, naming the file and the line in its failure as the tool does
// ("W1.txt 第9行: ...").
template <typename Step> auto fromFile(const std::filesystem::path& file, Step step) {
    try {
        return step();
    } catch (const Error& e) {
        const std::string line = e.line() == 0 ? ": "
                                 : inEnglish() ? " line " + std::to_string(e.line()) + ": "
                                               : " 第" + std::to_string(e.line()) + "行: ";
        throw e.prefixed(shownPath(file) + line).withPath(file);
    }
}

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

// A block as its data file and companion file hold it.
struct Block {
    std::string Name;
    ParsedBlock Saved;               // its texts and their numbers
    std::optional<WedgeLoads> Loads; // absent: a block without a companion file

    WedgeLoads loads() const { return Loads.value_or(WedgeLoads{}); }
};

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

// One input's distribution from (kind, sd, low, high, truncate_low, truncate_high).
using DistributionShape = std::tuple<std::string, std::optional<double>, std::optional<double>, std::optional<double>,
                                     std::optional<double>, std::optional<double>>;

Distribution distributionOf(const std::string& input, const DistributionShape& shape) {
    const auto& [kind, sd, low, high, truncateLow, truncateHigh] = shape;
    return shapedDistribution(input, kind, sd, low, high, truncateLow, truncateHigh);
}

struct RunSettings {
    ProbabilisticSettings Settings;
    WedgeLoads Loads;
};

RunSettings runSettings(const Block& block, const std::map<std::string, DistributionShape>& distributions,
                        std::uint64_t samples, std::uint64_t seed, const std::string& method,
                        const std::map<std::string, double>& fisher, const std::map<std::string, double>& correlation,
                        std::optional<double> required, int bins, unsigned threads) {
    RunSettings run;
    ProbabilisticSettings& s = run.Settings;
    for (const auto& [name, shape] : distributions)
        s.Distributions[static_cast<int>(parameterNamed(name))] = distributionOf(name, shape);
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

py::array_t<double> arrayOf(std::vector<double>&& values) {
    auto* held = new std::vector<double>(std::move(values));
    const py::capsule owner(held, [](void* p) { delete static_cast<std::vector<double>*>(p); });
    return py::array_t<double>(static_cast<py::ssize_t>(held->size()), held->data(), owner);
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
        result = runProbabilistic(block.Saved.Input.Attitudes, block.Saved.Input.Parameters, run.Loads, settings);
        json = probabilisticJson(block.Name, settings, result);
    }
    if (!keepFactors) return py::make_tuple(pythonOf(json), py::none(), py::none());
    return py::make_tuple(pythonOf(json), arrayOf(std::move(result.SafetyFactors)),
                          arrayOf(std::move(result.Full.SafetyFactors)));
}

// The reliability analysis with the run's inputs (its samples, method and
// bins aside); design_bolt (trend, plunge) or least_bolt needs target_beta.
ReliabilityResult reliabilityOf(const Block& block, const RunSettings& run, const std::string& factor,
                                std::optional<double> targetBeta, std::optional<Attitude> designBolt, bool leastBolt,
                                double cov, std::uint64_t maxSamples) {
    ReliabilitySettings s;
    s.Inputs = run.Settings;
    if (factor != "fs" && factor != "kc")
        throw Error::refused("the factor is fs or kc, not '" + factor + "'", "factor");
    s.Factor = factor == "kc" ? ReliabilityFactor::Kc : ReliabilityFactor::Fs;
    s.TargetBeta = targetBeta;
    if (designBolt) s.DesignBolt = LineDirection{designBolt->first, designBolt->second};
    s.LeastForceBolt = leastBolt;
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
        const auto run =
            runSensitivity(block.Saved.Input.Attitudes, block.Saved.Input.Parameters, loads, input, from, to, steps);
        json = sensitivityJson(block.Name, input, loads.RequiredFactor, run);
    }
    return pythonOf(json);
}

// ---- measurements ------------------------------------------------------

// A measurement file as read: its bytes (so that it pickles as it is) and
// the planes parsed from them.
struct Measurements {
    std::string Name;
    std::string Bytes;
    MeasurementFile File;
};

Measurements measurementsOf(const std::string& name, const std::string& bytes) {
    return {name, bytes, readMeasurements(bytes)};
}

Measurements readMeasurementsFile(const std::filesystem::path& file) {
    return fromFile(file, [&] { return measurementsOf(file.string(), readFileBytes(file, MaxMeasurementFileBytes)); });
}

py::dict planeColumns(const Measurements& m) {
    std::vector<double> dips, directions, weights, cohesions, frictions;
    std::vector<std::string> sets;
    std::vector<int> lines;
    const double none = std::numeric_limits<double>::quiet_NaN();
    for (const Measurement& plane : m.File.Planes) {
        dips.push_back(plane.Plane.DipAngle);
        directions.push_back(plane.Plane.DipDirection);
        weights.push_back(plane.Weight);
        cohesions.push_back(plane.Cohesion.value_or(none));
        frictions.push_back(plane.Friction.value_or(none));
        sets.push_back(plane.Set);
        lines.push_back(plane.Line);
    }
    py::dict d;
    d["dip"] = arrayOf(std::move(dips));
    d["dipdir"] = arrayOf(std::move(directions));
    d["weight"] = arrayOf(std::move(weights));
    d["c"] = arrayOf(std::move(cohesions));
    d["f"] = arrayOf(std::move(frictions));
    d["set"] = sets;
    d["line"] = py::array_t<int>(static_cast<py::ssize_t>(lines.size()), lines.data());
    return d;
}

py::list setsOf(const Measurements& m, const std::string& grouping, std::uint64_t seed) {
    const auto refused = [&] {
        return Error::refused("sets are grouped by 'labels' or 'auto:N', not '" + grouping + "'", "grouping");
    };
    SetGrouping chosen;
    try {
        chosen = parseSetGrouping(grouping);
    } catch (const Error&) {
        throw refused();
    }
    if (chosen.Type == SetGrouping::Kind::Planes) throw refused();
    const std::vector<JointSet> sets = chosen.Type == SetGrouping::Kind::Labels
                                           ? labelledSets(m.File.Planes)
                                           : groupSets(m.File.Planes, chosen.SetCount, seed);
    py::list out;
    for (const JointSet& set : sets) {
        py::dict d;
        d["label"] = set.Label;
        d["members"] = set.Members;
        d["count"] = set.Stats.Count;
        d["weight"] = set.Stats.Weight;
        d["dip"] = set.Stats.MeanPlane.DipAngle;
        d["dipdir"] = set.Stats.MeanPlane.DipDirection;
        d["kappa"] = set.Stats.Kappa;
        d["cone95"] = set.Stats.Cone95;
        out.append(d);
    }
    return out;
}

py::list combinations(const Block& block, const Measurements& m, const std::string& sets, bool probabilistic,
                      std::uint64_t samples, std::uint64_t seed, unsigned threads) {
    std::optional<PairProbabilitySettings> probability;
    if (probabilistic) probability = PairProbabilitySettings{samples, seed, threads};
    if (probability && (samples < 1 || samples > MaxSamples))
        throw Error::refused("the number of samples must lie between 1 and " + std::to_string(MaxSamples), "samples");
    std::vector<Json> rows;
    {
        const py::gil_scoped_release free;
        const SetGrouping choice = parseSetGrouping(sets);
        JointDocument joints;
        joints.open(m.File, m.Name);
        const CombinationResult result =
            combinationRun(joints, block.Name, block.Saved, block.Loads, choice, probability);
        for (std::size_t i = 0; i < result.pairs().size(); ++i) rows.push_back(combinationJsonRow(result, i));
    }
    return pythonListOf(rows);
}

py::list sectorsOf(const std::filesystem::path& file) {
    const std::vector<SlopeSector> sectors = fromFile(file, [&] { return readSectorFile(file); });
    py::list out;
    for (const SlopeSector& s : sectors) {
        py::dict d;
        d["name"] = s.Name;
        d["dip"] = s.Dip;
        d["dipdir"] = s.DipDirection;
        d["height"] = s.Height;
        d["top_dip"] = s.TopDip;
        d["top_dipdir"] = s.TopDipDirection;
        d["line"] = s.Line;
        out.append(d);
    }
    return out;
}

// ---- files ---------------------------------------------------------------

// The block's run for writing its files: throws what stops the block.
BlockOutcome analysedOutcome(const Block& block) {
    BlockOutcome outcome;
    outcome.block = block.Name;
    analyseBlock(block.Saved, block.loads(), outcome);
    return outcome;
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
    checkBlockName(block.Name);
    refuseOverDataFile(folder / (block.Name + ".txt"));
    if (block.Loads) refuseOverDataFile(fullReportPath(folder, block.Name));
    const BlockOutcome outcome = analysedOutcome(block);
    const BlockRun& run = *outcome.run;
    const FigureTexts figures = figureTexts(*run.Geometry, *run.Safety);
    writeReport(folder, reportInputs(block.Name, block.Saved, &figures));
    std::vector<std::filesystem::path> written{folder / (block.Name + ".txt")};
    if (block.Loads && run.Full) {
        writeFullReport(folder, block.Name, block.Saved, run);
        written.push_back(fullReportPath(folder, block.Name));
    }
    return written;
}

std::filesystem::path writeBlockDxf(const Block& block, const std::filesystem::path& folder) {
    checkBlockName(block.Name);
    const BlockOutcome outcome = analysedOutcome(block);
    writeDxf(folder, block.Name, *outcome.run->Vertices);
    return folder / dxfFileName(block.Name);
}

std::vector<std::filesystem::path> writePictures(const Block& block, const std::filesystem::path& folder) {
    checkBlockName(block.Name);
    const BlockOutcome outcome = analysedOutcome(block);
    const BlockRun& run = *outcome.run;
    const WedgeLoads loads = block.loads();
    const FullAnalysis* full = block.Loads && run.Full ? &run.Full->Analysis : nullptr;
    writeBlockPictures(folder, block.Name, block.Saved.Input.Attitudes, block.Saved.Input.Parameters, loads,
                       blockScene(*run.Vertices, full, loads));
    return {folder / stereonetFileName(block.Name), folder / wedgeViewFileName(block.Name)};
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

py::list kinematics(const std::filesystem::path& sectors, const Measurements& m, double friction, double lateral) {
    std::vector<Json> rows;
    {
        const py::gil_scoped_release free;
        rows = kinematicsJsonRows(kinematicRun(sectors, m.File, m.Name, friction, lateral));
    }
    return pythonListOf(rows);
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
          py::arg("target_beta"), py::arg("design_bolt"), py::arg("least_bolt"), py::arg("is_cov"),
          py::arg("max_samples"));

    py::class_<Measurements>(m, "Measurements")
        .def(py::init(&measurementsOf), py::arg("name"), py::arg("data"))
        .def_readonly("name", &Measurements::Name)
        .def_property_readonly("data", [](const Measurements& m) { return py::bytes(m.Bytes); })
        .def_property_readonly("summary", [](const Measurements& m) { return measurementSummaryText(m.File.Summary); })
        .def("__len__", [](const Measurements& m) { return m.File.Planes.size(); })
        .def("columns", &planeColumns)
        .def("sets", &setsOf, py::arg("grouping"), py::arg("seed"))
        .def(py::pickle(
            [](const Measurements& m) { return py::make_tuple(m.Name, py::bytes(m.Bytes)); },
            [](const py::tuple& t) { return measurementsOf(t[0].cast<std::string>(), t[1].cast<std::string>()); }));
    m.def("read_measurements", &readMeasurementsFile, py::arg("path"), py::call_guard<py::gil_scoped_release>());
    m.def("combinations", &combinations, py::arg("block"), py::arg("measurements"), py::arg("sets"),
          py::arg("probabilistic"), py::arg("samples"), py::arg("seed"), py::arg("threads"));
    m.def("read_sectors", &sectorsOf, py::arg("path"));
    m.def("kinematics", &kinematics, py::arg("sectors"), py::arg("measurements"), py::arg("friction"),
          py::arg("lateral"));
    addCloudBindings(m);
}
