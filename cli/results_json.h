#pragma once
// The JSON objects the tool prints for its analyses beside analyze's
// (output.h), for callers that want the same figures without the tool's
// command line: the Python module gives them to scripts as they are.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "analysis/joints/measurements.h"
#include "analysis/joints/pair_probability.h"
#include "analysis/probabilistic/probabilistic.h"
#include "analysis/probabilistic/sensitivity.h"
#include "report/json_format.h"
#include "model/datafile.h"
#include "model/loads.h"

namespace trelmox::cli {

// probabilistic --format json's object.
Json probabilisticJson(const std::string& block, const ProbabilisticSettings& settings,
                       const ProbabilisticResult& result);
// sensitivity --format json's object.
Json sensitivityJson(const std::string& block, Parameter input, double required,
                     const std::vector<SensitivityStep>& steps);
// combinations --format json's rows, in their order, for the slope block
// (with its loads, absent: none) and the measurements read from the file
// named `measurementName`; `sets` as --sets takes it ("planes", "labels",
// "auto:N"), `probability` the settings of --probabilistic. Throws Error as
// the command fails, a refused one for a `sets` it does not take.
std::vector<Json> combinationRows(const std::string& blockName, const SavedBlock& block,
                                  const std::optional<WedgeLoads>& loads, const std::filesystem::path& measurementName,
                                  MeasurementFile measurements, const std::string& sets,
                                  const std::optional<PairProbabilitySettings>& probability);

// kinematics --format json's rows for the sectors file and the
// measurements read from the file named `measurementName`, the friction
// angle and the lateral limits in degrees. Throws Error as the command
// fails, a refused one for angles it does not take.
std::vector<Json> kinematicsRows(const std::filesystem::path& sectorFile, MeasurementFile measurements,
                                 const std::filesystem::path& measurementName, double friction, double lateral);

} // namespace trelmox::cli
