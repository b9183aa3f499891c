#pragma once
// The results of a point cloud run as the tool, the module and the windows
// give them: JSON rows, CSV, workbook sheets, a readable summary, the
// measurement file the joints tools read, and a PLY of the points coloured
// by set. They format; they compute nothing.
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "analysis/cloud/cloud_analysis.h"
#include "report/calculation_report.h"
#include "report/xlsx_table.h"

namespace trelmox {

using CloudJson = nlohmann::ordered_json;

// One object a facet: facet (from 1, the largest first), dip, dipdir,
// area, extent, x, y, z (its centroid), rms, points, set ("J1", ...,
// "坡面" for the slope face, null for a facet in no set).
std::vector<CloudJson> cloudFacetRows(const CloudResult& result);
// One object a set, the face last: set, dip, dipdir (the Fisher mean
// plane), k (null where no finite K), cone95, count, area (the facets'
// total), extent_mean.
std::vector<CloudJson> cloudSetRows(const CloudResult& result);

// The facets' table, a blank line, the sets' table; CR LF line ends.
std::string cloudCsv(const CloudResult& result);
// Sheets "facets" and "sets" with the JSON's keys and their units.
std::vector<XlsxSheet> cloudSheets(const CloudResult& result);
// The run for a person: the cloud, the facets, the face, each set with
// its extents' fits, in the language of the messages.
std::string cloudSummaryText(const CloudResult& result, const std::string& cloudName);

// The measurement file of the joint facets (the face's left out): a
// header "dip,dipdir,set,weight" and a plane a line, every number written
// to read back as the same double, so that combinations and kinematics
// read from it exactly the sets worked out in memory. Throws a refused
// Error when it would exceed what a measurement file may hold.
std::string cloudMeasurementsText(const CloudResult& result);

// The thinned points as a binary little-endian PLY: x, y, z, the colour of
// the point's set (the face grey-blue, points in no set light grey) and
// the set as a number (1 for J1, ..., 0 the face, -1 none).
std::string cloudFacetsPly(const CloudResult& result);
// The colour of a set by its number as in cloudFacetsPly.
std::array<std::uint8_t, 3> cloudSetColour(int set);

// What the calculation report keeps of a run on the file named `file`.
CloudSource cloudSource(const CloudResult& result, const std::string& file);
// The calculation report's account of the cloud: where the joints come
// from, the face told apart and a table of the sets.
void addCloudSource(std::vector<ReportItem>& items, const CloudSource& cloud);

} // namespace trelmox
