#include "analysis/probabilistic/huge_pages.h"

#include <new>
#include <sys/mman.h>

namespace trelmox::probabilistic_run {

void* hugePageMemory(std::size_t bytes) {
    constexpr std::size_t huge = std::size_t(1) << 21;
    bytes = (bytes + huge - 1) / huge * huge;
    void* memory = std::aligned_alloc(huge, bytes);
    if (!memory) throw std::bad_alloc();
    madvise(memory, bytes, MADV_HUGEPAGE); // a hint: without it, plain pages
    return memory;
}

} // namespace trelmox::probabilistic_run
