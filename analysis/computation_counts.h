#pragma once
// How many times this thread computed a block's corners, Kc from the
// planes' attitudes and the full analysis from them: the evidence that a
// command computes each once per block. A thread-local count costs a few
// instructions beside the trigonometry of each.
namespace trelmox {

struct ComputationCounts {
    long Corners = 0, Kc = 0, Full = 0;
};

inline ComputationCounts& computationCounts() {
    thread_local ComputationCounts counts;
    return counts;
}

} // namespace trelmox
