#pragma once
// The run's large stores in huge pages: the values of every sample until
// the histogram has binned them, and the chunks' results.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace trelmox::probabilistic_run {

// Memory in whole huge pages where the system offers them, freed with
// std::free: a few page faults where 4 KiB pages would take one each.
void* hugePageMemory(std::size_t bytes);

// Values of the whole run, one stretch per chunk, until the histogram has
// binned them (its bins need the smallest and the largest value of the run).
// Neither zeroed nor written beyond the values kept, and in huge pages;
// fresh memory is still the dearest part of a long run on some machines
// (the system clears every page), hence the 16-bit keys (chunk_tally.h).
template <typename T> class ValueStore {
public:
    explicit ValueStore(std::uint64_t samples) {
        if (samples > 0) data_.reset(static_cast<T*>(hugePageMemory(samples * sizeof(T))));
    }
    T* at(std::uint64_t sample) const { return data_ ? data_.get() + sample : nullptr; }

private:
    struct Free {
        void operator()(T* p) const { std::free(p); }
    };
    std::unique_ptr<T[], Free> data_;
};

// The chunks' results in huge pages from half a megabyte on: a run of 10^7
// samples has 2,441 of them, a megabyte that one thread clears before the
// others start.
template <typename T> struct HugePages {
    using value_type = T;
    static constexpr std::size_t From = std::size_t(1) << 19;
    HugePages() = default;
    template <typename U> explicit HugePages(const HugePages<U>&) {}
    T* allocate(std::size_t n) {
        return n * sizeof(T) < From ? std::allocator<T>().allocate(n) : static_cast<T*>(hugePageMemory(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) {
        if (n * sizeof(T) < From)
            std::allocator<T>().deallocate(p, n);
        else
            std::free(p);
    }
    bool operator==(const HugePages&) const = default;
};

} // namespace trelmox::probabilistic_run
