#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/probabilistic/fisher.h"
#include "analysis/vec3.h"
#include "model/error.h"

using namespace trelmox;

namespace {

// Kolmogorov-Smirnov distance of the sample from the uniform distribution.
double ksUniform(std::vector<double> u) {
    std::sort(u.begin(), u.end());
    double d = 0;
    const double n = static_cast<double>(u.size());
    for (std::size_t i = 0; i < u.size(); ++i) d = std::max({d, (i + 1) / n - u[i], u[i] - i / n});
    return d;
}

// P(angle <= a) = (1 - e^(-K (1 - cos a))) / (1 - e^(-2K)).
double angleCdf(double kappa, double oneMinusCos) {
    return kappa == 0 ? oneMinusCos / 2 : std::expm1(-kappa * oneMinusCos) / std::expm1(-2 * kappa);
}

} // namespace

// With a fixed seed the angles to the mean, mapped through their known
// distribution, pass a Kolmogorov-Smirnov test at the 1% level, and so do
// the azimuths about the mean; from the uniform sphere to a tight set.
TEST(FisherDistribution, AnglesToTheMeanFollowTheirDistribution) {
    const int n = 20000;
    const double critical = 1.63 / std::sqrt(n);
    const TPoint3D mean = lineVector(230, 35);
    const TPoint3D across1 = (1 / norm(cross(mean, {0, 0, 1}))) * cross(mean, {0, 0, 1});
    const TPoint3D across2 = cross(mean, across1);
    int stream = 0;
    for (double kappa : {0.0, 2.0, 20.0, 500.0, 1e5}) {
        const FisherDistribution distribution(mean, kappa);
        const FisherStream draws(3, stream++);
        std::vector<double> angles, azimuths;
        for (int i = 0; i < n; ++i) {
            const TPoint3D p = draws.pole(i, distribution);
            ASSERT_NEAR(norm(p), 1, 1e-12);
            // 1 - cos a, kept accurate for small angles.
            const double c = dot(p, mean), s = std::hypot(dot(p, across1), dot(p, across2));
            angles.push_back(angleCdf(kappa, c > 0 ? s * s / (1 + c) : 1 - c));
            azimuths.push_back((std::atan2(dot(p, across2), dot(p, across1)) + std::numbers::pi) /
                               (2 * std::numbers::pi));
        }
        EXPECT_LT(ksUniform(angles), critical) << kappa;
        EXPECT_LT(ksUniform(azimuths), critical) << kappa;
    }
}

TEST(FisherDistribution, InfiniteConcentrationIsTheMeanAndNegativeIsRefused) {
    const TPoint3D mean = lineVector(10, 20);
    const TPoint3D p = FisherDistribution(mean, INFINITY).pole(0.3, 0.7);
    EXPECT_NEAR(dot(p, mean), 1, 1e-15);
    EXPECT_THROW(FisherDistribution(mean, -1), Error);
    EXPECT_THROW(FisherDistribution({0, 0, 0}, 1), Error);
}
