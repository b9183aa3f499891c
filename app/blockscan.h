#pragma once
// The names of the block data files below the data folder, for the entry
// windows' block-name lists.
#include <filesystem>
#include <string>
#include <vector>

namespace trelmox::app {

// The "*.txt" files of `folder` (extension in any case; files of every
// kind, hidden ones too, no folders), each by its bare name with A-Z
// lower-cased, in name order; then, depth first, those of every subfolder
// that is not hidden. Links to folders are neither listed nor followed, so
// a link back to a parent cannot make the scan endless. A missing or
// unreadable folder adds nothing and reports nothing.
std::vector<std::string> scanBlockFiles(const std::filesystem::path& folder);

} // namespace trelmox::app
