#include "analysis/geometry.h"

#include <gtest/gtest.h>

#include "tests/model/test_support.h"

using namespace trelmox;
using trelmox::testing::messageOf;

TEST(WedgeGeometry, VolumeHeightAndPlungeOfKnownWedges) {
    const struct {
        const char* name;
        BlockVertices corners;
        double volume, height, plunge;
    } cases[] = {
        // Top face of area 150, 10 above the toe; intersection rises 10 over 20.
        {"simple", {{0, 0, 0}, {0, 20, 10}, {-10, 5, 10}, {10, 5, 10}}, 500, 10, 26.5651},
        // The reference block's corners; its slope top dips 12, so h = 40 cos 12.
        {"reference block",
         {{0, 0, 0},
          {-34.7340090471, 84.8268963285, 55.5052926959},
          {-37.9581352395, 23.3069037531, 42.6970137193},
          {5.5231374687, 20.3370678905, 44.4793303154}},
         17896.9513,
         39.1259,
         31.1965},
        // Toe above the upper end of the intersection.
        {"falling intersection", {{0, 0, 20}, {0, 20, 10}, {-10, 5, 10}, {10, 5, 10}}, 500, 10, -26.5651},
        // Corner order on the top face does not change the unsigned results.
        {"swapped crest corners", {{0, 0, 0}, {0, 20, 10}, {10, 5, 10}, {-10, 5, 10}}, 500, 10, 26.5651},
    };
    for (const auto& c : cases) {
        const WedgeGeometry g = wedgeGeometry(c.corners);
        EXPECT_NEAR(g.Volume, c.volume, 5e-5) << c.name;
        EXPECT_NEAR(g.Height, c.height, 5e-5) << c.name;
        EXPECT_NEAR(g.IntersectionPlunge, c.plunge, 5e-5) << c.name;
    }
}

TEST(WedgeGeometry, DegenerateCornersStopWithTheArithmeticMessage) {
    const struct {
        const char* name;
        BlockVertices corners;
        const char* message;
    } cases[] = {
        {"no corners computed yet", {}, "Invalid floating point operation"},
        {"top corners on one line",
         {{0, 0, 0}, {0, 10, 10}, {0, 20, 10}, {0, 30, 10}},
         "Invalid floating point operation"},
        {"vertical intersection",
         {{0, 0, 0}, {0, 0, 10}, {-10, 5, 10}, {10, 5, 10}},
         "Floating point division by zero"},
        {"intersection of no length",
         {{0, 0, 10}, {0, 0, 10}, {-10, 5, 10}, {10, 5, 10}},
         "Invalid floating point operation"},
        {"corners beyond range",
         {{0, 0, 0}, {0, 2e200, 1e200}, {-1e200, 5e199, 1e200}, {1e200, 5e199, 1e200}},
         "Floating point overflow"},
    };
    for (const auto& c : cases) EXPECT_EQ(messageOf([&] { wedgeGeometry(c.corners); }), c.message) << c.name;
}
