#include "model/xlsx_xml.h"

#include <exception>
#include <expat.h>
#include <memory>
#include <new>
#include <type_traits>

#include "model/language.h"
#include "model/textcodec.h"
#include "model/xlsx_reader.h"

namespace trelmox::xlsx {

std::string say(const std::string& chinese, const std::string& english) {
    return messageLanguage() == Language::English ? english : chinese;
}

std::string shown(std::string_view raw) { return visibleText(std::string(raw.substr(0, 40))); }

Error damaged(const std::string& reason) {
    return Error::refused(say("不是有效的 Excel 工作簿（.xlsx）：", "not a valid Excel workbook (.xlsx): ") + reason);
}

Error malformed(const std::string& part, const std::string& reason) {
    return damaged(say("“" + shown(part) + "”的 XML 有误：", "the XML of \"" + shown(part) + "\" is wrong: ") + reason);
}

std::optional<std::string_view> attribute(const char** attributes, std::string_view local) {
    for (const char** a = attributes; a[0]; a += 2) {
        std::string_view name(a[0]);
        if (const std::size_t colon = name.find(':'); colon != std::string_view::npos) name.remove_prefix(colon + 1);
        if (name == local) return std::string_view(a[1]);
    }
    return std::nullopt;
}

namespace {

std::string_view localName(const char* qualified) {
    std::string_view name(qualified);
    if (const std::size_t colon = name.find(':'); colon != std::string_view::npos) name.remove_prefix(colon + 1);
    return name;
}

// What expat says, in the reader's language; expat's own English wording
// for the rare rest.
std::string expatReason(XML_Error code) {
    switch (code) {
    // Expat's word also for a part that ends while an element is open.
    case XML_ERROR_NO_ELEMENTS:
        return say("在元素结束之前中断，或没有任何元素", "it ends before its elements do, or holds none");
    case XML_ERROR_SYNTAX:
    case XML_ERROR_INVALID_TOKEN: return say("不合 XML 格式", "it is not well formed");
    case XML_ERROR_UNCLOSED_TOKEN: return say("标签没有结束", "a tag does not end");
    case XML_ERROR_PARTIAL_CHAR: return say("字符不完整", "a character is cut short");
    case XML_ERROR_TAG_MISMATCH: return say("结束标签与开始标签不配对", "an end tag does not match its start tag");
    case XML_ERROR_DUPLICATE_ATTRIBUTE: return say("属性重复", "an attribute is repeated");
    case XML_ERROR_JUNK_AFTER_DOC_ELEMENT: return say("根元素之后还有内容", "there is more after the root element");
    case XML_ERROR_UNDEFINED_ENTITY: return say("未知的实体", "an entity is unknown");
    case XML_ERROR_BAD_CHAR_REF: return say("字符引用无效", "a character reference is invalid");
    case XML_ERROR_UNCLOSED_CDATA_SECTION: return say("CDATA 段没有结束", "a CDATA section does not end");
    case XML_ERROR_INCORRECT_ENCODING:
    case XML_ERROR_UNKNOWN_ENCODING: return say("编码有误", "its encoding is wrong");
    case XML_ERROR_MISPLACED_XML_PI: return say("XML 声明不在开头", "the XML declaration is not at the start");
    default: break;
    }
    const char* text = XML_ErrorString(code);
    return say("XML 格式错误（", "XML error (") + (text ? text : "?") + say("）", ")");
}

struct ParseState {
    XmlHandler* Handler;
    XML_Parser Parser;
    const std::string* Part;
    int Depth = 0;
    std::exception_ptr Failure;

    // Runs a handler, keeping its exception for after the parse: none may
    // pass through expat's C frames.
    template <typename Step> void guarded(Step step) {
        if (Failure) return;
        try {
            step();
        } catch (...) {
            Failure = std::current_exception();
            XML_StopParser(Parser, XML_FALSE);
        }
    }
};

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto& s = *static_cast<ParseState*>(data);
    s.guarded([&] {
        if (++s.Depth > MaxXlsxDepth)
            throw malformed(*s.Part, say("元素嵌套超过 " + std::to_string(MaxXlsxDepth) + " 层",
                                         "elements nest more than " + std::to_string(MaxXlsxDepth) + " deep"));
        s.Handler->start(localName(name), attributes);
    });
}

void XMLCALL onEnd(void* data, const XML_Char* name) {
    auto& s = *static_cast<ParseState*>(data);
    s.guarded([&] {
        --s.Depth;
        s.Handler->end(localName(name));
    });
}

void XMLCALL onText(void* data, const XML_Char* text, int length) {
    auto& s = *static_cast<ParseState*>(data);
    s.guarded([&] { s.Handler->text(std::string_view(text, static_cast<std::size_t>(length))); });
}

// A workbook's parts declare no document type; one that does could declare
// entities, whose expansion is the classic way to make a small file take
// the machine's memory.
void XMLCALL onDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    auto& s = *static_cast<ParseState*>(data);
    s.guarded([&] {
        throw malformed(*s.Part, say("含有不支持的 DTD 声明", "holds a DTD declaration, which is not supported"));
    });
}

} // namespace

void parseXml(const std::string& bytes, const std::string& part, XmlHandler& handler) {
    if (bytes.size() > MaxXlsxPartBytes) throw malformed(part, say("过大", "too large"));
    // UTF-8 whatever the part declares: a workbook's XML is UTF-8, and any
    // other bytes would reach labels and tables.
    const std::unique_ptr<std::remove_pointer_t<XML_Parser>, void (*)(XML_Parser)> parser(XML_ParserCreate("UTF-8"),
                                                                                          XML_ParserFree);
    if (!parser) throw std::bad_alloc();
    ParseState state{&handler, parser.get(), &part, 0, {}};
    XML_SetUserData(parser.get(), &state);
    XML_SetElementHandler(parser.get(), onStart, onEnd);
    XML_SetCharacterDataHandler(parser.get(), onText);
    XML_SetStartDoctypeDeclHandler(parser.get(), onDoctype);
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);
    const XML_Status status = XML_Parse(parser.get(), bytes.data(), static_cast<int>(bytes.size()), XML_TRUE);
    if (state.Failure) std::rethrow_exception(state.Failure);
    if (status != XML_STATUS_OK) {
        const XML_Error code = XML_GetErrorCode(parser.get());
        if (code == XML_ERROR_NO_MEMORY) throw std::bad_alloc();
        const auto line = XML_GetCurrentLineNumber(parser.get());
        throw malformed(part, say("第 " + std::to_string(line) + " 行", "line " + std::to_string(line)) +
                                  say("：", ": ") + expatReason(code));
    }
}

} // namespace trelmox::xlsx
