// _trelmox's point clouds: the readers and the run of the tool's cloud
// command, its rows from the same formatter (report/cloud_tables.h), so a
// script gets the tool's figures; the pure-Python layer turns them into
// NumPy arrays.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/cloud/cloud_analysis.h"
#include "analysis/cloud/cloud_settings.h"
#include "model/error.h"
#include "report/cloud_tables.h"

namespace py = pybind11;
using namespace trelmox;

namespace {

using Points = py::array_t<double, py::array::c_style | py::array::forcecast>;

Points pointsArray(const std::vector<TPoint3D>& points) {
    Points array({static_cast<py::ssize_t>(points.size()), py::ssize_t{3}});
    auto out = array.mutable_unchecked<2>();
    for (std::size_t i = 0; i < points.size(); ++i)
        out(i, 0) = points[i].x, out(i, 1) = points[i].y, out(i, 2) = points[i].z;
    return array;
}

py::dict readCloud(const std::string& path, const std::string& frame) {
    PointCloud cloud;
    {
        py::gil_scoped_release release;
        cloud = readCloudFile(path, parseCloudFrame(frame));
    }
    py::dict result;
    result["points"] = pointsArray(cloud.Points);
    if (cloud.Colours.empty()) {
        result["colours"] = py::none();
    } else {
        py::array_t<std::uint8_t> colours({static_cast<py::ssize_t>(cloud.Colours.size()), py::ssize_t{3}});
        auto out = colours.mutable_unchecked<2>();
        for (std::size_t i = 0; i < cloud.Colours.size(); ++i)
            for (int c = 0; c < 3; ++c) out(i, c) = cloud.Colours[i][c];
        result["colours"] = colours;
    }
    result["format"] = cloud.Format;
    result["dropped"] = cloud.Dropped;
    return result;
}

py::dict facets(const Points& points, double voxel, std::size_t neighbours, double minFacetArea,
                const std::string& sets, const std::string& weight) {
    if (points.ndim() != 2 || points.shape(1) != 3)
        throw Error::refused("points should be an array of shape (n, 3)", "points");
    PointCloud cloud;
    cloud.Format = "NumPy array";
    const auto in = points.unchecked<2>();
    cloud.Points.resize(static_cast<std::size_t>(points.shape(0)));
    for (std::size_t i = 0; i < cloud.Points.size(); ++i) {
        cloud.Points[i] = {in(i, 0), in(i, 1), in(i, 2)};
        if (!std::isfinite(cloud.Points[i].x) || !std::isfinite(cloud.Points[i].y) || !std::isfinite(cloud.Points[i].z))
            throw Error::refused("point " + std::to_string(i) + " has a coordinate that is not a finite number",
                                 "points", static_cast<int>(std::min<std::size_t>(i, 0x7FFFFFFF)));
    }
    const CloudSettings settings = cloudSettings(voxel, neighbours, minFacetArea, sets, weight);
    std::optional<CloudResult> result;
    std::vector<std::string> facetRows, setRows;
    std::string measurements;
    {
        py::gil_scoped_release release;
        result = analyseCloud(cloud, settings);
        for (const CloudJson& row : cloudFacetRows(*result)) facetRows.push_back(row.dump());
        for (const CloudJson& row : cloudSetRows(*result)) setRows.push_back(row.dump());
        try {
            measurements = cloudMeasurementsText(*result);
        } catch (const Error&) {
            measurements.clear(); // more facets than a measurement file holds
        }
    }
    py::array_t<std::int32_t> pointSet(static_cast<py::ssize_t>(result->Points.size()));
    auto out = pointSet.mutable_unchecked<1>();
    for (std::size_t i = 0; i < result->Points.size(); ++i) {
        const std::uint32_t facet = result->Search.Member[i];
        const std::string& label = facet == NoFacet ? std::string() : result->Joints.FacetSet[facet];
        out(i) = label.empty() ? -1 : label == FaceLabel ? 0 : std::stoi(label.substr(1));
    }
    py::dict dict;
    dict["facets"] = facetRows;
    dict["sets"] = setRows;
    dict["measurements"] = measurements.empty() ? py::object(py::none()) : py::object(py::str(measurements));
    dict["points"] = pointsArray(result->Points);
    dict["point_set"] = pointSet;
    dict["spacing"] = result->Search.Spacing;
    return dict;
}

} // namespace

void addCloudBindings(py::module_& m) {
    m.def("read_cloud", &readCloud, py::arg("path"), py::arg("frame"));
    m.def("facets", &facets, py::arg("points"), py::arg("voxel"), py::arg("neighbours"), py::arg("min_facet_area"),
          py::arg("sets"), py::arg("weight"));
}
