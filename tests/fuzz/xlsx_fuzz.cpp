// Fuzz harness of the workbook reader. The bytes are a sheet's XML, then
// after a NUL byte the shared strings' XML (without one, an empty list of
// shared strings), packed by the harness into a
// workbook (stored, not deflated, so that every mutation reaches the XML
// reader); bytes that already start as a zip archive are read as they are,
// for the archive layer. Beyond not crashing: a refusal is refused input
// with a readable message, whose row, when it names one, is its line; the
// rows read are in ascending order within the sheet's bounds, none empty
// and none ending in an empty cell, and each cell's text is UTF-8. The same
// workbook read as a measurement file is read or refused as readably.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>
#include <zlib.h>

#include "analysis/joints/measurements.h"
#include "model/error.h"
#include "model/textcodec.h"
#include "model/xlsx_reader.h"
#include "tests/fuzz/readable.h"

using namespace trelmox;

namespace {

void check(bool holds) {
    if (!holds) std::abort();
}

void put16(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// A zip archive of the parts, each stored as it is.
std::string storedZip(const std::vector<std::pair<std::string, std::string>>& parts) {
    std::string zip, directory;
    for (const auto& [name, bytes] : parts) {
        const auto crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
        const auto offset = static_cast<std::uint32_t>(zip.size());
        std::string common;
        put16(common, 20), put16(common, 0), put16(common, 0), put16(common, 0), put16(common, 0x21);
        put32(common, crc), put32(common, static_cast<std::uint32_t>(bytes.size()));
        put32(common, static_cast<std::uint32_t>(bytes.size()));
        put16(common, static_cast<unsigned>(name.size())), put16(common, 0);
        put32(zip, 0x04034b50);
        zip += common + name + bytes;
        put32(directory, 0x02014b50);
        put16(directory, 20);
        directory += common;
        put16(directory, 0), put16(directory, 0), put16(directory, 0), put32(directory, 0), put32(directory, offset);
        directory += name;
    }
    const auto start = static_cast<std::uint32_t>(zip.size());
    zip += directory;
    put32(zip, 0x06054b50);
    put16(zip, 0), put16(zip, 0), put16(zip, static_cast<unsigned>(parts.size())),
        put16(zip, static_cast<unsigned>(parts.size()));
    put32(zip, static_cast<std::uint32_t>(directory.size())), put32(zip, start), put16(zip, 0);
    return zip;
}

std::string workbook(const std::string& sheet, const std::string& shared) {
    return storedZip({
        {"xl/workbook.xml", "<workbook><sheets><sheet name=\"a\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships><Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\"/>"
         "<Relationship Id=\"rId2\" Type=\"x/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml", sheet},
        {"xl/sharedStrings.xml", shared},
    });
}

void requireRefusal(const Error& failure) {
    check(failure.kind() == ErrorKind::RefusedInput || failure.kind() == ErrorKind::NumberText);
    const std::string message = failure.what();
    std::size_t start = 0;
    for (std::size_t end; (end = message.find('\n', start)) != std::string::npos; start = end + 1)
        fuzz::requireReadable(message.substr(start, end - start));
    fuzz::requireReadable(message.substr(start));
    if (message.starts_with("Excel 工作表第 ")) check(failure.line() > 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string bytes = input;
    if (!looksLikeZip(input)) {
        const std::size_t nul = input.find('\0');
        bytes =
            workbook(input.substr(0, nul), nul == std::string::npos ? std::string("<sst/>") : input.substr(nul + 1));
    }
    try {
        const XlsxRows rows = readXlsxRows(bytes);
        int last = 0;
        for (const XlsxRow& row : rows) {
            check(row.Number > last && row.Number <= 1048576);
            last = row.Number;
            check(!row.Cells.empty() && !row.Cells.back().empty() && row.Cells.size() <= 16384);
            for (const std::string_view cell : row.Cells) check(isUtf8(std::string(cell)));
        }
    } catch (const Error& failure) {
        requireRefusal(failure);
    }
    try {
        readMeasurements(bytes);
    } catch (const Error& failure) {
        requireRefusal(failure);
    }
    return 0;
}
