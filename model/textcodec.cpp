#include "model/textcodec.h"

#include "model/invalid_text.h"

#include <cerrno>
#include <iconv.h>

#include "model/error.h"
#include "model/language.h"

namespace trelmox {

namespace {

// offset counts from 1.
struct InvalidBytes : Error {
    InvalidBytes(const char* encoding, std::size_t offset)
        : Error(messageLanguage() == Language::English
                    ? "the text has invalid " + std::string(encoding) + " bytes (byte " + std::to_string(offset) + ")"
                    : "文本含有无效的 " + std::string(encoding) + " 字节（第 " + std::to_string(offset) + " 字节）"),
          Offset(offset) {}
    std::size_t Offset;
};
InvalidBytes invalidBytes(const char* encoding, std::size_t offset) { return {encoding, offset}; }

// One iconv conversion descriptor, closed when the conversion ends.
class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1))
            throw Error(messageLanguage() == Language::English
                            ? std::string("the system cannot convert text from ") + from + " to " + to
                            : std::string("系统不支持从 ") + from + " 到 " + to + " 的编码转换");
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // The converted text; on bytes that are not valid in the source
    // encoding, throws with the 1-based offset of the first such byte in a
    // file whose first `skipped` bytes were not converted.
    std::string convert(const std::string& input, const char* sourceName, std::size_t skipped = 0) {
        std::string output;
        char buffer[4096];
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        while (inLeft > 0) {
            char* out = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t rc = iconv(handle_, &in, &inLeft, &out, &outLeft);
            output.append(buffer, out);
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
                throw invalidBytes(sourceName, skipped + input.size() - inLeft + 1);
            }
        }
        return output;
    }

private:
    iconv_t handle_;
};

// The byte-order marks a text file may start with: U+FEFF in each encoding.
const std::string Utf8Mark = "\xEF\xBB\xBF";
const std::string Gb18030Mark = "\x84\x31\x95\x33";

// The length of the well-formed UTF-8 sequence at `i`, 0 when there is none.
std::size_t utf8SequenceAt(const std::string& bytes, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return 1;
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // overlong
        else if (lead == 0xED)
            high = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90; // overlong
        else if (lead == 0xF4)
            high = 0x8F; // beyond U+10FFFF
    } else {
        return 0;
    }
    if (i + length > bytes.size() || byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    return length;
}

std::string escapedByte(unsigned char c) {
    switch (c) {
    case '\r': return "\\r";
    case '\n': return "\\n";
    case '\t': return "\\t";
    default: {
        static const char digits[] = "0123456789ABCDEF";
        return std::string("\\x") + digits[c >> 4] + digits[c & 0xF];
    }
    }
}

} // namespace

std::string utf8ToGb18030(const std::string& utf8) { return Converter("GB18030", "UTF-8").convert(utf8, "UTF-8"); }

std::string gb18030ToUtf8(const std::string& bytes) { return Converter("UTF-8", "GB18030").convert(bytes, "GB18030"); }

std::string fileBytesToUtf8(const std::string& bytes) {
    if (bytes.starts_with(Utf8Mark)) {
        const std::string text = bytes.substr(Utf8Mark.size());
        const std::size_t bad = firstInvalidUtf8(text);
        if (bad != std::string::npos) throw invalidBytes("UTF-8", Utf8Mark.size() + bad + 1);
        return text;
    }
    if (bytes.starts_with(Gb18030Mark))
        return Converter("UTF-8", "GB18030").convert(bytes.substr(Gb18030Mark.size()), "GB18030", Gb18030Mark.size());
    return gb18030ToUtf8(bytes);
}

std::size_t firstInvalidUtf8(const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = utf8SequenceAt(bytes, i);
        if (length == 0) return i;
        i += length;
    }
    return std::string::npos;
}

std::size_t firstInvalidGb18030(const std::string& bytes) {
    try {
        gb18030ToUtf8(bytes);
        return std::string::npos;
    } catch (const InvalidBytes& e) {
        return e.Offset - 1;
    }
}

bool isUtf8(const std::string& bytes) { return firstInvalidUtf8(bytes) == std::string::npos; }

std::string visibleText(const std::string& bytes) {
    std::string visible;
    visible.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = utf8SequenceAt(bytes, i);
        if (length == 0 || c < 0x20 || c == 0x7F) {
            visible += escapedByte(c);
            ++i;
        } else {
            visible.append(bytes, i, length);
            i += length;
        }
    }
    return visible;
}

DecodedText decodeUtf8OrGb18030(const std::string& bytes) {
    const std::string text = bytes.starts_with(Utf8Mark) ? bytes.substr(Utf8Mark.size()) : bytes;
    if (isUtf8(text)) return {text, TextEncoding::Utf8};
    return {gb18030ToUtf8(text), TextEncoding::Gb18030};
}

} // namespace trelmox
