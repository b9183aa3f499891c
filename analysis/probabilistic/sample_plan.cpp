#include "analysis/probabilistic/sample_plan.h"

#include <utility>

#include "analysis/orientation.h"
#include "analysis/probabilistic/sample_trig.h"
#include "model/error.h"

namespace trelmox::probabilistic_run {

namespace {

std::vector<VaryingInput> varyingInputs(const BlockInputs& base, const ProbabilisticSettings& settings) {
    std::vector<VaryingInput> varying;
    for (int i = 0; i < ParameterCount; ++i) {
        const auto input = static_cast<Parameter>(i);
        Sampler draw(input, parameterValue(base, input), settings.Distributions[i]);
        if (draw.varies()) varying.push_back({input, draw});
    }
    return varying;
}

std::vector<FisherPlane> fisherPlanes(const BlockInputs& base, const ProbabilisticSettings& settings) {
    std::vector<FisherPlane> planes;
    for (int k = 0; k < 3; ++k) {
        if (!settings.FisherKappa[k]) continue;
        const auto [dip, dipDirection] = attitudeInputs(k);
        const TPlaneAttitude& mean = k < 2 ? base.Attitudes[k] : base.CrackAttitude;
        planes.push_back({static_cast<TPlaneRole>(k), FisherDistribution(planePole(mean), *settings.FisherKappa[k]),
                          dip, dipDirection});
    }
    return planes;
}

std::optional<WedgePlanes> basePlanes(const BlockInputs& base) {
    try {
        return sampleWedgePlanes(base.Attitudes, base.Loads.Crack);
    } catch (const Error&) {
        return std::nullopt;
    }
}

std::vector<TPlaneRole> changingPlanes(const std::vector<Parameter>& varying) {
    std::vector<TPlaneRole> planes;
    for (Parameter input : varying) {
        const auto plane = planeOf(input);
        if (plane && std::find(planes.begin(), planes.end(), *plane) == planes.end()) planes.push_back(*plane);
    }
    return planes;
}

std::vector<CorrelatedPair> correlatedPairs(const std::vector<VaryingInput>& varying,
                                            const ProbabilisticSettings& settings) {
    std::vector<CorrelatedPair> pairs;
    auto columnOf = [&](Parameter p) {
        return static_cast<std::size_t>(
            std::find_if(varying.begin(), varying.end(), [p](const VaryingInput& v) { return v.Input == p; }) -
            varying.begin());
    };
    for (int k = 0; k < 2; ++k) {
        if (settings.Correlation[k] == 0) continue;
        const auto [cohesion, friction] = strengthInputs(k);
        const std::size_t c = columnOf(cohesion), f = columnOf(friction);
        // A strength drawn as its block's value (a zero spread) has nothing to correlate.
        if (c < varying.size() && f < varying.size()) pairs.push_back({c, f, settings.Correlation[k]});
    }
    return pairs;
}

std::vector<Parameter> changingInputs(const std::vector<VaryingInput>& varying,
                                      const std::vector<FisherPlane>& fisher) {
    std::vector<Parameter> inputs;
    for (const VaryingInput& v : varying) inputs.push_back(v.Input);
    for (const FisherPlane& f : fisher) inputs.insert(inputs.end(), {f.AngleInput, f.AzimuthInput});
    return inputs;
}

// The lanes take the crack's attitude as fixed: a turning crack's full
// factor goes through the scalar analysis.
bool crackTurns(const std::vector<Parameter>& inputs) {
    return std::any_of(inputs.begin(), inputs.end(),
                       [](Parameter p) { return p == Parameter::CrackDip || p == Parameter::CrackDipDir; });
}

} // namespace

SamplePlan samplePlan(const BlockInputs& base, const ProbabilisticSettings& settings, std::vector<VaryingInput> varying,
                      std::vector<FisherPlane> fisher, std::vector<CorrelatedPair> correlated,
                      std::vector<Parameter> inputs) {
    KernelPlan kernel;
    buildKernelPlan(base, inputs, kernel);
    std::vector<TPlaneRole> planes = changingPlanes(inputs);
    SampleDesign design(settings.Method, settings.Seed, settings.Samples, inputs, settings.Threads);
    const bool sized = sizes(base.Loads.Size);
    const bool turns = crackTurns(inputs);
    return {base,
            std::move(varying),
            std::move(fisher),
            std::move(correlated),
            std::move(inputs),
            std::move(kernel),
            basePlanes(base),
            std::move(planes),
            std::move(design),
            settings.Vectorised,
            base.Loads.RequiredFactor,
            (sized && base.Loads.Crack) || !settings.Vectorised || needsScalarFull(base.Loads) || turns,
            settings.FailedVolumes || sized,
            turns};
}

SamplePlan samplePlan(const BlockInputs& base, const ProbabilisticSettings& settings) {
    std::vector<VaryingInput> varying = varyingInputs(base, settings);
    std::vector<FisherPlane> fisher = fisherPlanes(base, settings);
    std::vector<CorrelatedPair> correlated = correlatedPairs(varying, settings);
    std::vector<Parameter> inputs = changingInputs(varying, fisher);
    return samplePlan(base, settings, std::move(varying), std::move(fisher), std::move(correlated), std::move(inputs));
}

} // namespace trelmox::probabilistic_run
