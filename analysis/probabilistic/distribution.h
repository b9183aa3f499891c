#pragma once
// Distributions of one input, all sampled through their quantile function
// so that a stratified (Latin hypercube) uniform stays stratified.
#include <cstddef>
#include <string>

#include "analysis/probabilistic/kernel.h"
#include "analysis/probabilistic/parameters.h"

namespace trelmox {

struct Distribution {
    enum class Kind {
        Fixed,     // the block's value
        Normal,    // mean = the block's value, standard deviation Spread,
                   // truncated to the parameter's range
        Uniform,   // Low..High
        Lognormal, // mean = the block's value (> 0), standard deviation Spread
    };
    Kind Type = Kind::Fixed;
    double Spread = 0;         // Normal, Lognormal: standard deviation
    double Low = 0, High = 0;  // Uniform
};

Distribution normalDistribution(double sd);
Distribution uniformDistribution(double low, double high);
Distribution lognormalDistribution(double sd);

// Throws Error with a message naming the parameter when the distribution
// does not fit it: a negative or non-finite deviation, a range outside the
// parameter's range or reversed, a block value outside its range (normal) or
// not positive (lognormal), a lognormal for an angle.
void validateDistribution(Parameter parameter, double blockValue, const Distribution& distribution);

// A validated distribution prepared for sampling: value(u) maps a uniform
// u in (0, 1) to a value, monotonically, inside the parameter's range.
class Sampler {
public:
    Sampler(Parameter parameter, double blockValue, const Distribution& distribution);
    bool varies() const { return kind_ != Distribution::Kind::Fixed; }
    double value(double u) const;
    // value() of n uniforms at once, in place, in vector lanes (kernel.h):
    // the same bits as value() one by one.
    void values(double* uniforms, std::size_t n) const;
    // The quantile function as numbers, for a kernel's Draw.
    DrawConstants drawConstants() const;

private:
    Distribution::Kind kind_;
    double location_ = 0, scale_ = 0; // normal mean/sd; uniform low/width; lognormal mu/sigma of the log
    double pLow_ = 0, pWidth_ = 1;    // normal: the CDF interval left by the truncation
    double low_ = 0, high_ = 0;       // the parameter's range, clamps rounding
};

// Standard normal quantile, |relative error| < 1.2e-9 (enough for sampling);
// the scalar twin of the kernels' quantile.
double normalQuantile(double p);
double normalCdf(double x);

} // namespace trelmox
