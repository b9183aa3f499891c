#pragma once
// The Fisher distribution of a joint set's pole on the sphere: density
// proportional to exp(K cos a), a the angle to the mean pole. Drawn by
// inverting the distribution of cos a, with the azimuth about the mean
// uniform, so that two uniforms give one pole and a stratified uniform
// stays stratified.
#include <cstdint>

#include "model/block.h"

namespace trelmox {

class FisherDistribution {
public:
    // `mean`: any length > 0. `kappa` >= 0; 0 is the uniform sphere,
    // infinity the mean itself. Throws Error for a negative or NaN kappa.
    FisherDistribution(TPoint3D mean, double kappa);
    // The unit vector for uniforms in (0, 1): `uAngle` sets the angle to the
    // mean (larger u, smaller angle), `uAzimuth` the azimuth about it.
    TPoint3D pole(double uAngle, double uAzimuth) const;
    double kappa() const { return kappa_; }

private:
    double kappa_, spread_;             // spread_ = expm1(-2 kappa)
    TPoint3D mean_, across1_, across2_; // an orthonormal frame about the mean
};

// Counter-based uniforms for Fisher draws, one stream per joint set and
// seed: the draw of a sample is the same in any order and on any thread.
class FisherStream {
public:
    FisherStream(std::uint64_t seed, std::uint64_t stream);
    TPoint3D pole(std::uint64_t sample, const FisherDistribution& distribution) const;

private:
    std::uint64_t key_;
};

} // namespace trelmox
