#include "model/xlsx_reader.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <unzip.h>
#include <utility>

#include "model/error.h"
#include "model/language.h"
#include "model/textcodec.h"
#include "model/xlsx_xml.h"

namespace trelmox {

namespace {

using xlsx::damaged;
using xlsx::malformed;
using xlsx::say;
using xlsx::shown;

constexpr int MaxRows = 1048576;  // rows of a sheet
constexpr int MaxColumns = 16384; // columns A..XFD

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

// ---- texts -------------------------------------------------------------------

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

// Texts of a workbook escape characters XML cannot hold as "_xHHHH_" (a
// line break in a cell is "_x000D_"); "_x005F_" escapes the underscore.
// Appends the text so unescaped to `out`.
void appendUnescaped(std::string& out, std::string_view text) {
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
}

// Every text of the sheet once: the shared strings, and the texts of the
// cells that are not shared, each a span of one of the two.
struct SheetTexts {
    std::string Shared, Own;
};

struct Span {
    std::uint32_t Offset = 0, Length = 0;
};

// Where a cell's text is: nowhere (an empty cell), a shared string, a span
// of the cells' own texts, or the truth values.
struct CellText {
    enum class In : std::uint8_t { Empty, Shared, Own, True, False } Where = In::Empty;
    Span At;
};

// Counts the open elements of one name: whether an event is inside it, in
// constant time whatever the nesting.
struct Inside {
    int Open = 0;
    explicit operator bool() const { return Open > 0; }
};

// The text of a string item (<si>, or a cell's <is>): its <t> elements,
// runs of rich text joined, without the phonetic guides (<rPh>) some
// versions add.
class StringText {
public:
    void start(std::string_view name, int depth) {
        if (name == "rPh") ++phonetic_.Open;
        if (name == "t" && !phonetic_) textDepth_ = depth;
    }
    void end(std::string_view name, int depth) {
        if (name == "rPh") --phonetic_.Open;
        if (depth == textDepth_) textDepth_ = 0;
    }
    void text(std::string_view piece, int depth) {
        if (depth == textDepth_) raw_ += piece;
    }
    // The text, unescaped, appended to `out`; empties the item.
    void appendTo(std::string& out) {
        appendUnescaped(out, raw_);
        raw_.clear();
    }
    void clear() {
        raw_.clear();
        textDepth_ = 0;
        phonetic_ = {};
    }

private:
    std::string raw_;
    int textDepth_ = 0; // of the open <t> whose text counts; 0: none
    Inside phonetic_;
};

Span spanOf(std::size_t from, std::size_t to) {
    return {static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(to - from)};
}

class SharedStringsReader : public xlsx::XmlHandler {
public:
    SharedStringsReader(const std::string& part, std::string& pool, std::vector<Span>& spans)
        : part_(part), pool_(pool), spans_(spans) {}

    void start(std::string_view name, const char**) override {
        ++depth_;
        if (name == "si") {
            if (inItem_)
                throw malformed(part_, say("共享字符串中又有共享字符串", "a shared string inside a shared string"));
            inItem_ = true;
            item_.clear();
        } else if (inItem_) {
            item_.start(name, depth_);
        }
    }
    void end(std::string_view name) override {
        if (name == "si" && inItem_) {
            const std::size_t from = pool_.size();
            item_.appendTo(pool_);
            if (!isUtf8(pool_.substr(from))) throw malformed(part_, say("不是 UTF-8 文字", "not UTF-8 text"));
            spans_.push_back(spanOf(from, pool_.size()));
            inItem_ = false;
        } else if (inItem_) {
            item_.end(name, depth_);
        }
        --depth_;
    }
    void text(std::string_view piece) override {
        if (inItem_) item_.text(piece, depth_);
    }

private:
    const std::string& part_;
    std::string& pool_;
    std::vector<Span>& spans_;
    int depth_ = 0;
    bool inItem_ = false;
    StringText item_;
};

// ---- the workbook's parts ------------------------------------------------------

// A relationship's target as a part's name: relative to "xl/", or from the
// archive's root when it starts with "/".
std::string partName(std::string_view target) {
    std::string name = target.starts_with('/') ? std::string(target.substr(1)) : "xl/" + std::string(target);
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

// The relationship id of the workbook's first sheet.
class FirstSheetReader : public xlsx::XmlHandler {
public:
    explicit FirstSheetReader(const std::string& part) : part_(part) {}
    void start(std::string_view name, const char** attributes) override {
        if (name != "sheet" || Id) return;
        const auto id = xlsx::attribute(attributes, "id");
        if (!id) throw malformed(part_, say("工作表缺少 r:id", "a sheet has no r:id"));
        Id = std::string(*id);
    }
    void end(std::string_view) override {}
    void text(std::string_view) override {}
    std::optional<std::string> Id;

private:
    const std::string& part_;
};

class RelationshipsReader : public xlsx::XmlHandler {
public:
    RelationshipsReader(const std::string& sheetId, WorkbookParts& parts) : sheetId_(sheetId), parts_(parts) {}
    void start(std::string_view name, const char** attributes) override {
        if (name != "Relationship") return;
        const auto target = xlsx::attribute(attributes, "Target");
        if (!target) return;
        const auto id = xlsx::attribute(attributes, "Id"), type = xlsx::attribute(attributes, "Type");
        if (id == sheetId_) parts_.Sheet = partName(*target);
        if (type && type->ends_with("/sharedStrings")) parts_.SharedStrings = partName(*target);
    }
    void end(std::string_view) override {}
    void text(std::string_view) override {}

private:
    const std::string& sheetId_;
    WorkbookParts& parts_;
};

WorkbookParts workbookParts(Archive& zip) {
    const std::string workbook = "xl/workbook.xml";
    FirstSheetReader first(workbook);
    xlsx::parseXml(zip.part(workbook), workbook, first);
    if (!first.Id) throw damaged(say("工作簿中没有工作表", "the workbook has no sheet"));
    WorkbookParts parts;
    const std::string rels = "xl/_rels/workbook.xml.rels";
    RelationshipsReader relationships(*first.Id, parts);
    xlsx::parseXml(zip.part(rels), rels, relationships);
    if (parts.Sheet.empty()) throw damaged(say("找不到第一个工作表", "the first sheet cannot be found"));
    return parts;
}

// "B3" as its column (from 0) and row (from 1); nothing when it is no
// cell reference.
std::optional<std::pair<int, int>> cellReference(std::string_view ref) {
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

bool isNumberText(std::string_view text) {
    double value = 0;
    const char* first = text.data() + (text.starts_with('+') ? 1 : 0);
    const auto [stop, failed] = std::from_chars(first, text.data() + text.size(), value);
    return !text.empty() && failed == std::errc() && stop == text.data() + text.size();
}

// The cells of the sheet's rows, as references to their texts.
struct SheetRow {
    int Number = 0;
    std::vector<CellText> Cells;
};

// One cell as it is read: where it is, its type, its <v> and inline text,
// and whether it holds a formula.
struct CellRead {
    int Column = 0, Row = 0;
    std::string Type, Value;
    StringText Inline;
    bool HasValue = false, HasInline = false, HasFormula = false;
    int ValueDepth = 0; // of the open <v>; 0: none
    Inside InlineOpen;

    std::string name() const { return columnName(Column) + std::to_string(Row); }
};

class SheetReader : public xlsx::XmlHandler {
public:
    SheetReader(const std::string& part, const std::vector<Span>& shared, std::string& own)
        : part_(part), shared_(shared), own_(own) {}

    std::vector<SheetRow> Rows;

    void start(std::string_view name, const char** attributes) override {
        ++depth_;
        if (name == "sheetData") ++sheetData_.Open;
        if (name == "row" && sheetData_)
            startRow(attributes);
        else if (name == "c" && row_)
            startCell(attributes);
        else if (cell_)
            startInCell(name);
    }

    void end(std::string_view name) override {
        if (cell_ && name == "c" && depth_ == cellDepth_) {
            endCell();
        } else if (cell_) {
            if (depth_ == cell_->ValueDepth) cell_->ValueDepth = 0;
            if (cell_->InlineOpen) cell_->Inline.end(name, depth_);
            if (name == "is") --cell_->InlineOpen.Open;
        } else if (row_ && name == "row" && depth_ == rowDepth_) {
            if (!row_->Cells.empty()) Rows.push_back(std::move(*row_));
            row_.reset();
        }
        if (name == "sheetData") --sheetData_.Open;
        --depth_;
    }

    void text(std::string_view piece) override {
        if (!cell_) return;
        if (depth_ == cell_->ValueDepth)
            cell_->Value += piece;
        else if (cell_->InlineOpen)
            cell_->Inline.text(piece, depth_);
    }

private:
    Error badCellHere(const std::string& reason) const { return badCell(cell_->Row, cell_->name(), reason); }

    void startRow(const char** attributes) {
        if (row_) throw malformed(part_, say("行中又有行", "a row inside a row"));
        int number = lastRow_ + 1;
        if (const auto r = xlsx::attribute(attributes, "r")) {
            const auto [stop, failed] = std::from_chars(r->data(), r->data() + r->size(), number);
            if (r->empty() || failed != std::errc() || stop != r->data() + r->size())
                throw malformed(part_,
                                say("行号“" + shown(*r) + "”无效", "row number \"" + shown(*r) + "\" is invalid"));
        }
        if (number <= lastRow_ || number > MaxRows)
            throw malformed(part_, say("行号 " + std::to_string(number) + " 不在前一行之后或超出范围",
                                       "row number " + std::to_string(number) +
                                           " does not follow the previous row or is out of range"));
        row_.emplace().Number = lastRow_ = number;
        rowDepth_ = depth_;
        lastColumn_ = -1;
    }

    void startCell(const char** attributes) {
        if (cell_) throw malformed(part_, say("单元格中又有单元格", "a cell inside a cell"));
        CellRead& c = cell_.emplace();
        cellDepth_ = depth_;
        c.Row = row_->Number;
        c.Column = lastColumn_ + 1;
        if (const auto r = xlsx::attribute(attributes, "r")) {
            const auto ref = cellReference(*r);
            if (!ref || ref->second != row_->Number)
                throw badCell(row_->Number, shown(*r),
                              say("单元格位置“" + shown(*r) + "”无效或不在本行",
                                  "cell reference \"" + shown(*r) + "\" is invalid or not in this row"));
            c.Column = ref->first;
        }
        if (c.Column <= lastColumn_ || c.Column >= MaxColumns)
            throw badCellHere(
                say("单元格不在同行前一单元格之后", "the cell does not follow the previous cell of its row"));
        lastColumn_ = c.Column;
        c.Type = std::string(xlsx::attribute(attributes, "t").value_or(""));
    }

    void startInCell(std::string_view name) {
        CellRead& c = *cell_;
        if (name == "f") c.HasFormula = true;
        if (name == "v") {
            if (c.HasValue) throw badCellHere(say("单元格有两个值", "the cell holds two values"));
            c.HasValue = true;
            c.ValueDepth = depth_;
        }
        if (name == "is") {
            if (c.HasInline) throw badCellHere(say("单元格有两段文字", "the cell holds two texts"));
            c.HasInline = true;
            ++c.InlineOpen.Open;
        } else if (c.InlineOpen) {
            c.Inline.start(name, depth_);
        }
    }

    // The cell's text, in place: a shared string by its index, a truth
    // value, or a text of its own appended to the sheet's.
    CellText textOf(CellRead& c) {
        const std::string& v = c.Value;
        if (c.Type == "s") {
            std::size_t index = 0;
            const auto [stop, failed] = std::from_chars(v.data(), v.data() + v.size(), index);
            if (v.empty() || failed != std::errc() || stop != v.data() + v.size())
                throw badCellHere(
                    say("共享字符串序号“" + shown(v) + "”无效", "shared string index \"" + shown(v) + "\" is invalid"));
            if (index >= shared_.size())
                throw badCellHere(
                    say("共享字符串序号 " + shown(v) + " 超出范围（共 " + std::to_string(shared_.size()) + " 个）",
                        "shared string index " + shown(v) + " is out of range (" + std::to_string(shared_.size()) +
                            " strings)"));
            return {CellText::In::Shared, shared_[index]};
        }
        if (c.Type == "b") {
            if (v != "0" && v != "1")
                throw badCellHere(say("逻辑值“" + shown(v) + "”无效", "boolean value \"" + shown(v) + "\" is invalid"));
            return {v == "1" ? CellText::In::True : CellText::In::False, {}};
        }
        const std::size_t from = own_.size();
        if (c.Type == "inlineStr")
            c.Inline.appendTo(own_);
        else if (c.Type == "str" || c.Type == "e" || c.Type == "d")
            appendUnescaped(own_, v);
        else if (c.Type == "n" || c.Type.empty()) {
            if (!v.empty() && !isNumberText(v))
                throw badCellHere(say("数值单元格的值“" + shown(v) + "”不是数",
                                      "the value \"" + shown(v) + "\" of a number cell is not a number"));
            own_ += v;
        } else {
            throw badCellHere(
                say("未知的单元格类型“" + shown(c.Type) + "”", "unknown cell type \"" + shown(c.Type) + "\""));
        }
        if (!isUtf8(own_.substr(from))) throw badCellHere(say("不是 UTF-8 文字", "not UTF-8 text"));
        return {CellText::In::Own, spanOf(from, own_.size())};
    }

    void endCell() {
        CellRead& c = *cell_;
        // A formula's value is what the program that saved the workbook last
        // worked out; a workbook written by a program that works nothing out
        // has none, and the cell cannot be read as a value at all.
        if (c.HasFormula && !c.HasValue && c.Type != "inlineStr")
            throw badCellHere(say("公式没有计算结果（工作簿中没有保存公式的值），请在 Excel 中打开并保存后再读入",
                                  "the formula has no value worked out (the workbook keeps none); open and save it "
                                  "in Excel before reading it"));
        const CellText text = textOf(c);
        const bool truth = text.Where == CellText::In::True || text.Where == CellText::In::False;
        if (truth || text.At.Length > 0) {
            // Empty cells before it are kept: they are fields of the row.
            const std::size_t width = static_cast<std::size_t>(c.Column) + 1;
            std::vector<CellText>& cells = row_->Cells;
            if (width > cells.size()) {
                cellCount_ += width - cells.size();
                if (cellCount_ > MaxXlsxCells)
                    throw badCellHere(
                        say("工作表的单元格超过 " + std::to_string(MaxXlsxCells) + " 个，不能读入",
                            "the sheet has more than " + std::to_string(MaxXlsxCells) + " cells and cannot be read"));
                cells.resize(width);
            }
            cells[static_cast<std::size_t>(c.Column)] = text;
        }
        cell_.reset();
    }

    const std::string& part_;
    const std::vector<Span>& shared_;
    std::string& own_;
    int depth_ = 0, rowDepth_ = 0, cellDepth_ = 0;
    Inside sheetData_;
    std::optional<SheetRow> row_;
    std::optional<CellRead> cell_;
    int lastRow_ = 0, lastColumn_ = -1;
    std::size_t cellCount_ = 0;
};

} // namespace

// Makes the rows' views of the texts once the texts are complete.
class XlsxRowsBuilder {
public:
    static XlsxRows build(std::shared_ptr<SheetTexts> texts, const std::vector<SheetRow>& sheet) {
        XlsxRows result;
        result.rows_.reserve(sheet.size());
        for (const SheetRow& row : sheet) {
            XlsxRow& out = result.rows_.emplace_back();
            out.Number = row.Number;
            out.Cells.reserve(row.Cells.size());
            for (const CellText& cell : row.Cells) out.Cells.push_back(view(*texts, cell));
        }
        result.texts_ = std::move(texts);
        return result;
    }

private:
    static std::string_view view(const SheetTexts& texts, const CellText& cell) {
        switch (cell.Where) {
        case CellText::In::Empty: return {};
        case CellText::In::Shared: return std::string_view(texts.Shared).substr(cell.At.Offset, cell.At.Length);
        case CellText::In::Own: return std::string_view(texts.Own).substr(cell.At.Offset, cell.At.Length);
        case CellText::In::True: return "TRUE";
        case CellText::In::False: return "FALSE";
        }
        return {};
    }
};

bool looksLikeZip(const std::string& bytes) { return bytes.starts_with(std::string_view("PK\x03\x04", 4)); }

XlsxRows readXlsxRows(const std::string& bytes) {
    if (!looksLikeZip(bytes)) throw damaged(say("不是 zip 压缩包", "not a zip archive"));
    Archive zip(bytes);
    const WorkbookParts parts = workbookParts(zip);
    auto texts = std::make_shared<SheetTexts>();
    std::vector<Span> shared;
    if (parts.SharedStrings && zip.has(*parts.SharedStrings)) {
        SharedStringsReader reader(*parts.SharedStrings, texts->Shared, shared);
        xlsx::parseXml(zip.part(*parts.SharedStrings), *parts.SharedStrings, reader);
    }
    SheetReader reader(parts.Sheet, shared, texts->Own);
    xlsx::parseXml(zip.part(parts.Sheet), parts.Sheet, reader);
    return XlsxRowsBuilder::build(std::move(texts), reader.Rows);
}

} // namespace trelmox
