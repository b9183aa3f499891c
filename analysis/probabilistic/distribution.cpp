#include "analysis/probabilistic/distribution.h"

#include <algorithm>
#include <cmath>

#include "analysis/probabilistic/sample_trig.h"

namespace trelmox {

namespace {

using Reason = ParameterRefusal::Reason;

// A normal truncated to a bounded range whose farthest bound lies within
// this many standard deviations of its mean is flat there: its density
// varies by less than 1e-10 across the range. It is drawn as that range's
// uniform distribution, which it is; worked as a normal, the interval its
// truncation leaves rounds to nothing and every draw is the block's value.
constexpr double FlatWithin = 1e-5;
// A dip direction's normal of two full turns or more wraps round the
// compass as the uniform distribution (its density varies by less than
// 1e-30); it is drawn as one, over the turn about the block's value.
constexpr double WrappedFlat = 720;
// No draw of a normal lies farther than this many deviations from the mean
// (the quantile of the smallest uniform); a deviation beyond the largest
// double over it would draw infinite values.
constexpr double FarthestDraw = 40;

bool inside(ParameterRange range, double value) { return value >= range.Low && value <= range.High; }

void requireFiniteDeviation(Parameter parameter, double sd) {
    if (!std::isfinite(sd) || sd < 0) throw ParameterRefusal(parameter, Reason::NegativeSpread, sd);
}

// Whether the normal about `mean` is drawn as a uniform distribution.
bool flatNormal(ParameterRange range, double mean, double sd) {
    if (std::isinf(range.Low) && std::isinf(range.High)) return sd >= WrappedFlat;
    return std::isfinite(range.High) && std::max(mean - range.Low, range.High - mean) <= FlatWithin * sd;
}

void validateNormal(Parameter parameter, double blockValue, double sd) {
    requireFiniteDeviation(parameter, sd);
    const ParameterRange range = parameterRange(parameter);
    if (!inside(range, blockValue)) throw ParameterRefusal(parameter, Reason::BlockValueOutside, blockValue);
    if (!flatNormal(range, blockValue, sd) && !std::isfinite(blockValue + FarthestDraw * sd))
        throw ParameterRefusal(parameter, Reason::SpreadTooLarge, sd);
}

void validateUniform(Parameter parameter, double low, double high) {
    if (!std::isfinite(low) || !std::isfinite(high) || low > high)
        throw ParameterRefusal(parameter, Reason::InvalidRange, low, high);
    const ParameterRange range = parameterRange(parameter);
    if (!inside(range, low) || !inside(range, high)) throw ParameterRefusal(parameter, Reason::RangeOutside, low, high);
}

void validateLognormal(Parameter parameter, double blockValue, double sd) {
    requireFiniteDeviation(parameter, sd);
    const ParameterRange range = parameterRange(parameter);
    if (range.Low != 0 || std::isfinite(range.High)) throw ParameterRefusal(parameter, Reason::LognormalUnbounded);
    if (!(blockValue > 0)) throw ParameterRefusal(parameter, Reason::LognormalNonPositive, blockValue);
}

} // namespace

Distribution normalDistribution(double sd) { return {Distribution::Kind::Normal, sd, 0, 0}; }
Distribution uniformDistribution(double low, double high) { return {Distribution::Kind::Uniform, 0, low, high}; }
Distribution lognormalDistribution(double sd) { return {Distribution::Kind::Lognormal, sd, 0, 0}; }

void validateDistribution(Parameter parameter, double blockValue, const Distribution& distribution) {
    switch (distribution.Type) {
    case Distribution::Kind::Fixed: return;
    case Distribution::Kind::Normal: return validateNormal(parameter, blockValue, distribution.Spread);
    case Distribution::Kind::Uniform: return validateUniform(parameter, distribution.Low, distribution.High);
    case Distribution::Kind::Lognormal: return validateLognormal(parameter, blockValue, distribution.Spread);
    }
}

Sampler::Sampler(Parameter parameter, double blockValue, const Distribution& distribution)
    : kind_(distribution.Type), location_(blockValue) {
    validateDistribution(parameter, blockValue, distribution);
    const ParameterRange range = parameterRange(parameter);
    low_ = range.Low;
    high_ = range.High;
    // A zero spread leaves the block's value exactly as it is.
    const bool degenerate = kind_ != Distribution::Kind::Uniform && distribution.Spread == 0;
    if (kind_ == Distribution::Kind::Fixed || degenerate) {
        kind_ = Distribution::Kind::Fixed;
        return;
    }
    if (kind_ == Distribution::Kind::Normal && flatNormal(range, blockValue, distribution.Spread)) {
        kind_ = Distribution::Kind::Uniform;
        const bool wrapped = std::isinf(range.Low);
        location_ = wrapped ? blockValue - 180 : range.Low;
        scale_ = wrapped ? 360 : range.High - range.Low;
    } else if (kind_ == Distribution::Kind::Normal) {
        scale_ = distribution.Spread;
        // Truncation: draw the normal's CDF from the interval the range leaves.
        pLow_ = normalCdf((low_ - location_) / scale_);
        pWidth_ = normalCdf((high_ - location_) / scale_) - pLow_;
    } else if (kind_ == Distribution::Kind::Uniform) {
        location_ = distribution.Low;
        scale_ = distribution.High - distribution.Low;
    } else {
        // Mean m and deviation s of the value give those of its logarithm.
        // For a ratio beyond 1e150 its square overflows: log(1 + r^2) is
        // then 2 log r to the last bit.
        const double ratio = distribution.Spread / blockValue;
        const double variance = ratio > 1e150 ? 2 * std::log(ratio) : std::log1p(ratio * ratio);
        scale_ = std::sqrt(variance);
        location_ = sampleLog(blockValue) - variance / 2;
    }
}

double Sampler::value(double u) const {
    switch (kind_) {
    case Distribution::Kind::Fixed: return location_;
    case Distribution::Kind::Normal:
        return std::clamp(location_ + scale_ * normalQuantile(pLow_ + u * pWidth_), low_, high_);
    case Distribution::Kind::Uniform: return std::clamp(location_ + u * scale_, low_, high_);
    case Distribution::Kind::Lognormal: return sampleExp(location_ + scale_ * normalQuantile(u));
    }
    return location_;
}

DrawConstants Sampler::drawConstants() const {
    return {static_cast<int>(kind_), location_, scale_, pLow_, pWidth_, low_, high_};
}

// The whole lanes in the widest kernel, the rest one by one: the same bits.
void Sampler::values(double* u, std::size_t n) const {
    const BlockKernel& kernel = widestKernel();
    const std::size_t lanes = n - n % kernel.Lanes;
    kernel.Draw(drawConstants(), u, lanes);
    for (std::size_t i = lanes; i < n; ++i) u[i] = value(u[i]);
}

double normalCdf(double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }

// Acklam's rational approximation: a central rational function and a tail
// one in sqrt(-2 log p) (the logarithm of a sample, sample_trig.h). The ends of (0, 1) are pulled in by one unit in
// the last place, so rounding in the truncation interval never gives an
// infinite value.
double normalQuantile(double p) {
    using namespace quantile;
    p = std::clamp(p, 0x1p-1074, 1 - 0x1p-53);
    if (p < Central || p > 1 - Central) {
        const double tail = p < Central ? p : 1 - p;
        const double q = std::sqrt(-2 * sampleLog(tail));
        const double x = (((((C[0] * q + C[1]) * q + C[2]) * q + C[3]) * q + C[4]) * q + C[5]) /
                         ((((D[0] * q + D[1]) * q + D[2]) * q + D[3]) * q + 1);
        return p < Central ? x : -x;
    }
    const double q = p - 0.5;
    const double r = q * q;
    return (((((A[0] * r + A[1]) * r + A[2]) * r + A[3]) * r + A[4]) * r + A[5]) * q /
           (((((B[0] * r + B[1]) * r + B[2]) * r + B[3]) * r + B[4]) * r + 1);
}

} // namespace trelmox
