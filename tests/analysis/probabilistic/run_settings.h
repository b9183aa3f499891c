#pragma once
// The settings the probabilistic run's tests share: a distribution set on
// one input, an outcome's count, and a run varying several inputs at once.
#include <cstdint>

#include "analysis/probabilistic/probabilistic.h"

namespace trelmox::testing {

inline void set(ProbabilisticSettings& s, Parameter p, Distribution d) { s.Distributions[static_cast<int>(p)] = d; }

inline std::uint64_t count(const ProbabilisticResult& r, TWedgeContact c) { return r.Contacts[static_cast<int>(c)]; }

// Several inputs at once, so that a mix-up between streams would show.
inline ProbabilisticSettings spreadSettings(SamplingMethod method, unsigned threads) {
    ProbabilisticSettings s;
    s.Samples = 20'000; // several chunks
    s.Seed = 2024;
    s.Method = method;
    s.Threads = threads;
    set(s, Parameter::Dip1, normalDistribution(3));
    set(s, Parameter::DipDir2, normalDistribution(5));
    set(s, Parameter::Cohesion1, lognormalDistribution(6));
    set(s, Parameter::Friction2, normalDistribution(0.1));
    set(s, Parameter::SlopeHeight, uniformDistribution(30, 50));
    set(s, Parameter::DipTop, uniformDistribution(0, 40)); // some samples cut out no block
    return s;
}

} // namespace trelmox::testing
