#include "analysis/joints/measurements.h"

#include <algorithm>
#include <cerrno>
#include <optional>
#include <sstream>
#include <string_view>

#include "model/wording.h"
#include "model/attitude.h"
#include "model/error.h"
#include "model/files.h"
#include "model/invalid_text.h"
#include "model/numtext.h"
#include "model/xlsx_reader.h"

namespace trelmox {

namespace {

enum class Column { Dip, DipDirection, Quadrant, Set, Weight, Cohesion, Friction };
constexpr std::size_t QuadrantFields = 6;

struct ColumnName {
    const char* name; // lower case, without blanks, "_" or "-"
    Column column;
};
constexpr ColumnName ColumnNames[] = {
    {"dip", Column::Dip},
    {"倾角", Column::Dip},
    {"dipdir", Column::DipDirection},
    {"dipdirection", Column::DipDirection},
    {"倾向", Column::DipDirection},
    {"quadrant", Column::Quadrant},
    {"象限产状", Column::Quadrant},
    {"set", Column::Set},
    {"label", Column::Set},
    {"组", Column::Set},
    {"组号", Column::Set},
    {"weight", Column::Weight},
    {"权重", Column::Weight},
    {"c", Column::Cohesion},
    {"cohesion", Column::Cohesion},
    {"黏聚力", Column::Cohesion},
    {"粘聚力", Column::Cohesion},
    {"f", Column::Friction},
    {"friction", Column::Friction},
    {"摩擦系数", Column::Friction},
};
constexpr const char* KnownColumns =
    "dip 倾角、dipdir 倾向、quadrant 象限产状、set 组、weight 权重、c 黏聚力、f 摩擦系数";
constexpr std::size_t ListedErrors = 10;

// Every ASCII blank, not only the space and the tab: a form feed, a
// vertical tab or a stray carriage return left by an editor is no field.
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\r'; }

// A weight counts as that many measurements; beyond a million the sums of
// weighted poles lose the digits of the lighter ones, and a weight near the
// largest double would overflow them.
constexpr double MaxWeight = 1e6;

bool hasControlCharacter(const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

std::string trimmed(const std::string& text) {
    const auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

std::string unquoted(std::string field) {
    field = trimmed(field);
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"') field = field.substr(1, field.size() - 2);
    return field;
}

// Spreadsheets write ",", ";" or tabs, Chinese input methods often "，";
// a hand-written list may use blanks alone.
std::vector<std::string> splitFields(const std::string& line) {
    std::string text = line;
    for (std::size_t at; (at = text.find("，")) != std::string::npos;) text.replace(at, 3, ",");
    std::replace(text.begin(), text.end(), ';', ',');
    std::replace(text.begin(), text.end(), '\t', ',');
    std::vector<std::string> fields;
    if (text.find(',') != std::string::npos) {
        std::size_t start = 0;
        for (std::size_t end; (end = text.find(',', start)) != std::string::npos; start = end + 1)
            fields.push_back(unquoted(text.substr(start, end - start)));
        fields.push_back(unquoted(text.substr(start)));
    } else {
        std::istringstream words(text);
        for (std::string word; words >> word;) fields.push_back(unquoted(word));
    }
    return fields;
}

bool isNumber(const std::string& text) {
    try {
        textToFloat(text);
        return true;
    } catch (const Error&) {
        return false;
    }
}

// A header starts with a name: neither a number (nor what was meant to be
// one) nor the quadrant notation's strike letter.
bool isHeader(const std::string& firstField) {
    if (firstField == "N" || isNumber(firstField)) return false;
    return firstField.empty() || std::string_view("0123456789+-.").find(firstField[0]) == std::string_view::npos;
}

std::string columnKey(const std::string& name) {
    std::string key;
    for (char c : name)
        if (c != ' ' && c != '_' && c != '-') key += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return key;
}

std::size_t fieldCount(const std::vector<Column>& columns) {
    std::size_t count = 0;
    for (Column c : columns) count += c == Column::Quadrant ? QuadrantFields : 1;
    return count;
}

// The columns a header names. Either dip and dipdir or the quadrant fields
// must be there, each at most once.
std::vector<Column> headerColumns(const std::vector<std::string>& fields) {
    std::vector<Column> columns;
    for (const std::string& field : fields) {
        const auto known = std::find_if(std::begin(ColumnNames), std::end(ColumnNames),
                                        [&](const ColumnName& c) { return columnKey(field) == c.name; });
        if (known == std::end(ColumnNames))
            throw Error::refused(
                inLanguage("表头的列名“" + visibleText(field) + "”无法识别，可用的列名：" + KnownColumns,
                           "the header's column name \"" + visibleText(field) +
                               "\" is unknown; known names: dip, dipdir, quadrant, set, weight, c, f"));
        if (std::count(columns.begin(), columns.end(), known->column))
            throw Error::refused(inLanguage("表头的列“" + visibleText(field) + "”重复",
                                            "the header's column \"" + visibleText(field) + "\" is repeated"));
        columns.push_back(known->column);
    }
    const auto has = [&](Column c) { return std::count(columns.begin(), columns.end(), c) > 0; };
    const bool angles = has(Column::Dip) && has(Column::DipDirection);
    if (angles == has(Column::Quadrant) || (!angles && (has(Column::Dip) || has(Column::DipDirection))))
        throw Error::refused(inLanguage("表头应含倾角和倾向两列（dip、dipdir），或象限产状（quadrant），二者取其一",
                                        "the header should hold either the two columns dip and dip direction (dip, "
                                        "dipdir) or the quadrant attitude (quadrant)"));
    return columns;
}

// Without a header a line's first field tells its notation: quadrant
// notation always begins with the strike letter "N".
std::vector<Column> positionalColumns(const std::vector<std::string>& fields) {
    std::vector<Column> columns{Column::Dip, Column::DipDirection};
    if (!fields.empty() && fields[0] == "N") columns = {Column::Quadrant};
    const std::size_t required = fieldCount(columns);
    if (fields.size() < required)
        throw Error::refused(columns[0] == Column::Quadrant
                                 ? inLanguage("象限产状应有 6 个字段（如 N,30,E,S,E,45）",
                                              "a quadrant attitude has 6 fields (as N,30,E,S,E,45)")
                                 : inLanguage("应有倾角和倾向两个字段（如 45,120）",
                                              "the two fields dip and dip direction are needed (as 45,120)"));
    if (fields.size() > required + 2)
        throw Error::refused(inLanguage("字段过多：产状之后只能有组号和权重",
                                        "too many fields: only a set label and a weight may follow the attitude"));
    for (std::size_t i = required; i < fields.size(); ++i)
        columns.push_back(i == required ? Column::Set : Column::Weight);
    return columns;
}

// A field that is no number is named in the file's own language, as every
// other fault of a line is.
// A field's name, in Chinese and in English.
struct FieldName {
    const char* Chinese;
    const char* English;
};

double number(FieldName what, const std::string& text) {
    try {
        return textToFloat(text);
    } catch (const Error& e) {
        if (e.kind() != ErrorKind::NumberText) throw;
        throw e.reworded(inLanguage(what.Chinese + ("“" + visibleText(text) + "”不是数"),
                                    what.English + (" \"" + visibleText(text) + "\" is not a number")));
    }
}

double angleIn(FieldName what, const std::string& text, double high) {
    const double value = number(what, text);
    if (value < 0 || value > high)
        throw Error::refused(inLanguage(what.Chinese + (" " + text + " 应在 0 到 ") + floatToText(high) + " 之间",
                                        what.English + (" " + text + " should be between 0 and ") + floatToText(high)));
    return value;
}

// A plane's own c or f: empty when the row leaves it to the block.
std::optional<double> strength(FieldName what, const std::string& text) {
    if (text.empty()) return std::nullopt;
    const double value = number(what, text);
    if (!(value >= 0))
        throw Error::refused(inLanguage(what.Chinese + (" " + text + " 应不小于 0"),
                                        what.English + (" " + text + " should be at least 0")));
    return value;
}

TPlaneAttitude quadrantPlane(const std::vector<std::string>& f, std::size_t at) {
    const TPlaneQuadrant quadrant{f[at], f[at + 1], f[at + 2], f[at + 3], f[at + 4], f[at + 5]};
    const double dip = angleIn({"倾角", "dip"}, quadrant.DipAngle, 90);
    angleIn({"走向角", "strike angle"}, quadrant.StrikeAngle, 90);
    const auto direction = quadrantDipDirection(quadrant);
    if (!direction)
        throw Error::refused(inLanguage(
            "象限产状的字母“" + quadrant.StrikeNS + quadrant.StrikeEW + " " + quadrant.DipNS + quadrant.DipEW +
                "”不成组合：走向 N..E 配倾向 SE 或 NW，走向 N..W 配倾向 SW 或 NE",
            "the quadrant letters \"" + quadrant.StrikeNS + quadrant.StrikeEW + " " + quadrant.DipNS + quadrant.DipEW +
                "\" make no attitude: a strike N..E dips SE or NW, a strike N..W dips SW or NE"));
    return {dip, *direction};
}

// A dip direction of 360 is north, 0.
double northBased(double dipDirection) { return dipDirection == 360 ? 0 : dipDirection; }

Measurement measurementOf(const std::vector<std::string>& fields, const std::vector<Column>& columns) {
    if (fields.size() != fieldCount(columns))
        throw Error::refused(inLanguage(
            "应有 " + std::to_string(fieldCount(columns)) + " 个字段，实有 " + std::to_string(fields.size()) + " 个",
            std::to_string(fieldCount(columns)) + " fields are needed, the line has " + std::to_string(fields.size())));
    // A set label is printed in tables and messages, where a control
    // character would act on the terminal; numbers with one fail anyway.
    for (const std::string& field : fields)
        if (hasControlCharacter(field))
            throw Error::refused(inLanguage("含有控制字符：“" + visibleText(field) + "”",
                                            "contains a control character: \"" + visibleText(field) + "\""));
    Measurement m;
    std::size_t at = 0;
    for (Column column : columns) {
        const std::string& field = fields[at];
        switch (column) {
        case Column::Dip: m.Plane.DipAngle = angleIn({"倾角", "dip"}, field, 90); break;
        case Column::DipDirection: m.Plane.DipDirection = angleIn({"倾向", "dip direction"}, field, 360); break;
        case Column::Quadrant: m.Plane = quadrantPlane(fields, at); break;
        case Column::Set: m.Set = field; break;
        case Column::Weight:
            if (!field.empty()) m.Weight = number({"权重", "weight"}, field);
            if (!(m.Weight > 0))
                throw Error::refused(
                    inLanguage("权重 " + field + " 应大于 0", "weight " + field + " should be above 0"));
            if (m.Weight > MaxWeight)
                throw Error::refused(
                    inLanguage("权重 " + field + " 过大，应不大于 " + floatToText(MaxWeight),
                               "weight " + field + " is too large: at most " + floatToText(MaxWeight)));
            break;
        case Column::Cohesion: m.Cohesion = strength({"黏聚力 c", "cohesion c"}, field); break;
        case Column::Friction: m.Friction = strength({"摩擦系数 f", "friction coefficient f"}, field); break;
        }
        at += column == Column::Quadrant ? QuadrantFields : 1;
    }
    m.Plane.DipDirection = northBased(m.Plane.DipDirection);
    return m;
}

void tally(MeasurementSummary& summary, const Measurement& m, bool quadrant) {
    ++(quadrant ? summary.QuadrantRows : summary.DipRows);
    if (m.Weight != 1) summary.Weighted = true;
    if (m.Cohesion || m.Friction) summary.Strengths = true;
    if (m.Set.empty()) {
        ++summary.Unlabelled;
        return;
    }
    const auto set =
        std::find_if(summary.Sets.begin(), summary.Sets.end(), [&](const auto& s) { return s.first == m.Set; });
    if (set == summary.Sets.end())
        summary.Sets.emplace_back(m.Set, 1);
    else
        ++set->second;
}

std::string lineMessage(int line, const std::string& reason) {
    return inLanguage("测量文件第 " + std::to_string(line) + " 行：" + reason,
                      "measurement file line " + std::to_string(line) + ": " + reason);
}

// The first ListedErrors of `count` lines' messages, then how many more.
std::string errorList(const std::vector<std::string>& errors, std::size_t count) {
    std::string message;
    for (std::size_t i = 0; i < errors.size(); ++i) message += (i ? "\n" : "") + errors[i];
    if (count > errors.size())
        message += inLanguage("\n……另有 " + std::to_string(count - errors.size()) + " 行有误",
                              "\n… and " + std::to_string(count - errors.size()) + " more lines are wrong");
    return message;
}

// A units row under a header, as a spreadsheet keeps one ("°", "kPa"): a
// field is a unit when it is one of these, bare or in brackets, in any case.
constexpr std::string_view Units[] = {"°",     "deg",   "degree", "degrees", "度",   "kpa", "mpa", "pa",
                                      "kn/m²", "kn/m2", "kn/m^2", "t/m²",    "t/m2", "-",   "—",   "－"};

bool isUnit(std::string_view field) {
    for (const auto& [open, close] :
         {std::pair<std::string_view, std::string_view>{"(", ")"}, {"[", "]"}, {"（", "）"}})
        if (field.size() > open.size() + close.size() && field.starts_with(open) && field.ends_with(close)) {
            field = field.substr(open.size(), field.size() - open.size() - close.size());
            break;
        }
    std::string key(field);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return std::find(std::begin(Units), std::end(Units), key) != std::end(Units);
}

// Every field a unit or empty, and one at least a unit.
bool isUnitsLine(const std::vector<std::string>& fields) {
    bool any = false;
    for (const std::string& field : fields) {
        if (field.empty()) continue;
        if (!isUnit(field)) return false;
        any = true;
    }
    return any;
}

// The line (from 1) of a byte offset.
int lineOf(const std::string& bytes, std::size_t offset) {
    return 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + std::min(offset, bytes.size()), '\n'));
}

// The file's text, UTF-8 or GB18030 as decodeUtf8OrGb18030 decides, but a
// file that is UTF-8 up to some line and not after it (two files pasted
// together, or a line added in another editor) is refused at that line:
// read as GB18030 as a whole, its UTF-8 lines would turn into other
// characters and the failure would be blamed on the wrong line.
DecodedText decodedMeasurements(const std::string& bytes) {
    const std::string text = bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes;
    const std::size_t skipped = bytes.size() - text.size();
    const std::size_t at = firstInvalidUtf8(text);
    // Lead bytes of multi-byte characters before it: UTF-8 text, not ASCII.
    const auto multibyte = std::count_if(text.begin(), text.begin() + std::min(at, text.size()),
                                         [](char c) { return static_cast<unsigned char>(c) >= 0xC0; });
    if (at != std::string::npos && (multibyte > 0 || skipped > 0))
        throw Error::atLine(
            lineMessage(lineOf(text, at),
                        inLanguage("不是有效的 UTF-8 文字，而前面的内容是 UTF-8：文件混用了两种编码"
                                   "（如 UTF-8 与 GBK），请统一为一种编码后再读入",
                                   "not valid UTF-8 text while the text before it is UTF-8: the file "
                                   "mixes two encodings (as UTF-8 and GBK); save it in one before reading it")),
            lineOf(text, at));
    if (at == std::string::npos) return {text, TextEncoding::Utf8};
    if (const std::size_t bad = firstInvalidGb18030(text); bad != std::string::npos)
        throw Error::atLine(
            lineMessage(lineOf(text, bad), inLanguage("既不是有效的 UTF-8 文字，也不是有效的 GBK（GB18030）文字",
                                                      "neither valid UTF-8 nor valid GBK (GB18030) text")),
            lineOf(text, bad));
    return {gb18030ToUtf8(text), TextEncoding::Gb18030};
}

} // namespace

namespace {

// The planes of the lines, the first of them perhaps a header and the one
// after the header perhaps its units, taken one line at a time, so that
// only one line's fields are held at once. A sheet has no empty cells
// after a row's last value, where a text line has its commas: `sheetRows`
// lets a row under a header end early, the fields it leaves out empty.
class FieldLines {
public:
    explicit FieldLines(bool sheetRows) : sheetRows_(sheetRows) {}

    void add(int number, std::vector<std::string> fields) {
        if (std::exchange(first_, false) && isHeader(fields[0])) {
            // Without its columns no line after a bad header can be read.
            try {
                header_ = headerColumns(fields);
            } catch (const Error& e) {
                throw e.reworded(lineMessage(number, e.what())).withLine(number);
            }
            file_.Summary.Header = true;
            underHeader_ = true;
            return;
        }
        if (std::exchange(underHeader_, false) && isUnitsLine(fields)) return;
        if (sheetRows_ && header_ && fields.size() < fieldCount(*header_)) fields.resize(fieldCount(*header_));
        try {
            const auto columns = header_ ? *header_ : positionalColumns(fields);
            Measurement m = measurementOf(fields, columns);
            m.Line = number;
            tally(file_.Summary, m, std::count(columns.begin(), columns.end(), Column::Quadrant) > 0);
            file_.Planes.push_back(std::move(m));
        } catch (const Error& e) {
            fail(number, e);
        }
    }

    // A line that is wrong before its fields are read.
    void fail(int number, const Error& e) {
        first_ = underHeader_ = false;
        if (errors_.size() < ListedErrors) errors_.push_back(lineMessage(number, e.what()));
        ++errorCount_;
        if (!firstError_) firstError_ = e.withLine(number);
    }

    MeasurementFile finish() {
        // The first error's kind and line stand for the list.
        if (errorCount_) throw firstError_->reworded(errorList(errors_, errorCount_));
        if (file_.Planes.empty())
            throw Error::refused(inLanguage("测量文件中没有结构面数据", "the measurement file holds no planes"));
        return std::move(file_);
    }

private:
    bool sheetRows_;
    MeasurementFile file_;
    std::optional<std::vector<Column>> header_;
    std::vector<std::string> errors_;
    std::size_t errorCount_ = 0;
    std::optional<Error> firstError_;
    bool first_ = true, underHeader_ = false;
};

// A cell of a measurement sheet holds a number or a label. A longer text
// is no measurement, and copying it into fields would let one shared
// string of a small workbook, used by many cells, take the memory it
// avoided in the reader.
constexpr std::size_t MaxCellBytes = 256;

std::string_view trimmedView(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string columnLetters(std::size_t column) {
    std::string name;
    for (++column; column > 0; column = (column - 1) / 26) name.insert(name.begin(), char('A' + (column - 1) % 26));
    return name;
}

// A sheet's rows as the lines of a file: a row's cells are its fields,
// trimmed, up to the last one that holds something; a row whose cells are
// all blank, or whose first cell starts with "#", is skipped as such a line
// is. A row of one cell is split as a line would be, for a list pasted
// into the first column ("45,120").
void addSheetRows(FieldLines& lines, const XlsxRows& rows) {
    std::vector<std::string_view> cells;
    for (const XlsxRow& row : rows) {
        cells.clear();
        for (std::string_view cell : row.Cells) cells.push_back(trimmedView(cell));
        while (!cells.empty() && cells.back().empty()) cells.pop_back();
        if (cells.empty() || cells[0].starts_with('#')) continue;
        const auto longCell =
            std::find_if(cells.begin(), cells.end(), [](std::string_view cell) { return cell.size() > MaxCellBytes; });
        if (longCell != cells.end()) {
            const std::string name = columnLetters(std::size_t(longCell - cells.begin())) + std::to_string(row.Number);
            lines.fail(row.Number,
                       Error::refused(inLanguage("单元格 " + name + " 的文字长于 " + std::to_string(MaxCellBytes) +
                                                     " 字节，不是测量数据",
                                                 "cell " + name + " holds more than " + std::to_string(MaxCellBytes) +
                                                     " bytes, which is no measurement"),
                                      name));
            continue;
        }
        std::vector<std::string> fields(cells.begin(), cells.end());
        if (fields.size() == 1) fields = splitFields(fields[0]);
        if (!fields.empty()) lines.add(row.Number, std::move(fields));
    }
}

} // namespace

MeasurementFile parseMeasurements(const std::string& utf8Text) {
    FieldLines lines(false);
    std::istringstream text(utf8Text);
    int number = 0;
    for (std::string line; std::getline(text, line);) {
        ++number;
        if (line.ends_with('\r')) line.pop_back();
        if (number == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
        line = trimmed(line);
        if (line.empty() || line.starts_with('#')) continue;
        auto fields = splitFields(line);
        if (fields.empty()) continue; // blanks of other kinds only
        lines.add(number, std::move(fields));
    }
    return lines.finish();
}

MeasurementFile readMeasurements(const std::string& bytes) {
    // A workbook is a zip archive, which no text file starts as.
    if (looksLikeZip(bytes)) {
        FieldLines lines(true);
        addSheetRows(lines, readXlsxRows(bytes));
        MeasurementFile file = lines.finish();
        file.Summary.Workbook = true;
        return file;
    }
    const DecodedText text = decodedMeasurements(bytes);
    MeasurementFile file = parseMeasurements(text.Utf8);
    file.Summary.Encoding = text.Encoding;
    return file;
}

MeasurementFile readMeasurementFile(const std::filesystem::path& path) {
    std::string bytes;
    try {
        bytes = readFileBytes(path, MaxMeasurementFileBytes);
    } catch (const Error& e) {
        if (e.systemError() == EISDIR)
            throw Error::refused(inLanguage("这是一个文件夹，不是测量文件", "this is a folder, not a measurement file"))
                .withPath(path);
        throw;
    }
    return readMeasurements(bytes);
}

std::string measurementSummaryText(const MeasurementSummary& s) {
    if (inEnglish()) {
        std::string text = "read " + std::to_string(s.DipRows + s.QuadrantRows) + " planes (" +
                           std::to_string(s.DipRows) + " as dip and dip direction, " + std::to_string(s.QuadrantRows) +
                           " as quadrant attitudes), " +
                           (s.Workbook                         ? "Excel workbook"
                            : s.Encoding == TextEncoding::Utf8 ? "UTF-8"
                                                               : "GB18030") +
                           (s.Header ? ", with a header" : "") + (s.Weighted ? ", weighted" : "") +
                           (s.Strengths ? ", with c and f values" : "");
        if (!s.Sets.empty()) {
            text += "; " + std::to_string(s.Sets.size()) + " sets: ";
            for (std::size_t i = 0; i < s.Sets.size(); ++i)
                text += (i ? ", " : "") + s.Sets[i].first + " " + std::to_string(s.Sets[i].second);
        }
        if (s.Unlabelled && !s.Sets.empty()) text += ", " + std::to_string(s.Unlabelled) + " without a set";
        return text;
    }
    std::string text = "读入结构面 " + std::to_string(s.DipRows + s.QuadrantRows) + " 个（倾角倾向 " +
                       std::to_string(s.DipRows) + " 个，象限产状 " + std::to_string(s.QuadrantRows) + " 个），" +
                       (s.Workbook                         ? "Excel 工作簿"
                        : s.Encoding == TextEncoding::Utf8 ? "UTF-8 编码"
                                                           : "GB18030 编码") +
                       (s.Header ? "，有表头" : "") + (s.Weighted ? "，带权重" : "") +
                       (s.Strengths ? "，带 c、f 值" : "");
    if (!s.Sets.empty()) {
        text += "；" + std::to_string(s.Sets.size()) + " 组：";
        for (std::size_t i = 0; i < s.Sets.size(); ++i)
            text += (i ? "，" : "") + s.Sets[i].first + " " + std::to_string(s.Sets[i].second) + " 个";
    }
    if (s.Unlabelled && !s.Sets.empty()) text += "，未分组 " + std::to_string(s.Unlabelled) + " 个";
    return text;
}

} // namespace trelmox
