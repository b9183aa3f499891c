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

// A text file's bytes as UTF-8. A byte-order mark at the start is dropped:
// the UTF-8 mark (an editor saved the file as UTF-8, so the rest is read as
// UTF-8) or the GB18030 one; without a mark the bytes are GB18030. Throws
// Error on bytes that are not valid in the encoding read.
std::string fileBytesToUtf8(const std::string& bytes);

// Whether the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing beyond U+10FFFF).
bool isUtf8(const std::string& bytes);

// The text with what a reader cannot see or a terminal would act on made
// visible: control characters as \r, \n, \t or \xNN, and bytes that are not
// UTF-8 as \xNN. Everything else is kept.
std::string visibleText(const std::string& bytes);

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
