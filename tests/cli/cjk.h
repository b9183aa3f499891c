#pragma once
// Whether UTF-8 text holds a character of Chinese writing: an ideograph, or
// the full-width punctuation that goes with it ("，", "：", "“").
#include <string>

namespace trelmox::cli::testing {

inline bool hasCjk(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (length == 3 && i + 2 < text.size()) {
            const unsigned code = (lead & 0x0Fu) << 12 | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6 |
                                  (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
            if ((code >= 0x3000 && code <= 0x303F) || (code >= 0x4E00 && code <= 0x9FFF) ||
                (code >= 0xFF00 && code <= 0xFFEF) || code == 0x201C || code == 0x201D)
                return true;
        }
        i += length;
    }
    return false;
}

} // namespace trelmox::cli::testing
