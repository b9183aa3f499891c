#include "app/blockscan.h"

#include <algorithm>

#include "model/block_names.h"

namespace trelmox::app {

namespace fs = std::filesystem;

namespace {

std::vector<fs::directory_entry> entriesByName(const fs::path& folder) {
    std::vector<fs::directory_entry> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        entries.push_back(*it);
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
    return entries;
}

bool isBlockFile(const fs::directory_entry& entry) {
    std::error_code error;
    const fs::file_status status = entry.status(error); // follows links to files
    return !error && fs::exists(status) && !fs::is_directory(status) &&
           lowerAsciiLetters(entry.path().filename().string()).ends_with(".txt");
}

bool isPlainFolder(const fs::directory_entry& entry) {
    std::error_code error;
    return entry.is_directory(error) && !entry.is_symlink(error) && !entry.path().filename().string().starts_with('.');
}

void scanInto(const fs::path& folder, std::vector<std::string>& names) {
    const auto entries = entriesByName(folder);
    for (const auto& entry : entries)
        if (isBlockFile(entry)) names.push_back(lowerAsciiLetters(entry.path().filename().string()));
    for (const auto& entry : entries)
        if (isPlainFolder(entry)) scanInto(entry.path(), names);
}

} // namespace

std::vector<std::string> scanBlockFiles(const fs::path& folder) {
    std::vector<std::string> names;
    scanInto(folder, names);
    return names;
}

} // namespace trelmox::app
