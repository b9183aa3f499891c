#pragma once
// The uniforms behind every sample. Plain Monte Carlo draws each from a
// counter-based stream, u(i, input) = hash(seed, i, input), so any sample
// can be drawn on any thread in any order with the same result. Latin
// hypercube splits (0, 1) into N equal strata per input and gives each
// stratum to exactly one sample, through a seeded random permutation per
// input, with a position inside the stratum from the same stream.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/probabilistic/parameters.h"

namespace trelmox {

enum class SamplingMethod { MonteCarlo, LatinHypercube };
// Strata are numbered in 32 bits, and a position inside one keeps the bits
// that a double leaves beside a stratum number below 2^24.
inline constexpr std::uint64_t MaxSamples = 10'000'000;
static_assert(MaxSamples < (1u << 24));

// SplitMix64's output function: a bijective mix of 64 bits.
constexpr std::uint64_t mix64(std::uint64_t z) {
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// Draw `counter` of the counter-based stream `key`: in (0, 1), never an
// end, the midpoint of one of 2^52 equal cells.
double counterUniform(std::uint64_t key, std::uint64_t counter);

class SampleDesign {
public:
    // Permutations are built for the inputs in `varying` only (Latin
    // hypercube), on at most `threads` threads (0: all cores); uniform()
    // must not be asked for the others.
    SampleDesign(SamplingMethod method, std::uint64_t seed, std::uint64_t samples,
                 const std::vector<Parameter>& varying, unsigned threads = 0);
    // In (0, 1), never an end.
    double uniform(std::uint64_t sample, Parameter input) const;
    // uniform() of samples first .. first + n - 1.
    void uniforms(std::uint64_t first, std::size_t n, Parameter input, double* out) const;
    // Latin hypercube: the stratum 0..samples-1 of the sample for the input.
    std::uint32_t stratum(std::uint64_t sample, Parameter input) const;

private:
    double streamUniform(std::uint64_t sample, Parameter input) const;

    SamplingMethod method_;
    std::uint64_t key_;
    std::uint64_t samples_;
    std::vector<std::vector<std::uint32_t>> strata_; // by Parameter, empty unless varying
};

} // namespace trelmox
