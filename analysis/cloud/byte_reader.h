#pragma once
// Bounds-checked reading of little- and big-endian numbers from a file's
// bytes, shared by the binary readers. A read past the end is a refusal
// naming what was being read, never a read out of bounds.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

#include "model/error.h"
#include "model/wording.h"

namespace trelmox::cloud_bytes {

template <typename T> T loadNumber(const char* at, bool bigEndian) {
    static_assert(std::is_arithmetic_v<T>);
    unsigned char raw[sizeof(T)];
    std::memcpy(raw, at, sizeof(T));
    if (bigEndian != (std::endian::native == std::endian::big))
        for (std::size_t i = 0; i < sizeof(T) / 2; ++i) std::swap(raw[i], raw[sizeof(T) - 1 - i]);
    T value;
    std::memcpy(&value, raw, sizeof(T));
    return value;
}

// A little-endian number at a fixed offset of a block already checked to
// be long enough.
template <typename T> T littleAt(std::string_view bytes, std::size_t offset) {
    return loadNumber<T>(bytes.data() + offset, false);
}

inline Error truncated(const std::string& what) {
    return Error::refused(
        say("文件不完整：读" + what + "时已到文件末尾", "the file is cut short: it ends within " + what));
}

} // namespace trelmox::cloud_bytes
