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
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "analysis/block_analysis.h"
#include "cli/cli.h"
#include "cli/loads.h"
#include "cli/output.h"
#include "model/attitude.h"
#include "model/companion.h"
#include "model/datafile.h"
#include "model/error.h"
#include "model/loads.h"

namespace py = pybind11;
using namespace trelmox;

namespace {

// ---- errors ------------------------------------------------------------

const char* kindName(ErrorKind kind) {
    switch (kind) {
    case ErrorKind::Arithmetic: return "arithmetic";
    case ErrorKind::NumberText: return "number_text";
    case ErrorKind::File: return "file";
    case ErrorKind::RefusedInput: return "refused_input";
    case ErrorKind::Other: break;
    }
    return "other";
}

const char* faultName(ArithmeticFault fault) {
    switch (fault) {
    case ArithmeticFault::DivisionByZero: return "division_by_zero";
    case ArithmeticFault::InvalidOperation: return "invalid_operation";
    case ArithmeticFault::Overflow: return "overflow";
    case ArithmeticFault::NoDrivingForce: return "no_driving_force";
    case ArithmeticFault::None: break;
    }
    return "none";
}

// The engine's failure as the Python exception of its kind (trelmox.errors),
// carrying the message the tool prints and the failure's source.
void raiseError(const Error& failure) {
    const py::module_ errors = py::module_::import("trelmox.errors");
    const py::object type = errors.attr("error_class")(kindName(failure.kind()));
    const py::object error = type(cli::toolMessage(failure));
    error.attr("kind") = kindName(failure.kind());
    error.attr("fault") = faultName(failure.fault());
    error.attr("field") = failure.field().empty() ? py::none() : py::object(py::str(failure.field()));
    error.attr("line") = failure.line() ? py::object(py::int_(failure.line())) : py::none();
    error.attr("row") = failure.row() >= 0 ? py::object(py::int_(failure.row())) : py::none();
    error.attr("path") = failure.path().empty() ? py::none() : py::object(py::str(failure.path().string()));
    error.attr("errno") = failure.systemError() ? py::object(py::int_(failure.systemError())) : py::none();
    PyErr_SetObject(type.ptr(), error.ptr());
}

// Runs `step`, naming the file and the line in its failure as the tool does
// ("W1.txt 第9行: ...").
template <typename Step> auto fromFile(const std::filesystem::path& file, Step step) {
    try {
        return step();
    } catch (const Error& e) {
        const std::string line = e.line() != 0 ? " 第" + std::to_string(e.line()) + "行: " : ": ";
        throw e.prefixed(cli::shownPath(file) + line).withPath(file);
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
    SavedBlock Saved;
    std::optional<WedgeLoads> Loads; // absent: a block without a companion file

    WedgeLoads loads() const { return Loads.value_or(WedgeLoads{}); }
};

using Attitude = std::pair<double, double>; // dip, dip direction

// The block of these numbers, as its data file holds it: written and read
// back, so that the block analysed is exactly the one saved (the file keeps
// attitudes to 15 significant digits) and is checked as a read file is.
Block blockFromNumbers(const std::string& name, const std::array<Attitude, PlaneCount>& planes, double rock,
                       double water, double height, double c1, double f1, double c2, double f2,
                       std::optional<double> u1, std::optional<double> u2, int overhang, bool computedWater,
                       const std::optional<std::string>& loadsJson) {
    PlaneAttitudeArray attitudes{};
    for (int i = 0; i < PlaneCount; ++i) {
        if (!std::isfinite(planes[i].first) || !std::isfinite(planes[i].second))
            throw Error::refused(std::string(PlaneNames[i]) + "的产状必须是有限的数", "attitudes", i);
        attitudes[i] = {planes[i].first, planes[i].second};
    }
    PlaneQuadrantArray quadrants{};
    data2to1(attitudes, quadrants);
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
        params.ComputedWaterPressure1 = params.ComputedWaterPressure2 =
            numberText(ComputeWaterPressure(water, height), "u1");
    } else {
        params.WaterPressure1 = numberText(u1.value_or(0), "u1");
        params.WaterPressure2 = numberText(u2.value_or(0), "u2");
    }
    Block block;
    block.Name = name;
    block.Saved = savedBlockFromTexts(parseBlockData(blockDataText(attitudes, quadrants, params)));
    if (loadsJson) block.Loads = loadsFromJson(*loadsJson);
    return block;
}

Block readBlock(const std::filesystem::path& file) {
    return fromFile(file, [&] {
        Block block;
        block.Name = cli::blockNameOf(file);
        block.Saved = readSavedBlock(file);
        block.Loads = cli::dataFileCompanion(file);
        return block;
    });
}

// analyze's JSON object of the block, on one line.
std::string analyseJson(const Block& block) {
    cli::BlockOutcome outcome;
    outcome.block = block.Name;
    cli::analyseBlock(block.Saved, block.loads(), outcome);
    return cli::jsonLine(cli::outcomeJson(outcome));
}

// The state a pickle keeps: every text and number exactly as held.
py::tuple blockState(const Block& b) {
    py::list attitudes, quadrants;
    for (const TPlaneAttitude& a : b.Saved.Attitudes) attitudes.append(py::make_tuple(a.DipAngle, a.DipDirection));
    for (const TPlaneQuadrant& q : b.Saved.Quadrants)
        quadrants.append(py::make_tuple(q.StrikeNS, q.StrikeAngle, q.StrikeEW, q.DipNS, q.DipEW, q.DipAngle));
    const TWedgeParams& p = b.Saved.Params;
    const py::tuple params = py::make_tuple(
        p.RockUnitWeight, p.WaterUnitWeight, p.SlopeHeight, p.OverhangCoefficient, p.WaterPressure1,
        p.ComputedWaterPressure1, p.WaterPressure2, p.ComputedWaterPressure2, p.Cohesion1, p.Friction1, p.Cohesion2,
        p.Friction2, p.WaterPressureMode == TWaterPressureMode::Computed);
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
    std::string* texts[] = {&params.RockUnitWeight, &params.WaterUnitWeight,       &params.SlopeHeight,
                            &params.OverhangCoefficient, &params.WaterPressure1,   &params.ComputedWaterPressure1,
                            &params.WaterPressure2,  &params.ComputedWaterPressure2, &params.Cohesion1,
                            &params.Friction1,       &params.Cohesion2,            &params.Friction2};
    for (std::size_t i = 0; i < std::size(texts); ++i) *texts[i] = p[i].cast<std::string>();
    params.WaterPressureMode = p[12].cast<bool>() ? TWaterPressureMode::Computed : TWaterPressureMode::Entered;
    if (!state[5].is_none()) b.Loads = loadsFromJson(state[5].cast<std::string>());
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

} // namespace

PYBIND11_MODULE(_trelmox, m) {
    m.doc() = "TRELMOX engine: rock-wedge limit-equilibrium stability (compiled part of the trelmox package)";
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
                                   for (const auto& a : b.Saved.Attitudes) planes.emplace_back(a.DipAngle, a.DipDirection);
                                   return planes;
                               })
        .def_property_readonly("parameter_texts", &blockParameters)
        .def_property_readonly("loads_json",
                               [](const Block& b) {
                                   return b.Loads ? std::optional<std::string>(companionText(*b.Loads)) : std::nullopt;
                               })
        .def("data_text",
             [](const Block& b) { return blockDataText(b.Saved.Attitudes, b.Saved.Quadrants, b.Saved.Params); })
        .def("analyse_json", &analyseJson, py::call_guard<py::gil_scoped_release>())
        .def(py::pickle(&blockState, &blockOfState));

    m.def("read_block", &readBlock, py::arg("path"), py::call_guard<py::gil_scoped_release>());
}
