#pragma once
// How many threads a parallel job runs on.
//
// A team pays only for work large enough to share. Its threads meet at the
// end of the job, and on a machine busy with other programs a thread the
// system has set aside holds the others there for a time slice of the
// competing programs (milliseconds); while they wait, OpenMP's threads
// spin and take the cores from the one still working. A job of a few
// milliseconds then takes many times longer on a team than on the calling
// thread alone. So a job gets one thread for every MinWorkPerThread units
// of its work, a unit being what one probabilistic sample costs in the
// vector lanes (some 30 ns); other work is counted in these units. And a
// job is one parallel region over all its parts, never a region a part,
// so that a team meets once.
#include <cstdint>

namespace trelmox {

// 2^18 units: some 8 ms of work for each thread of a team.
inline constexpr std::uint64_t MinWorkPerThread = std::uint64_t{1} << 18;

// What one sample costs when its full factor goes through the scalar
// analysis (size limits, passive bolts, a turning crack): some 1 us.
inline constexpr std::uint64_t ScalarSampleWork = 32;

// The threads for `work` units: `requested` (0: omp_get_max_threads(),
// which follows OMP_NUM_THREADS), fewer where the work would not keep each
// busy for MinWorkPerThread units, and at least 1.
unsigned teamSize(unsigned requested, std::uint64_t work);

} // namespace trelmox
