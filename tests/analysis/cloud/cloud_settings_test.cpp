#include "analysis/cloud/cloud_settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/error.h"

namespace trelmox {
namespace {

TEST(CloudSettingsTest, ReadsTheSetCountAsAFixedOrAnAutomaticChoice) {
    const struct {
        std::string sets;
        int fixed, most;
    } read[] = {{"auto:6", 0, 6}, {"auto:1", 0, 1}, {"auto:50", 0, 50}, {"4", 4, 4}, {"1", 1, 1}, {"50", 50, 50}};
    for (const auto& c : read) {
        const CloudSettings s = cloudSettings(0.5, 20, 0, c.sets, "count");
        EXPECT_EQ(s.Sets.Sets, c.fixed) << c.sets;
        EXPECT_EQ(s.Sets.MaxSets, c.most) << c.sets;
        EXPECT_FALSE(s.Sets.ByArea);
        EXPECT_EQ(s.Voxel, 0.5);
        EXPECT_EQ(s.Facets.Neighbours, 20u);
    }
}

TEST(CloudSettingsTest, RefusesEachOptionOutsideItsRangeNamingIt) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const struct {
        double voxel;
        std::size_t neighbours;
        double minArea;
        std::string sets, weight, field;
    } refused[] = {
        {-1, 20, 0, "auto:6", "area", "voxel"},
        {nan, 20, 0, "auto:6", "area", "voxel"},
        {inf, 20, 0, "auto:6", "area", "voxel"},
        {0, 20, -0.1, "auto:6", "area", "min-facet-area"},
        {0, 20, nan, "auto:6", "area", "min-facet-area"},
        {0, 2, 0, "auto:6", "area", "neighbours"},
        {0, 201, 0, "auto:6", "area", "neighbours"},
        {0, 20, 0, "auto:0", "area", "sets"},
        {0, 20, 0, "auto:51", "area", "sets"},
        {0, 20, 0, "0", "area", "sets"},
        {0, 20, 0, "51", "area", "sets"},
        {0, 20, 0, "", "area", "sets"},
        {0, 20, 0, "auto:", "area", "sets"},
        {0, 20, 0, "3x", "area", "sets"},
        {0, 20, 0, " 3", "area", "sets"},
        {0, 20, 0, "-3", "area", "sets"},
        {0, 20, 0, "auto:6", "volume", "weight"},
        {0, 20, 0, "auto:6", "", "weight"},
    };
    for (const auto& c : refused) {
        try {
            cloudSettings(c.voxel, c.neighbours, c.minArea, c.sets, c.weight);
            ADD_FAILURE() << "took " << c.field << " '" << c.sets << "' '" << c.weight << "'";
        } catch (const Error& e) {
            EXPECT_EQ(e.kind(), ErrorKind::RefusedInput) << e.what();
            EXPECT_EQ(e.field(), c.field) << e.what();
        }
    }
}

} // namespace
} // namespace trelmox
