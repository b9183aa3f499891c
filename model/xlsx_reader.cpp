#include "model/xlsx_reader.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <unzip.h>

#include "model/error.h"
#include "model/language.h"
#include "model/textcodec.h"

namespace trelmox {

namespace {

constexpr int MaxRows = 1048576;  // rows of a sheet
constexpr int MaxColumns = 16384; // columns A..XFD

// A piece of the file in a message: at most a few dozen bytes, control
// characters and bytes that are not UTF-8 made visible.
std::string shown(std::string_view raw) { return visibleText(std::string(raw.substr(0, 40))); }

// The message in the language a person reads: Chinese, or English.
std::string say(const std::string& chinese, const std::string& english) {
    return messageLanguage() == Language::English ? english : chinese;
}

Error damaged(const std::string& reason) {
    return Error::refused(say("不是有效的 Excel 工作簿（.xlsx）：", "not a valid Excel workbook (.xlsx): ") + reason);
}

Error badCell(int row, const std::string& cell, const std::string& reason) {
    return Error::refused(say("Excel 工作表第 " + std::to_string(row) + " 行（单元格 " + cell + "）：",
                              "Excel sheet row " + std::to_string(row) + " (cell " + cell + "): ") +
                              reason,
                          cell)
        .withLine(row);
}

// ---- the zip archive, read from memory -------------------------------------

struct MemoryStream {
    const std::string* bytes;
    std::uint64_t at = 0;
};

voidpf ZCALLBACK openMemory(voidpf opaque, const void*, int) { return opaque; }

uLong ZCALLBACK readMemory(voidpf, voidpf stream, void* buffer, uLong size) {
    auto* s = static_cast<MemoryStream*>(stream);
    const std::uint64_t left = s->at < s->bytes->size() ? s->bytes->size() - s->at : 0;
    const auto n = static_cast<uLong>(std::min<std::uint64_t>(size, left));
    std::memcpy(buffer, s->bytes->data() + s->at, n);
    s->at += n;
    return n;
}

uLong ZCALLBACK writeMemory(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK tellMemory(voidpf, voidpf stream) { return static_cast<MemoryStream*>(stream)->at; }

long ZCALLBACK seekMemory(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
    auto* s = static_cast<MemoryStream*>(stream);
    std::uint64_t base = 0;
    switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: base = s->at; break;
    case ZLIB_FILEFUNC_SEEK_END: base = s->bytes->size(); break;
    default: return -1;
    }
    if (offset > s->bytes->size() || base > s->bytes->size() - offset) return -1;
    s->at = base + offset;
    return 0;
}

int ZCALLBACK closeMemory(voidpf, voidpf) { return 0; }
int ZCALLBACK errorMemory(voidpf, voidpf) { return 0; }

class Archive {
public:
    explicit Archive(const std::string& bytes) : stream_{&bytes} {
        zlib_filefunc64_def functions{openMemory, readMemory,  writeMemory, tellMemory,
                                      seekMemory, closeMemory, errorMemory, &stream_};
        zip_ = unzOpen2_64("", &functions);
        if (!zip_)
            throw damaged(say("不是 zip 压缩包，或压缩包已损坏", "not a zip archive, or the archive is damaged"));
    }
    ~Archive() { unzClose(zip_); }
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    bool has(const std::string& name) { return unzLocateFile(zip_, name.c_str(), 1) == UNZ_OK; }

    // The part's bytes, unpacked to at most MaxXlsxPartBytes: the size its
    // header gives is checked first, and the bytes as they come, since a
    // hostile header may understate them.
    std::string part(const std::string& name) {
        if (!has(name)) throw damaged(say("缺少“" + shown(name) + "”", "\"" + shown(name) + "\" is missing"));
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            throw damaged(say("“" + shown(name) + "”已损坏", "\"" + shown(name) + "\" is damaged"));
        if (info.flag & 1)
            throw damaged(say("“" + shown(name) + "”已加密，请在 Excel 中取消密码后另存",
                              "\"" + shown(name) + "\" is encrypted; remove the password in Excel and save it again"));
        if (info.uncompressed_size > MaxXlsxPartBytes) throw tooLarge(name);
        if (unzOpenCurrentFile(zip_) != UNZ_OK)
            throw damaged(say("“" + shown(name) + "”无法解压", "\"" + shown(name) + "\" cannot be unpacked"));
        std::string bytes;
        char buffer[65536];
        int got = 0;
        while ((got = unzReadCurrentFile(zip_, buffer, sizeof buffer)) > 0) {
            if (static_cast<std::size_t>(got) > MaxXlsxPartBytes - bytes.size()) {
                unzCloseCurrentFile(zip_);
                throw tooLarge(name);
            }
            bytes.append(buffer, static_cast<std::size_t>(got));
        }
        // Closing checks the CRC of what was read.
        const int closed = unzCloseCurrentFile(zip_);
        if (got < 0 || closed != UNZ_OK)
            throw damaged(say("“" + shown(name) + "”已损坏，无法解压",
                              "\"" + shown(name) + "\" is damaged and cannot be unpacked"));
        return bytes;
    }

private:
    static Error tooLarge(const std::string& name) {
        return damaged(
            say("“" + shown(name) + "”解压后大于 " + std::to_string(MaxXlsxPartBytes >> 20) + " MB",
                "\"" + shown(name) + "\" unpacks to more than " + std::to_string(MaxXlsxPartBytes >> 20) + " MB"));
    }
    MemoryStream stream_;
    unzFile zip_ = nullptr;
};

// ---- XML ---------------------------------------------------------------------

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool isCharacter(std::uint32_t code) { return code != 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF); }

// The pull reader of one part: start tags with their attributes, end tags
// and text, entities decoded, names without their namespace prefix (the
// parts' prefixes vary between the programs that write workbooks). Nesting
// is checked with a stack of its own, never by recursion.
class XmlReader {
public:
    enum class Event { Start, End, Text, Done };

    // Holds its own copy of the part: a reader may outlive the bytes it was
    // made from.
    XmlReader(std::string text, const std::string& part) : owned_(std::move(text)), text_(owned_), part_(shown(part)) {
        if (text_.starts_with("\xEF\xBB\xBF")) text_.remove_prefix(3);
        // A workbook's XML is UTF-8; other bytes would reach labels and tables.
        if (!isUtf8(std::string(text_))) throw malformed(say("不是 UTF-8 文字", "not UTF-8 text"));
    }

    Event next() {
        if (pendingEnd_) {
            pendingEnd_ = false;
            name_ = open_.back();
            open_.pop_back();
            return Event::End;
        }
        while (at_ < text_.size()) {
            if (text_[at_] != '<') {
                const std::size_t end = std::min(text_.find('<', at_), text_.size());
                value_.clear();
                decode(text_.substr(at_, end - at_), value_);
                at_ = end;
                return Event::Text;
            }
            if (skipped("<?", "?>") || skipped("<!--", "-->")) continue;
            if (text_.substr(at_).starts_with("<![CDATA[")) {
                const std::size_t end = text_.find("]]>", at_ + 9);
                if (end == std::string_view::npos)
                    throw malformed(say("CDATA 段没有结束", "a CDATA section does not end"));
                value_ = std::string(text_.substr(at_ + 9, end - at_ - 9));
                at_ = end + 3;
                return Event::Text;
            }
            if (text_.substr(at_).starts_with("<!"))
                throw malformed(say("含有不支持的 DTD 声明", "holds a DTD declaration, which is not supported"));
            return tag();
        }
        if (!open_.empty())
            throw malformed(say("元素“" + shown(open_.back()) + "”没有结束",
                                "element \"" + shown(open_.back()) + "\" does not end"));
        return Event::Done;
    }

    // The local name of the element just started or ended.
    const std::string& name() const { return name_; }
    // The decoded text of a Text event.
    const std::string& text() const { return value_; }
    // An attribute of the element just started, by its local name.
    std::optional<std::string> attribute(std::string_view local) const {
        for (const auto& [key, value] : attributes_)
            if (key == local) return value;
        return std::nullopt;
    }
    // The names of the elements open around the current event, innermost last.
    const std::vector<std::string>& open() const { return open_; }
    // Whether `local` is open around the current event.
    bool inside(std::string_view local) const { return std::find(open_.begin(), open_.end(), local) != open_.end(); }

    Error malformed(const std::string& reason) const {
        return damaged(say("“" + part_ + "”的 XML 有误：", "the XML of \"" + part_ + "\" is wrong: ") + reason);
    }

private:
    static std::string localName(std::string_view qualified) {
        const std::size_t colon = qualified.find(':');
        return std::string(colon == std::string_view::npos ? qualified : qualified.substr(colon + 1));
    }

    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    bool skipped(std::string_view open, std::string_view close) {
        if (!text_.substr(at_).starts_with(open)) return false;
        const std::size_t end = text_.find(close, at_ + open.size());
        if (end == std::string_view::npos)
            throw malformed(say("“" + std::string(open) + "”没有结束", "\"" + std::string(open) + "\" does not end"));
        at_ = end + close.size();
        return true;
    }

    std::string_view nameAt() {
        const std::size_t start = at_;
        while (at_ < text_.size() && !isSpace(text_[at_]) && text_[at_] != '/' && text_[at_] != '>' &&
               text_[at_] != '=')
            ++at_;
        if (at_ == start) throw malformed(say("缺少元素名或属性名", "an element or attribute name is missing"));
        return text_.substr(start, at_ - start);
    }

    void skipSpace() {
        while (at_ < text_.size() && isSpace(text_[at_])) ++at_;
    }

    char peek() const {
        if (at_ >= text_.size()) throw malformed(say("标签没有结束", "a tag does not end"));
        return text_[at_];
    }

    Event tag() {
        ++at_; // '<'
        if (peek() == '/') {
            ++at_;
            name_ = localName(nameAt());
            skipSpace();
            if (peek() != '>')
                throw malformed(say("结束标签“" + shown(name_) + "”有误", "end tag \"" + shown(name_) + "\" is wrong"));
            ++at_;
            if (open_.empty() || open_.back() != name_)
                throw malformed(say("结束标签“" + shown(name_) + "”与开始标签不配对",
                                    "end tag \"" + shown(name_) + "\" does not match the start tag"));
            open_.pop_back();
            return Event::End;
        }
        name_ = localName(nameAt());
        attributes_.clear();
        for (;;) {
            skipSpace();
            const char c = peek();
            if (c == '>' || c == '/') break;
            const std::string key = localName(nameAt());
            skipSpace();
            if (peek() != '=')
                throw malformed(say("属性“" + shown(key) + "”缺少值", "attribute \"" + shown(key) + "\" has no value"));
            ++at_;
            skipSpace();
            const char quote = peek();
            if (quote != '"' && quote != '\'')
                throw malformed(say("属性“" + shown(key) + "”的值缺少引号",
                                    "the value of attribute \"" + shown(key) + "\" has no quotes"));
            const std::size_t end = text_.find(quote, at_ + 1);
            if (end == std::string_view::npos)
                throw malformed(say("属性“" + shown(key) + "”的值没有结束",
                                    "the value of attribute \"" + shown(key) + "\" does not end"));
            std::string value;
            decode(text_.substr(at_ + 1, end - at_ - 1), value);
            attributes_.emplace_back(key, std::move(value));
            at_ = end + 1;
        }
        open_.push_back(name_);
        if (peek() == '/') {
            ++at_;
            if (peek() != '>')
                throw malformed(say("标签“" + shown(name_) + "”有误", "tag \"" + shown(name_) + "\" is wrong"));
            pendingEnd_ = true;
        }
        ++at_; // '>'
        return Event::Start;
    }

    void decode(std::string_view raw, std::string& out) const {
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '<') throw malformed(say("属性值中含有“<”", "an attribute value holds \"<\""));
            if (raw[i] != '&') {
                out += raw[i];
                continue;
            }
            const std::size_t end = raw.find(';', i);
            if (end == std::string_view::npos) throw malformed(say("“&”之后缺少“;”", "\";\" is missing after \"&\""));
            const std::string_view entity = raw.substr(i + 1, end - i - 1);
            if (entity == "lt")
                out += '<';
            else if (entity == "gt")
                out += '>';
            else if (entity == "amp")
                out += '&';
            else if (entity == "quot")
                out += '"';
            else if (entity == "apos")
                out += '\'';
            else if (entity.starts_with('#')) {
                const bool hex = entity.size() > 1 && (entity[1] == 'x' || entity[1] == 'X');
                const std::string_view digits = entity.substr(hex ? 2 : 1);
                std::uint32_t code = 0;
                const auto [stop, failed] =
                    std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
                if (digits.empty() || failed != std::errc() || stop != digits.data() + digits.size() ||
                    !isCharacter(code))
                    throw malformed(say("字符引用“&" + shown(entity) + ";”无效",
                                        "character reference \"&" + shown(entity) + ";\" is invalid"));
                appendUtf8(out, code);
            } else {
                throw malformed(
                    say("未知的实体“&" + shown(entity) + ";”", "unknown entity \"&" + shown(entity) + ";\""));
            }
            i = end;
        }
    }

    std::string owned_;
    std::string_view text_;
    std::string part_;
    std::size_t at_ = 0;
    std::string name_, value_;
    std::vector<std::pair<std::string, std::string>> attributes_;
    std::vector<std::string> open_;
    bool pendingEnd_ = false;
};

// Texts of a workbook escape characters XML cannot hold as "_xHHHH_" (a
// line break in a cell is "_x000D_"); "_x005F_" escapes the underscore.
std::string unescaped(const std::string& text) {
    if (text.find("_x") == std::string::npos) return text;
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t code = 0;
        if (text.compare(i, 2, "_x") == 0 && i + 7 <= text.size() && text[i + 6] == '_') {
            const char* first = text.data() + i + 2;
            const auto [stop, failed] = std::from_chars(first, first + 4, code, 16);
            if (failed == std::errc() && stop == first + 4 && isCharacter(code)) {
                appendUtf8(out, code);
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The text of a shared or inline string: its <t> elements, runs of rich
// text joined, without the phonetic guides (<rPh>) some versions add.
void addStringText(const XmlReader& xml, std::string& text) {
    if (xml.open().empty() || xml.open().back() != "t" || xml.inside("rPh")) return;
    text += xml.text();
}

std::vector<std::string> sharedStrings(const std::string& part, const std::string& name) {
    std::vector<std::string> strings;
    XmlReader xml(part, name);
    std::optional<std::string> current;
    for (XmlReader::Event e; (e = xml.next()) != XmlReader::Event::Done;) {
        if (e == XmlReader::Event::Start && xml.name() == "si")
            current.emplace();
        else if (e == XmlReader::Event::Text && current)
            addStringText(xml, *current);
        else if (e == XmlReader::Event::End && xml.name() == "si" && current) {
            strings.push_back(unescaped(*current));
            current.reset();
        }
    }
    return strings;
}

// ---- the workbook's parts ------------------------------------------------------

// A relationship's target as a part's name: relative to "xl/", or from the
// archive's root when it starts with "/".
std::string partName(const std::string& target) {
    std::string name = target.starts_with('/') ? target.substr(1) : "xl/" + target;
    // "xl/worksheets/../sharedStrings.xml" and the like.
    for (std::size_t at; (at = name.find("/../")) != std::string::npos;) {
        const std::size_t start = name.rfind('/', at == 0 ? 0 : at - 1);
        name.erase(start == std::string::npos ? 0 : start + 1, at + 4 - (start == std::string::npos ? 0 : start + 1));
    }
    return name;
}

struct WorkbookParts {
    std::string Sheet;
    std::optional<std::string> SharedStrings;
};

WorkbookParts workbookParts(Archive& zip) {
    WorkbookParts parts;
    std::optional<std::string> sheetId;
    {
        XmlReader xml(zip.part("xl/workbook.xml"), "xl/workbook.xml");
        for (XmlReader::Event e; (e = xml.next()) != XmlReader::Event::Done;)
            if (e == XmlReader::Event::Start && xml.name() == "sheet" && !sheetId) {
                sheetId = xml.attribute("id");
                if (!sheetId) throw xml.malformed(say("工作表缺少 r:id", "a sheet has no r:id"));
            }
    }
    if (!sheetId) throw damaged(say("工作簿中没有工作表", "the workbook has no sheet"));
    const std::string rels = "xl/_rels/workbook.xml.rels";
    XmlReader xml(zip.part(rels), rels);
    for (XmlReader::Event e; (e = xml.next()) != XmlReader::Event::Done;) {
        if (e != XmlReader::Event::Start || xml.name() != "Relationship") continue;
        const auto id = xml.attribute("Id"), type = xml.attribute("Type"), target = xml.attribute("Target");
        if (!target) continue;
        if (id == sheetId) parts.Sheet = partName(*target);
        if (type && type->ends_with("/sharedStrings")) parts.SharedStrings = partName(*target);
    }
    if (parts.Sheet.empty()) throw damaged(say("找不到第一个工作表", "the first sheet cannot be found"));
    return parts;
}

// "B3" as its column (from 0) and row (from 1); nothing when it is no
// cell reference.
std::optional<std::pair<int, int>> cellReference(const std::string& ref) {
    std::size_t i = 0;
    int column = 0, row = 0;
    while (i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z' && i < 3) column = column * 26 + (ref[i++] - 'A' + 1);
    const char* first = ref.data() + i;
    const auto [stop, failed] = std::from_chars(first, ref.data() + ref.size(), row);
    if (i == 0 || column > MaxColumns || failed != std::errc() || stop != ref.data() + ref.size() || row < 1 ||
        row > MaxRows || *first == '0')
        return std::nullopt;
    return std::pair{column - 1, row};
}

std::string columnName(int column) {
    std::string name;
    for (++column; column > 0; column = (column - 1) / 26) name.insert(name.begin(), char('A' + (column - 1) % 26));
    return name;
}

bool isNumberText(const std::string& text) {
    double value = 0;
    const char* first = text.data() + (text.starts_with('+') ? 1 : 0);
    const auto [stop, failed] = std::from_chars(first, text.data() + text.size(), value);
    return !text.empty() && failed == std::errc() && stop == text.data() + text.size();
}

// One cell as it is read: where it is, its type, its <v> and inline text.
struct CellRead {
    int Column = 0;
    std::string Name; // "B3"
    std::string Type, Value, Inline;
    bool HasInline = false;
};

std::string cellValue(const CellRead& c, int row, const std::vector<std::string>& shared) {
    if (c.Type == "s") {
        std::size_t index = 0;
        const auto [stop, failed] = std::from_chars(c.Value.data(), c.Value.data() + c.Value.size(), index);
        if (c.Value.empty() || failed != std::errc() || stop != c.Value.data() + c.Value.size())
            throw badCell(row, c.Name,
                          say("共享字符串序号“" + shown(c.Value) + "”无效",
                              "shared string index \"" + shown(c.Value) + "\" is invalid"));
        if (index >= shared.size())
            throw badCell(
                row, c.Name,
                say("共享字符串序号 " + shown(c.Value) + " 超出范围（共 " + std::to_string(shared.size()) + " 个）",
                    "shared string index " + shown(c.Value) + " is out of range (" + std::to_string(shared.size()) +
                        " strings)"));
        return shared[index];
    }
    if (c.Type == "inlineStr") return unescaped(c.Inline);
    if (c.Type == "str" || c.Type == "e" || c.Type == "d") return unescaped(c.Value);
    if (c.Type == "b") {
        if (c.Value != "0" && c.Value != "1")
            throw badCell(
                row, c.Name,
                say("逻辑值“" + shown(c.Value) + "”无效", "boolean value \"" + shown(c.Value) + "\" is invalid"));
        return c.Value == "1" ? "TRUE" : "FALSE";
    }
    if (c.Type == "n" || c.Type.empty()) {
        if (!c.Value.empty() && !isNumberText(c.Value))
            throw badCell(row, c.Name,
                          say("数值单元格的值“" + shown(c.Value) + "”不是数",
                              "the value \"" + shown(c.Value) + "\" of a number cell is not a number"));
        return c.Value;
    }
    throw badCell(row, c.Name,
                  say("未知的单元格类型“" + shown(c.Type) + "”", "unknown cell type \"" + shown(c.Type) + "\""));
}

std::vector<XlsxRow> sheetRows(const std::string& part, const std::string& name,
                               const std::vector<std::string>& shared) {
    std::vector<XlsxRow> rows;
    XmlReader xml(part, name);
    std::optional<XlsxRow> row;
    std::optional<CellRead> cell;
    int lastRow = 0, lastColumn = -1;
    std::size_t cells = 0;
    for (XmlReader::Event e; (e = xml.next()) != XmlReader::Event::Done;) {
        if (e == XmlReader::Event::Start && xml.name() == "row" && xml.inside("sheetData")) {
            if (row) throw xml.malformed(say("行中又有行", "a row inside a row"));
            int number = lastRow + 1;
            if (const auto r = xml.attribute("r")) {
                const auto [stop, failed] = std::from_chars(r->data(), r->data() + r->size(), number);
                if (r->empty() || failed != std::errc() || stop != r->data() + r->size())
                    throw xml.malformed(
                        say("行号“" + shown(*r) + "”无效", "row number \"" + shown(*r) + "\" is invalid"));
            }
            if (number <= lastRow || number > MaxRows)
                throw xml.malformed(say("行号 " + std::to_string(number) + " 不在前一行之后或超出范围",
                                        "row number " + std::to_string(number) +
                                            " does not follow the previous row or is out of range"));
            row.emplace().Number = lastRow = number;
            lastColumn = -1;
        } else if (e == XmlReader::Event::Start && xml.name() == "c" && row) {
            if (cell) throw xml.malformed(say("单元格中又有单元格", "a cell inside a cell"));
            cell.emplace();
            cell->Column = lastColumn + 1;
            if (const auto r = xml.attribute("r")) {
                const auto ref = cellReference(*r);
                if (!ref || ref->second != row->Number)
                    throw badCell(row->Number, shown(*r),
                                  say("单元格位置“" + shown(*r) + "”无效或不在本行",
                                      "cell reference \"" + shown(*r) + "\" is invalid or not in this row"));
                cell->Column = ref->first;
            }
            cell->Name = columnName(cell->Column) + std::to_string(row->Number);
            if (cell->Column <= lastColumn || cell->Column >= MaxColumns)
                throw badCell(
                    row->Number, cell->Name,
                    say("单元格不在同行前一单元格之后", "the cell does not follow the previous cell of its row"));
            lastColumn = cell->Column;
            cell->Type = xml.attribute("t").value_or("");
        } else if (e == XmlReader::Event::Text && cell) {
            const auto& open = xml.open();
            if (!open.empty() && open.back() == "v")
                cell->Value += xml.text();
            else if (xml.inside("is")) {
                cell->HasInline = true;
                addStringText(xml, cell->Inline);
            }
        } else if (e == XmlReader::Event::End && xml.name() == "c" && cell) {
            std::string value = cellValue(*cell, row->Number, shared);
            if (!value.empty()) {
                // Empty cells before it are kept: they are fields of the row.
                const std::size_t width = static_cast<std::size_t>(cell->Column) + 1;
                if (width > row->Cells.size()) {
                    cells += width - row->Cells.size();
                    if (cells > MaxXlsxCells)
                        throw badCell(row->Number, cell->Name,
                                      say("工作表的单元格超过 " + std::to_string(MaxXlsxCells) + " 个，不能读入",
                                          "the sheet has more than " + std::to_string(MaxXlsxCells) +
                                              " cells and cannot be read"));
                    row->Cells.resize(width);
                }
                row->Cells[static_cast<std::size_t>(cell->Column)] = std::move(value);
            }
            cell.reset();
        } else if (e == XmlReader::Event::End && xml.name() == "row" && row) {
            if (!row->Cells.empty()) rows.push_back(std::move(*row));
            row.reset();
        }
    }
    return rows;
}

} // namespace

bool looksLikeZip(const std::string& bytes) { return bytes.starts_with(std::string_view("PK\x03\x04", 4)); }

std::vector<XlsxRow> readXlsxRows(const std::string& bytes) {
    if (!looksLikeZip(bytes)) throw damaged(say("不是 zip 压缩包", "not a zip archive"));
    Archive zip(bytes);
    const WorkbookParts parts = workbookParts(zip);
    std::vector<std::string> shared;
    if (parts.SharedStrings && zip.has(*parts.SharedStrings))
        shared = sharedStrings(zip.part(*parts.SharedStrings), *parts.SharedStrings);
    return sheetRows(zip.part(parts.Sheet), parts.Sheet, shared);
}

} // namespace trelmox
