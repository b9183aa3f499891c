#pragma once
// The fuzzed bytes read in order, as the harnesses that build numbers from
// them read them; zeros once they run out.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace trelmox::fuzz {

inline void require(bool condition) {
    if (!condition) std::abort();
}

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    // Any double, the limits, infinities and NaNs among them.
    double number() {
        std::uint8_t raw[8]{};
        for (auto& b : raw) b = byte();
        double value;
        std::memcpy(&value, raw, sizeof value);
        return value;
    }
    // A number of an engineer's scale half the time (most raw doubles are
    // tiny or huge), raw the other half.
    double value() {
        const std::uint8_t how = byte();
        return how & 1 ? number() : (static_cast<int>(byte()) - 64) * 0.5 * (1 + (how >> 1) % 8);
    }
    bool empty() const { return at_ >= size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_, at_ = 0;
};

} // namespace trelmox::fuzz
