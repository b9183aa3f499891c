#include "report/xlsx_table.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <string_view>
#include <type_traits>
#include <unistd.h>
#include <xlsxwriter.h>

#include "model/error.h"
#include "model/wording.h"
#include "model/files.h"

namespace trelmox {

namespace {

bool startsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

// A text of at most XlsxMaxTextChars characters, cut at a character's
// boundary.
std::string cellText(const std::string& text) {
    if (static_cast<std::size_t>(std::count_if(text.begin(), text.end(), startsCharacter)) <= XlsxMaxTextChars)
        return text;
    std::size_t characters = 0, at = 0;
    for (; at < text.size(); ++at)
        if (startsCharacter(text[at]) && ++characters == XlsxMaxTextChars) break;
    return text.substr(0, at) + "…";
}

Error systemFailure(const std::string& wording) {
    const int error = errno;
    return Error::fromSystem(fileErrorMessage(error), error).prefixed(wording);
}

// The library writes its workbook to a named file only. It gets a file that
// is already unlinked, reached through the process's descriptor, so that
// nothing is left behind in the temporary folder whatever stops the process.
class HiddenFile {
public:
    HiddenFile() {
        const char* folder = std::getenv("TMPDIR");
        std::string name = std::string(folder && *folder ? folder : "/tmp") + "/trelmox-xlsx.XXXXXX";
        fd_ = ::mkstemp(name.data());
        if (fd_ < 0) throw systemFailure(say("无法建立临时文件：", "cannot make a temporary file: "));
        ::unlink(name.c_str());
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~HiddenFile() { ::close(fd_); }
    HiddenFile(const HiddenFile&) = delete;
    HiddenFile& operator=(const HiddenFile&) = delete;
    const std::string& path() const { return path_; }
    std::string bytes() const {
        std::string bytes;
        char buffer[65536];
        for (off_t at = 0;;) {
            const ssize_t got = ::pread(fd_, buffer, sizeof buffer, at);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) throw systemFailure(say("无法读回临时文件：", "cannot read the temporary file back: "));
            if (got == 0) return bytes;
            bytes.append(buffer, static_cast<std::size_t>(got));
            at += got;
        }
    }

private:
    int fd_ = -1;
    std::string path_;
};

// The workbook library's functions used here, each by its own name, looked
// up when the first workbook is written rather than loaded at every start:
// the library brings libcrypto, and loading both took 4 ms of the tool's
// 10 ms start.
// clang-format off
#define TRELMOX_XLSX_FUNCTIONS(X)                                                                    \
    X(workbook_new) X(workbook_add_format) X(format_set_bold) X(workbook_add_worksheet)          \
    X(worksheet_set_column) X(worksheet_freeze_panes) X(worksheet_write_string)                 \
    X(worksheet_write_blank) X(worksheet_write_number) X(worksheet_write_boolean)               \
    X(workbook_close) X(lxw_strerror)
// clang-format on

struct XlsxLibrary {
#define TRELMOX_XLSX_MEMBER(name) decltype(&::name) name = nullptr;
    TRELMOX_XLSX_FUNCTIONS(TRELMOX_XLSX_MEMBER)
#undef TRELMOX_XLSX_MEMBER
    std::string Failure; // why it cannot be used; empty when it can
};

XlsxLibrary loadXlsxLibrary() {
    XlsxLibrary library;
    // Loaded for the rest of the process, never closed.
    void* handle = ::dlopen(TRELMOX_XLSXWRITER_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        library.Failure = why ? why : TRELMOX_XLSXWRITER_SONAME;
        return library;
    }
    const auto find = [&](auto& function, const char* name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(::dlsym(handle, name));
        if (!function && library.Failure.empty())
            library.Failure = std::string(TRELMOX_XLSXWRITER_SONAME) + ": " + name;
    };
#define TRELMOX_XLSX_FIND(name) find(library.name, #name);
    TRELMOX_XLSX_FUNCTIONS(TRELMOX_XLSX_FIND)
#undef TRELMOX_XLSX_FIND
    return library;
}

const XlsxLibrary& xlsxLibrary() {
    static const XlsxLibrary library = loadXlsxLibrary();
    if (!library.Failure.empty())
        throw Error(say("无法生成 Excel 文件：无法载入 Excel 文件库（",
                        "cannot make the Excel file: cannot load the workbook library (") +
                    library.Failure + inLanguage("）", ")"));
    return library;
}

void check(const XlsxLibrary& lxw, lxw_error result) {
    if (result != LXW_NO_ERROR)
        throw Error(say("无法生成 Excel 文件：", "cannot make the Excel file: ") + lxw.lxw_strerror(result));
}

// Columns wide enough for their keys and units, within reason.
double columnWidth(const XlsxSheet& sheet, std::size_t column) {
    std::size_t width = sheet.Keys[column].size();
    if (column < sheet.Units.size()) width = std::max(width, sheet.Units[column].size());
    return static_cast<double>(std::clamp<std::size_t>(width + 2, 10, 40));
}

void writeSheet(const XlsxLibrary& lxw, lxw_workbook* book, const XlsxSheet& sheet, lxw_format* header) {
    if (sheet.Rows.size() > XlsxMaxRows)
        throw Error::refused(
            say("表“" + sheet.Name + "”有 " + std::to_string(sheet.Rows.size()) + " 行，超过 Excel 工作表的上限 " +
                    std::to_string(XlsxMaxRows) + " 行；请用 JSON 或 CSV 格式输出",
                "the table \"" + sheet.Name + "\" has " + std::to_string(sheet.Rows.size()) + " rows, over the " +
                    std::to_string(XlsxMaxRows) + " rows of an Excel sheet; write it as JSON or CSV"));
    lxw_worksheet* page = lxw.workbook_add_worksheet(book, sheet.Name.c_str());
    if (!page)
        throw Error(say("无法生成 Excel 文件：工作表名“" + sheet.Name + "”不可用",
                        "cannot make the Excel file: the sheet name \"" + sheet.Name + "\" cannot be used"));
    for (std::size_t c = 0; c < sheet.Keys.size(); ++c) {
        const auto column = static_cast<lxw_col_t>(c);
        check(lxw, lxw.worksheet_set_column(page, column, column, columnWidth(sheet, c), nullptr));
        check(lxw, lxw.worksheet_write_string(page, 0, column, cellText(sheet.Keys[c]).c_str(), header));
        // A styled blank where a column has no unit keeps the row there.
        if (c < sheet.Units.size() && !sheet.Units[c].empty())
            check(lxw, lxw.worksheet_write_string(page, 1, column, cellText(sheet.Units[c]).c_str(), header));
        else
            check(lxw, lxw.worksheet_write_blank(page, 1, column, header));
    }
    lxw.worksheet_freeze_panes(page, 2, 0);
    for (std::size_t r = 0; r < sheet.Rows.size(); ++r) {
        const auto row = static_cast<lxw_row_t>(r + 2);
        const auto& cells = sheet.Rows[r];
        for (std::size_t c = 0; c < cells.size() && c < sheet.Keys.size(); ++c) {
            const auto column = static_cast<lxw_col_t>(c);
            if (const double* number = std::get_if<double>(&cells[c])) {
                if (std::isfinite(*number)) check(lxw, lxw.worksheet_write_number(page, row, column, *number, nullptr));
            } else if (const bool* flag = std::get_if<bool>(&cells[c])) {
                check(lxw, lxw.worksheet_write_boolean(page, row, column, *flag, nullptr));
            } else if (const std::string* text = std::get_if<std::string>(&cells[c]); text && !text->empty()) {
                check(lxw, lxw.worksheet_write_string(page, row, column, cellText(*text).c_str(), nullptr));
            }
        }
    }
}

} // namespace

std::string xlsxWorkbook(const std::vector<XlsxSheet>& sheets) {
    const XlsxLibrary& lxw = xlsxLibrary();
    HiddenFile file;
    lxw_workbook* book = lxw.workbook_new(file.path().c_str());
    if (!book)
        throw Error(inLanguage("无法生成 Excel 文件：无法写入临时文件",
                               "cannot make the Excel file: cannot write the temporary file"));
    try {
        lxw_format* header = lxw.workbook_add_format(book);
        lxw.format_set_bold(header);
        for (const XlsxSheet& sheet : sheets) writeSheet(lxw, book, sheet, header);
    } catch (...) {
        // Closing writes the file; it is thrown away with the descriptor.
        lxw.workbook_close(book);
        throw;
    }
    check(lxw, lxw.workbook_close(book));
    return file.bytes();
}

} // namespace trelmox
