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

} // namespace trelmox
