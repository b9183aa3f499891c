#include "analysis/probabilistic/team.h"

#include <algorithm>
#include <omp.h>

namespace trelmox {

unsigned teamSize(unsigned requested, std::uint64_t work) {
    const unsigned asked = requested != 0 ? requested : static_cast<unsigned>(std::max(1, omp_get_max_threads()));
    const std::uint64_t worth = std::max<std::uint64_t>(1, work / MinWorkPerThread);
    return static_cast<unsigned>(std::min<std::uint64_t>(asked, worth));
}

} // namespace trelmox
