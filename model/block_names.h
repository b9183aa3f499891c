#pragma once
// Block data files by name. The block-name lists show file names with A-Z
// lower-cased, while the files keep the case they were written with (a
// block W1 lives in W1.txt), so on a case-sensitive file system a listed
// name must be matched back to its file ignoring case.
#include <filesystem>
#include <string>

namespace trelmox {

// A-Z to a-z; every other character, Chinese included, stays as it is.
std::string lowerAsciiLetters(std::string text);

// The data file of a block: folder / (blockName + ".txt") when it exists,
// else the one file in the folder whose name matches that ignoring the case
// of A-Z. No file gives the plain path (opening it reports "File not found");
// several that differ only in case throw an Error naming them, because
// picking one of them silently could load the wrong block.
std::filesystem::path blockFilePath(const std::filesystem::path& dataFolder, const std::string& blockName);

// The block name of a data file: its file name up to the first ".", a name
// in GBK bytes read as such.
std::string blockNameOf(const std::filesystem::path& file);

} // namespace trelmox
