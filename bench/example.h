#pragma once
// The shipped example block, read once.
#include "model/datafile.h"
#include "model/files.h"

namespace trelmox::bench {

inline const SavedBlock& exampleBlock() {
    static const SavedBlock block =
        savedBlockFromTexts(parseBlockData(readTextFile(TRELMOX_SOURCE_DIR "/examples/example.txt")));
    return block;
}

} // namespace trelmox::bench
