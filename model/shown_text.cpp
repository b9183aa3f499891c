#include "model/shown_text.h"

#include "model/textcodec.h"
#include "model/error.h"

namespace trelmox {

namespace {

bool startsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

// The byte offsets of the first `count` and the last `count` characters'
// boundaries of UTF-8 text.
std::size_t offsetAfterCharacters(const std::string& text, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t seen = 0; at < text.size(); ++at)
        if (startsCharacter(text[at]) && seen++ == count) break;
    return at;
}

std::size_t offsetBeforeCharacters(const std::string& text, std::size_t count) {
    std::size_t at = text.size();
    for (std::size_t seen = 0; at > 0 && seen < count;)
        if (startsCharacter(text[--at])) ++seen;
    return at;
}

std::size_t characterCount(const std::string& text) {
    std::size_t count = 0;
    for (const char c : text) count += startsCharacter(c);
    return count;
}

} // namespace

std::string shownText(const std::string& text) {
    const std::string visible = visibleText(text);
    if (characterCount(visible) <= MaxShownChars) return visible;
    constexpr std::size_t Head = MaxShownChars * 2 / 3, Tail = MaxShownChars - Head - 1;
    // The cut falls between words where a blank is near, not inside one.
    constexpr std::size_t Near = 40;
    std::size_t headEnd = offsetAfterCharacters(visible, Head), tailStart = offsetBeforeCharacters(visible, Tail);
    if (const auto blank = visible.rfind(' ', headEnd); blank != std::string::npos && headEnd - blank <= Near)
        headEnd = blank;
    if (const auto blank = visible.find(' ', tailStart); blank != std::string::npos && blank - tailStart <= Near)
        tailStart = blank + 1;
    return visible.substr(0, headEnd) + "…" + visible.substr(tailStart);
}

std::string shownMessage(const std::string& text) {
    std::string shown;
    for (std::size_t from = 0;;) {
        const std::size_t end = text.find('\n', from);
        shown += shownText(text.substr(from, end == std::string::npos ? std::string::npos : end - from));
        if (end == std::string::npos) return shown;
        shown += '\n';
        from = end + 1;
    }
}

std::string nameText(const std::string& bytes) {
    if (isUtf8(bytes)) return bytes;
    try {
        return gb18030ToUtf8(bytes);
    } catch (const Error&) {
        return visibleText(bytes);
    }
}

std::string shownPath(const std::filesystem::path& path) { return nameText(path.string()); }

} // namespace trelmox
