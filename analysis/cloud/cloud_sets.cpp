#include "analysis/cloud/cloud_sets.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <numeric>

#include "analysis/orientation.h"
#include "analysis/vec3.h"
#include "model/error.h"
#include "model/numtext.h"
#include "model/wording.h"

namespace trelmox {

namespace {

// Facet planes are fitted to within a degree or so: no set is taken to be
// tighter than that when sets are compared by their likelihood.
constexpr double LargestKappa = 1000;

double logSinh(double x) { return x + std::log1p(-std::exp(-2 * x)) - std::numbers::ln2; }
double logCosh(double x) { return std::abs(x) + std::log1p(std::exp(-2 * std::abs(x))) - std::numbers::ln2; }

// The log density of an axis at cosine `c` from the mean of a Fisher
// distribution of both senses: kappa / (4 pi sinh kappa) cosh(kappa c).
double logAxialFisher(double kappa, double c) {
    if (kappa < 1e-6) return -std::log(4 * std::numbers::pi);
    return std::log(kappa) - std::log(4 * std::numbers::pi) - logSinh(kappa) + logCosh(kappa * c);
}

double kappaOf(const FisherStats& s) {
    if (!s.Kappa || !std::isfinite(*s.Kappa)) return LargestKappa;
    return std::clamp(*s.Kappa, 0.0, LargestKappa);
}

// Bayesian information criterion of a grouping: the groups as a mixture of
// Fisher distributions, each with a mean, a K and a share. The likelihood
// is the mixture's, every pole summed over all groups: a hard assignment
// to the nearest group would reward splitting a set in two by chance.
double informationCriterion(const std::vector<Measurement>& planes, const std::vector<JointSet>& groups) {
    double total = 0, logLikelihood = 0;
    for (const Measurement& m : planes) total += m.Weight;
    std::vector<double> terms(groups.size());
    for (const Measurement& m : planes) {
        const TPoint3D pole = planePole(m.Plane);
        double largest = -std::numeric_limits<double>::infinity();
        for (std::size_t g = 0; g < groups.size(); ++g) {
            const FisherStats& s = groups[g].Stats;
            terms[g] = std::log(s.Weight / total) + logAxialFisher(kappaOf(s), dot(pole, s.MeanPole));
            largest = std::max(largest, terms[g]);
        }
        double sum = 0;
        for (double t : terms) sum += std::exp(t - largest);
        logLikelihood += m.Weight * (largest + std::log(sum));
    }
    const double parameters = 3.0 * groups.size() - 1;
    return -2 * logLikelihood + parameters * std::log(total);
}

double axialAngle(const TPoint3D& a, const TPoint3D& b) {
    return degrees(std::acos(std::min(1.0, std::abs(dot(a, b)))));
}

// The group nearest the mean surface, when it lies within the face angle.
std::optional<std::size_t> faceGroup(const std::vector<JointSet>& groups, const TPoint3D& meanPole, double angle) {
    std::optional<std::size_t> face;
    double nearest = angle;
    for (std::size_t g = 0; g < groups.size(); ++g)
        if (const double a = axialAngle(groups[g].Stats.MeanPole, meanPole); a <= nearest) {
            nearest = a;
            face = g;
        }
    return face;
}

Error settingError(const std::string& zh, const std::string& en) { return Error::refused(say(zh, en), "sets"); }

} // namespace

ExtentFit fitExtents(const std::vector<double>& extents) {
    ExtentFit fit;
    std::vector<double> positive;
    for (double e : extents)
        if (e > 0 && std::isfinite(e)) positive.push_back(e);
    if (positive.empty()) return fit;
    const double n = static_cast<double>(positive.size());
    fit.Mean = std::accumulate(positive.begin(), positive.end(), 0.0) / n;
    fit.ExponentialLogLikelihood = -n * std::log(fit.Mean) - n;
    double mu = 0, sumLog = 0;
    for (double e : positive) mu += std::log(e);
    sumLog = mu;
    mu /= n;
    double variance = 0;
    for (double e : positive) variance += (std::log(e) - mu) * (std::log(e) - mu);
    variance /= n;
    if (n >= 2 && variance > 0) {
        const double sigma = std::sqrt(variance);
        fit.LognormalMean = std::exp(mu + variance / 2);
        fit.LognormalSd = *fit.LognormalMean * std::sqrt(std::expm1(variance));
        fit.LognormalLogLikelihood = -sumLog - n * std::log(sigma * std::sqrt(2 * std::numbers::pi)) - n / 2;
        // Akaike: two parameters against one.
        fit.LognormalBetter = 4 - 2 * *fit.LognormalLogLikelihood < 2 - 2 * fit.ExponentialLogLikelihood;
    }
    return fit;
}

CloudJoints cloudJoints(const FacetSearch& search, const CloudSetSettings& settings) {
    const std::vector<Facet>& facets = search.Facets;
    if (settings.Sets < 0 || settings.MaxSets < 1 || settings.Sets > 50 || settings.MaxSets > 50)
        throw settingError("结构面组数应在 1 到 50 之间", "the number of sets should be between 1 and 50");
    if (!(settings.FaceAngle >= 0 && settings.FaceAngle <= 90))
        throw settingError("坡面的角度容差应在 0 到 90 度之间", "the face's angle tolerance should be 0 to 90 degrees");
    if (facets.empty())
        throw Error::refused(inLanguage("点云中没有找到平面面片：点可能太稀、噪声太大，或面片小于最小面积",
                                        "no planar facet was found in the cloud: the points may be too sparse or too "
                                        "noisy, or the facets smaller than the least area"));
    const std::size_t n = facets.size();
    double totalArea = 0;
    for (const Facet& f : facets) totalArea += f.Area;
    std::vector<Measurement> all(n);
    for (std::size_t i = 0; i < n; ++i) {
        all[i].Plane = facets[i].Plane;
        all[i].Line = static_cast<int>(i + 1);
        all[i].Weight = settings.ByArea && totalArea > 0 ? std::max(facets[i].Area * n / totalArea, 1e-6) : 1;
    }

    // The groups: a fixed number of joint sets and possibly the face, or
    // the count of least information criterion.
    std::vector<JointSet> groups;
    std::optional<std::size_t> face;
    if (settings.Sets > 0) {
        if (static_cast<std::size_t>(settings.Sets) > n)
            throw settingError("只找到 " + std::to_string(n) + " 个面片，不够分成 " + std::to_string(settings.Sets) +
                                   " 组",
                               "only " + std::to_string(n) + " facets were found, too few for " +
                                   std::to_string(settings.Sets) + " sets");
        if (static_cast<std::size_t>(settings.Sets) < n) {
            try {
                groups = groupSets(all, settings.Sets + 1);
                face = faceGroup(groups, search.MeanPole, settings.FaceAngle);
            } catch (const Error&) {
                // Fewer distinct attitudes than groups: no room for a face.
            }
        }
        if (!face) groups = groupSets(all, settings.Sets);
    } else {
        double best = std::numeric_limits<double>::infinity();
        for (int count = 1; count <= settings.MaxSets + 1 && static_cast<std::size_t>(count) <= n; ++count) {
            std::vector<JointSet> tried;
            try {
                tried = groupSets(all, count);
            } catch (const Error&) {
                break; // fewer distinct attitudes than groups
            }
            const auto triedFace = faceGroup(tried, search.MeanPole, settings.FaceAngle);
            // The face is a group beyond the joint sets asked for.
            if (count == settings.MaxSets + 1 && !triedFace) break;
            if (const double criterion = informationCriterion(all, tried); criterion < best) {
                best = criterion;
                groups = std::move(tried);
                face = triedFace;
            }
        }
    }

    CloudJoints joints;
    joints.FacetSet.assign(n, "");
    if (face) {
        joints.Face = groups[*face];
        joints.Face->Label = FaceLabel;
        for (std::size_t i : joints.Face->Members) joints.FacetSet[i] = FaceLabel, joints.FaceArea += facets[i].Area;
        groups.erase(groups.begin() + static_cast<std::ptrdiff_t>(*face));
    }
    // A facet beyond the angle that holds 99% of its set's Fisher
    // distribution, cos a = 1 + ln(0.01) / K, belongs to none.
    std::vector<std::vector<std::size_t>> members;
    for (const JointSet& g : groups) {
        std::vector<std::size_t> kept;
        const double c = g.Stats.Kappa && g.Members.size() >= 5 ? 1 + std::log(0.01) / *g.Stats.Kappa : -1;
        for (std::size_t i : g.Members)
            if (std::abs(dot(facets[i].Pole, g.Stats.MeanPole)) >= c) kept.push_back(i);
        if (!kept.empty()) members.push_back(std::move(kept));
    }
    std::stable_sort(members.begin(), members.end(), [&](const auto& a, const auto& b) {
        const auto weight = [&](const std::vector<std::size_t>& m) {
            double w = 0;
            for (std::size_t i : m) w += all[i].Weight;
            return w;
        };
        return weight(a) > weight(b);
    });
    std::vector<char> assigned(n, 0);
    for (std::size_t s = 0; s < members.size(); ++s) {
        const std::string label = "J" + std::to_string(s + 1);
        double area = 0;
        std::vector<double> extents;
        for (std::size_t i : members[s]) area += facets[i].Area, extents.push_back(facets[i].Extent);
        for (std::size_t i : members[s]) {
            // Floored so that a facet of next to no area keeps a weight a file can hold.
            const double w =
                settings.ByArea && area > 0 ? std::max(facets[i].Area * members[s].size() / area, 1e-6) : 1;
            joints.Planes.push_back({facets[i].Plane, label, w, 0});
            joints.PlaneFacet.push_back(i);
            joints.FacetSet[i] = label;
            assigned[i] = 1;
        }
        joints.SetArea.push_back(area);
        joints.Extents.push_back(fitExtents(extents));
    }
    for (std::size_t i = 0; i < n; ++i)
        if (!assigned[i] && joints.FacetSet[i].empty()) {
            joints.Planes.push_back({facets[i].Plane, "", 1, 0});
            joints.PlaneFacet.push_back(i);
        }
    // Lines as the measurement file written from them has them, after its header.
    for (std::size_t p = 0; p < joints.Planes.size(); ++p) joints.Planes[p].Line = static_cast<int>(p + 2);
    joints.Sets = labelledSets(joints.Planes);
    return joints;
}

} // namespace trelmox
