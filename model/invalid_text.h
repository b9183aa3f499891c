#pragma once
// Where a text stops decoding, for messages that name the line.
#include <cstddef>
#include <string>

namespace trelmox {

// The offset of the first byte that is not part of a well-formed UTF-8
// (GB18030) sequence, std::string::npos when there is none.
std::size_t firstInvalidUtf8(const std::string& bytes);
std::size_t firstInvalidGb18030(const std::string& bytes);

} // namespace trelmox
