#include "analysis/probabilistic/team.h"

#include <gtest/gtest.h>
#include <omp.h>

namespace trelmox {
namespace {

// One thread for every MinWorkPerThread units, at most the threads asked
// for, never none.
TEST(TeamSize, ThreadsFollowTheWork) {
    const unsigned all = static_cast<unsigned>(omp_get_max_threads());
    const struct {
        unsigned requested;
        std::uint64_t work;
        unsigned threads;
    } cases[] = {
        {0, 0, 1},
        {4, 1000, 1},                                       // a short run on the calling thread alone
        {4, 2 * MinWorkPerThread - 1, 1},                   // not yet worth a second thread
        {4, 2 * MinWorkPerThread, 2},                       //
        {4, 3 * MinWorkPerThread + 5, 3},                   //
        {4, 1000 * MinWorkPerThread, 4},                    // no more than asked for
        {1, 1000 * MinWorkPerThread, 1},                    //
        {0, 1000 * MinWorkPerThread, std::min(all, 1000u)}, // 0: the runtime's count
    };
    for (const auto& c : cases) EXPECT_EQ(teamSize(c.requested, c.work), c.threads) << c.requested << ' ' << c.work;
}

} // namespace
} // namespace trelmox
