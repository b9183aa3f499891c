#include "analysis/joints/sets.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "analysis/orientation.h"
#include "analysis/vec3.h"
#include "model/wording.h"
#include "model/error.h"
#include "model/numtext.h"

namespace trelmox {

namespace {

constexpr int MaxIterations = 100;
constexpr int Restarts = 8;
constexpr double ConfidenceComplement = 0.05; // 95% cone

TPoint3D unit(TPoint3D v) { return (1 / norm(v)) * v; }
TPoint3D downward(TPoint3D v) { return v.z > 0 ? -1 * v : v; }
double sense(const TPoint3D& pole, const TPoint3D& axis) { return dot(pole, axis) < 0 ? -1 : 1; }

// Sum of the weighted poles, each turned to agree with `axis`.
TPoint3D alignedSum(const std::vector<WeightedPole>& poles, const TPoint3D& axis) {
    TPoint3D sum{};
    for (const WeightedPole& p : poles) sum = sum + (p.Weight * sense(p.Pole, axis)) * p.Pole;
    return sum;
}

// The resultant of the poles in their best agreeing senses: turning the
// poles to the current mean and re-summing never shortens the resultant,
// and stops when no pole changes sense. Starts from the first pole.
TPoint3D axialResultant(const std::vector<WeightedPole>& poles) {
    TPoint3D axis = poles.front().Pole;
    TPoint3D sum = alignedSum(poles, axis);
    for (int i = 0; i < MaxIterations && norm(sum) > 0; ++i) {
        const TPoint3D next = alignedSum(poles, sum);
        const bool settled = std::all_of(poles.begin(), poles.end(), [&](const WeightedPole& p) {
            return sense(p.Pole, sum) == sense(p.Pole, axis);
        });
        axis = sum;
        sum = next;
        if (settled) break;
    }
    return sum;
}

std::optional<double> coneOfConfidence(double n, double r) {
    if (n <= 1 || r <= 0) return std::nullopt;
    // No scatter: the mean is known exactly. Written out, because with N
    // just above 1 the power overflows and 0 times it is no number.
    if (r >= n) return 0.0;
    const double c = 1 - (n - r) / r * (std::pow(1 / ConfidenceComplement, 1 / (n - 1)) - 1);
    return degrees(std::acos(std::clamp(c, -1.0, 1.0)));
}

JointSet setOf(std::string label, std::vector<std::size_t> members, const std::vector<Measurement>& planes) {
    JointSet set{std::move(label), std::move(members), {}};
    set.Stats = fisherStatistics(polesOf(planes, set.Members));
    return set;
}

// Uniform in [0, 1) from the raw 64-bit output, the same on every library.
double unitDraw(std::mt19937_64& random) { return static_cast<double>(random() >> 11) * 0x1p-53; }

double axialDistance(const TPoint3D& a, const TPoint3D& b) { return 1 - std::abs(dot(a, b)); }

// Index picked with probability proportional to weights[i].
std::size_t weightedPick(const std::vector<double>& weights, std::mt19937_64& random) {
    double total = 0;
    for (double w : weights) total += w;
    double target = unitDraw(random) * total;
    for (std::size_t i = 0; i < weights.size(); ++i) {
        if (target < weights[i]) return i;
        target -= weights[i];
    }
    return weights.size() - 1;
}

struct Clustering {
    std::vector<TPoint3D> centres;
    std::vector<std::size_t> assignment;
    double score = -1; // sum of w |cos| to the own centre; larger is tighter
};

// k-means++: each further centre drawn with probability proportional to
// its weighted distance from the nearest centre so far.
std::vector<TPoint3D> seedCentres(const std::vector<WeightedPole>& poles, int setCount, std::mt19937_64& random) {
    std::vector<double> weights;
    for (const WeightedPole& p : poles) weights.push_back(p.Weight);
    std::vector<TPoint3D> centres{poles[weightedPick(weights, random)].Pole};
    while (static_cast<int>(centres.size()) < setCount) {
        for (std::size_t i = 0; i < poles.size(); ++i) {
            double nearest = std::numeric_limits<double>::max();
            for (const TPoint3D& c : centres) nearest = std::min(nearest, axialDistance(poles[i].Pole, c));
            weights[i] = poles[i].Weight * nearest;
        }
        if (std::all_of(weights.begin(), weights.end(), [](double w) { return w <= 0; }))
            throw Error::refused(inLanguage("结构面只有 " + std::to_string(centres.size()) + " 种不同产状，不能分成 " +
                                                std::to_string(setCount) + " 组",
                                            "the planes have only " + std::to_string(centres.size()) +
                                                " different attitudes and cannot form " + std::to_string(setCount) +
                                                " sets"));
        centres.push_back(poles[weightedPick(weights, random)].Pole);
    }
    return centres;
}

std::size_t nearestCentre(const TPoint3D& pole, const std::vector<TPoint3D>& centres) {
    std::size_t best = 0;
    for (std::size_t c = 1; c < centres.size(); ++c)
        if (std::abs(dot(pole, centres[c])) > std::abs(dot(pole, centres[best]))) best = c;
    return best;
}

// A centre that lost all its poles takes the pole farthest from its own
// centre, so that every set keeps at least one plane.
void refillEmpty(const std::vector<WeightedPole>& poles, Clustering& k, std::vector<std::size_t>& sizes) {
    for (std::size_t c = 0; c < k.centres.size(); ++c) {
        if (sizes[c] > 0) continue;
        std::size_t far = 0;
        double farthest = -1;
        for (std::size_t i = 0; i < poles.size(); ++i) {
            const double d = axialDistance(poles[i].Pole, k.centres[k.assignment[i]]);
            if (sizes[k.assignment[i]] > 1 && d > farthest) {
                farthest = d;
                far = i;
            }
        }
        --sizes[k.assignment[far]];
        k.assignment[far] = c;
        sizes[c] = 1;
        k.centres[c] = poles[far].Pole;
    }
}

Clustering kMeans(const std::vector<WeightedPole>& poles, int setCount, std::mt19937_64& random) {
    Clustering k{seedCentres(poles, setCount, random), std::vector<std::size_t>(poles.size(), setCount), 0};
    for (int iteration = 0; iteration < MaxIterations; ++iteration) {
        bool changed = false;
        std::vector<std::size_t> sizes(setCount, 0);
        for (std::size_t i = 0; i < poles.size(); ++i) {
            const std::size_t c = nearestCentre(poles[i].Pole, k.centres);
            changed |= c != k.assignment[i];
            k.assignment[i] = c;
            ++sizes[c];
        }
        if (!changed) break;
        refillEmpty(poles, k, sizes);
        std::vector<TPoint3D> sums(setCount);
        for (std::size_t i = 0; i < poles.size(); ++i) {
            const TPoint3D& centre = k.centres[k.assignment[i]];
            sums[k.assignment[i]] =
                sums[k.assignment[i]] + (poles[i].Weight * sense(poles[i].Pole, centre)) * poles[i].Pole;
        }
        for (int c = 0; c < setCount; ++c)
            if (norm(sums[c]) > 0) k.centres[c] = unit(sums[c]);
    }
    for (std::size_t i = 0; i < poles.size(); ++i)
        k.score += poles[i].Weight * std::abs(dot(poles[i].Pole, k.centres[k.assignment[i]]));
    return k;
}

} // namespace

std::vector<WeightedPole> polesOf(const std::vector<Measurement>& planes) {
    std::vector<WeightedPole> poles;
    poles.reserve(planes.size());
    for (const Measurement& m : planes) poles.push_back({planePole(m.Plane), m.Weight});
    return poles;
}

std::vector<WeightedPole> polesOf(const std::vector<Measurement>& planes, const std::vector<std::size_t>& members) {
    std::vector<WeightedPole> poles;
    poles.reserve(members.size());
    for (std::size_t i : members) poles.push_back({planePole(planes.at(i).Plane), planes[i].Weight});
    return poles;
}

FisherStats fisherStatistics(const std::vector<WeightedPole>& poles) {
    if (poles.empty()) throw Error::refused(inLanguage("结构面组中没有结构面", "the set holds no plane"));
    FisherStats stats;
    stats.Count = poles.size();
    for (const WeightedPole& p : poles) stats.Weight += p.Weight;
    const TPoint3D resultant = axialResultant(poles);
    // Coinciding poles give R = N but for rounding, which must not turn
    // into a finite K.
    stats.Resultant = stats.Weight - norm(resultant) <= 1e-12 * stats.Weight ? stats.Weight : norm(resultant);
    stats.MeanPole = downward(norm(resultant) > 0 ? unit(resultant) : unit(poles.front().Pole));
    stats.MeanPlane = planeOfPole(stats.MeanPole);
    const double n = stats.Weight, r = stats.Resultant;
    if (n > 1) stats.Kappa = n > r ? (n - 1) / (n - r) : std::numeric_limits<double>::infinity();
    stats.Cone95 = coneOfConfidence(n, r);
    return stats;
}

std::vector<JointSet> labelledSets(const std::vector<Measurement>& planes) {
    std::vector<std::pair<std::string, std::vector<std::size_t>>> groups;
    for (std::size_t i = 0; i < planes.size(); ++i) {
        if (planes[i].Set.empty()) continue;
        auto group =
            std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.first == planes[i].Set; });
        if (group == groups.end()) group = groups.insert(groups.end(), {planes[i].Set, {}});
        group->second.push_back(i);
    }
    std::vector<JointSet> sets;
    for (auto& [label, members] : groups) sets.push_back(setOf(label, std::move(members), planes));
    return sets;
}

JointSet windowSet(const std::vector<Measurement>& planes, const SetWindow& window) {
    if (!(window.HalfAngle > 0 && window.HalfAngle <= 90))
        throw Error::refused(inLanguage("选取窗口的半顶角 " + floatToText(window.HalfAngle) + " 应大于 0、不大于 90 度",
                                        "the half angle " + floatToText(window.HalfAngle) +
                                            " of the picking window should be above 0 and at most 90 degrees"));
    if (!(norm(window.Centre) > 0) || !std::isfinite(norm(window.Centre)))
        throw Error::refused(
            inLanguage("选取窗口的中心方向无效", "the centre direction of the picking window is invalid"));
    const TPoint3D centre = unit(window.Centre);
    const double limit = std::cos(radians(window.HalfAngle));
    std::vector<std::size_t> members;
    for (std::size_t i = 0; i < planes.size(); ++i)
        if (std::abs(dot(planePole(planes[i].Plane), centre)) >= limit) members.push_back(i);
    if (members.empty())
        throw Error::refused(inLanguage("选取窗口“" + window.Label + "”内没有结构面极点",
                                        "the picking window \"" + window.Label + "\" holds no pole"));
    return setOf(window.Label, std::move(members), planes);
}

std::size_t nearestPole(const std::vector<Measurement>& planes, const TPoint3D& direction) {
    if (planes.empty()) throw Error::refused(inLanguage("没有结构面可选", "there are no planes to pick from"));
    const TPoint3D axis = unit(direction);
    std::size_t nearest = 0;
    double closest = -1; // |cos| of the angle, 1 on the axis
    for (std::size_t i = 0; i < planes.size(); ++i)
        if (const double c = std::abs(dot(planePole(planes[i].Plane), axis)); c > closest) {
            closest = c;
            nearest = i;
        }
    return nearest;
}

std::vector<JointSet> groupSets(const std::vector<Measurement>& planes, int setCount, std::uint64_t seed) {
    if (setCount < 1 || static_cast<std::size_t>(setCount) > planes.size())
        throw Error::refused(inLanguage(
            "分组数 " + std::to_string(setCount) + " 应在 1 到结构面数 " + std::to_string(planes.size()) + " 之间",
            "the number of sets " + std::to_string(setCount) + " should be between 1 and the number of planes " +
                std::to_string(planes.size())));
    const std::vector<WeightedPole> poles = polesOf(planes);
    std::mt19937_64 random(seed);
    Clustering best;
    for (int restart = 0; restart < Restarts; ++restart) {
        Clustering k = kMeans(poles, setCount, random);
        if (k.score > best.score) best = std::move(k);
    }
    std::vector<std::vector<std::size_t>> members(setCount);
    for (std::size_t i = 0; i < planes.size(); ++i) members[best.assignment[i]].push_back(i);
    std::vector<JointSet> sets;
    for (auto& m : members) sets.push_back(setOf("", std::move(m), planes));
    std::stable_sort(sets.begin(), sets.end(), [](const JointSet& a, const JointSet& b) {
        return a.Stats.Weight > b.Stats.Weight || (a.Stats.Weight == b.Stats.Weight && a.Members[0] < b.Members[0]);
    });
    for (std::size_t i = 0; i < sets.size(); ++i) sets[i].Label = "J" + std::to_string(i + 1);
    return sets;
}

} // namespace trelmox
