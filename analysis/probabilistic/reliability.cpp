#include "analysis/probabilistic/reliability.h"

#include <algorithm>
#include <cmath>

#include "analysis/probabilistic/reliability_bolt.h"
#include "analysis/probabilistic/reliability_modes.h"
#include "model/language.h"
#include "model/numtext.h"

namespace trelmox {

double targetBeta(SafetyClass safetyClass, FailureType failureType) {
    const double classStep = safetyClass == SafetyClass::First ? 0.5 : safetyClass == SafetyClass::Second ? 0 : -0.5;
    return 3.2 + classStep + (failureType == FailureType::Brittle ? 0.5 : 0);
}

std::string reliabilityFailureText(ReliabilityFailure failure) {
    switch (failure) {
    case ReliabilityFailure::NoFactorAtMedians:
        return inLanguage("各随机输入取中位数时不构成楔块或安全系数无法计算，无法进行可靠度分析",
                          "at the medians of the random inputs there is no wedge or its factor fails: no reliability "
                          "analysis");
    case ReliabilityFailure::FlatFactor:
        return inLanguage("安全系数不随随机输入变化，找不到设计验算点",
                          "the factor does not change with the random inputs: no design point");
    case ReliabilityFailure::NoFactorNearby:
        return inLanguage("设计验算点的搜索遇到两侧都不构成楔块的点，未能收敛",
                          "the design point search met points with no wedge on either side and stopped");
    case ReliabilityFailure::NotConverged:
        return inLanguage("设计验算点的迭代未收敛（极限状态可能在接触状态改变处不光滑）",
                          "the design point iteration did not converge (the limit state may have a kink where the "
                          "contact case changes)");
    case ReliabilityFailure::NoVariedInput:
        return inLanguage("没有随机输入，无法进行可靠度分析", "no input varies: no reliability analysis");
    case ReliabilityFailure::BoltCannotReachTarget:
        return inLanguage("沿给定方向的锚杆力无法使可靠指标达到目标值",
                          "no force of the design bolt along its direction reaches the target beta");
    case ReliabilityFailure::NoBoltReachesTarget:
        return inLanguage("未找到能使可靠指标达到目标值的锚杆方向",
                          "no bolt direction was found whose force reaches the target beta");
    }
    return {};
}

namespace {

double dot(const std::vector<double>& a, const std::vector<double>& b) {
    double sum = 0;
    for (std::size_t k = 0; k < a.size(); ++k) sum += a[k] * b[k];
    return sum;
}

// Progress over the sampling runs: each reports against its own cap.
ProgressCallback runProgress(const ProgressCallback& progress, std::uint64_t before, std::uint64_t total) {
    if (!progress) return {};
    return [=](std::uint64_t done, std::uint64_t) { return progress(before + done, total); };
}

void analyse(const BlockInputs& base, const ReliabilitySettings& settings, const ProgressCallback& progress,
             ReliabilityResult& r) {
    BlockLimitState state(base, settings);
    r.Inputs = state.Space.inputs();
    const std::size_t n = state.Space.dimension();
    if (n == 0) {
        r.Failure = ReliabilityFailure::NoVariedInput;
        return;
    }
    const StandardFactor factor = state.factor();
    const ModeSearch search = searchModes(factor, n);
    r.Evaluations = search.Evaluations;
    if (search.Points.empty()) {
        r.Failure = search.Failure;
        return;
    }
    for (const DesignPoint& point : search.Points) r.Modes.push_back(modeOf(point, state.Space));
    const DesignPoint& main = search.Points.front();
    r.Design = r.Modes.front();
    r.FactorAtDesignPoint = main.Value.Factor;
    r.Iterations = main.Iterations;
    const SecondOrder second = secondOrder(factor, main);
    r.Evaluations += second.Evaluations;
    r.Curvatures = second.Curvatures;
    r.PfBreitung = second.Breitung, r.PfTvedt = second.Tvedt;
    const auto [low, high] = ditlevsenBounds(r.Modes);
    r.DitlevsenLow = low, r.DitlevsenHigh = high;
    r.SystemBeta = systemBetaOf(r.Modes, high);
    if (settings.TargetBeta) r.MeetsTarget = *r.SystemBeta >= *settings.TargetBeta;

    ImportanceSettings sampling;
    sampling.TargetCov = settings.TargetCov;
    sampling.MaxSamples = settings.MaxSamples;
    sampling.Seed = settings.Inputs.Seed;
    sampling.Threads = settings.Inputs.Threads;
    sampling.Vectorised = settings.Inputs.Vectorised;
    const bool several = r.Modes.size() > 1;
    const std::uint64_t total = (several ? 2 : 1) * settings.MaxSamples;
    sampling.Stream = 1;
    bool cancelled = false;
    r.Importance = importanceSampling(base, state.Space, settings.Factor, {{main.U}, {1.0}}, sampling, settings.Hook,
                                      runProgress(progress, 0, total), &cancelled);
    if (cancelled) {
        r.Cancelled = true;
        return;
    }
    if (!several) {
        r.System = r.Importance;
        return;
    }
    // Each mode drawn as often as FORM says it fails (the least likely at
    // least a thousandth as often as the most), so that none is left unseen.
    SamplingMixture mixture;
    for (const ReliabilityMode& mode : r.Modes) {
        mixture.Centres.push_back(mode.U);
        mixture.Weights.push_back(std::max(mode.PfForm, 1e-3 * r.Modes.front().PfForm) + 1e-300);
    }
    sampling.Stream = 2;
    r.System = importanceSampling(base, state.Space, settings.Factor, mixture, sampling, settings.Hook,
                                  runProgress(progress, r.Importance->Samples, total), &cancelled);
    r.Cancelled = cancelled;
}

} // namespace

std::pair<double, double> ditlevsenBounds(const std::vector<ReliabilityMode>& modes) {
    // Most likely first: the bounds are tightest in that order.
    std::vector<const ReliabilityMode*> order;
    for (const ReliabilityMode& mode : modes) order.push_back(&mode);
    std::stable_sort(order.begin(), order.end(),
                     [](const ReliabilityMode* a, const ReliabilityMode* b) { return a->PfForm > b->PfForm; });
    double low = 0, high = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        double joint = 0, largest = 0;
        for (std::size_t j = 0; j < i; ++j) {
            const double rho = std::clamp(dot(order[i]->Alpha, order[j]->Alpha), -1.0, 1.0);
            const double both = bivariateNormalCdf(-order[i]->Beta, -order[j]->Beta, rho);
            joint += both;
            largest = std::max(largest, both);
        }
        low += std::max(0.0, order[i]->PfForm - joint);
        high += order[i]->PfForm - largest;
    }
    return {std::min(low, 1.0), std::min(high, 1.0)};
}

void validateReliability(const BlockInputs& inputs, const ReliabilitySettings& settings) {
    validateSettings(inputs, settings.Inputs);
    if (!(settings.TargetCov > 0 && std::isfinite(settings.TargetCov)))
        throw Error::refused(
            inLanguage("目标变异系数应为大于0的有限数", "the target CoV must be a finite number above 0"));
    if (settings.MaxSamples < 1 || settings.MaxSamples > MaxSamples)
        throw Error::refused(std::string(inLanguage("样本数上限应在1与", "the sample cap must lie between 1 and ")) +
                             std::to_string(MaxSamples) + inLanguage("之间", ""));
    if (settings.TargetBeta && !std::isfinite(*settings.TargetBeta))
        throw Error::refused(inLanguage("目标可靠指标应为有限数", "the target beta must be a finite number"));
    const WedgeSizeLimits& size = inputs.Loads.Size;
    if (settings.Factor == ReliabilityFactor::Fs && (size.MinVolume || size.MinWeight || size.MinHeight))
        throw Error::refused(inLanguage("荷载中给出了最小楔块尺寸，可靠度分析不能计入过小的楔块",
                                        "the loads give a least wedge size, which the reliability analysis cannot "
                                        "take into account"));
    if (!settings.DesignBolt && !settings.LeastForceBolt) return;
    if (settings.DesignBolt && settings.LeastForceBolt)
        throw Error::refused(inLanguage("设计锚杆给定方向时不能同时求最省方向",
                                        "a design bolt has a given direction or the least-force one, not both"));
    if (!settings.TargetBeta)
        throw Error::refused(inLanguage("设计锚杆需要目标可靠指标", "the design bolt needs a target beta"));
    if (settings.Factor != ReliabilityFactor::Fs)
        throw Error::refused(inLanguage("锚杆只作用于实际楔块的安全系数Fs", "bolts enter the full factor Fs only"));
    if (settings.Inputs.Distributions[static_cast<int>(Parameter::BoltForce)].Type != Distribution::Kind::Fixed)
        throw Error::refused(
            inLanguage("设计锚杆时锚杆力合计不能作为随机输入", "the bolt total cannot vary beside a design bolt"));
    if (settings.DesignBolt && (!withinLoadRange(settings.DesignBolt->Trend, LoadRange::Azimuth) ||
                                !withinLoadRange(settings.DesignBolt->Plunge, LoadRange::Plunge)))
        throw Error::refused(inLanguage("设计锚杆的方向应为有限的方位角和-90到90之间的倾伏角",
                                        "the design bolt's trend must be finite and its plunge within -90..90"));
}

ReliabilityResult runReliability(const PlaneAttitudeArray& attitudes, const BlockParameters& parameters,
                                 const WedgeLoads& loads, const ReliabilitySettings& settings,
                                 const ProgressCallback& progress) {
    const BlockInputs base = blockInputs(attitudes, parameters, loads);
    validateReliability(base, settings);
    ReliabilityResult r;
    r.Factor = settings.Factor;
    r.TargetBeta = settings.TargetBeta;
    analyse(base, settings, progress, r);
    if (!r.Cancelled && (settings.DesignBolt || settings.LeastForceBolt)) {
        const ReliabilityBolt bolt = designReliabilityBolt(attitudes, parameters, loads, settings, r.Design);
        r.LeastForceBolt = settings.LeastForceBolt;
        r.DesignBolt = bolt.Direction;
        r.RequiredBoltForce = bolt.Force;
        r.BoltFailure = bolt.Failure;
        r.BoltLowerBound = bolt.LowerBound;
        r.BoltLeastConfirmed = bolt.Confirmed;
        r.BoltEvaluations = bolt.Evaluations;
        r.BoltDirections = bolt.Directions;
    }
    return r;
}

} // namespace trelmox
