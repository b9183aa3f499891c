#include "analysis/probabilistic/fisher.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/probabilistic/sampling.h"
#include "analysis/vec3.h"
#include "model/error.h"
#include "model/language.h"

namespace trelmox {

namespace {

TPoint3D unit(TPoint3D v) { return (1 / norm(v)) * v; }

// A unit vector at right angles to `v`: crossed with the axis it is least
// aligned with, so the product never degenerates.
TPoint3D perpendicular(const TPoint3D& v) {
    const TPoint3D axis = std::abs(v.x) <= std::abs(v.y) && std::abs(v.x) <= std::abs(v.z) ? TPoint3D{1, 0, 0}
                          : std::abs(v.y) <= std::abs(v.z)                                 ? TPoint3D{0, 1, 0}
                                                                                           : TPoint3D{0, 0, 1};
    return unit(cross(v, axis));
}

// Keeps the streams of joint sets apart from those of the scalar inputs.
constexpr std::uint64_t FisherStreamTag = 0x6a09e667f3bcc909ULL;

} // namespace

FisherDistribution::FisherDistribution(TPoint3D mean, double kappa) : kappa_(kappa), spread_(std::expm1(-2 * kappa)) {
    if (!(kappa >= 0))
        throw Error::refused(inLanguage("Fisher 分布的集中度 K 应不小于 0",
                                        "the concentration K of a Fisher distribution should be at least 0"));
    if (!(norm(mean) > 0) || !std::isfinite(norm(mean)))
        throw Error::refused(
            inLanguage("Fisher 分布的平均方向无效", "the mean direction of a Fisher distribution is invalid"));
    mean_ = unit(mean);
    across1_ = perpendicular(mean_);
    across2_ = cross(mean_, across1_);
}

// cos a = 1 + ln(1 - (1 - u)(1 - e^(-2K))) / K, the inverse of
// P(cos a <= c) = (e^(K(c-1)) - e^(-2K)) / (1 - e^(-2K)), written with
// log1p and expm1 so that small and large K keep their digits.
TPoint3D FisherDistribution::pole(double uAngle, double uAzimuth) const {
    double c;
    if (std::isinf(kappa_))
        c = 1;
    else if (kappa_ == 0)
        c = 2 * uAngle - 1;
    else
        c = 1 + std::log1p((1 - uAngle) * spread_) / kappa_;
    c = std::clamp(c, -1.0, 1.0);
    const double s = std::sqrt((1 - c) * (1 + c));
    const double azimuth = 2 * std::numbers::pi * uAzimuth;
    return c * mean_ + (s * std::cos(azimuth)) * across1_ + (s * std::sin(azimuth)) * across2_;
}

FisherStream::FisherStream(std::uint64_t seed, std::uint64_t stream)
    : key_(mix64(seed) ^ mix64(FisherStreamTag + stream)) {}

TPoint3D FisherStream::pole(std::uint64_t sample, const FisherDistribution& distribution) const {
    return distribution.pole(counterUniform(key_, 2 * sample), counterUniform(key_, 2 * sample + 1));
}

} // namespace trelmox
