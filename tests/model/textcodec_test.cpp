#include "model/textcodec.h"

#include <gtest/gtest.h>

#include "model/error.h"

using namespace trelmox;

TEST(TextCodec, ChineseTextUsesTheGbkBytes) {
    // "楔块" is D0 A8 BF E9 in GBK; GB18030 keeps every GBK byte sequence.
    EXPECT_EQ(utf8ToGb18030("楔块"), "\xD0\xA8\xBF\xE9");
    EXPECT_EQ(gb18030ToUtf8("\xD0\xA8\xBF\xE9"), "楔块");
    EXPECT_EQ(utf8ToGb18030("N,30,E\r\n"), "N,30,E\r\n");
    EXPECT_EQ(utf8ToGb18030(""), "");
}

TEST(TextCodec, RoundTripsCharactersOutsideGbk) {
    const std::string texts[] = {
        "β=", "：", "𠀀 emoji 😀", "€", "ﬀ", std::string("nul\0inside", 10), std::string(10000, 'x') + "块"};
    for (const auto& text : texts) EXPECT_EQ(gb18030ToUtf8(utf8ToGb18030(text)), text);
}

TEST(TextCodec, InvalidBytesNameTheirOffset) {
    const struct {
        std::string bytes;
        bool fromGb;
        const char* message;
    } cases[] = {
        {"ab\xFF", true, "文本含有无效的 GB18030 字节（第 3 字节）"},
        {"\xD0", true, "文本含有无效的 GB18030 字节（第 1 字节）"}, // truncated pair
        {"\x81\x30", true, "文本含有无效的 GB18030 字节（第 1 字节）"},
        {"ok\xC3\x28", false, "文本含有无效的 UTF-8 字节（第 3 字节）"},
        {"\xED\xA0\x80", false, "文本含有无效的 UTF-8 字节（第 1 字节）"}, // surrogate
        {"x\xE6\xA5", false, "文本含有无效的 UTF-8 字节（第 2 字节）"},
    };
    for (const auto& c : cases) {
        try {
            c.fromGb ? gb18030ToUtf8(c.bytes) : utf8ToGb18030(c.bytes);
            ADD_FAILURE() << c.message;
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST(TextCodec, FileBytesSkipAByteOrderMark) {
    const struct {
        std::string bytes;
        std::string text; // "" with message: refused
        const char* message;
    } cases[] = {
        {"\xEF\xBB\xBF"
         "45,\xE6\xA5\x94",
         "45,楔", ""}, // a UTF-8 mark: the rest is UTF-8
        {"\x84\x31\x95\x33"
         "45,\xD0\xA8",
         "45,楔", ""}, // the GB18030 mark
        {"45,\xD0\xA8", "45,楔", ""},
        {"\xEF\xBB\xBF", "", ""},
        // Offsets count from the start of the file, mark included.
        {"\xEF\xBB\xBF"
         "\xBF\xE9",
         "", "文本含有无效的 UTF-8 字节（第 4 字节）"},
        {"\x84\x31\x95\x33"
         "ab\xFF",
         "", "文本含有无效的 GB18030 字节（第 7 字节）"},
    };
    for (const auto& c : cases) {
        try {
            const std::string text = fileBytesToUtf8(c.bytes);
            if (std::string(c.message).empty())
                EXPECT_EQ(text.substr(0, c.text.size()), c.text);
            else
                ADD_FAILURE() << c.message;
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST(TextCodec, VisibleTextShowsControlsAndForeignBytes) {
    const struct {
        std::string bytes;
        const char* visible;
        bool utf8;
    } cases[] = {
        {std::string("2\0"
                     "5",
                     3),
         "2\\x005", true},
        {"a\r\n\tb\x7F", "a\\r\\n\\tb\\x7F", true},
        {"楔块 é 😀", "楔块 é 😀", true},
        {"\xBF\xE9", "\\xBF\\xE9", false},                   // GBK, not UTF-8
        {"\xC0\xAF", "\\xC0\\xAF", false},                   // overlong "/"
        {"\xED\xA0\x80", "\\xED\\xA0\\x80", false},          // surrogate
        {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80", false}, // beyond U+10FFFF
        {"\xE6\xA5", "\\xE6\\xA5", false},                   // cut short
    };
    for (const auto& c : cases) {
        EXPECT_EQ(visibleText(c.bytes), c.visible);
        EXPECT_EQ(isUtf8(c.bytes), c.utf8) << c.visible;
    }
}

// Our own files are GB18030, other programs write UTF-8 (with or without a
// byte-order mark); pure ASCII reads the same either way.
TEST(TextCodec, DetectsUtf8OrGb18030) {
    const struct {
        std::string bytes;
        TextEncoding encoding;
    } cases[] = {
        {"楔块,45", TextEncoding::Utf8},
        {"\xEF\xBB\xBF楔块,45", TextEncoding::Utf8},
        {"\xD0\xA8\xBF\xE9,45", TextEncoding::Gb18030},
    };
    for (const auto& c : cases) {
        const DecodedText text = decodeUtf8OrGb18030(c.bytes);
        EXPECT_EQ(text.Utf8, "楔块,45");
        EXPECT_EQ(text.Encoding, c.encoding);
    }
    EXPECT_EQ(decodeUtf8OrGb18030("45,120").Utf8, "45,120");
    EXPECT_THROW(decodeUtf8OrGb18030("ab\xFF"), Error);
}
