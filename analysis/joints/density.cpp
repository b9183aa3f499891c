#include "analysis/joints/density.h"

#include <algorithm>
#include <cmath>

#include "analysis/vec3.h"
#include "model/error.h"
#include "model/numtext.h"

namespace trelmox {

namespace {

// The Fisher weight is cut where it falls below e^-12 of its peak: the
// share of a pole left out is below 1e-5.
constexpr double FisherTail = 12;
// The finest cell grid in space: 64^3 cells.
constexpr int MaxCells = 64;

// The directions sorted by the cell of space they lie in, so that the
// directions near a pole are a few contiguous runs.
class CellIndex {
public:
    CellIndex(const std::vector<TPoint3D>& directions, double reach)
        : cells_(std::clamp(static_cast<int>(2 / reach), 1, MaxCells)), size_(2.0 / cells_),
          start_(static_cast<std::size_t>(cells_) * cells_ * cells_ + 1, 0) {
        std::vector<std::size_t> cellOfDirection(directions.size());
        for (std::size_t i = 0; i < directions.size(); ++i) {
            const TPoint3D& d = directions[i];
            cellOfDirection[i] = cell(index(d.x), index(d.y), index(d.z));
            ++start_[cellOfDirection[i] + 1];
        }
        for (std::size_t c = 1; c < start_.size(); ++c) start_[c] += start_[c - 1];
        std::vector<std::size_t> next(start_.begin(), start_.end() - 1);
        order_.resize(directions.size());
        sorted_.resize(directions.size());
        for (std::size_t i = 0; i < directions.size(); ++i) {
            const std::size_t at = next[cellOfDirection[i]]++;
            order_[at] = i;
            sorted_[at] = directions[i];
        }
    }

    // Calls visit(position in sorted order) for every direction within
    // `reach` (straight-line distance) of `centre`, and some beyond it.
    template <typename Visit> void near(const TPoint3D& centre, double reach, Visit visit) const {
        const int x0 = index(centre.x - reach), x1 = index(centre.x + reach);
        const int y0 = index(centre.y - reach), y1 = index(centre.y + reach);
        const int z0 = index(centre.z - reach), z1 = index(centre.z + reach);
        for (int x = x0; x <= x1; ++x)
            for (int y = y0; y <= y1; ++y) {
                // Cells along z are consecutive: one run per (x, y).
                for (std::size_t k = start_[cell(x, y, z0)]; k < start_[cell(x, y, z1) + 1]; ++k) visit(k);
            }
    }

    const std::vector<TPoint3D>& sorted() const { return sorted_; }
    std::size_t original(std::size_t position) const { return order_[position]; }

private:
    int index(double u) const { return std::clamp(static_cast<int>((u + 1) / size_), 0, cells_ - 1); }
    std::size_t cell(int x, int y, int z) const {
        return (static_cast<std::size_t>(x) * cells_ + static_cast<std::size_t>(y)) * cells_ + static_cast<std::size_t>(z);
    }

    int cells_;
    double size_;
    std::vector<std::size_t> start_; // first sorted position of each cell, and the end
    std::vector<std::size_t> order_; // sorted position -> original index
    std::vector<TPoint3D> sorted_;
};

} // namespace

double kambAreaShare(double poleCount) { return 9 / (poleCount + 9); }

PoleDensity::PoleDensity(std::vector<WeightedPole> poles, DensityOptions options)
    : poles_(std::move(poles)), options_(options) {
    if (poles_.empty()) throw Error("没有结构面极点，不能计算密度");
    if (!(options_.AreaShare > 0 && options_.AreaShare <= 1))
        throw Error("计数面积 " + floatToText(options_.AreaShare * 100) + "% 应大于 0、不大于半球面积的 100%");
    double weight = 0;
    for (WeightedPole& p : poles_) {
        p.Pole = (1 / norm(p.Pole)) * p.Pole;
        weight += p.Weight;
    }
    // Both kernels, summed over the two senses of a pole, cover
    // AreaShare * 2 pi of the hemisphere in total; the scale turns that
    // into 100% of the weight spread over AreaShare / 1% hundredths.
    if (options_.Method == DensityMethod::Kamb) {
        reach_ = options_.AreaShare;
        scale_ = 1 / (options_.AreaShare * weight);
    } else {
        kappa_ = 2 / options_.AreaShare;
        reach_ = std::min(2.0, FisherTail / kappa_);
        scale_ = kappa_ / (-std::expm1(-2 * kappa_) * weight);
    }
}

double PoleDensity::kernel(double cosine) const {
    if (1 - cosine > reach_) return 0;
    return options_.Method == DensityMethod::Kamb ? 1 : std::exp(kappa_ * (cosine - 1));
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

std::vector<double> PoleDensity::at(const std::vector<TPoint3D>& directions) const {
    // |x - v|^2 = 2 (1 - cos): the reach as a straight-line distance, a
    // little wider so that rounding loses no direction on the edge.
    const double distance = std::sqrt(2 * reach_) * (1 + 1e-9) + 1e-12;
    const CellIndex index(directions, distance);
    const std::vector<TPoint3D>& sorted = index.sorted();
    std::vector<double> sums(directions.size(), 0);
    for (const WeightedPole& p : poles_)
        for (const TPoint3D& v : {p.Pole, -1 * p.Pole})
            index.near(v, distance, [&](std::size_t k) { sums[k] += p.Weight * kernel(dot(sorted[k], v)); });
    std::vector<double> density(directions.size());
    for (std::size_t k = 0; k < sums.size(); ++k) density[index.original(k)] = sums[k] * scale_;
    return density;
}

} // namespace trelmox
