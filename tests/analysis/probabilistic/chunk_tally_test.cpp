#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "analysis/probabilistic/chunk_tally.h"

using namespace trelmox;

namespace {

std::uint64_t bits(double x) { return std::bit_cast<std::uint64_t>(x); }

// Chunks of every length up to a few blocks and a whole one: plain factors,
// with signed zeros, with a value whose square leaves the range of a double,
// with infinities and a NaN; each awkward value in turn at every offset, so
// that it falls in every lane of either width and in the tail.
std::vector<std::vector<double>> chunks() {
    std::mt19937_64 random(7);
    std::normal_distribution<double> factor(1.2, 0.2);
    std::vector<std::vector<double>> all;
    for (std::size_t n : {1, 2, 3, 4, 5, 7, 8, 9, 12, 13, 17, 4096}) {
        std::vector<double> plain(n);
        for (double& f : plain) f = factor(random);
        all.push_back(plain);
        for (double awkward : {-0.0, 0.0, 1e200, -std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN(), 1.0, 1.35})
            for (std::size_t at = 0; at < std::min<std::size_t>(n, 9); ++at) {
                std::vector<double> one = plain;
                one[at] = awkward;
                all.push_back(one);
            }
    }
    return all;
}

} // namespace

// The AVX2 loops give the SSE2 loops' bits, and both the levels and the
// extremes and counts the values themselves give.
TEST(ChunkTally, BothWidthsGiveTheSameSumsKeysAndCounts) {
    if (!__builtin_cpu_supports("avx2")) GTEST_SKIP() << "no AVX2 on this processor";
    const double required = 1.35;
    for (const std::vector<double>& f : chunks()) {
        const std::size_t n = f.size();
        const PlainSums narrow = plainSums(f.data(), n, required, false), wide = plainSums(f.data(), n, required, true);
        SCOPED_TRACE(testing::Message() << n << " values, first " << f[0]);
        EXPECT_EQ(bits(wide.Sum), bits(narrow.Sum));
        EXPECT_EQ(bits(wide.Squares), bits(narrow.Squares));
        EXPECT_EQ(wide.Finite, narrow.Finite);
        if (narrow.Finite) {
            EXPECT_EQ(bits(wide.Low), bits(narrow.Low));
            EXPECT_EQ(bits(wide.High), bits(narrow.High));
            EXPECT_EQ(narrow.Low, *std::min_element(f.begin(), f.end()));
            EXPECT_EQ(narrow.High, *std::max_element(f.begin(), f.end()));
        }
        for (const PlainSums& p : {narrow, wide}) {
            EXPECT_EQ(p.BelowOne, std::count_if(f.begin(), f.end(), [](double v) { return v < 1; }));
            EXPECT_EQ(p.BelowRequired, std::count_if(f.begin(), f.end(), [&](double v) { return v < required; }));
        }
        const KeyScale scale(0.5, 2.0);
        for (bool avx2 : {false, true}) {
            std::vector<ValueKey> keys(n + 1, 0x1234); // one beyond the end, which stays as it is
            writeKeys(keys.data(), f.data(), n, scale, true, avx2);
            for (std::size_t j = 0; j < n; ++j) EXPECT_EQ(keys[j], scale.of(f[j])) << j << (avx2 ? " AVX2" : " SSE2");
            EXPECT_EQ(keys[n], 0x1234);
        }
    }
}
