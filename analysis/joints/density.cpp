#include "analysis/joints/density.h"

#include <algorithm>
#include <cmath>

#include "analysis/probabilistic/team.h"
#include "analysis/vec3.h"
#include "model/wording.h"
#include "model/error.h"
#include "model/numtext.h"

namespace trelmox {

namespace {

// The Fisher weight is cut where it falls below e^-9 of its peak: the
// share of a pole left out is about 1e-4.
constexpr double FisherTail = 9;
// The finest cell grid in space: 128^3 cells.
constexpr int MaxCells = 128;
// Cells half as wide as the reach: a direction then looks at a block of
// cells not much larger than its cap.
constexpr double CellsPerReach = 2;
// e^-t from a table at steps of 1/64 and a short series for the rest:
// within 1e-13, and without a library call in the innermost loop.
constexpr int DecaySteps = 64;

// The poles sorted by the cell of space they lie in, each cell's poles
// contiguous, so that the poles near a direction are a few runs of arrays.
class PoleCells {
public:
    PoleCells(const std::vector<WeightedPole>& poles, double reach)
        : cells_(std::clamp(static_cast<int>(2 * CellsPerReach / reach), 1, MaxCells)), size_(2.0 / cells_),
          start_(static_cast<std::size_t>(cells_) * cells_ * cells_ + 1, 0) {
        std::vector<std::size_t> cellOfPole(poles.size());
        for (std::size_t i = 0; i < poles.size(); ++i) {
            const TPoint3D& p = poles[i].Pole;
            cellOfPole[i] = cell(index(p.x), index(p.y), index(p.z));
            ++start_[cellOfPole[i] + 1];
        }
        for (std::size_t c = 1; c < start_.size(); ++c) start_[c] += start_[c - 1];
        std::vector<std::size_t> next(start_.begin(), start_.end() - 1);
        x_.resize(poles.size());
        y_ = z_ = weight_ = x_;
        for (std::size_t i = 0; i < poles.size(); ++i) {
            const std::size_t at = next[cellOfPole[i]]++;
            x_[at] = poles[i].Pole.x;
            y_[at] = poles[i].Pole.y;
            z_[at] = poles[i].Pole.z;
            weight_[at] = poles[i].Weight;
        }
    }

    // Sum of weight * kernel(cos) over the poles within `reach`
    // (straight-line distance) of `centre`, and some beyond it, for which
    // the kernel must give 0. The order of summation is fixed.
    template <typename Kernel> double sum(const TPoint3D& centre, double reach, Kernel kernel) const {
        double total = 0;
        const int x0 = index(centre.x - reach), x1 = index(centre.x + reach);
        const int y0 = index(centre.y - reach), y1 = index(centre.y + reach);
        const int z0 = index(centre.z - reach), z1 = index(centre.z + reach);
        for (int x = x0; x <= x1; ++x)
            for (int y = y0; y <= y1; ++y) {
                // Cells along z are consecutive: one run per (x, y).
                const std::size_t end = start_[cell(x, y, z1) + 1];
                for (std::size_t k = start_[cell(x, y, z0)]; k < end; ++k)
                    total += weight_[k] * kernel(x_[k] * centre.x + y_[k] * centre.y + z_[k] * centre.z);
            }
        return total;
    }

private:
    int index(double u) const { return std::clamp(static_cast<int>((u + 1) / size_), 0, cells_ - 1); }
    std::size_t cell(int x, int y, int z) const {
        return (static_cast<std::size_t>(x) * cells_ + static_cast<std::size_t>(y)) * cells_ +
               static_cast<std::size_t>(z);
    }

    int cells_;
    double size_;
    std::vector<std::size_t> start_; // first position of each cell's poles, and the end
    std::vector<double> x_, y_, z_, weight_;
};

} // namespace

double kambAreaShare(double poleCount) { return 9 / (poleCount + 9); }

PoleDensity::PoleDensity(std::vector<WeightedPole> poles, DensityOptions options)
    : poles_(std::move(poles)), method_(options.Method) {
    if (poles_.empty())
        throw Error::refused(
            inLanguage("没有结构面极点，不能计算密度", "no poles of planes: the density cannot be computed"));
    if (!(options.AreaShare > 0 && options.AreaShare <= 1))
        throw Error::refused(
            inLanguage("计数面积 " + floatToText(options.AreaShare * 100) + "% 应大于 0、不大于半球面积的 100%",
                       "the counting area " + floatToText(options.AreaShare * 100) +
                           "% should be above 0 and at most 100% of the hemisphere"));
    double weight = 0;
    for (WeightedPole& p : poles_) {
        p.Pole = (1 / norm(p.Pole)) * p.Pole;
        weight += p.Weight;
    }
    // Both kernels, summed over the two senses of a pole, cover
    // AreaShare * 2 pi of the hemisphere in total; the scale turns that
    // into 100% of the weight spread over AreaShare / 1% hundredths.
    if (method_ == DensityMethod::Kamb) {
        reach_ = options.AreaShare;
        scale_ = 1 / (options.AreaShare * weight);
    } else {
        kappa_ = 2 / options.AreaShare;
        reach_ = std::min(2.0, FisherTail / kappa_);
        scale_ = kappa_ / (-std::expm1(-2 * kappa_) * weight);
        for (int step = 0; step <= kappa_ * reach_ * DecaySteps + 1; ++step)
            decay_.push_back(std::exp(-static_cast<double>(step) / DecaySteps));
    }
}

// Both kernels give 0 beyond the reach and never branch on it, so that
// the innermost loop runs without mispredictions.
double PoleDensity::kernel(double cosine) const {
    const double t = 1 - cosine;
    if (method_ == DensityMethod::Kamb) return t <= reach_ ? 1 : 0;
    if (t > reach_) return 0;
    const double decay = kappa_ * t;
    const auto step = static_cast<int>(decay * DecaySteps);
    const double r = decay - static_cast<double>(step) / DecaySteps;
    // e^-r, r < 1/64, by its series to r^5 (Horner, no division).
    constexpr double c2 = 1.0 / 2, c3 = 1.0 / 6, c4 = 1.0 / 24, c5 = 1.0 / 120;
    return decay_[step] * (1 - r * (1 - r * (c2 - r * (c3 - r * (c4 - r * c5)))));
}

double PoleDensity::at(const TPoint3D& direction) const {
    const TPoint3D d = (1 / norm(direction)) * direction;
    double sum = 0;
    for (const WeightedPole& p : poles_) {
        const double c = dot(p.Pole, d);
        sum += p.Weight * (kernel(c) + kernel(-c));
    }
    return sum * scale_;
}

// Each direction sums its own poles in a fixed order, so the result is
// the same on any number of threads.
std::vector<double> PoleDensity::at(const std::vector<TPoint3D>& directions) const {
    // |x - p|^2 = 2 (1 - cos): the reach as a straight-line distance, a
    // little wider so that rounding loses no pole on the edge.
    const double distance = std::sqrt(2 * reach_) * (1 + 1e-9) + 1e-12;
    const PoleCells cells(poles_, distance);
    std::vector<double> density(directions.size());
    const auto n = static_cast<std::ptrdiff_t>(directions.size());
    const auto kernelOf = [this](double cosine) { return kernel(cosine); };
    // Some 100 ns a direction (team.h): a stereonet's grid is worth a team, a
    // few directions are not.
#pragma omp parallel for schedule(dynamic, 256) num_threads(teamSize(0, directions.size() * 4))
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        const TPoint3D& d = directions[i];
        density[i] = (cells.sum(d, distance, kernelOf) + cells.sum(-1 * d, distance, kernelOf)) * scale_;
    }
    return density;
}

} // namespace trelmox
