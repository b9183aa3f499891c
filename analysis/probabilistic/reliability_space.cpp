#include "analysis/probabilistic/reliability_space.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/orientation.h"
#include "analysis/probabilistic/sample_trig.h"

namespace trelmox {

namespace {

// The run's uniforms lie within [2^-53, 1 - 2^-53]: so do the
// probabilities here, so that no input takes a value no sample could (the
// open end of a range, an infinite quantile).
double heldInside(double p) { return std::clamp(p, 0x1p-53, 1 - 0x1p-53); }

std::pair<Parameter, Parameter> attitudeInputs(int k) {
    if (k == 2) return {Parameter::CrackDip, Parameter::CrackDipDir};
    return k == 0 ? std::pair(Parameter::Dip1, Parameter::DipDir1) : std::pair(Parameter::Dip2, Parameter::DipDir2);
}

} // namespace

bool hasFactor(const FactorValue& value) {
    return !failedOutcome(value.Outcome) && cutsOutWedge(static_cast<TWedgeContact>(value.Outcome)) &&
           std::isfinite(value.Factor);
}

bool failing(const FactorValue& value) { return hasFactor(value) && value.Factor < 1; }

StandardSpace::StandardSpace(const BlockInputs& base, const ProbabilisticSettings& settings) {
    for (int i = 0; i < ParameterCount; ++i) {
        const auto input = static_cast<Parameter>(i);
        Sampler draw(input, parameterValue(base, input), settings.Distributions[i]);
        if (draw.varies()) marginals_.push_back({input, draw}), inputs_.push_back(input);
    }
    auto coordinateOf = [&](Parameter p) {
        return static_cast<std::size_t>(std::find(inputs_.begin(), inputs_.end(), p) - inputs_.begin());
    };
    for (int k = 0; k < 2; ++k) {
        const double rho = settings.Correlation[k];
        if (rho == 0) continue;
        const std::size_t c = coordinateOf(k == 0 ? Parameter::Cohesion1 : Parameter::Cohesion2);
        const std::size_t f = coordinateOf(k == 0 ? Parameter::Friction1 : Parameter::Friction2);
        // A strength at its block's value (a zero spread) has nothing to correlate.
        if (c < marginals_.size() && f < marginals_.size()) copulas_.push_back({c, f, rho, std::sqrt(1 - rho * rho)});
    }
    for (int k = 0; k < 3; ++k) {
        if (!settings.FisherKappa[k]) continue;
        const TPlaneAttitude& mean = k < 2 ? base.Attitudes[k] : base.CrackAttitude;
        fisher_.push_back({FisherDistribution(planePole(mean), *settings.FisherKappa[k])});
        const auto [dip, dipDirection] = attitudeInputs(k);
        inputs_.insert(inputs_.end(), {dip, dipDirection});
    }
}

double StandardSpace::probability(const double* u, std::size_t k) const {
    for (const Copula& c : copulas_)
        if (c.Friction == k) return heldInside(normalCdf(c.Rho * u[c.Cohesion] + c.Own * u[k]));
    return heldInside(normalCdf(u[k]));
}

void StandardSpace::physical(const double* u, double* x) const {
    const std::size_t n = marginals_.size();
    for (std::size_t k = 0; k < n; ++k) x[k] = marginals_[k].Draw.value(probability(u, k));
    for (std::size_t f = 0; f < fisher_.size(); ++f) {
        const std::size_t k = n + 2 * f;
        const TPlaneAttitude a = planeOfPole(fisher_[f].Distribution.pole(probability(u, k), probability(u, k + 1)));
        x[k] = a.DipAngle, x[k + 1] = a.DipDirection;
    }
}

void StandardSpace::physicalColumns(const std::vector<double*>& columns, std::size_t count, bool vectorised) const {
    const std::size_t n = marginals_.size();
    std::vector<double> u(inputs_.size());
    // Every probability first: a correlated friction's needs cohesion's score.
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t k = 0; k < u.size(); ++k) u[k] = columns[k][i];
        for (std::size_t k = 0; k < n; ++k) columns[k][i] = probability(u.data(), k);
        for (std::size_t f = 0; f < fisher_.size(); ++f) {
            const std::size_t k = n + 2 * f;
            const TPlaneAttitude a =
                planeOfPole(fisher_[f].Distribution.pole(probability(u.data(), k), probability(u.data(), k + 1)));
            columns[k][i] = a.DipAngle, columns[k + 1][i] = a.DipDirection;
        }
    }
    for (std::size_t k = 0; k < n; ++k) {
        if (vectorised)
            marginals_[k].Draw.values(columns[k], count);
        else
            for (std::size_t i = 0; i < count; ++i) columns[k][i] = marginals_[k].Draw.value(columns[k][i]);
    }
}

FactorEvaluator::FactorEvaluator(const BlockInputs& base, const std::vector<Parameter>& inputs,
                                 ReliabilityFactor factor, FactorHook hook)
    : work_(base), inputs_(inputs), factor_(factor), hook_(std::move(hook)) {
    try {
        planes_ = sampleWedgePlanes(base.Attitudes, base.Loads.Crack);
    } catch (const Error&) { // each evaluation then reports its own failure
    }
    for (Parameter input : inputs_) {
        const auto plane = planeOf(input);
        if (plane && std::find(changing_.begin(), changing_.end(), *plane) == changing_.end())
            changing_.push_back(*plane);
        crackTurns_ |= input == Parameter::CrackDip || input == Parameter::CrackDipDir;
    }
}

FactorValue FactorEvaluator::compute() {
    if (hook_) return {hook_(work_), SampleOutcome::BothPlanes};
    if (factor_ == ReliabilityFactor::Kc) {
        const SafetyResult r = evaluate(work_);
        return {r.SafetyFactor, static_cast<SampleOutcome>(r.Contact)};
    }
    if (!planes_) {
        full_ = evaluateFull(work_);
    } else {
        for (TPlaneRole plane : changing_) refreshPlane(*planes_, work_.Attitudes, plane);
        if (crackTurns_) planes_->Crack = sampleUpwardNormal(work_.CrackAttitude);
        evaluateFull(work_, *planes_, full_);
    }
    return {full_.Safety.Factor, static_cast<SampleOutcome>(full_.Safety.Contact)};
}

// As the run settles a sample: a failed computation has no factor, and a
// wedge's factor beyond the range of a double fails as an overflow.
FactorValue FactorEvaluator::operator()(const double* x) {
    ++evaluations_;
    for (std::size_t k = 0; k < inputs_.size(); ++k) parameterField(work_, inputs_[k]) = x[k];
    FactorValue value;
    try {
        value = compute();
    } catch (const Error& failure) {
        value.Outcome = outcomeOfFailure(failure);
    }
    if (!failedOutcome(value.Outcome) && cutsOutWedge(static_cast<TWedgeContact>(value.Outcome)) &&
        !std::isfinite(value.Factor))
        value.Outcome = SampleOutcome::Overflow;
    if (failedOutcome(value.Outcome)) value.Factor = std::numeric_limits<double>::quiet_NaN();
    return value;
}

} // namespace trelmox
