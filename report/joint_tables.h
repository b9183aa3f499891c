#pragma once
// The tables of the joint measurements as sheets of a workbook, with the
// keys the tool's JSON gives the same figures: the sets with their Fisher
// statistics, every pair of a combination run, and a kinematic check.
#include <optional>
#include <vector>

#include "analysis/joints/combinations.h"
#include "analysis/joints/kinematics.h"
#include "analysis/joints/pair_probability.h"
#include "analysis/joints/sets.h"
#include "report/xlsx_table.h"

namespace trelmox {

// set, count, dip, dipdir (the mean plane), pole_trend, pole_plunge,
// resultant, k, cone95; an infinite K is an empty cell.
XlsxSheet jointSetsSheet(const std::vector<JointSet>& sets);

// The pairs as the tool's combinations JSON has them: plane1, plane2 (line
// numbers as numbers, set labels as texts), dip1, dipdir1, dip2, dipdir2,
// kinematic, contact, kc, fs, fs_contact, error; with `probabilities` (by
// the pairs) also pf, p_sliding, fs_mean, failed_volume_mean, too_small.
XlsxSheet combinationsSheet(const std::vector<CandidatePlane>& planes, const std::vector<PlanePair>& pairs,
                            const std::vector<PairProbability>* probabilities);

// One mode's check against a face: mode, face_dip, face_dipdir, set ("全部"
// for all planes, then each set), critical, total, percent.
XlsxSheet kinematicsSheet(const ModeResult& result, const TPlaneAttitude& face);

} // namespace trelmox
