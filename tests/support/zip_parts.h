#pragma once
// Zip archives made part by part, for tests of what reads workbooks: the
// parts as given, so that a test can damage any of them.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>
#include <zip.h>

namespace trelmox::testing {

inline std::string zipOf(const std::vector<std::pair<std::string, std::string>>& parts) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("trelmox-zip-test-" + std::to_string(::getpid()) + ".zip")).string();
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    for (const auto& [name, bytes] : parts) {
        zipOpenNewFileInZip64(zip, name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                              Z_DEFAULT_COMPRESSION, bytes.size() > 0xFFFFFFFFu);
        zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
    std::ifstream in(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::filesystem::remove(path);
    return bytes;
}

// A workbook of one sheet: the sheet's <sheetData> content and the shared
// strings' <si> elements as given.
inline std::vector<std::pair<std::string, std::string>> workbookParts(const std::string& sheetData,
                                                                      const std::string& sharedItems = {}) {
    const std::string main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const std::string rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    return {
        {"xl/workbook.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook xmlns=\"" + main + "\" xmlns:r=\"" +
                                rel +
                                "\"><sheets><sheet name=\"测量\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"" +
             rel +
             "/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
             "<Relationship Id=\"rId2\" Type=\"" +
             rel + "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml",
         "<worksheet xmlns=\"" + main + "\"><sheetData>" + sheetData + "</sheetData></worksheet>"},
        {"xl/sharedStrings.xml", "<sst xmlns=\"" + main + "\">" + sharedItems + "</sst>"},
    };
}

inline std::string workbookOf(const std::string& sheetData, const std::string& sharedItems = {}) {
    return zipOf(workbookParts(sheetData, sharedItems));
}

} // namespace trelmox::testing
