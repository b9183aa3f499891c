#pragma once
// The XML parts of a workbook read by expat, for xlsx_reader.cpp: element
// starts and ends with local names (the parts' namespace prefixes vary
// between the programs that write workbooks), attributes and text, entities
// and character references decoded. One pass over the whole part, so that
// the time is linear in its bytes (a part given in pieces would make expat
// 2.5 parse a long token again with every piece); nesting is bounded by
// MaxXlsxDepth, and a document type declaration is refused where it
// starts, before any entity of it is declared.
#include <optional>
#include <string>
#include <string_view>

#include "model/error.h"

namespace trelmox::xlsx {

// The message in the language a person reads.
std::string say(const std::string& chinese, const std::string& english);
// A piece of the file in a message: at most a few dozen bytes, control
// characters and bytes that are not UTF-8 made visible.
std::string shown(std::string_view raw);
// A refusal of the file as no sound workbook.
Error damaged(const std::string& reason);
// A refusal of one part's XML.
Error malformed(const std::string& part, const std::string& reason);

// What a reader of a part does with its events. A handler may throw; the
// parse stops there and the exception comes out of parseXml.
class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    virtual void start(std::string_view name, const char** attributes) = 0;
    virtual void end(std::string_view name) = 0;
    // Text of the innermost open element, in one or more pieces.
    virtual void text(std::string_view text) = 0;
};

// The attribute of that local name among expat's name, value pairs.
std::optional<std::string_view> attribute(const char** attributes, std::string_view local);

// Parses the part, its name given for messages. Throws what a handler
// throws, or a refusal for XML that is not well formed (with its line).
void parseXml(const std::string& bytes, const std::string& part, XmlHandler& handler);

} // namespace trelmox::xlsx
