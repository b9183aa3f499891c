#pragma once
// The reliability analysis's result as one JSON object, the tool's
// `reliability --format json` and the same keys wherever a script reads
// them: beta, pf_form, pf_sorm (Tvedt's), pf_is and pf_is_cov (importance
// sampling at the design point), design_point and alpha (input name ->
// value), fs_at_design_point (the analysed factor there, Kc with --factor
// kc), evaluations, modes (contact, beta, pf_form), pf_system, target_beta,
// meets_target, required_bolt_force with the design bolt's
// required_bolt_trend and required_bolt_plunge (given or found),
// required_bolt_lower_bound and required_bolt_confirmed (the least-force
// direction's search), and error. A figure that does not exist
// is null.
#include <nlohmann/json.hpp>

#include "analysis/probabilistic/reliability.h"

namespace trelmox {

nlohmann::ordered_json reliabilityJson(const ReliabilityResult& result);

} // namespace trelmox
