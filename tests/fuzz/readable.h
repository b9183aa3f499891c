#pragma once
// What both harnesses require of every message: a person can read it. It is
// UTF-8 and holds no control character, so nothing cuts it short (a NUL),
// moves the cursor or breaks a line of the tool's output.
#include <cstdlib>
#include <string>

#include "model/textcodec.h"

namespace trelmox::fuzz {

inline void requireReadable(const std::string& message) {
    if (!isUtf8(message)) std::abort();
    for (const char c : message)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) std::abort();
}

} // namespace trelmox::fuzz
