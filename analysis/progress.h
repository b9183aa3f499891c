#pragma once
// How a long computation reports how far it has come and learns that the
// user cancelled it.
#include <cstdint>
#include <functional>

namespace trelmox {

// Called now and then from the calling thread with the work finished so
// far, and once at the end with done == total. Return false to cancel.
using ProgressCallback = std::function<bool(std::uint64_t done, std::uint64_t total)>;

} // namespace trelmox
