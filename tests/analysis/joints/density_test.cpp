#include "analysis/joints/density.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "analysis/orientation.h"
#include "analysis/vec3.h"

namespace trelmox {
namespace {

// Poles of a few clusters, one across the rim, with uneven weights.
std::vector<WeightedPole> clusteredPoles(int n) {
    std::mt19937 random(5);
    std::normal_distribution<double> spread(0, 6);
    const LineAttitude centres[] = {{40, 60}, {300, 2}, {170, 35}};
    std::vector<WeightedPole> poles;
    for (int i = 0; i < n; ++i) {
        const LineAttitude& c = centres[i % 3];
        poles.push_back({lineVector(c.Trend + spread(random), c.Plunge + spread(random)), 1.0 + i % 4});
    }
    return poles;
}

// Equal-area points over the lower hemisphere: z uniform in (-1, 0).
std::vector<TPoint3D> hemispherePoints(int n) {
    std::vector<TPoint3D> points;
    const double golden = std::numbers::pi * (3 - std::sqrt(5.0));
    for (int k = 0; k < n; ++k) {
        const double z = -(k + 0.5) / n, r = std::sqrt(1 - z * z);
        points.push_back({r * std::cos(golden * k), r * std::sin(golden * k), z});
    }
    return points;
}

const DensityOptions Options[] = {{DensityMethod::Fisher, 0.01},
                                  {DensityMethod::Fisher, 0.1},
                                  {DensityMethod::Kamb, 0.01},
                                  {DensityMethod::Kamb, kambAreaShare(300)},
                                  {DensityMethod::Kamb, 1}};

// The mean over the hemisphere is 1% per 1% of area: 100% of the poles.
TEST(PoleDensity, IntegratesToAHundredPercentOverTheHemisphere) {
    const auto points = hemispherePoints(100'000);
    for (const DensityOptions& options : Options) {
        const auto density = PoleDensity(clusteredPoles(300), options).at(points);
        double total = 0;
        for (double d : density) total += d * 100 / points.size();
        EXPECT_NEAR(total, 100, 0.3) << static_cast<int>(options.Method) << " " << options.AreaShare;
    }
}

// The grid of cells must find every pole in reach, in both senses, also
// next to the rim.
TEST(PoleDensity, ManyDirectionsAtOnceMatchOneByOne) {
    const auto poles = clusteredPoles(200);
    const auto points = hemispherePoints(3000);
    for (const DensityOptions& options : Options) {
        const PoleDensity density(poles, options);
        const auto many = density.at(points);
        for (std::size_t k = 0; k < points.size(); ++k)
            ASSERT_NEAR(many[k], density.at(points[k]), 1e-9 * (1 + many[k])) << k;
    }
}

} // namespace
} // namespace trelmox
