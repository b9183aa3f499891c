#pragma once
// The kinematic checks' results as the tool prints them and the module
// gives them: one row a sector and failure mode.
#include <ostream>
#include <string>
#include <vector>

#include "analysis/joints/sector_run.h"
#include "report/json_format.h"

namespace trelmox {

// kinematics --format json's rows.
std::vector<Json> kinematicsJsonRows(const KinematicRun& run);
// The run as `format` ("text", "json" or "csv") shows it; the friction
// angle and the lateral limits in degrees head the text.
void printKinematics(const std::string& format, const KinematicRun& run, double friction, double lateral,
                     std::ostream& out);

} // namespace trelmox
