#pragma once
// Distributions of one input, all sampled through their quantile function
// so that a stratified (Latin hypercube) uniform stays stratified.
#include <cstddef>
#include <optional>
#include <string>

#include "analysis/probabilistic/kernel.h"
#include "analysis/probabilistic/parameters.h"

namespace trelmox {

struct Distribution {
    enum class Kind {
        Fixed,       // the block's value
        Normal,      // mean = the block's value, standard deviation Spread,
                     // truncated to the parameter's range
        Uniform,     // Low..High
        Lognormal,   // mean = the block's value (> 0), standard deviation Spread
        Exponential, // mean = the block's value (> 0)
        Triangular,  // Low..High, the most likely value the block's
        Beta,        // Low..High, mean = the block's value, standard deviation Spread
        Gamma,       // mean = the block's value (> 0), standard deviation Spread
    };
    Kind Type = Kind::Fixed;
    double Spread = 0;        // Normal, Lognormal, Beta, Gamma: standard deviation
    double Low = 0, High = 0; // Uniform, Triangular, Beta
    // Truncation: no draw lies outside these bounds, and the values inside
    // keep their relative likelihood (the distribution's CDF is drawn from
    // the interval the bounds leave). The parameter's own range always
    // truncates.
    std::optional<double> TruncateLow, TruncateHigh;
};
inline constexpr int DistributionKindCount = 8;

Distribution normalDistribution(double sd);
Distribution uniformDistribution(double low, double high);
Distribution lognormalDistribution(double sd);
Distribution exponentialDistribution();
Distribution triangularDistribution(double low, double high);
Distribution betaDistribution(double sd, double low, double high);
Distribution gammaDistribution(double sd);
// The same distribution truncated to low..high (either may be absent).
Distribution truncated(Distribution d, std::optional<double> low, std::optional<double> high);

// "normal", "uniform", ... (the tool's option names); "正态分布", ... for
// the windows and the reports.
const char* distributionName(Distribution::Kind kind);
const char* distributionCaption(Distribution::Kind kind);

// Throws Error with a message naming the parameter when the distribution
// does not fit it: a negative or non-finite deviation, a range outside the
// parameter's range or reversed, a block value outside its range (normal) or
// not positive (lognormal, exponential, gamma) or outside the bounds
// (triangular, beta), a beta deviation its bounds cannot hold, a
// lognormal, exponential or gamma for an input with an upper bound or
// negative values, truncation bounds that leave no value.
void validateDistribution(Parameter parameter, double blockValue, const Distribution& distribution);

// A validated distribution prepared for sampling: value(u) maps a uniform
// u in (0, 1) to a value, monotonically, inside the parameter's range.
class Sampler {
public:
    Sampler(Parameter parameter, double blockValue, const Distribution& distribution);
    bool varies() const { return kind_ != Distribution::Kind::Fixed; }
    double value(double u) const;
    // value() of n uniforms at once, in place: the same bits as value() one
    // by one. In vector lanes (kernel.h), except beta and gamma, whose
    // quantile functions are iterative and are worked out one by one here
    // for every lane width alike.
    void values(double* uniforms, std::size_t n) const;
    // The quantile function as numbers, for a kernel's Draw (not beta or gamma).
    DrawConstants drawConstants() const;
    // Whether the kernels' Draw takes this distribution.
    bool drawsInLanes() const { return kind_ != Distribution::Kind::Beta && kind_ != Distribution::Kind::Gamma; }
    // The CDF of the distribution before truncation, for checking.
    double cdf(double x) const;

private:
    double quantile(double p) const; // before truncation and clamping

    Distribution::Kind kind_;
    // normal: mean, sd; uniform: low, width; lognormal: mu, sigma of the log;
    // exponential: mean; triangular: low, high; beta: low, width; gamma: scale.
    double location_ = 0, scale_ = 0;
    double pLow_ = 0, pWidth_ = 1; // the CDF interval left by the truncation
    double low_ = 0, high_ = 0;    // the range after truncation, clamps rounding
    // triangular: the CDF at the mode, (high - low)(mode - low), (high - low)(high - mode);
    // beta: alpha, beta, log of 1 / B(alpha, beta); gamma: shape, log Gamma(shape).
    double split_ = 0, left_ = 0, right_ = 0;
    double betaMiddleCdf_ = 0.5; // beta: the CDF at 1/2, above which the quantile is the mirrored one
};

// Acklam's coefficients of the normal quantile: the central rational
// function (A / B in (p - 0.5)^2) and the tail one (C / D in
// sqrt(-2 log p)), used below p = QuantileCentral and above 1 - it.
namespace quantile {
inline constexpr double A[] = {-3.969683028665376e+01, 2.209460984245205e+02,  -2.759285104469687e+02,
                               1.383577518672690e+02,  -3.066479806614716e+01, 2.506628277459239e+00};
inline constexpr double B[] = {-5.447609879822406e+01, 1.615858368580409e+02, -1.556989798598866e+02,
                               6.680131188771972e+01, -1.328068155288572e+01};
inline constexpr double C[] = {-7.784894002430293e-03, -3.223964580411365e-01, -2.400758277161838e+00,
                               -2.549732539343734e+00, 4.374664141464968e+00,  2.938163982698783e+00};
inline constexpr double D[] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                               3.754408661907416e+00};
inline constexpr double Central = 0.02425;
} // namespace quantile

// The regularised lower incomplete gamma function P(a, x) and beta
// function I_x(a, b), to about 1e-14, for a, b > 0.
double gammaP(double a, double x);
double betaI(double a, double b, double x);

// Standard normal quantile, |relative error| < 1.2e-9 (enough for sampling);
// the scalar twin of the kernels' quantile.
double normalQuantile(double p);
double normalCdf(double x);

} // namespace trelmox
