#include "analysis/vec3.h"
// After vec3.h: the formula finds its dot and cross for TPoint3D.
#include "analysis/polygon_formula.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <string>
#include <vector>

using namespace trelmox;

namespace {

using Face = PolygonOf<TPoint3D, 4>;

// The crack's face ordered by the angle of each point about the centre, a
// stable insertion sort of atan2's angles: the order the wedge's pictures,
// reports and water loads have always been worked out with.
std::vector<TPoint3D> atan2Order(const std::vector<TPoint3D>& points, const TPoint3D& inward) {
    TPoint3D centre{};
    for (const TPoint3D& p : points) centre = centre + p;
    centre = (1.0 / points.size()) * centre;
    const TPoint3D u = points[0] - centre, v = cross(inward, u);
    std::vector<double> angle;
    for (const TPoint3D& p : points) angle.push_back(std::atan2(dot(p - centre, v), dot(p - centre, u)));
    std::vector<TPoint3D> sorted = points;
    for (std::size_t i = 1; i < sorted.size(); ++i)
        for (std::size_t k = i; k > 0 && angle[k - 1] > angle[k]; --k) {
            std::swap(angle[k - 1], angle[k]);
            std::swap(sorted[k - 1], sorted[k]);
        }
    return sorted;
}

bool sameBits(const TPoint3D& a, const TPoint3D& b) {
    return std::bit_cast<std::uint64_t>(a.x) == std::bit_cast<std::uint64_t>(b.x) &&
           std::bit_cast<std::uint64_t>(a.y) == std::bit_cast<std::uint64_t>(b.y) &&
           std::bit_cast<std::uint64_t>(a.z) == std::bit_cast<std::uint64_t>(b.z);
}

void expectAtan2Order(const std::vector<TPoint3D>& points, const TPoint3D& inward, const std::string& name) {
    Face f;
    for (const TPoint3D& p : points) addTo(f, true, p);
    sortAroundCentreOf(f, inward, true);
    const std::vector<TPoint3D> expected = atan2Order(points, inward);
    ASSERT_EQ(f.Count, int(points.size())) << name;
    for (int i = 0; i < f.Count; ++i)
        EXPECT_TRUE(sameBits(f.Points[i], expected[i])) << name << ": point " << i << " (" << f.Points[i].x << ", "
                                                        << f.Points[i].y << ", " << f.Points[i].z << ")";
}

} // namespace

// The cross products' ranks stand in for atan2 only where its order is
// certain; faces where two points lie in one direction from the centre, or
// one lies opposite point 0, must still come out in atan2's order.
TEST(PolygonFormula, CrackFaceIsOrderedAsAtan2OrdersIt) {
    const TPoint3D up{0, 0, 1}, tilted{0.6, 0, 0.8};
    const struct {
        const char* name;
        std::vector<TPoint3D> points;
        TPoint3D inward;
    } cases[] = {
        {"triangle", {{0, 0, 0}, {4, 1, 0}, {1, 3, 0}}, up},
        {"triangle seen from below", {{0, 0, 0}, {4, 1, 0}, {1, 3, 0}}, -1 * up},
        {"quadrilateral out of order", {{0, 0, 0}, {2, 2, 0}, {2, 0, 0}, {0, 2, 0}}, up},
        {"square, the diagonal opposite point 0", {{1, 1, 0}, {-1, 1, 0}, {-1, -1, 0}, {1, -1, 0}}, up},
        {"square from below, out of order", {{1, 1, 0}, {-1, -1, 0}, {-1, 1, 0}, {1, -1, 0}}, -1 * up},
        {"two points at one place", {{0, 0, 0}, {3, 0, 0}, {3, 0, 0}, {0, 3, 0}}, up},
        {"a point on point 0", {{1, 0, 0}, {1, 0, 0}, {0, 2, 0}, {-1, -1, 0}}, up},
        {"tilted quadrilateral", {{0, 0, 0}, {-4, 3, 3}, {0, 5, 0}, {-4, -1, 3}}, tilted},
    };
    for (const auto& c : cases) expectAtan2Order(c.points, c.inward, c.name);

    // Convex faces in planes of every attitude, their points in any order,
    // some with corners nearly in line with the centre.
    std::mt19937_64 random(41);
    std::uniform_real_distribution<double> unit(-1, 1), angle(0, 2 * std::numbers::pi);
    for (int n = 0; n < 20000; ++n) {
        TPoint3D normal{unit(random), unit(random), unit(random)};
        if (norm(normal) < 1e-3) continue;
        normal = (1 / norm(normal)) * normal;
        const TPoint3D a = norm(cross(normal, {1, 0, 0})) > 0.5 ? cross(normal, {1, 0, 0}) : cross(normal, {0, 1, 0});
        const TPoint3D e1 = (1 / norm(a)) * a, e2 = cross(normal, e1);
        const int count = 3 + n % 2;
        std::vector<double> angles;
        for (int i = 0; i < count; ++i) angles.push_back(angle(random));
        // Every fourth face: a point opposite another through the origin.
        if (n % 4 == 0) angles[count - 1] = angles[0] + std::numbers::pi;
        std::sort(angles.begin(), angles.end());
        const TPoint3D origin{10 * unit(random), 10 * unit(random), 10 * unit(random)};
        std::vector<TPoint3D> points;
        for (double t : angles) points.push_back(origin + (std::cos(t) * e1 + std::sin(t) * e2));
        std::shuffle(points.begin(), points.end(), random);
        expectAtan2Order(points, unit(random) < 0 ? -1 * normal : normal, "random face " + std::to_string(n));
        if (::testing::Test::HasFailure()) break;
    }
}
