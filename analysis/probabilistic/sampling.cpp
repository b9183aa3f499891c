#include "analysis/probabilistic/sampling.h"

#include <cmath>
#include <numeric>
#include <utility>

#include "analysis/probabilistic/kernel.h"
#include "analysis/probabilistic/team.h"

namespace trelmox {

namespace {

constexpr std::uint64_t Golden = 0x9e3779b97f4a7c15ULL; // SplitMix64's increment

// A seeded Fisher-Yates shuffle of 0..n-1; the bounded draw is Lemire's
// multiply-shift, whose bias (n / 2^64) is far below sampling error.
std::vector<std::uint32_t> randomPermutation(std::uint64_t n, std::uint64_t streamKey) {
    std::vector<std::uint32_t> permutation(n);
    std::iota(permutation.begin(), permutation.end(), 0u);
    std::uint64_t state = streamKey;
    for (std::uint64_t i = n; i > 1; --i) {
        state += Golden;
        const auto j = static_cast<std::uint64_t>((static_cast<unsigned __int128>(mix64(state)) * i) >> 64);
        std::swap(permutation[i - 1], permutation[j]);
    }
    return permutation;
}

// Where an input's stream lies: the inputs before the size limits take
// counters sample * FirstSizeParameter + input + 1 of the run's key (their
// counters ever since); the size limits and the inputs after them the same
// pattern of a key of their own, so no two inputs ever share a draw.
struct Stream {
    std::uint64_t Key, First, Stride;
};

Stream streamOf(std::uint64_t key, std::uint64_t sample, Parameter input) {
    const int index = static_cast<int>(input);
    if (index < FirstSizeParameter) return {key, sample * FirstSizeParameter + index + 1, FirstSizeParameter};
    constexpr std::uint64_t later = ParameterCount - FirstSizeParameter;
    return {mix64(key ^ 0x5a5a5a5a5a5a5a5aULL), sample * later + (index - FirstSizeParameter) + 1, later};
}

} // namespace

// The top 52 bits of the mixed counter.
double counterUniform(std::uint64_t key, std::uint64_t counter) {
    return (static_cast<double>(mix64(key + Golden * counter) >> 12) + 0.5) * 0x1p-52;
}

SampleDesign::SampleDesign(SamplingMethod method, std::uint64_t seed, std::uint64_t samples,
                           const std::vector<Parameter>& varying, unsigned threads)
    : method_(method), key_(mix64(seed)), samples_(samples), strata_(ParameterCount) {
    if (method_ != SamplingMethod::LatinHypercube) return;
        // One shuffle per input, each from its own stream: independent of the
        // order they are built in, so they may be built in parallel.
#pragma omp parallel for schedule(dynamic, 1) num_threads(teamSize(threads, samples* varying.size()))
    for (std::size_t k = 0; k < varying.size(); ++k) {
        const int input = static_cast<int>(varying[k]);
        strata_[input] = randomPermutation(samples_, mix64(key_ ^ mix64(Golden * (input + 1))));
    }
}

double SampleDesign::streamUniform(std::uint64_t sample, Parameter input) const {
    const Stream stream = streamOf(key_, sample, input);
    return counterUniform(stream.Key, stream.First);
}

std::uint32_t SampleDesign::stratum(std::uint64_t sample, Parameter input) const {
    return strata_[static_cast<int>(input)][sample];
}

double SampleDesign::uniform(std::uint64_t sample, Parameter input) const {
    double u;
    uniforms(sample, 1, input, &u);
    return u;
}

// The whole lanes of the widest kernel, the rest one by one: the same bits.
void SampleDesign::uniforms(std::uint64_t first, std::size_t n, Parameter input, double* out) const {
    const BlockKernel& kernel = widestKernel();
    const std::size_t lanes = n - n % kernel.Lanes;
    const Stream stream = streamOf(key_, first, input);
    kernel.Uniforms(stream.Key, stream.First, stream.Stride, out, lanes);
    for (std::size_t i = lanes; i < n; ++i) out[i] = streamUniform(first + i, input);
    if (method_ == SamplingMethod::MonteCarlo) return;
    // The position inside the stratum keeps 28 bits, so that stratum +
    // position (stratum < 2^24) is exact and the quotient stays inside its
    // stratum, below 1.
    const std::uint32_t* strata = strata_[static_cast<int>(input)].data() + first;
    const auto count = static_cast<double>(samples_);
    for (std::size_t i = 0; i < n; ++i) {
        const double position = (std::floor(out[i] * 0x1p28) + 0.5) * 0x1p-28;
        out[i] = (strata[i] + position) / count;
    }
}

} // namespace trelmox
