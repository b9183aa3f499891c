#include "analysis/probabilistic/reliability_modes.h"

#include <algorithm>
#include <cmath>

namespace trelmox {

namespace {

double distance(const std::vector<double>& a, const std::vector<double>& b) {
    double sum = 0;
    for (std::size_t k = 0; k < a.size(); ++k) sum += (a[k] - b[k]) * (a[k] - b[k]);
    return std::sqrt(sum);
}

// No more modes than this are kept (the least beta first); each costs the
// mixture a component.
constexpr std::size_t MostModes = 8;
// Design points closer than this share of their distance from the origin
// are one mode.
constexpr double SameMode = 1e-3;
// The steps a followed design point may take.
constexpr int FollowedIterations = 12;

ReliabilityFailure failureOf(FormStatus status) {
    switch (status) {
    case FormStatus::NoFactorAtStart: return ReliabilityFailure::NoFactorAtMedians;
    case FormStatus::FlatFactor: return ReliabilityFailure::FlatFactor;
    case FormStatus::NoFactorNearby: return ReliabilityFailure::NoFactorNearby;
    case FormStatus::Converged:
    case FormStatus::NotConverged: break;
    }
    return ReliabilityFailure::NotConverged;
}

// The converged points, least beta first, one of each mode.
void keepDistinct(std::vector<DesignPoint> found, ModeSearch& search) {
    std::stable_sort(found.begin(), found.end(),
                     [](const DesignPoint& a, const DesignPoint& b) { return a.Beta < b.Beta; });
    for (DesignPoint& point : found) {
        const bool known = std::any_of(search.Points.begin(), search.Points.end(), [&](const DesignPoint& kept) {
            return distance(point.U, kept.U) <= SameMode * std::max(1.0, std::abs(kept.Beta));
        });
        if (!known && search.Points.size() < MostModes) search.Points.push_back(std::move(point));
    }
}

} // namespace

BlockLimitState::BlockLimitState(const BlockInputs& base, const ReliabilitySettings& settings)
    : Space(base, settings.Inputs), Evaluate(base, Space.inputs(), settings.Factor, settings.Hook),
      Values(Space.dimension()) {}

StandardFactor BlockLimitState::factor() {
    return [this](const double* u) {
        Space.physical(u, Values.data());
        return Evaluate(Values.data());
    };
}

ModeSearch searchModes(const StandardFactor& factor, std::size_t n) {
    ModeSearch search;
    std::vector<DesignPoint> found;
    const DesignPoint first = findDesignPoint(factor, std::vector<double>(n, 0.0));
    search.Evaluations += first.Evaluations;
    if (first.Status == FormStatus::NoFactorAtStart) {
        search.Failure = ReliabilityFailure::NoFactorAtMedians;
        return search;
    }
    if (first.Status == FormStatus::Converged) found.push_back(first);
    const double radius = first.Status == FormStatus::Converged ? std::max(1.0, std::abs(first.Beta)) : 2.0;
    for (std::size_t k = 0; k < n; ++k)
        for (double side : {1.0, -1.0}) {
            std::vector<double> start(n, 0.0);
            start[k] = side * radius;
            DesignPoint point = findDesignPoint(factor, start);
            search.Evaluations += point.Evaluations;
            if (point.Status == FormStatus::Converged) found.push_back(std::move(point));
        }
    if (found.empty()) {
        search.Failure = failureOf(first.Status);
        return search;
    }
    keepDistinct(std::move(found), search);
    return search;
}

ModeSearch followModes(const StandardFactor& factor, const std::vector<std::vector<double>>& starts) {
    ModeSearch search;
    std::vector<DesignPoint> found;
    std::optional<FormStatus> firstStatus;
    // A start beside its design point converges in a few steps; one that
    // takes many has lost its mode, which every start then looks for.
    FormSettings few;
    few.MaxIterations = FollowedIterations;
    for (const std::vector<double>& start : starts) {
        DesignPoint point = findDesignPoint(factor, start, few);
        search.Evaluations += point.Evaluations;
        if (!firstStatus) firstStatus = point.Status;
        if (point.Status == FormStatus::Converged) found.push_back(std::move(point));
    }
    if (found.empty()) {
        search.Failure = failureOf(firstStatus.value_or(FormStatus::NotConverged));
        return search;
    }
    keepDistinct(std::move(found), search);
    return search;
}

ReliabilityMode modeOf(const DesignPoint& point, const StandardSpace& space) {
    ReliabilityMode mode;
    mode.Contact = static_cast<TWedgeContact>(point.Value.Outcome);
    mode.Beta = point.Beta;
    mode.PfForm = normalCdf(-point.Beta);
    mode.U = point.U;
    mode.Alpha = point.Alpha;
    mode.DesignPoint.resize(point.U.size());
    space.physical(point.U.data(), mode.DesignPoint.data());
    return mode;
}

double systemBetaOf(const std::vector<ReliabilityMode>& modes, double upper) {
    if (modes.size() == 1) return modes.front().Beta;
    return -normalQuantile(std::clamp(upper, 0x1p-1074, 1 - 0x1p-53));
}

std::optional<double> systemBetaOf(const std::vector<DesignPoint>& points) {
    if (points.empty()) return std::nullopt;
    std::vector<ReliabilityMode> modes;
    for (const DesignPoint& point : points) {
        ReliabilityMode& mode = modes.emplace_back();
        mode.Beta = point.Beta;
        mode.PfForm = normalCdf(-point.Beta);
        mode.Alpha = point.Alpha;
    }
    return systemBetaOf(modes, ditlevsenBounds(modes).second);
}

} // namespace trelmox
