#pragma once
// The kinematic checks of a measurement file against every sector of a
// slope, with the critical set or pair and its factor where one applies:
// the run's record for the tool, the module and their formats.
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/joints/kinematics.h"
#include "analysis/joints/measurements.h"
#include "analysis/joints/sectors.h"
#include "analysis/progress.h"

namespace trelmox {

struct SectorRun {
    SlopeSector Sector;
    KinematicResult Result;
    SectorFactors Factors;
};

struct KinematicRun {
    std::vector<CandidatePlane> Candidates;
    std::vector<SectorRun> Sectors;
    MeasurementFile Measurements;
};

// The checks of the measurements against every sector, friction and lateral
// limits in degrees; no sectors when `progress` cancels. A failure to make
// the sets' candidates names `measurementFile`.
KinematicRun kinematicRun(const std::vector<SlopeSector>& sectors, MeasurementFile measurements,
                          const std::string& measurementFile, double friction, double lateral,
                          const ProgressCallback& progress = {});
// The same for the sectors of `sectorFile`, whose failures name it. Throws
// a refused Error for a friction angle outside [0, 90) or lateral limits
// outside [0, 180].
KinematicRun kinematicRun(const std::filesystem::path& sectorFile, MeasurementFile measurements,
                          const std::string& measurementFile, double friction, double lateral,
                          const ProgressCallback& progress = {});

} // namespace trelmox
