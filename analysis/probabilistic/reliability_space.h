#pragma once
// The inputs of a reliability analysis in standard normal space, and the
// factor as a function of them.
//
// Coordinate k of a point u is the normal score of the k-th input that
// changes, in the probabilistic run's order (the varied inputs, then the
// angle to the mean and the azimuth of each Fisher plane). An input's value
// is its own distribution's quantile of Phi(u_k), through the run's
// samplers; the cohesion and the friction of a correlated plane share the
// run's Gaussian copula, friction's score being rho u_c + sqrt(1 - rho^2)
// u_f. This is the Nataf transformation with the copula's correlation of
// normal scores as the run defines it, so no fictive correlation has to
// be fitted, and with cohesion before friction it is also their Rosenblatt
// transformation: a point of this space and a sample of the run describe
// the same inputs.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "analysis/probabilistic/distribution.h"
#include "analysis/probabilistic/fisher.h"
#include "analysis/probabilistic/kernel.h"
#include "analysis/probabilistic/parameters.h"
#include "analysis/probabilistic/probabilistic.h"

namespace trelmox {

// The factor a limit state is written in: the full factor of the real
// wedge with its loads, or the data file's Kc.
enum class ReliabilityFactor { Fs, Kc };

// A factor in place of Kc or Fs, for checking the method against closed
// forms: every evaluation then goes through it, on the scalar path.
using FactorHook = std::function<double(const BlockInputs&)>;

// One evaluation: the factor and its contact case or failure.
struct FactorValue {
    double Factor = 0;
    SampleOutcome Outcome = SampleOutcome::NoBlock;
};
// Whether the evaluation cuts out a wedge with a finite factor, so that
// g = factor - 1 exists there.
bool hasFactor(const FactorValue& value);
// A failure as the probabilistic run counts it: a wedge whose factor is
// below 1 (lift-off, whose factor is 0, among them).
bool failing(const FactorValue& value);

class StandardSpace {
public:
    // The settings must have passed validateSettings for `base`.
    StandardSpace(const BlockInputs& base, const ProbabilisticSettings& settings);
    std::size_t dimension() const { return inputs_.size(); }
    // The input of each coordinate; for a Fisher plane its dip (the angle
    // to the mean) and its dip direction (the azimuth about it).
    const std::vector<Parameter>& inputs() const { return inputs_; }
    // The inputs' values at u, one per coordinate.
    void physical(const double* u, double* x) const;
    // The same for `count` points held in columns (columns[k] holds
    // coordinate k of every point), turned into the inputs' values in
    // place; `vectorised` draws in the kernels' lanes, which gives the same
    // bits as one by one.
    void physicalColumns(const std::vector<double*>& columns, std::size_t count, bool vectorised) const;

private:
    struct Marginal {
        Parameter Input;
        Sampler Draw;
    };
    struct Copula {
        std::size_t Cohesion, Friction;
        double Rho, Own;
    };
    struct FisherPlane {
        FisherDistribution Distribution;
    };
    // The probability of coordinate k at u (before the quantile).
    double probability(const double* u, std::size_t k) const;

    std::vector<Marginal> marginals_; // the first coordinates
    std::vector<Copula> copulas_;
    std::vector<FisherPlane> fisher_; // two coordinates each, after the marginals
    std::vector<Parameter> inputs_;
};

// The factor of a block at given values of the inputs that change, worked
// out as a probabilistic run works out a sample with those values (the
// scalar twins of its lanes), or by a hook. Not thread-safe: one per
// thread.
class FactorEvaluator {
public:
    FactorEvaluator(const BlockInputs& base, const std::vector<Parameter>& inputs, ReliabilityFactor factor,
                    FactorHook hook = {});
    FactorValue operator()(const double* x);
    std::uint64_t evaluations() const { return evaluations_; }

private:
    FactorValue compute();

    BlockInputs work_;
    std::vector<Parameter> inputs_;
    ReliabilityFactor factor_;
    FactorHook hook_;
    std::optional<WedgePlanes> planes_;
    std::vector<TPlaneRole> changing_;
    bool crackTurns_ = false;
    FullAnalysis full_;
    std::uint64_t evaluations_ = 0;
};

} // namespace trelmox
