#pragma once
// The example block of the shipped data file and the corners its drawing
// export computes, shared by the picture tests.
#include "model/block.h"

namespace trelmox::examples {

inline PlaneAttitudeArray exampleAttitudes() {
    return {{{45, 105}, {70, 235}, {12, 195}, {65, 185}}};
}

inline BlockVertices exampleVertices() {
    return {{0, 0, 0},
            {-34.7340090471, 84.8268963285, 55.5052926959},
            {-37.9581352395, 23.3069037531, 42.6970137193},
            {5.5231374687, 20.3370678905, 44.4793303154}};
}

} // namespace trelmox::examples
