#include "python/reliability_result.h"

#include <pybind11/stl.h>

#include "analysis/probabilistic/reliability.h"
#include "python/py_objects.h"
#include "report/json_format.h"
#include "report/reliability_json.h"

namespace py = pybind11;

namespace trelmox {

namespace {

// Input name -> value, in the coordinates' order.
py::dict byInput(const ReliabilityResult& r, const std::vector<double>& values) {
    py::dict d;
    for (std::size_t k = 0; k < r.Inputs.size() && k < values.size(); ++k) d[parameterName(r.Inputs[k])] = values[k];
    return d;
}

std::optional<double> pfOf(const std::optional<SampledProbability>& p) {
    return p ? std::optional(p->Pf) : std::nullopt;
}

std::optional<double> covOf(const std::optional<SampledProbability>& p) { return p ? p->Cov : std::nullopt; }

// A figure of the main design point, None without one.
template <typename Field> py::object ofDesign(const ReliabilityResult& r, Field field) {
    return r.Design ? py::cast((*r.Design).*field) : py::none();
}

std::optional<std::string> failureOf(const ReliabilityResult& r) {
    const auto failure = r.Failure ? r.Failure : r.BoltFailure;
    return failure ? std::optional(reliabilityFailureText(*failure)) : std::nullopt;
}

} // namespace

void bindReliabilityResult(py::module_& m) {
    py::class_<ReliabilityResult>(m, "ReliabilityResult")
        .def_property_readonly("beta", [](const ReliabilityResult& r) { return ofDesign(r, &ReliabilityMode::Beta); })
        .def_property_readonly("pf_form",
                               [](const ReliabilityResult& r) { return ofDesign(r, &ReliabilityMode::PfForm); })
        .def_readonly("pf_sorm", &ReliabilityResult::PfTvedt)
        .def_readonly("pf_breitung", &ReliabilityResult::PfBreitung)
        .def_property_readonly("pf_is", [](const ReliabilityResult& r) { return pfOf(r.Importance); })
        .def_property_readonly("pf_is_cov", [](const ReliabilityResult& r) { return covOf(r.Importance); })
        .def_property_readonly("is_samples",
                               [](const ReliabilityResult& r) { return r.Importance ? r.Importance->Samples : 0; })
        .def_property_readonly("design_point",
                               [](const ReliabilityResult& r) {
                                   return r.Design ? py::object(byInput(r, r.Design->DesignPoint)) : py::none();
                               })
        .def_property_readonly(
            "alpha",
            [](const ReliabilityResult& r) { return r.Design ? py::object(byInput(r, r.Design->Alpha)) : py::none(); })
        .def_readonly("fs_at_design_point", &ReliabilityResult::FactorAtDesignPoint)
        .def_readonly("evaluations", &ReliabilityResult::Evaluations)
        .def_readonly("iterations", &ReliabilityResult::Iterations)
        .def_readonly("curvatures", &ReliabilityResult::Curvatures)
        .def_property_readonly("modes",
                               [](const ReliabilityResult& r) {
                                   py::list modes;
                                   for (const ReliabilityMode& mode : r.Modes) {
                                       py::dict d;
                                       d["contact"] = contactName(mode.Contact);
                                       d["beta"] = mode.Beta;
                                       d["pf_form"] = mode.PfForm;
                                       d["design_point"] = byInput(r, mode.DesignPoint);
                                       d["alpha"] = byInput(r, mode.Alpha);
                                       modes.append(d);
                                   }
                                   return modes;
                               })
        .def_property_readonly("pf_system", [](const ReliabilityResult& r) { return pfOf(r.System); })
        .def_property_readonly("pf_system_cov", [](const ReliabilityResult& r) { return covOf(r.System); })
        .def_property_readonly("ditlevsen_bounds",
                               [](const ReliabilityResult& r) {
                                   return r.DitlevsenLow ? py::object(py::make_tuple(*r.DitlevsenLow, *r.DitlevsenHigh))
                                                         : py::none();
                               })
        .def_readonly("system_beta", &ReliabilityResult::SystemBeta)
        .def_readonly("target_beta", &ReliabilityResult::TargetBeta)
        .def_readonly("meets_target", &ReliabilityResult::MeetsTarget)
        .def_readonly("required_bolt_force", &ReliabilityResult::RequiredBoltForce)
        .def_property_readonly(
            "required_bolt_trend",
            [](const ReliabilityResult& r) { return r.DesignBolt ? std::optional(r.DesignBolt->Trend) : std::nullopt; })
        .def_property_readonly("required_bolt_plunge",
                               [](const ReliabilityResult& r) {
                                   return r.DesignBolt ? std::optional(r.DesignBolt->Plunge) : std::nullopt;
                               })
        .def_readonly("required_bolt_lower_bound", &ReliabilityResult::BoltLowerBound)
        .def_readonly("required_bolt_confirmed", &ReliabilityResult::BoltLeastConfirmed)
        .def_readonly("bolt_evaluations", &ReliabilityResult::BoltEvaluations)
        .def_property_readonly("error", &failureOf)
        .def("to_dict", [](const ReliabilityResult& r) { return pythonOf(reliabilityJson(r)); });
    m.def(
        "target_beta",
        [](int safetyClass, const std::string& failureType) {
            if (safetyClass < 1 || safetyClass > 3 || (failureType != "ductile" && failureType != "brittle"))
                throw Error::refused("the safety class is 1, 2 or 3 and the failure type ductile or brittle",
                                     "target_beta");
            return targetBeta(static_cast<SafetyClass>(safetyClass - 1),
                              failureType == "brittle" ? FailureType::Brittle : FailureType::Ductile);
        },
        py::arg("safety_class"), py::arg("failure_type"));
}

} // namespace trelmox
