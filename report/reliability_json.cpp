#include "report/reliability_json.h"

#include <cmath>

namespace trelmox {

namespace {

using Json = nlohmann::ordered_json;

Json numberOrNull(const std::optional<double>& value) {
    return value && std::isfinite(*value) ? Json(*value) : Json(nullptr);
}

// Input name -> value, in the coordinates' order.
Json byInput(const std::vector<Parameter>& inputs, const std::vector<double>& values) {
    Json object = Json::object();
    for (std::size_t k = 0; k < inputs.size() && k < values.size(); ++k)
        object[parameterName(inputs[k])] = numberOrNull(values[k]);
    return object;
}

std::optional<double> sampled(const std::optional<SampledProbability>& p) {
    return p ? std::optional(p->Pf) : std::nullopt;
}

} // namespace

Json reliabilityJson(const ReliabilityResult& r) {
    const ReliabilityMode* design = r.Design ? &*r.Design : nullptr;
    Json json;
    json["beta"] = design ? numberOrNull(design->Beta) : Json(nullptr);
    json["pf_form"] = design ? numberOrNull(design->PfForm) : Json(nullptr);
    json["pf_sorm"] = numberOrNull(r.PfTvedt);
    json["pf_is"] = numberOrNull(sampled(r.Importance));
    json["pf_is_cov"] = numberOrNull(r.Importance ? r.Importance->Cov : std::nullopt);
    json["design_point"] = design ? byInput(r.Inputs, design->DesignPoint) : Json(nullptr);
    json["alpha"] = design ? byInput(r.Inputs, design->Alpha) : Json(nullptr);
    json["fs_at_design_point"] = numberOrNull(r.FactorAtDesignPoint);
    json["evaluations"] = r.Evaluations;
    Json modes = Json::array();
    for (const ReliabilityMode& mode : r.Modes) {
        Json m;
        m["contact"] = contactName(mode.Contact);
        m["beta"] = numberOrNull(mode.Beta);
        m["pf_form"] = numberOrNull(mode.PfForm);
        modes.push_back(m);
    }
    json["modes"] = modes;
    json["pf_system"] = numberOrNull(sampled(r.System));
    json["target_beta"] = numberOrNull(r.TargetBeta);
    json["meets_target"] = r.MeetsTarget ? Json(*r.MeetsTarget) : Json(nullptr);
    json["required_bolt_force"] = numberOrNull(r.RequiredBoltForce);
    json["required_bolt_trend"] = numberOrNull(r.DesignBolt ? std::optional(r.DesignBolt->Trend) : std::nullopt);
    json["required_bolt_plunge"] = numberOrNull(r.DesignBolt ? std::optional(r.DesignBolt->Plunge) : std::nullopt);
    json["required_bolt_lower_bound"] = numberOrNull(r.BoltLowerBound);
    json["required_bolt_confirmed"] = r.BoltLeastConfirmed ? Json(*r.BoltLeastConfirmed) : Json(nullptr);
    const std::optional<ReliabilityFailure> failure = r.Failure ? r.Failure : r.BoltFailure;
    json["error"] = failure ? Json(reliabilityFailureText(*failure)) : Json(nullptr);
    return json;
}

} // namespace trelmox
