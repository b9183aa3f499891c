#include "model/textcodec.h"

#include <cerrno>
#include <iconv.h>
#include <string_view>

#include "model/error.h"

namespace trelmox {

namespace {

// One iconv conversion descriptor, closed when the conversion ends.
class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1))
            throw Error(std::string("系统不支持从 ") + from + " 到 " + to + " 的编码转换");
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // The converted text; on bytes that are not valid in the source
    // encoding, throws with the 1-based offset of the first such byte.
    std::string convert(const std::string& input, const char* sourceName) {
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
                const std::size_t offset = input.size() - inLeft + 1;
                throw Error("文本含有无效的 " + std::string(sourceName) + " 字节（第 " + std::to_string(offset) +
                            " 字节）");
            }
        }
        return output;
    }

private:
    iconv_t handle_;
};

} // namespace

std::string utf8ToGb18030(const std::string& utf8) { return Converter("GB18030", "UTF-8").convert(utf8, "UTF-8"); }

std::string gb18030ToUtf8(const std::string& bytes) {
    return Converter("UTF-8", "GB18030").convert(bytes, "GB18030");
}

DecodedText decodeUtf8OrGb18030(const std::string& bytes) {
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
    const std::string text = bytes.starts_with(ByteOrderMark) ? bytes.substr(ByteOrderMark.size()) : bytes;
    try {
        // Converting UTF-8 to itself validates it.
        return {Converter("UTF-8", "UTF-8").convert(text, "UTF-8"), TextEncoding::Utf8};
    } catch (const Error&) {
        return {gb18030ToUtf8(text), TextEncoding::Gb18030};
    }
}

} // namespace trelmox
