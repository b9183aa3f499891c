#pragma once
// Files are GBK text; GB18030 is its superset (byte-identical for every GBK
// character) and maps every Unicode character, so nothing a user types is
// lost. The engine holds UTF-8 and converts only at the file boundary.
#include <string>

namespace trelmox {

// Throws Error when the text is not valid UTF-8.
std::string utf8ToGb18030(const std::string& utf8);
// Throws Error when the bytes are not valid GB18030.
std::string gb18030ToUtf8(const std::string& bytes);

enum class TextEncoding { Utf8, Gb18030 };

struct DecodedText {
    std::string Utf8;
    TextEncoding Encoding = TextEncoding::Utf8;
};

// Text from a file that may come from either world: another program's UTF-8
// (a leading byte-order mark dropped) or our own GB18030. Bytes that are
// valid UTF-8 are taken as UTF-8: Chinese GB18030 text is almost never valid
// UTF-8, and plain ASCII reads the same either way. Throws Error when the
// bytes are neither.
DecodedText decodeUtf8OrGb18030(const std::string& bytes);

} // namespace trelmox
