// Fuzz harness of the XYZ text reader: see cloud_checks.h for what it requires.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tests/fuzz/cloud_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    trelmox::fuzz::checkCloudReader(trelmox::readXyz, std::string_view(reinterpret_cast<const char*>(data), size), 5);
    return 0;
}
