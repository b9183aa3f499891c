#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/probabilistic/sampling.h"

using namespace trelmox;

namespace {

const std::vector<Parameter> Varying = {Parameter::Dip1, Parameter::Cohesion1, Parameter::WaterPressure2};

} // namespace

TEST(SampleDesign, LatinHypercubePutsExactlyOneSampleInEachStratum) {
    for (std::uint64_t n : {1u, 2u, 7u, 1000u, 4096u}) {
        const SampleDesign design(SamplingMethod::LatinHypercube, 42, n, Varying);
        for (Parameter input : Varying) {
            std::vector<int> hits(n, 0);
            for (std::uint64_t i = 0; i < n; ++i) {
                const double u = design.uniform(i, input);
                ASSERT_GT(u, 0);
                ASSERT_LT(u, 1);
                const auto s = static_cast<std::uint64_t>(u * static_cast<double>(n));
                ASSERT_EQ(s, design.stratum(i, input));
                ++hits[s];
            }
            EXPECT_TRUE(std::all_of(hits.begin(), hits.end(), [](int h) { return h == 1; }))
                << "n = " << n << ", input " << parameterName(input);
        }
    }
}

TEST(SampleDesign, InputsAreShuffledIndependently) {
    const std::uint64_t n = 1000;
    const SampleDesign design(SamplingMethod::LatinHypercube, 7, n, Varying);
    int same = 0;
    for (std::uint64_t i = 0; i < n; ++i) same += design.stratum(i, Varying[0]) == design.stratum(i, Varying[1]);
    EXPECT_LT(same, 10); // about one by chance
}

TEST(SampleDesign, DrawsDependOnSeedAndSampleOnly) {
    for (SamplingMethod method : {SamplingMethod::MonteCarlo, SamplingMethod::LatinHypercube}) {
        const SampleDesign a(method, 1, 100, Varying);
        const SampleDesign b(method, 1, 100, Varying);
        const SampleDesign fewerInputs(method, 1, 100, {Parameter::Cohesion1});
        const SampleDesign otherSeed(method, 2, 100, Varying);
        int differ = 0;
        for (std::uint64_t i = 0; i < 100; ++i) {
            EXPECT_EQ(a.uniform(i, Parameter::Cohesion1), b.uniform(i, Parameter::Cohesion1));
            EXPECT_EQ(a.uniform(i, Parameter::Cohesion1), fewerInputs.uniform(i, Parameter::Cohesion1));
            differ += a.uniform(i, Parameter::Cohesion1) != otherSeed.uniform(i, Parameter::Cohesion1);
        }
        EXPECT_GT(differ, 95);
    }
}

TEST(SampleDesign, MonteCarloUniformsAreUniform) {
    // Chi-square over 20 cells of 100,000 draws of one input: far beyond
    // the 0.1% critical value (43.8) would mean a broken stream.
    const SampleDesign design(SamplingMethod::MonteCarlo, 3, 0, {});
    constexpr int cells = 20, n = 100'000;
    std::vector<int> counts(cells, 0);
    for (int i = 0; i < n; ++i) ++counts[static_cast<int>(design.uniform(i, Parameter::Friction1) * cells)];
    double chi2 = 0;
    for (int c : counts) chi2 += (c - n / cells) * double(c - n / cells) / (n / cells);
    EXPECT_LT(chi2, 43.8);
}
