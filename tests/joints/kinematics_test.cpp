#include "analysis/joints/kinematics.h"

#include <gtest/gtest.h>

namespace trelmox {
namespace {

// Face 60/180, friction 30. Symmetric pairs about the face's dip direction
// meet in a line of that trend (or the opposite) with tan(plunge) =
// tan(dip) cos(half the angle between their dip directions).
TEST(WedgeKinematics, ChecksDaylightAndFrictionOfTheLineOfIntersection) {
    const TPlaneAttitude face{60, 180};
    const struct {
        TPlaneAttitude first, second;
        double plunge, apparentDip;
        bool daylights, steeper;
    } cases[] = {
        {{60, 120}, {60, 240}, 40.8934, 60, true, true},     // slides
        {{55, 100}, {55, 200}, 42.5518, 56.3099, true, true}, // slides, oblique to the face
        {{45, 120}, {45, 240}, 26.5651, 60, true, false},    // flatter than friction
        {{80, 130}, {80, 230}, 74.6602, 60, false, true},    // steeper than the face
        {{60, 30}, {60, 330}, 56.3099, -60, false, true},    // plunges into the slope
    };
    for (const auto& c : cases) {
        const WedgeKinematics k = wedgeKinematics(c.first, c.second, face, 30);
        ASSERT_TRUE(k.Intersection);
        EXPECT_NEAR(k.Intersection->Plunge, c.plunge, 1e-4);
        EXPECT_NEAR(k.FaceApparentDip, c.apparentDip, 1e-4);
        EXPECT_EQ(k.Daylights, c.daylights);
        EXPECT_EQ(k.SteeperThanFriction, c.steeper);
        EXPECT_EQ(k.possible(), c.daylights && c.steeper);
    }
    const WedgeKinematics parallel = wedgeKinematics({45, 120}, {45, 120}, face, 30);
    EXPECT_FALSE(parallel.Intersection);
    EXPECT_FALSE(parallel.possible());
}

} // namespace
} // namespace trelmox
