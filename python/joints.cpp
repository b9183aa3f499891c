// _trelmox's measured joints: the measurement files, their sets, the
// combinations of their planes with a block's slope (the tool's
// combinations command, run through the same command) and the kinematic
// checks against slope sectors, as the tool prints them.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "analysis/joints/measurements.h"
#include "analysis/joints/sector_run.h"
#include "analysis/joints/sectors.h"
#include "analysis/joints/set_grouping.h"
#include "analysis/joints/sets.h"
#include "analysis/probabilistic/probabilistic.h"
#include "commands/study_commands.h"
#include "document/joint_document.h"
#include "model/error.h"
#include "model/files.h"
#include "python/py_block.h"
#include "python/py_objects.h"
#include "report/combination_formats.h"
#include "report/joint_tables.h"
#include "report/kinematics_formats.h"

namespace py = pybind11;

namespace trelmox::python {

namespace {

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
            commands::combinationStudy(joints, block.Name, block.Saved, block.Saved.Input.Parameters, block.Loads,
                                       choice, probability, commands::silentFeedback());
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

py::list kinematics(const std::filesystem::path& sectors, const Measurements& m, double friction, double lateral) {
    std::vector<Json> rows;
    {
        const py::gil_scoped_release free;
        rows = kinematicsJsonRows(kinematicRun(sectors, m.File, m.Name, friction, lateral));
    }
    return pythonListOf(rows);
}
} // namespace

void addJointBindings(py::module_& m) {
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
}

} // namespace trelmox::python
